#include "pluginhost/info_window/tag_file.h"

#include <climits>

namespace zul {
namespace {

OVERLAPPED At(std::uint64_t offset) {
  OVERLAPPED o{};
  o.Offset = static_cast<DWORD>(offset);
  o.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return o;
}

}  // namespace

TagFileOpen CTagFile::Open(const std::wstring& path, std::unique_ptr<CTagFile>& file) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return TagFileOpen::CannotOpen;
  if (attributes & FILE_ATTRIBUTE_READONLY) return TagFileOpen::ReadOnly;
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) return TagFileOpen::InUse;
    if (error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT) return TagFileOpen::ReadOnly;
    return TagFileOpen::CannotOpen;
  }
  file.reset(new CTagFile(h));
  return TagFileOpen::Opened;
}

std::uint64_t CTagFile::Size() const {
  LARGE_INTEGER size{};
  return GetFileSizeEx(handle_.Get(), &size) ? static_cast<std::uint64_t>(size.QuadPart) : 0;
}

std::size_t CTagFile::ReadAt(std::int64_t offset, void* dst, std::size_t count) {
  if (offset < 0 || count > UINT_MAX) return 0;
  OVERLAPPED o = At(static_cast<std::uint64_t>(offset));
  DWORD read = 0;
  if (!ReadFile(handle_.Get(), dst, static_cast<DWORD>(count), &read, &o)) return 0;
  return read;
}

bool CTagFile::WriteAt(std::uint64_t offset, const void* src, std::size_t count) {
  if (count > UINT_MAX) return false;
  OVERLAPPED o = At(offset);
  DWORD written = 0;
  return WriteFile(handle_.Get(), src, static_cast<DWORD>(count), &written, &o) && written == count;
}

bool CTagFile::Truncate(std::uint64_t size) {
  LARGE_INTEGER to{};
  to.QuadPart = static_cast<LONGLONG>(size);
  return SetFilePointerEx(handle_.Get(), to, nullptr, FILE_BEGIN) && SetEndOfFile(handle_.Get());
}

bool CTagFile::Flush() { return FlushFileBuffers(handle_.Get()) != 0; }

}  // namespace zul
