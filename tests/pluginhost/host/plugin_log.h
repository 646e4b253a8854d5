#pragma once
// The fake plug-ins' shared life log: when ZUL_TEST_PLUGIN_LOG names a file,
// every plug-in appends "<its file name> <event>" lines to it, so a test of
// zul.exe as a real process can check the order of the whole start-up and
// shutdown across plug-ins.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace zul::test {

inline void LogLife(HMODULE self, const char* event) {
  char path[MAX_PATH];
  if (!GetEnvironmentVariableA("ZUL_TEST_PLUGIN_LOG", path, MAX_PATH)) return;
  char module[MAX_PATH];
  GetModuleFileNameA(self, module, MAX_PATH);
  const char* name = std::strrchr(module, '\\');
  name = name ? name + 1 : module;
  if (FILE* f = std::fopen(path, "a")) {
    std::fprintf(f, "%s %s\n", name, event);
    std::fclose(f);
  }
}

inline HMODULE ThisModule() {
  HMODULE m = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ThisModule), &m);
  return m;
}

}  // namespace zul::test
