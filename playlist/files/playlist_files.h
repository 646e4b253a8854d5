#pragma once
// Playlist files on disk: reading one for a load, writing the program's own
// playlist and the lists the user saves, adding paths to an existing list.
// Every write replaces the file in one step (PlaylistFileSystem::
// ReplaceFile), so a crash or a full disk leaves the previous file whole.
//
// Threads: the reading runs on the loading worker, the writing on the UI
// thread; both only copy from the playlist under its lock.
#include <string>
#include <vector>

#include "playlist/core/playlist_manager.h"
#include "playlist/core/playlist_reader.h"
#include "playlist/files/playlist_file_system.h"

namespace zul {

// Playlist files larger than this are refused rather than read into memory:
// 10000 entries of 259 characters with their "#EXTINF" lines fit many times.
inline constexpr size_t kMaxPlaylistFileBytes = 64u << 20;

// false when the file cannot be read (the caller then changes nothing).
bool ReadPlaylistFile(PlaylistFileSystem& fs, const std::wstring& path, ParsedPlaylist* parsed);

// The program's own playlist: every entry, drives and folders compared
// ignoring case for the relative lines. False when it could not be written.
bool SaveCurrentPlaylist(PlaylistFileSystem& fs, const std::wstring& path, const PlaylistManager& playlist,
                         bool extended);

// A list the user saves: the entries at `indices` in that order (invalid
// ones skipped), compared exactly for the relative lines.
bool SavePlaylistRows(PlaylistFileSystem& fs, const std::wstring& path, const PlaylistManager& playlist,
                      const std::vector<int>& indices, bool extended);

// Appends paths to an existing list, rewriting it as plain paths. False
// when it cannot be read or written; the file is then unchanged.
bool AddToExistingPlaylist(PlaylistFileSystem& fs, const std::wstring& path, const std::vector<std::wstring>& paths);

}  // namespace zul
