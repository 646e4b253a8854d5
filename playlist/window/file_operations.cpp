#include "playlist/window/file_operations.h"

#include <shellapi.h>

namespace zul {
namespace {

FileOpResult Failed() { return FileOpResult{false, GetLastError()}; }

}  // namespace

std::wstring LongPathForm(const std::wstring& path) {
  if (path.size() < MAX_PATH - 12 || path.rfind(L"\\\\?\\", 0) == 0) return path;
  if (path.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + path.substr(2);
  return L"\\\\?\\" + path;
}

std::wstring NameOf(const std::wstring& path) {
  size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring FolderOf(const std::wstring& path) {
  size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

bool FileUsable(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(LongPathForm(path).c_str(), GetFileExInfoStandard, &data)) return false;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
  return data.nFileSizeHigh != 0 || data.nFileSizeLow != 0;
}

FileOpResult CopyOneFile(const std::wstring& from, const std::wstring& to) {
  // Written under a name of its own, then renamed: a copy cut short by a
  // full disk or a vanished source never leaves half a file under the
  // target's name.
  const std::wstring partial = to + L".zulpart";
  const std::wstring longPartial = LongPathForm(partial);
  if (!CopyFileW(LongPathForm(from).c_str(), longPartial.c_str(), TRUE)) {
    FileOpResult r = Failed();
    DeleteFileW(longPartial.c_str());
    return r;
  }
  SetFileAttributesW(longPartial.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!MoveFileExW(longPartial.c_str(), LongPathForm(to).c_str(), 0)) {
    FileOpResult r = Failed();
    DeleteFileW(longPartial.c_str());
    return r;
  }
  return FileOpResult{true, 0};
}

FileOpResult MoveOneFile(const std::wstring& from, const std::wstring& to) {
  const std::wstring src = LongPathForm(from);
  const std::wstring dst = LongPathForm(to);
  if (MoveFileExW(src.c_str(), dst.c_str(), 0)) return FileOpResult{true, 0};
  const DWORD error = GetLastError();
  if (error != ERROR_NOT_SAME_DEVICE) return FileOpResult{false, error};
  // Across volumes: the source goes only once the copy is whole; a source
  // that cannot go takes its copy back, so the file exists exactly once.
  FileOpResult copied = CopyOneFile(from, to);
  if (!copied.ok) return copied;
  if (!DeleteFileW(src.c_str())) {
    FileOpResult r = Failed();
    SetFileAttributesW(dst.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(dst.c_str());
    return r;
  }
  return FileOpResult{true, 0};
}

FileOpResult RemoveOneFile(const std::wstring& path) {
  const std::wstring p = LongPathForm(path);
  const DWORD attributes = GetFileAttributesW(p.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return Failed();
  SetFileAttributesW(p.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (DeleteFileW(p.c_str())) return FileOpResult{true, 0};
  FileOpResult r = Failed();
  SetFileAttributesW(p.c_str(), attributes);  // untouched means its attributes too
  return r;
}

FileOpResult DeleteOneFile(const std::wstring& path) {
  const std::wstring p = LongPathForm(path);
  const DWORD attributes = GetFileAttributesW(p.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return Failed();
  // A file another program holds open without sharing deletion cannot go;
  // asking first keeps the shell from reporting it in a box of its own and
  // from leaving the attributes cleared.
  HANDLE probe = CreateFileW(p.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (probe == INVALID_HANDLE_VALUE) return Failed();
  CloseHandle(probe);
  if (p.size() < MAX_PATH && p.rfind(L"\\\\?\\", 0) != 0) {
    SetFileAttributesW(p.c_str(), FILE_ATTRIBUTE_NORMAL);
    std::wstring from = p;
    from.push_back(L'\0');  // the list ends with two nulls
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    const int rc = SHFileOperationW(&op);
    if (rc == 0 && !op.fAnyOperationsAborted && GetFileAttributesW(p.c_str()) == INVALID_FILE_ATTRIBUTES)
      return FileOpResult{true, 0};
    if (GetFileAttributesW(p.c_str()) == INVALID_FILE_ATTRIBUTES) return FileOpResult{true, 0};
    SetFileAttributesW(p.c_str(), attributes);
    return FileOpResult{false, rc != 0 ? static_cast<DWORD>(rc) : ERROR_CANCELLED};
  }
  // The shell's recycle bin takes no long paths: those are deleted for good.
  return RemoveOneFile(path);
}

std::wstring ErrorText(DWORD error) {
  wchar_t* text = nullptr;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring result = text ? text : L"";
  if (text) LocalFree(text);
  while (!result.empty() && (result.back() == L'\n' || result.back() == L'\r' || result.back() == L' '))
    result.pop_back();
  if (result.empty()) result = L"error " + std::to_wstring(error);
  return result;
}

}  // namespace zul
