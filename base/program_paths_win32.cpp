#include <windows.h>

#include "base/program_paths.h"

namespace zul {
namespace {

std::wstring ModuleFileName() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace

const ProgramPaths& CurrentProgramPaths() {
  // The module path cannot change while the process runs.
  static const ProgramPaths paths = ProgramPathsFor(ModuleFileName());
  return paths;
}

}  // namespace zul
