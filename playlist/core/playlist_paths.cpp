#include "playlist/core/playlist_paths.h"

#include "base/text_codec.h"
#include "playlist/core/path_parts.h"

namespace zul {

PlaylistLocation LocatePlaylist(std::wstring_view playlistPath) {
  PathSplit s = SplitPath<wchar_t>(playlistPath);
  return {std::wstring(s.Drive<wchar_t>(playlistPath)), std::wstring(s.Dir<wchar_t>(playlistPath))};
}

std::wstring ResolvePlaylistLine(std::wstring_view line, const PlaylistLocation& where) {
  PathSplit s = SplitPath<wchar_t>(line);
  if (s.driveEnd > 0 || line.starts_with(L"\\\\") || IsUrl(line)) return std::wstring(line);
  if (line.starts_with(L".\\")) return where.drive + where.folder + std::wstring(line);
  if (line.starts_with(L"..\\")) {
    std::wstring_view base = where.folder;
    if (!base.empty() && (base.back() == L'\\' || base.back() == L'/')) base.remove_suffix(1);
    std::wstring_view dir = s.Dir<wchar_t>(line);
    while (dir.starts_with(L"..\\")) {
      dir.remove_prefix(3);
      size_t cut = base.rfind(L'\\');
      if (cut != std::wstring_view::npos) base = base.substr(0, cut);
    }
    return where.drive + std::wstring(base) + L"\\" + std::wstring(dir) + std::wstring(line.substr(s.dirEnd));
  }
  // A single leading backslash names the drive's root, as lists written by
  // other programs (and by our "add to playlist") mean it.
  if (line.starts_with(L"\\")) return where.drive + std::wstring(line);
  return where.drive + where.folder + std::wstring(line);
}

std::wstring RelativePlaylistLine(std::wstring_view path, const PlaylistLocation& where, PathCompare compare) {
  if (IsUrl(path)) return std::wstring(path);
  PathSplit s = SplitPath<wchar_t>(path);
  std::wstring_view drive = s.Drive<wchar_t>(path);
  std::wstring_view folder = s.Dir<wchar_t>(path);
  std::wstring_view nameExt = path.substr(s.dirEnd);
  const bool ignoreCase = compare == PathCompare::kDriveAndFolderIgnoreCase;
  auto same = [&](std::wstring_view a, std::wstring_view b) { return ignoreCase ? EqualNoCase(a, b) : a == b; };

  if (!same(drive, where.drive)) return std::wstring(path);
  if (same(folder, where.folder)) return std::wstring(nameExt);
  // Below the playlist's folder. A prefix, not "occurs anywhere": "\Lists\"
  // inside "\Music\Lists\" is not the playlist's folder.
  if (!where.folder.empty() && folder.starts_with(where.folder)) {
    return std::wstring(folder.substr(where.folder.size())) + std::wstring(nameExt);
  }
  // Up to the nearest common folder, matched on whole folder names.
  std::wstring_view up = where.folder;
  if (!up.empty()) up.remove_suffix(1);
  std::wstring prefix;
  for (;;) {
    size_t cut = up.rfind(L'\\');
    if (cut == std::wstring_view::npos) break;
    prefix += L"..\\";
    up = up.substr(0, cut);
    std::wstring stem = std::wstring(up) + L"\\";
    if (folder.starts_with(stem)) return prefix + std::wstring(folder.substr(stem.size())) + std::wstring(nameExt);
  }
  return std::wstring(path);
}

}  // namespace zul
