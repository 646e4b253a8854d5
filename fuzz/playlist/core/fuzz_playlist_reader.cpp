// Playlist files as anyone may write them: M3U, extended M3U, PLS, any
// bytes. Besides surviving them, titles the program writes must read back.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "base/text_codec.h"
#include "playlist/core/playlist_reader.h"
#include "playlist/core/playlist_writer.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

bool Blank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f'; }

// Titles from the input as UTF-16 units, so every code point of the
// Windows build (lone surrogates too) is tried.
std::vector<std::wstring> Titles(std::string_view data) {
  std::vector<std::wstring> out(1);
  for (size_t i = 0; i + 1 < data.size() && out.size() < 8; i += 2) {
    wchar_t c = static_cast<wchar_t>(static_cast<uint8_t>(data[i]) | (static_cast<uint8_t>(data[i + 1]) << 8));
    if (c == 0xFFFF) {
      out.emplace_back();
    } else {
      out.back().push_back(c);
    }
  }
  return out;
}

// UTF-8 has no form for an unpaired surrogate: the writer puts U+FFFD there.
std::wstring UnpairedReplaced(std::wstring text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const uint32_t c = static_cast<uint32_t>(text[i]);
    if (c < 0xD800 || c > 0xDFFF) continue;
    const bool pairs = sizeof(wchar_t) == 2 && c <= 0xDBFF && i + 1 < text.size() &&
                       (static_cast<uint32_t>(text[i + 1]) & 0xFC00) == 0xDC00;
    if (pairs) {
      ++i;
    } else {
      text[i] = static_cast<wchar_t>(0xFFFD);
    }
  }
  return text;
}

void TitlesReadBack(std::string_view data) {
  std::vector<zul::CachedTag> list;
  const std::vector<std::wstring> titles = Titles(data);
  for (size_t i = 0; i < titles.size(); ++i) {
    zul::CachedTag e(L"C:\\x\\" + std::to_wstring(i) + L".mp3");
    e.SetTitle(titles[i]);
    e.length = static_cast<int>(i) - 1;
    e.infoRead = true;
    list.push_back(e);
  }
  zul::PlaylistWriteOptions options{true, zul::kDisplayTitle, zul::PathCompare::kExact};
  const std::string bytes = zul::WritePlaylistText(list, L"C:\\x\\p.m3u", options);
  const zul::ParsedPlaylist parsed = zul::ParsePlaylistText(bytes, L"C:\\x\\p.m3u");
  Check(parsed.entries.size() == list.size());
  for (size_t i = 0; i < list.size(); ++i) {
    const zul::PlaylistFileEntry& e = parsed.entries[i];
    Check(e.path == list[i].GetPath());
    Check(e.hasInfo && e.length == static_cast<int>(i) - 1);
    // Line breaks become blanks, trailing blanks go, " - " splits.
    // An empty title is written as the display title: the file name.
    std::wstring expected = UnpairedReplaced(zul::CachedTag(list[i]).GetDisplayTitle(zul::kDisplayTitle, true));
    for (wchar_t& c : expected) {
      if (c == L'\r' || c == L'\n') c = L' ';
    }
    while (!expected.empty() && Blank(expected.back())) expected.pop_back();
    const bool split = expected.find(L" - ") != std::wstring::npos;
    Check((split ? e.artist + L" - " + e.title : e.title) == expected);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  static const wchar_t* const kPlaylists[] = {L"C:\\Lists\\p.m3u", L"C:\\Lists\\p.pls", L"\\\\srv\\s\\p.m3u", L"p.m3u"};
  const wchar_t* playlist = kPlaylists[data[0] % 4];

  const zul::ParsedPlaylist parsed = zul::ParsePlaylistText(bytes, playlist);
  for (const zul::PlaylistFileEntry& e : parsed.entries) Check(!e.path.empty());
  const std::vector<std::wstring> paths = zul::ReadPlaylistPaths(bytes, playlist);
  const std::string rewritten = zul::WriteAddedPlaylistText(bytes, playlist, {L"C:\\Lists\\new.mp3"});
  Check(zul::ReadPlaylistPaths(rewritten, playlist).size() == paths.size() + 1);

  const std::wstring text = zul::FromLatin1(bytes);
  Check(zul::DecodeUtf8(zul::EncodeUtf8(text)) == text);

  TitlesReadBack(bytes);
  return 0;
}
