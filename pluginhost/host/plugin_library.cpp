#include "pluginhost/host/plugin_library.h"

#include "base/console_log.h"

namespace zul {

std::wstring FileNameOf(const std::wstring& path) {
  size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

void ShowLoadFailure(const wchar_t* kindText, const std::wstring& path) {
  std::wstring text = kindText + FileNameOf(path);
  MessageBoxW(nullptr, text.c_str(), L"ZUL", MB_OK | MB_ICONEXCLAMATION);
}

PluginLibrary::~PluginLibrary() { Free(); }

void PluginLibrary::Free() {
  if (module_) FreeLibrary(module_);
  module_ = nullptr;
  entry_ = nullptr;
}

bool PluginLibrary::Load(const std::wstring& path, const char* entryName, const wchar_t* kindText) {
  Free();
  module_ = LoadLibraryW(path.c_str());
  if (!module_) {
    ZUL_LOG(L"Plug-in %s refused: it does not load (error %lu)", path.c_str(), GetLastError());
    ShowLoadFailure(kindText, path);
    return false;
  }
  entry_ = GetProcAddress(module_, entryName);
  if (!entry_) {
    ZUL_LOG(L"Plug-in %s refused: it has no export %hs", path.c_str(), entryName);
    Free();
    ShowLoadFailure(kindText, path);
    return false;
  }
  return true;
}

bool ReportFault(const GuardFault& fault, const std::wstring& plugin, const wchar_t* call, int* faultCount) {
  if (!fault.faulted) return false;
  if (faultCount) ++*faultCount;
  ZUL_LOG(L"Plug-in %s FAULTED in %s: %s 0x%08lX at %p; marked faulted, it may hold its own locks", plugin.c_str(),
          call, FaultName(fault.code), fault.code, fault.address);
  return true;
}

void ServeSentMessages() {
  MSG msg;
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

}  // namespace zul
