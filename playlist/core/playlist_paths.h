#pragma once
// Paths inside playlist files: lines are written relative to the playlist
// file where they can be, and read back against its location.
#include <string>
#include <string_view>

namespace zul {

// Where a playlist file lives: drive "C:" (empty for UNC) and folder with
// leading and trailing backslash ("\Lists\").
struct PlaylistLocation {
  std::wstring drive;
  std::wstring folder;
};
PlaylistLocation LocatePlaylist(std::wstring_view playlistPath);

// A line of a playlist file as a full path. Drive paths, UNC paths and URLs
// stay; ".\x" and "x" land in the playlist's folder; each leading "..\" goes
// one folder up; "\x" is on the playlist's drive.
std::wstring ResolvePlaylistLine(std::wstring_view line, const PlaylistLocation& where);

// The program's own playlist compares drives and folders ignoring case (the
// file lives next to the program and the case of its folder varies); a list
// saved by the user compares exactly.
enum class PathCompare { kDriveAndFolderIgnoreCase, kExact };

// The line written for a path: the full path on another drive or for a URL,
// else relative to the playlist's folder ("x.mp3", "Sub\x.mp3",
// "..\Album\x.mp3"). A folder that no chain of "..\" reaches is written in
// full.
std::wstring RelativePlaylistLine(std::wstring_view path, const PlaylistLocation& where, PathCompare compare);

}  // namespace zul
