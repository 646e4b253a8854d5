#pragma once
// Reading M3U, extended M3U and PLS playlists from their bytes. The file
// I/O, the existence checks and the adding to the playlist are the loader's
// (playlist_load.h); this layer only turns text into resolved paths with the
// titles and lengths that "#EXTINF" lines give them.
//
// Encoding: bytes are ISO 8859-1, one character each, until the marker line
// (the UTF-8 byte order mark followed by "#EXTM3U"); the lines after it are
// UTF-8. A file that starts with the byte order mark is UTF-8 throughout
// even without "#EXTM3U" behind it. A line that is not valid UTF-8 is read
// as ISO 8859-1 rather than garbled.
//
// Where "#EXTINF" stands: this program writes it after the path it
// describes; other programs (the common extended M3U) write it before. The
// first line that is either an "#EXTINF" or a path not starting with "#"
// decides: an "#EXTINF" first means "before the path" (the program's own
// files always start with a path). In that order, other "#" lines are
// comments, as the common format has them ("#EXTGRP", "#EXTVLCOPT"), and an
// "#EXTINF" holds for the next path. A list of the common kind whose first
// entry has no "#EXTINF" is taken for the program's own order.
#include <string>
#include <string_view>
#include <vector>

namespace zul {

struct PlaylistFileEntry {
  std::wstring path;  // resolved against the playlist's location
  bool hasInfo = false;
  int length = 0;  // seconds, as written (-1 stays -1)
  std::wstring artist;
  std::wstring title;
};

struct ParsedPlaylist {
  std::vector<PlaylistFileEntry> entries;
  bool utf8 = false;            // the marker or a byte order mark was met
  bool infoBeforePath = false;  // "#EXTINF" lines precede their paths
};

// PLS when the name's last four characters are ".PLS" in any case.
bool IsPlsName(std::wstring_view playlistPath);
// A name to load as a playlist: the text after its last "." is "M3U" or
// "PLS" in any case.
bool IsPlaylistFileName(std::wstring_view path);

// playlistPath is the file's full path: it chooses PLS and anchors
// relative lines.
ParsedPlaylist ParsePlaylistText(std::string_view bytes, std::wstring_view playlistPath);

// Only the paths, for adding to an existing list: no "#EXT" or "#TAG="
// lines; paths resolved as ResolvePlaylistLine does.
std::vector<std::wstring> ReadPlaylistPaths(std::string_view bytes, std::wstring_view playlistPath);

}  // namespace zul
