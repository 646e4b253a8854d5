#include "playlist/core/playlist_load.h"

#include "playlist/core/path_parts.h"
#include "playlist/core/title_template.h"

namespace zul {

int AppendPlaylistEntries(PlaylistManager& playlist, const ParsedPlaylist& parsed, std::wstring_view sortTemplate,
                          const std::function<bool(const std::wstring&)>& fileUsable, const std::atomic<bool>* stop) {
  int added = 0;
  for (const PlaylistFileEntry& line : parsed.entries) {
    if (stop && stop->load(std::memory_order_relaxed)) break;
    if (playlist.Count() >= PlaylistManager::kMaxEntries) break;
    if (!IsUrlLocation(line.path) && !fileUsable(line.path)) continue;
    CachedTag entry(line.path);
    FormatEntry(entry, sortTemplate);
    if (line.hasInfo) {
      entry.length = line.length;
      entry.SetArtist(line.artist);
      entry.SetTitle(line.title);
      entry.infoRead = false;
    }
    const int before = playlist.Count();
    playlist.SetOrAdd(-1, entry);
    if (playlist.Count() > before) ++added;
  }
  return added;
}

}  // namespace zul
