#pragma once
// A file opened for the ID3v1 writer: read and write, other writers denied.
// A read-only file is refused before it is opened (its attributes are left
// as they are), and so is a file another program holds open for writing.
//
// Threads: UI thread.
#include <windows.h>

#include <memory>
#include <string>

#include "base/win32_handles.h"
#include "mpeg_input/tags/id3v1_writer.h"

namespace zul {

enum class TagFileOpen { Opened, ReadOnly, InUse, CannotOpen };

class CTagFile final : public tags::CWritableFile {
public:
  static TagFileOpen Open(const std::wstring& path, std::unique_ptr<CTagFile>& file);

  std::uint64_t Size() const override;
  std::size_t ReadAt(std::int64_t offset, void* dst, std::size_t count) override;
  bool WriteAt(std::uint64_t offset, const void* src, std::size_t count) override;
  bool Truncate(std::uint64_t size) override;
  bool Flush() override;

private:
  explicit CTagFile(HANDLE handle) : handle_(handle) {}
  UniqueHandle handle_;
};

}  // namespace zul
