#pragma once
// The file system as the playlist uses it: whole playlist files read and
// replaced, the "exists and is not empty" check of entries, and folder
// listings for scans. The Win32 build implements it on the Win32 file API;
// tests and benchmarks bring their own.
//
// Threads: called from playlist workers and from the UI thread at once;
// implementations keep no state between calls (or lock it).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zul {

struct FolderEntry {
  std::wstring name;  // without the folder
  bool isFolder = false;
  uint64_t size = 0;
};

class PlaylistFileSystem {
public:
  virtual ~PlaylistFileSystem() = default;
  // The whole file; false when it cannot be opened or read.
  virtual bool ReadWholeFile(const std::wstring& path, std::string* bytes) = 0;
  // Gives the file the new content in one step: afterwards it holds either
  // the old or the new bytes, whatever happens meanwhile (crash, full disk).
  virtual bool ReplaceFile(const std::wstring& path, std::string_view bytes) = 0;
  // A file (not a folder) that exists and whose size is not 0.
  virtual bool IsUsableFile(const std::wstring& path) = 0;
  // The entries of a folder ("*.*") in the system's enumeration order.
  // folder ends with a backslash. Nothing when it cannot be listed.
  virtual void ListFolder(const std::wstring& folder, std::vector<FolderEntry>* entries) = 0;
};

}  // namespace zul
