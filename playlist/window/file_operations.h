#pragma once
// One file at a time moved, copied, renamed or deleted so that each file is
// either done or left as it was: a copy is written under a temporary name
// and renamed into place, a move across volumes copies, then deletes the
// source only once the copy is whole, and a rename never replaces a file.
// Paths longer than MAX_PATH get the "\\?\" prefix the system needs for
// them.
//
// Threads: any thread; no state.
#include <windows.h>

#include <string>

namespace zul {

struct FileOpResult {
  bool ok = false;
  DWORD error = 0;  // GetLastError() of the step that failed
};

// "\\?\" (or "\\?\UNC\") in front of a full path too long for the plain
// file functions; anything else unchanged.
std::wstring LongPathForm(const std::wstring& path);

// Everything after the last backslash.
std::wstring NameOf(const std::wstring& path);
std::wstring FolderOf(const std::wstring& path);  // up to and including the last backslash

bool FileUsable(const std::wstring& path);  // exists, not a folder, size not 0

// The target must not exist (the caller asked about overwriting first).
FileOpResult CopyOneFile(const std::wstring& from, const std::wstring& to);
FileOpResult MoveOneFile(const std::wstring& from, const std::wstring& to);
// Clears the attributes and deletes: to the recycle bin where the system has
// one for that path, otherwise for good.
FileOpResult DeleteOneFile(const std::wstring& path);
// Clears the attributes and deletes for good (an overwritten target).
FileOpResult RemoveOneFile(const std::wstring& path);

// The system's text for an error number, without the line break.
std::wstring ErrorText(DWORD error);

}  // namespace zul
