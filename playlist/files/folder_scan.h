#pragma once
// Adding the playable files of a folder tree to the playlist.
//
// Which files count: the first three characters after the name's last "."
// (a name without a dot: its first three characters), upper-cased, must be
// one of the input plug-ins' extensions, and the size must not be 0. Only
// three characters are compared, so "x.flac" matches a list holding "FLA"
// and "x.mp3x" one holding "MP3".
//
// Threads: runs on a playlist worker (loads, automation rescans); adds
// through the locked PlaylistManager operations, one file at a time.
#include <atomic>
#include <string>
#include <string_view>

#include "playlist/core/playlist_manager.h"
#include "playlist/files/playlist_file_system.h"

namespace zul {

// ";MP3;MP2;" from the host's "mp3;MP2" (";"-separated, any case); empty
// pieces are dropped, so a name ending in "." never matches, and so are the
// playlist types "M3U" and "PLS", which the built-in input also claims.
std::wstring ExtensionSet(std::wstring_view hostList);
bool MatchesExtensionSet(std::wstring_view fileName, std::wstring_view extensionSet);

struct FolderScan {
  std::wstring extensionSet;  // from ExtensionSet
  // Skip files whose path is already in the playlist (ignoring case).
  bool checkDuplicates = false;
  const std::atomic<bool>* stop = nullptr;  // ends the scan between files
};

// Depth first in enumeration order: a sub-folder is scanned where the
// listing meets it. folder gets a trailing backslash when it has none; an
// empty folder text scans nothing. Returns the number of files added.
int ScanFolder(PlaylistFileSystem& fs, PlaylistManager& playlist, std::wstring folder, const FolderScan& scan);

}  // namespace zul
