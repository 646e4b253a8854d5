#pragma once
// Test support for the Wine suite: zul.exe copied into a folder of its own
// (so each test has its own settings file) and started as a real process,
// plus the ways a test talks to a running instance.
#include <windows.h>

#include <string>
#include <vector>

#include "base/win32_handles.h"

namespace zul::test {

// Folder next to the test executables; zul.exe is built there too.
std::wstring BinDir();
// A new empty folder in the temporary folder: "<prefix>-<process id>-<n>".
// Wine reuses process ids, so a folder of that name left by an earlier run
// is emptied first (its files; the tests make no subfolders there).
std::wstring FreshTempFolder(const std::wstring& prefix);

class ZulSandbox {
public:
  explicit ZulSandbox(const std::wstring& name);
  ~ZulSandbox();  // ends every process it started that is still running

  const std::wstring& dir() const { return dir_; }
  const std::wstring& exe() const { return exe_; }
  std::wstring ini() const { return dir_ + L"\\zul.ini"; }

  // Starts zul.exe with the arguments (already quoted as needed).
  HANDLE Start(const std::wstring& args, DWORD* pid = nullptr);
  // Starts and waits for the exit; returns the exit code, or STILL_ACTIVE
  // when it did not end within the time (the process is then killed).
  DWORD RunToEnd(const std::wstring& args, DWORD timeoutMs = 30000);

private:
  std::wstring dir_, exe_;
  std::vector<UniqueHandle> processes_;
};

// Polls instance discovery until a main window of that process answers.
HWND WaitForInstance(DWORD pid, DWORD timeoutMs = 30000);
// True once the instance accepts open requests (its running flag is set).
bool WaitUntilRunning(HWND mainWnd, DWORD timeoutMs = 30000);
// WM_COPYDATA with a record of the given size; returns the reply.
LRESULT SendCopyData(HWND target, DWORD size, DWORD mode, const std::wstring& path);
// A top-level window of the process with that class name.
HWND FindWindowOfClass(DWORD pid, const wchar_t* className);
// The Winamp window of a process.
HWND FindWinampWindow(DWORD pid);
std::vector<std::wstring> ConsoleLines(HWND mainWnd);
bool WaitForExit(HANDLE process, DWORD timeoutMs);
// Starts exe with args (the command line quotes exe); its process handle, or
// nullptr when it did not start.
HANDLE StartProgram(const std::wstring& exe, const std::wstring& args, DWORD* pid);

std::string ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
// Sets the file's last-write time that many seconds into the past.
void AgeFile(const std::wstring& path, int seconds);
bool FileExists(const std::wstring& path);

}  // namespace zul::test
