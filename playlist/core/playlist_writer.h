#pragma once
// Writing playlists as bytes, ready for the file: M3U, or extended M3U with
// an "#EXTINF:<seconds>,<display title>" line after each path whose tags
// were read. Lines end with CR LF.
//
// Encoding: a list whose text fits ISO 8859-1 is written one byte per
// character, exactly as always. A list holding a character above U+00FF is
// written as UTF-8 behind the marker line (byte order mark and "#EXTM3U",
// which also serves as the extended header), so that it reads back exactly.
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "playlist/core/cached_tag.h"
#include "playlist/core/playlist_paths.h"

namespace zul {

struct PlaylistWriteOptions {
  bool extended = false;  // ExtPlaylistFormat
  int displayMode = kDisplayTitle;
  PathCompare compare = PathCompare::kExact;
};

std::string WritePlaylistText(std::span<const CachedTag> entries, std::wstring_view playlistPath,
                              const PlaylistWriteOptions& options);

// Adding paths to an existing list: its paths (see ReadPlaylistPaths) and
// then the new ones, one per line, no "#EXTM3U" or "#EXTINF". A path inside
// the playlist's folder is written relative to it, one on the playlist's
// drive without the drive.
std::string WriteAddedPlaylistText(std::string_view existingBytes, std::wstring_view playlistPath,
                                   const std::vector<std::wstring>& addedPaths);

}  // namespace zul
