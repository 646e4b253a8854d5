#include "base/whole_file.h"

#include <windows.h>

#include "base/win32_handles.h"

namespace zul {

bool ReadWholeFile(const std::wstring& path, unsigned long long maxBytes, std::string* bytes) {
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return false;
  LARGE_INTEGER size{};
  DWORD error = ERROR_SUCCESS;
  if (!GetFileSizeEx(file.Get(), &size)) {
    error = GetLastError();
  } else if (static_cast<unsigned long long>(size.QuadPart) > maxBytes) {
    error = ERROR_FILE_TOO_LARGE;
  } else {
    bytes->resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    if (!bytes->empty() && !ReadFile(file.Get(), bytes->data(), static_cast<DWORD>(bytes->size()), &got, nullptr))
      error = GetLastError();
    else if (got != bytes->size())
      error = ERROR_HANDLE_EOF;  // the file shrank while it was read
  }
  file.Reset();  // before SetLastError: the caller is told the read's error
  SetLastError(error);
  return error == ERROR_SUCCESS;
}

}  // namespace zul
