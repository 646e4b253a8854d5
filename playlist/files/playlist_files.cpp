#include "playlist/files/playlist_files.h"

#include "playlist/core/playlist_writer.h"

namespace zul {
namespace {

bool ReadBounded(PlaylistFileSystem& fs, const std::wstring& path, std::string* bytes) {
  return fs.ReadWholeFile(path, bytes) && bytes->size() <= kMaxPlaylistFileBytes;
}

}  // namespace

bool ReadPlaylistFile(PlaylistFileSystem& fs, const std::wstring& path, ParsedPlaylist* parsed) {
  std::string bytes;
  if (!ReadBounded(fs, path, &bytes)) return false;
  *parsed = ParsePlaylistText(bytes, path);
  return true;
}

bool SaveCurrentPlaylist(PlaylistFileSystem& fs, const std::wstring& path, const PlaylistManager& playlist,
                         bool extended) {
  const std::vector<CachedTag> entries = playlist.Snapshot();
  PlaylistWriteOptions options{extended, playlist.GetDisplayMode(), PathCompare::kDriveAndFolderIgnoreCase};
  return fs.ReplaceFile(path, WritePlaylistText(entries, path, options));
}

bool SavePlaylistRows(PlaylistFileSystem& fs, const std::wstring& path, const PlaylistManager& playlist,
                      const std::vector<int>& indices, bool extended) {
  std::vector<CachedTag> rows;
  {
    // One lock for the whole selection, so the rows come from one state of
    // the list.
    auto lock = playlist.Lock();
    const int count = playlist.Count();
    rows.reserve(indices.size());
    for (int i : indices) {
      if (i >= 0 && i < count) rows.push_back(playlist.GetEntry(i));
    }
  }
  PlaylistWriteOptions options{extended, playlist.GetDisplayMode(), PathCompare::kExact};
  return fs.ReplaceFile(path, WritePlaylistText(rows, path, options));
}

bool AddToExistingPlaylist(PlaylistFileSystem& fs, const std::wstring& path, const std::vector<std::wstring>& paths) {
  std::string existing;
  if (!ReadBounded(fs, path, &existing)) return false;
  return fs.ReplaceFile(path, WriteAddedPlaylistText(existing, path, paths));
}

}  // namespace zul
