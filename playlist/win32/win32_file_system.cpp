#include "playlist/win32/win32_file_system.h"

#include "base/whole_file.h"
#include "playlist/files/playlist_files.h"

namespace zul {

ReplacingFileWriter::ReplacingFileWriter(std::wstring path) : path_(std::move(path)), temp_(path_ + L".tmp") {}

ReplacingFileWriter::~ReplacingFileWriter() {
  if (!file_) return;
  file_.Reset();  // an open file cannot be deleted
  DeleteFileW(temp_.c_str());
}

bool ReplacingFileWriter::Open() {
  // No sharing: a second writer of the same file fails here instead of
  // interleaving its bytes.
  file_.Reset(CreateFileW(temp_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file_.Valid();
}

bool ReplacingFileWriter::Write(std::string_view bytes) {
  while (ok_ && !bytes.empty()) {
    const DWORD chunk = bytes.size() > (1u << 20) ? (1u << 20) : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    ok_ = file_ && WriteFile(file_.Get(), bytes.data(), chunk, &written, nullptr) && written == chunk;
    bytes.remove_prefix(chunk);
  }
  return ok_;
}

bool ReplacingFileWriter::Commit() {
  if (!file_) return false;
  // The data must be on the disk before the rename makes it the file.
  ok_ = ok_ && FlushFileBuffers(file_.Get());
  file_.Reset();
  if (ok_ && MoveFileExW(temp_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
  DeleteFileW(temp_.c_str());
  return false;
}

bool Win32PlaylistFileSystem::ReadWholeFile(const std::wstring& path, std::string* bytes) {
  return zul::ReadWholeFile(path, kMaxPlaylistFileBytes, bytes);
}

bool Win32PlaylistFileSystem::ReplaceFile(const std::wstring& path, std::string_view bytes) {
  ReplacingFileWriter writer(path);
  return writer.Open() && writer.Write(bytes) && writer.Commit();
}

bool Win32PlaylistFileSystem::IsUsableFile(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
  return data.nFileSizeLow != 0 || data.nFileSizeHigh != 0;
}

void Win32PlaylistFileSystem::ListFolder(const std::wstring& folder, std::vector<FolderEntry>* entries) {
  WIN32_FIND_DATAW found;
  const std::wstring pattern = folder + L"*.*";
  UniqueFindHandle find(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                                         FIND_FIRST_EX_LARGE_FETCH));
  if (!find) return;
  do {
    FolderEntry e;
    e.name = found.cFileName;
    e.isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    e.size = (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    entries->push_back(std::move(e));
  } while (FindNextFileW(find.Get(), &found));
}

}  // namespace zul
