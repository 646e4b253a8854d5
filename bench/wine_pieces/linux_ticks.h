#pragma once
// CPU time of Linux processes, read by a Win32 program under Wine through
// the Z: drive: /proc/<pid>/stat, user plus system ticks (100 a second).
// Not /proc/self: the wineserver opens files for its clients, so "self"
// would be the wineserver. A process finds its own id by its command line,
// which Wine sets to the Windows one. The wineserver's id comes from
// ZUL_BENCH_WINESERVER_PID, set by the bench script.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace zul::bench {

// User plus system ticks of /proc/<which>/stat; -1 when unreadable.
inline long long LinuxTicks(const std::string& which) {
  const std::string path = "Z:\\proc\\" + which + "\\stat";
  HANDLE f =
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return -1;
  char text[1024] = {};
  DWORD got = 0;
  ReadFile(f, text, sizeof text - 1, &got, nullptr);
  CloseHandle(f);
  // The command name may hold spaces and parentheses: fields count from
  // the last ')'. utime and stime are fields 14 and 15.
  const char* p = std::strrchr(text, ')');
  if (!p) return -1;
  long long utime = 0, stime = 0;
  if (std::sscanf(p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lld %lld", &utime, &stime) != 2) return -1;
  return utime + stime;
}

inline std::string ReadSmallFile(const std::string& path) {
  HANDLE f =
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return {};
  std::string text(4096, '\0');
  DWORD got = 0;
  ReadFile(f, text.data(), static_cast<DWORD>(text.size()), &got, nullptr);
  CloseHandle(f);
  text.resize(got);
  return text;
}

// The Linux process whose command line starts with `start` (compared
// without case, quotes skipped); empty when none does.
inline std::string LinuxPidByCommand(const std::string& start) {
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA("Z:\\proc\\*", &found);
  if (find == INVALID_HANDLE_VALUE) return {};
  std::string pid;
  do {
    const std::string name = found.cFileName;
    if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::string cmd = ReadSmallFile("Z:\\proc\\" + name + "\\cmdline");
    if (!cmd.empty() && cmd[0] == '"') cmd.erase(0, 1);
    if (cmd.size() >= start.size() && _strnicmp(cmd.c_str(), start.c_str(), start.size()) == 0) pid = name;
  } while (pid.empty() && FindNextFileA(find, &found));
  FindClose(find);
  return pid;
}

// This program's own Linux process id, found once.
inline const std::string& OwnLinuxPid() {
  static const std::string pid = [] {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return LinuxPidByCommand(path);
  }();
  return pid;
}

inline long long OwnTicks() { return OwnLinuxPid().empty() ? -1 : LinuxTicks(OwnLinuxPid()); }

inline std::string WineserverPid() {
  const char* pid = std::getenv("ZUL_BENCH_WINESERVER_PID");
  return pid ? pid : "";
}

inline long long WineserverTicks() {
  const std::string pid = WineserverPid();
  return pid.empty() ? -1 : LinuxTicks(pid);
}

}  // namespace zul::bench
