#include "playlist/files/folder_scan.h"

#include <unordered_set>
#include <vector>

#include "base/text_codec.h"

namespace zul {
namespace {

// Paths longer than this cannot be entries; it also bounds the depth of a
// tree that links back into itself.
constexpr size_t kMaxPath = 259;

wchar_t UpperAscii(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c; }

std::wstring Folded(std::wstring_view text) {
  std::wstring out(text);
  for (wchar_t& c : out) c = FoldAscii(c);
  return out;
}

struct ScanState {
  PlaylistFileSystem& fs;
  PlaylistManager& playlist;
  const FolderScan& scan;
  std::unordered_set<std::wstring> known;  // folded paths, when checking duplicates
  int added = 0;

  bool Stopped() const { return scan.stop && scan.stop->load(std::memory_order_relaxed); }

  void Scan(const std::wstring& folder) {
    std::vector<FolderEntry> entries;
    fs.ListFolder(folder, &entries);
    for (const FolderEntry& e : entries) {
      if (Stopped()) return;
      if (e.name.empty() || e.name == L"." || e.name == L"..") continue;
      std::wstring full = folder + e.name;
      if (full.size() > kMaxPath) continue;
      if (e.isFolder) {
        Scan(full + L'\\');
        continue;
      }
      if (e.size == 0 || !MatchesExtensionSet(e.name, scan.extensionSet)) continue;
      if (scan.checkDuplicates && !known.insert(Folded(full)).second) continue;
      const int before = playlist.Count();
      playlist.AddPath(-1, full);
      if (playlist.Count() > before) ++added;
    }
  }
};

}  // namespace

std::wstring ExtensionSet(std::wstring_view hostList) {
  std::wstring set = L";";
  size_t start = 0;
  while (start <= hostList.size()) {
    size_t end = hostList.find(L';', start);
    if (end == std::wstring_view::npos) end = hostList.size();
    std::wstring piece;
    for (wchar_t c : hostList.substr(start, end - start)) piece += UpperAscii(c);
    // The built-in input claims playlist files too, but a playlist found in
    // a folder is not a track: as an entry it could never play.
    if (!piece.empty() && piece != L"M3U" && piece != L"PLS") set += piece + L';';
    start = end + 1;
  }
  return set == L";" ? std::wstring() : set;
}

bool MatchesExtensionSet(std::wstring_view fileName, std::wstring_view extensionSet) {
  if (extensionSet.empty()) return false;
  const size_t dot = fileName.rfind(L'.');
  std::wstring_view ext = dot == std::wstring_view::npos ? fileName : fileName.substr(dot + 1);
  ext = ext.substr(0, 3);
  if (ext.empty()) return false;
  std::wstring key = L";";
  for (wchar_t c : ext) key += UpperAscii(c);
  key += L';';
  return extensionSet.find(key) != std::wstring_view::npos;
}

int ScanFolder(PlaylistFileSystem& fs, PlaylistManager& playlist, std::wstring folder, const FolderScan& scan) {
  if (folder.empty()) return 0;
  if (folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
  ScanState state{fs, playlist, scan, {}, 0};
  if (scan.checkDuplicates) {
    // One snapshot instead of a pass over the playlist for every file.
    for (const CachedTag& e : playlist.Snapshot()) state.known.insert(Folded(e.GetPath()));
  }
  state.Scan(folder);
  return state.added;
}

}  // namespace zul
