#include "playlist/core/title_template.h"

#include <cstdint>

#include "base/text_codec.h"
#include "playlist/core/path_parts.h"

namespace zul {
namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f'; }

std::wstring Trim(std::wstring_view text) {
  size_t b = 0, e = text.size();
  while (b < e && IsBlank(text[b])) ++b;
  while (e > b && IsBlank(text[e - 1])) --e;
  return std::wstring(text.substr(b, e - b));
}

std::wstring Placeholder(int digit) { return std::wstring{L'%', static_cast<wchar_t>(L'0' + digit)}; }

std::wstring SharedValue(CachedTag& entry, int digit) {
  switch (digit) {
    case 1:
      return entry.GetArtist(false);
    case 2:
      return entry.GetTitle(false);
    case 3:
      return entry.GetAlbum();
    case 4:
      return entry.GetYear();
    case 5:
      return entry.GetComment();
    case 6:
      return entry.GetLengthText(false);
    case 7:
      return entry.GetFileName();
    case 8:
      return entry.GetDrive();
    case 9:
      return entry.GetFolder();
  }
  return {};
}

// The value is computed only when the placeholder occurs: asking for a tag
// value reads the file.
void ReplaceIfPresent(std::wstring& text, CachedTag& entry, int digit) {
  std::wstring ph = Placeholder(digit);
  if (text.find(ph) == std::wstring::npos) return;
  ReplaceAll(text, ph, SharedValue(entry, digit));
}

}  // namespace

void ReplaceAll(std::wstring& text, std::wstring_view what, std::wstring_view with) {
  if (what.empty()) return;
  size_t at = text.find(what);
  if (at == std::wstring::npos) return;
  std::wstring out;
  out.reserve(text.size() + with.size());
  size_t from = 0;
  while (at != std::wstring::npos) {
    out.append(text, from, at - from);
    out.append(with);
    from = at + what.size();
    at = text.find(what, from);
  }
  out.append(text, from, std::wstring::npos);
  text.swap(out);
}

void FormatEntry(CachedTag& entry, std::wstring_view tmpl) {
  std::wstring text(tmpl);
  for (int digit : {7, 8, 9}) ReplaceIfPresent(text, entry, digit);
  if (text.find(L'%') != std::wstring::npos) {
    for (int digit = 1; digit <= 6; ++digit) ReplaceIfPresent(text, entry, digit);
  }
  ReplaceAll(text, L"\\\\", L"\\");
  entry.SetFormatted(text);
}

std::wstring ExpandPlaceholders(std::wstring text, CachedTag& entry) {
  for (int digit = 1; digit <= 9; ++digit) ReplaceIfPresent(text, entry, digit);
  return text;
}

std::wstring ExpandEscapes(std::wstring text, bool withTab) {
  ReplaceAll(text, L"\\r", L"\r");
  ReplaceAll(text, L"\\n", L"\n");
  if (withTab) ReplaceAll(text, L"\\t", L"\t");
  return text;
}

bool IsAlbumArtFileName(std::wstring_view name) {
  size_t dot = name.rfind(L'.');
  if (dot == std::wstring_view::npos) return false;
  std::wstring_view ext = name.substr(dot + 1, 3);
  // The extension is matched as a whole item of the list: a bare substring
  // test would take ".b", ".mp" or a name without extension for a picture.
  std::wstring key = L";";
  for (wchar_t c : ext) key.push_back((c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c);
  key.push_back(L';');
  return std::wstring_view(L";BMP;JPG;").find(key) != std::wstring_view::npos;
}

std::wstring FormatTooltipText(std::wstring_view tmpl, CachedTag& current, const AlbumArtFinder& findArt) {
  current.ReadTags(false);
  std::wstring text = ExpandPlaceholders(ExpandEscapes(std::wstring(tmpl), true), current);
  if (text.find(L"%A") != std::wstring::npos && findArt && !current.GetPath().empty() && !current.IsUrl()) {
    if (std::optional<std::wstring> art = findArt(current.GetDrive() + current.GetFolder())) {
      ReplaceAll(text, L"%A", *art);
    }
  }
  return text;
}

std::wstring FormatNowPlayingText(std::wstring_view tmpl, CachedTag& current) {
  return ExpandEscapes(Trim(ExpandPlaceholders(std::wstring(tmpl), current)), false);
}

std::wstring FormatMessengerText(std::wstring_view tmpl, CachedTag& current, int elapsedSeconds) {
  std::wstring text = ExpandPlaceholders(std::wstring(tmpl), current);
  if (elapsedSeconds < 0) elapsedSeconds = 0;
  ReplaceAll(text, L"%A", TwoDigits(elapsedSeconds / 60) + L":" + TwoDigits(elapsedSeconds % 60));
  return text;
}

std::wstring FormatRenameName(std::wstring_view tmpl, int position, int trackInAlbum, std::wstring_view artist,
                              std::wstring_view title, std::wstring_view album, std::wstring_view path) {
  const std::wstring track = TwoDigits(trackInAlbum);
  std::wstring text(tmpl);
  ReplaceAll(text, L"%1", TwoDigits(position));
  ReplaceAll(text, L"%2", artist.empty() ? std::wstring_view(L"Unknown artist") : artist);
  ReplaceAll(text, L"%3", title.empty() ? L"Track" + track : std::wstring(title));
  ReplaceAll(text, L"%4", album.empty() ? std::wstring_view(L"Unknown album") : album);
  ReplaceAll(text, L"%5", track);
  // The extension is the file's own: a dot in a folder name is not one.
  text += SplitPath<wchar_t>(path).Ext<wchar_t>(path);
  for (wchar_t& c : text) {
    // Control characters are refused by the file system just like the
    // reserved nine, and tags do carry them.
    if (std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos || static_cast<uint32_t>(c) < 0x20)
      c = L'_';
  }
  return text;
}

std::optional<Id3v1Names> ParseId3v1Names(std::string_view tail, unsigned long long fileSize) {
  if (fileSize < 129 || tail.size() < 128) return std::nullopt;
  std::string_view tag = tail.substr(tail.size() - 128);
  if (tag.substr(0, 3) != "TAG") return std::nullopt;
  auto field = [&](size_t offset) {
    std::string_view f = tag.substr(offset, 30);
    f = f.substr(0, f.find('\0'));
    while (!f.empty() && (f.back() == ' ' || f.back() == '\t' || f.back() == '\r' || f.back() == '\n')) {
      f.remove_suffix(1);
    }
    return std::string(f);
  };
  return Id3v1Names{field(3), field(33), field(63)};
}

}  // namespace zul
