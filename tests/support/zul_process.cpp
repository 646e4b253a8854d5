#include "tests/support/zul_process.h"

#include <atomic>

namespace zul::test {
namespace {

constexpr wchar_t kInstanceMessageName[] = L"ZUL_WND_MSG-{1FDCB966-266D-458C-99F3-6B621F4BAD36}";

struct Search {
  UINT message;
  DWORD pid;
  HWND found;
};

BOOL CALLBACK AskWindow(HWND hwnd, LPARAM param) {
  auto* s = reinterpret_cast<Search*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (s->pid && owner != s->pid) return TRUE;
  DWORD_PTR reply = 0;
  if (SendMessageTimeoutW(hwnd, s->message, 0, 0, SMTO_BLOCK, 50, &reply) && reply == s->message) {
    s->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

struct ClassSearch {
  DWORD pid;
  const wchar_t* className;
  HWND found;
};

BOOL CALLBACK FindByClass(HWND hwnd, LPARAM param) {
  auto* s = reinterpret_cast<ClassSearch*>(param);
  wchar_t cls[64];
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner == s->pid && GetClassNameW(hwnd, cls, 64) && wcscmp(cls, s->className) == 0) {
    s->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

std::wstring BinDir() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p = path;
  return p.substr(0, p.find_last_of(L'\\'));
}

std::wstring FreshTempFolder(const std::wstring& prefix) {
  static std::atomic<int> counter{0};
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring dir =
      std::wstring(temp) + prefix + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter++);
  CreateDirectoryW(dir.c_str(), nullptr);
  WIN32_FIND_DATAW found;
  UniqueFindHandle find(FindFirstFileW((dir + L"\\*").c_str(), &found));
  if (find) {
    do {
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      const std::wstring file = dir + L"\\" + found.cFileName;
      SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileW(file.c_str());
    } while (FindNextFileW(find.Get(), &found));
  }
  return dir;
}

ZulSandbox::ZulSandbox(const std::wstring& name) {
  // A folder left by an earlier run would hand this test its settings and
  // playlist.
  dir_ = FreshTempFolder(L"zul-test-" + name);
  exe_ = dir_ + L"\\zul.exe";
  CopyFileW((BinDir() + L"\\zul.exe").c_str(), exe_.c_str(), FALSE);
}

ZulSandbox::~ZulSandbox() {
  for (const UniqueHandle& p : processes_) {
    if (WaitForSingleObject(p.Get(), 0) == WAIT_TIMEOUT) {
      TerminateProcess(p.Get(), 99);
      WaitForSingleObject(p.Get(), 5000);
    }
  }
}

HANDLE ZulSandbox::Start(const std::wstring& args, DWORD* pid) {
  std::wstring command = L"\"" + exe_ + L"\" " + args;
  STARTUPINFOW si{sizeof si};
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(exe_.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, dir_.c_str(), &si, &pi))
    return nullptr;
  UniqueHandle thread(pi.hThread);
  processes_.emplace_back(pi.hProcess);
  if (pid) *pid = pi.dwProcessId;
  return pi.hProcess;
}

DWORD ZulSandbox::RunToEnd(const std::wstring& args, DWORD timeoutMs) {
  HANDLE p = Start(args);
  if (!p) return static_cast<DWORD>(-1);
  if (WaitForSingleObject(p, timeoutMs) != WAIT_OBJECT_0) {
    TerminateProcess(p, 99);
    return STILL_ACTIVE;
  }
  DWORD code = 0;
  GetExitCodeProcess(p, &code);
  return code;
}

HWND WaitForInstance(DWORD pid, DWORD timeoutMs) {
  Search s{RegisterWindowMessageW(kInstanceMessageName), pid, nullptr};
  DWORD start = GetTickCount();
  while (GetTickCount() - start < timeoutMs) {
    s.found = nullptr;
    EnumWindows(AskWindow, reinterpret_cast<LPARAM>(&s));
    if (s.found) return s.found;
    Sleep(50);
  }
  return nullptr;
}

LRESULT SendCopyData(HWND target, DWORD size, DWORD mode, const std::wstring& path) {
  std::vector<char> record(size > 528 ? size : 528, 0);
  memcpy(record.data(), &mode, 4);
  memcpy(record.data() + 4, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
  COPYDATASTRUCT data{0, size, record.data()};
  DWORD_PTR reply = 0;
  if (!SendMessageTimeoutW(target, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_BLOCK, 5000, &reply))
    return -1;
  return static_cast<LRESULT>(reply);
}

bool WaitUntilRunning(HWND mainWnd, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  while (GetTickCount() - start < timeoutMs) {
    // A path that does not exist is accepted and ignored once running.
    if (SendCopyData(mainWnd, 528, 1, L"Z:\\zul-test-no-such-file") == TRUE) return true;
    Sleep(50);
  }
  return false;
}

HWND FindWindowOfClass(DWORD pid, const wchar_t* className) {
  ClassSearch s{pid, className, nullptr};
  EnumWindows(FindByClass, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

HWND FindWinampWindow(DWORD pid) { return FindWindowOfClass(pid, L"Winamp v1.x"); }

std::vector<std::wstring> ConsoleLines(HWND mainWnd) {
  std::vector<std::wstring> lines;
  LRESULT count = SendMessageW(mainWnd, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    LRESULT len = SendMessageW(mainWnd, LB_GETTEXTLEN, i, 0);
    std::wstring line(len > 0 ? static_cast<size_t>(len) + 1 : 1, L'\0');
    if (len > 0) SendMessageW(mainWnd, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()));
    // The length asked first may be an upper bound.
    line.resize(len > 0 ? wcsnlen(line.c_str(), static_cast<size_t>(len)) : 0);
    lines.push_back(line);
  }
  return lines;
}

bool WaitForExit(HANDLE process, DWORD timeoutMs) { return WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0; }

std::string ReadFileBytes(const std::wstring& path) {
  std::string bytes;
  UniqueHandle f(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, 0, nullptr));
  if (!f) return bytes;
  char buf[65536];
  DWORD got = 0;
  while (ReadFile(f.Get(), buf, sizeof buf, &got, nullptr) && got > 0) bytes.append(buf, got);
  return bytes;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  UniqueHandle f(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  WriteFile(f.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void AgeFile(const std::wstring& path, int seconds) {
  HANDLE f = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return;
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER t{{now.dwLowDateTime, now.dwHighDateTime}};
  t.QuadPart -= static_cast<ULONGLONG>(seconds) * 10000000ULL;
  FILETIME past{t.LowPart, t.HighPart};
  SetFileTime(f, nullptr, nullptr, &past);
  CloseHandle(f);
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

HANDLE StartProgram(const std::wstring& exe, const std::wstring& args, DWORD* pid) {
  STARTUPINFOW si{sizeof si};
  PROCESS_INFORMATION pi{};
  std::wstring cmd = L"\"" + exe + L"\" " + args;
  if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return nullptr;
  UniqueHandle thread(pi.hThread);
  *pid = pi.dwProcessId;
  return pi.hProcess;
}

}  // namespace zul::test
