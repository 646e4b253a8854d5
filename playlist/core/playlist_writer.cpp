#include "playlist/core/playlist_writer.h"

#include <optional>

#include "base/text_codec.h"
#include "playlist/core/path_parts.h"
#include "playlist/core/playlist_reader.h"

namespace zul {
namespace {

constexpr char kMarkerLine[] = "\xEF\xBB\xBF#EXTM3U\r\n";

bool IsBlankByte(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// A title is one line of the file: a line break inside it would turn the
// rest of the title into a path line.
std::wstring OneLine(std::wstring text) {
  for (wchar_t& c : text) {
    if (c == L'\r' || c == L'\n') c = L' ';
  }
  return text;
}

// Latin-1 bytes that a reader would take for UTF-8: a leading byte order
// mark, or a line that is the marker line. Only names starting with "ï»¿"
// do that, but they must read back too.
bool LooksLikeUtf8(std::string_view bytes) {
  constexpr std::string_view kMarker = "\xEF\xBB\xBF#EXTM3U";
  if (bytes.starts_with("\xEF\xBB\xBF")) return true;
  for (size_t at = bytes.find(kMarker); at != std::string_view::npos; at = bytes.find(kMarker, at + 1)) {
    size_t begin = at, end = at + kMarker.size();
    while (begin > 0 && bytes[begin - 1] != '\n' && IsBlankByte(bytes[begin - 1])) --begin;
    while (end < bytes.size() && bytes[end] != '\n' && IsBlankByte(bytes[end])) ++end;
    if ((begin == 0 || bytes[begin - 1] == '\n') && (end == bytes.size() || bytes[end] == '\n')) return true;
  }
  return false;
}

// body holds the lines after the header. The extended header is only
// written when asked for, unless the marker line is needed anyway.
std::string Encode(const std::wstring& body, bool extendedHeader) {
  std::wstring text = extendedHeader ? L"#EXTM3U\r\n" + body : body;
  if (std::optional<std::string> bytes = ToLatin1(text); bytes && !LooksLikeUtf8(*bytes)) return *bytes;
  return kMarkerLine + EncodeUtf8(body);
}

}  // namespace

std::string WritePlaylistText(std::span<const CachedTag> entries, std::wstring_view playlistPath,
                              const PlaylistWriteOptions& options) {
  const PlaylistLocation where = LocatePlaylist(playlistPath);
  std::wstring body;
  for (const CachedTag& entry : entries) {
    body += RelativePlaylistLine(entry.GetPath(), where, options.compare);
    body += L"\r\n";
    if (options.extended && entry.infoRead) {
      CachedTag copy = entry;
      body += L"#EXTINF:" + std::to_wstring(entry.length) + L"," +
              OneLine(copy.GetDisplayTitle(options.displayMode, true)) + L"\r\n";
    }
  }
  return Encode(body, options.extended);
}

std::string WriteAddedPlaylistText(std::string_view existingBytes, std::wstring_view playlistPath,
                                   const std::vector<std::wstring>& addedPaths) {
  const PlaylistLocation where = LocatePlaylist(playlistPath);
  const std::wstring home = where.drive + where.folder;
  std::vector<std::wstring> paths = ReadPlaylistPaths(existingBytes, playlistPath);
  paths.insert(paths.end(), addedPaths.begin(), addedPaths.end());
  std::wstring body;
  for (const std::wstring& path : paths) {
    std::wstring_view p = path;
    if (!IsUrl(p) && !where.drive.empty()) {
      if (!where.folder.empty() && StartsWithNoCase(p, home)) {
        p.remove_prefix(home.size());
      } else if (StartsWithNoCase(p, where.drive) && p.size() > 2 && p[2] == L'\\') {
        p.remove_prefix(where.drive.size());
      }
    }
    body += p;
    body += L"\r\n";
  }
  return Encode(body, false);
}

}  // namespace zul
