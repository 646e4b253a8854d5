#pragma once
// The common tail of loading a playlist file: its parsed entries go into the
// playlist. The Win32 loader reads the file's bytes, runs this with its
// existence check and then AfterLoad.
//
// Threads: runs on the loading worker; adds through the locked
// PlaylistManager operations and formats each entry (which may read tags)
// before it enters the playlist, outside the lock.
#include <atomic>
#include <functional>
#include <string>
#include <string_view>

#include "playlist/core/playlist_manager.h"
#include "playlist/core/playlist_reader.h"

namespace zul {

// fileUsable: the file exists and its size is not 0. Locations ("://"
// after the first character) are taken without asking. Each entry gets its
// sort key from sortTemplate; a title and length from the file are kept with
// the tags still unread, so the other tags are read later and the title is
// not. Returns the number of entries added (the 10000 cap drops the rest).
// A stop flag, when given, ends the adding between two lines.
int AppendPlaylistEntries(PlaylistManager& playlist, const ParsedPlaylist& parsed, std::wstring_view sortTemplate,
                          const std::function<bool(const std::wstring&)>& fileUsable,
                          const std::atomic<bool>* stop = nullptr);

}  // namespace zul
