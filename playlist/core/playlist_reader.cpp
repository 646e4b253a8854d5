#include "playlist/core/playlist_reader.h"

#include <optional>

#include "base/text_codec.h"
#include "playlist/core/playlist_paths.h"

namespace zul {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kMarkerLine = "\xEF\xBB\xBF#EXTM3U";

bool IsBlankByte(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string_view TrimBytes(std::string_view s) {
  while (!s.empty() && IsBlankByte(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlankByte(s.back())) s.remove_suffix(1);
  return s;
}

std::wstring_view TrimWide(std::wstring_view s) {
  auto blank = [](wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f';
  };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

// Splits the bytes into trimmed lines and decodes each, switching to UTF-8
// at the marker line (which itself is not handed on).
class LineReader {
public:
  explicit LineReader(std::string_view bytes) : rest_(bytes) {
    // With or without "#EXTM3U" behind it, a leading byte order mark says
    // UTF-8 (the marker line then reads as the plain header).
    if (rest_.starts_with(kBom)) {
      utf8_ = true;
      rest_.remove_prefix(kBom.size());
    }
  }

  std::optional<std::wstring> Next() {
    while (!done_) {
      size_t end = rest_.find('\n');
      std::string_view raw = rest_.substr(0, end);
      if (end == std::string_view::npos) {
        done_ = true;
      } else {
        rest_.remove_prefix(end + 1);
      }
      std::string_view line = TrimBytes(raw);
      if (line == kMarkerLine) {
        utf8_ = true;
        continue;
      }
      if (utf8_) {
        if (std::optional<std::wstring> text = DecodeUtf8(line)) return text;
      }
      return FromLatin1(line);
    }
    return std::nullopt;
  }

  bool Utf8() const { return utf8_; }

private:
  std::string_view rest_;
  bool utf8_ = false;
  bool done_ = false;
};

// "#EXTINF:" length "," title, the title "Artist - Title" when it holds
// " - ". Nothing without a comma: such a line names no title.
bool ParseExtInf(std::wstring_view line, PlaylistFileEntry* info) {
  std::wstring_view body = line.substr(8);
  size_t comma = body.find(L',');
  if (comma == std::wstring_view::npos) return false;
  info->hasInfo = true;
  info->length = ParseLeadingInt(body.substr(0, comma));
  std::wstring_view rest = body.substr(comma + 1);
  size_t dash = rest.find(L" - ");
  if (dash == std::wstring_view::npos) {
    info->artist.clear();
    info->title = rest;
  } else {
    info->artist = rest.substr(0, dash);
    info->title = rest.substr(dash + 3);
  }
  return true;
}

bool StartsWithAsciiNoCase(std::wstring_view text, std::wstring_view prefix) { return StartsWithNoCase(text, prefix); }

}  // namespace

bool IsPlsName(std::wstring_view playlistPath) {
  return playlistPath.size() >= 4 && EqualNoCase(playlistPath.substr(playlistPath.size() - 4), L".PLS");
}

bool IsPlaylistFileName(std::wstring_view path) {
  size_t dot = path.rfind(L'.');
  if (dot == std::wstring_view::npos) return false;
  std::wstring_view ext = path.substr(dot + 1);
  return EqualNoCase(ext, L"M3U") || EqualNoCase(ext, L"PLS");
}

ParsedPlaylist ParsePlaylistText(std::string_view bytes, std::wstring_view playlistPath) {
  ParsedPlaylist out;
  const bool pls = IsPlsName(playlistPath);
  const PlaylistLocation where = LocatePlaylist(playlistPath);
  enum class Order { kUnknown, kAfterPath, kBeforePath } order = Order::kUnknown;
  PlaylistFileEntry pending;  // an "#EXTINF" waiting for its path

  LineReader reader(bytes);
  while (std::optional<std::wstring> next = reader.Next()) {
    std::wstring_view line = *next;
    if (line.empty() || line.starts_with(L"#EXTM3U")) continue;
    if (!pls && line.starts_with(L"#TAG=")) continue;
    if (!pls && line.starts_with(L"#EXTINF:")) {
      if (order == Order::kUnknown) order = Order::kBeforePath;
      PlaylistFileEntry info;
      if (order == Order::kBeforePath) {
        pending = ParseExtInf(line, &info) ? info : PlaylistFileEntry{};
      } else if (!out.entries.empty() && ParseExtInf(line, &info)) {
        PlaylistFileEntry& last = out.entries.back();
        last.hasInfo = true;
        last.length = info.length;
        last.artist = std::move(info.artist);
        last.title = std::move(info.title);
      }
      continue;
    }
    std::wstring_view pathText;
    if (pls) {
      if (!StartsWithAsciiNoCase(line, L"file")) continue;
      size_t eq = line.find(L'=');
      pathText = TrimWide(eq == std::wstring_view::npos ? line : line.substr(eq + 1));
      if (pathText.empty()) continue;
    } else {
      if (line.front() == L'#') {
        // Comments of the common format; in the program's own order such
        // a line was always tried as a path.
        if (order == Order::kBeforePath) continue;
      } else if (order == Order::kUnknown) {
        order = Order::kAfterPath;
      }
      pathText = line;
    }
    PlaylistFileEntry entry;
    if (order == Order::kBeforePath && pending.hasInfo) entry = std::move(pending);
    pending = PlaylistFileEntry{};
    entry.path = ResolvePlaylistLine(pathText, where);
    out.entries.push_back(std::move(entry));
  }
  out.utf8 = reader.Utf8();
  out.infoBeforePath = order == Order::kBeforePath;
  return out;
}

std::vector<std::wstring> ReadPlaylistPaths(std::string_view bytes, std::wstring_view playlistPath) {
  std::vector<std::wstring> out;
  const PlaylistLocation where = LocatePlaylist(playlistPath);
  LineReader reader(bytes);
  while (std::optional<std::wstring> next = reader.Next()) {
    std::wstring_view line = *next;
    if (line.empty() || line.starts_with(L"#EXT") || line.starts_with(L"#TAG=")) continue;
    out.push_back(ResolvePlaylistLine(line, where));
  }
  return out;
}

}  // namespace zul
