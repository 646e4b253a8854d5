#pragma once
// The playlist's file system on the Win32 file API, and the writer that
// replaces a file in one step.
//
// Threads: no state; any thread.
#include <windows.h>

#include <string>
#include <string_view>

#include "base/win32_handles.h"
#include "playlist/files/playlist_file_system.h"

namespace zul {

// Writes a new version of a file beside it ("<name>.tmp") and puts it in
// place with one MoveFileEx, so the file is at every moment either the old
// or the new whole version. A writer destroyed without Commit (an error, or
// an exception) deletes its temporary file; a process killed mid-write
// leaves only the temporary file, which the next save overwrites.
class ReplacingFileWriter {
public:
  explicit ReplacingFileWriter(std::wstring path);
  ~ReplacingFileWriter();
  ReplacingFileWriter(const ReplacingFileWriter&) = delete;
  ReplacingFileWriter& operator=(const ReplacingFileWriter&) = delete;

  bool Open();
  bool Write(std::string_view bytes);
  // Flushes, closes and moves the new file over the old one.
  bool Commit();
  const std::wstring& TempPath() const { return temp_; }

private:
  std::wstring path_;
  std::wstring temp_;
  UniqueHandle file_;
  bool ok_ = true;
};

class Win32PlaylistFileSystem : public PlaylistFileSystem {
public:
  bool ReadWholeFile(const std::wstring& path, std::string* bytes) override;
  bool ReplaceFile(const std::wstring& path, std::string_view bytes) override;
  bool IsUsableFile(const std::wstring& path) override;
  void ListFolder(const std::wstring& folder, std::vector<FolderEntry>* entries) override;
};

}  // namespace zul
