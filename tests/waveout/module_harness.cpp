#include "tests/waveout/module_harness.h"

#include <algorithm>

#include "pluginhost/protocol/winamp_messages.h"
#include "waveout/waveout_module.h"
#include "waveout/waveout_settings_file.h"

namespace zul::test {
namespace {

constexpr wchar_t kHostClass[] = L"ZulTestWinampStandIn";
constexpr DWORD kStallMs = 10000;

}  // namespace

LRESULT CALLBACK CFakeHost::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_WA_IPC) {
    auto* self = reinterpret_cast<CFakeHost*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self) {
      self->calls.push_back({wParam, lParam});
      if (lParam == IPC_SETVOLUME && static_cast<int>(wParam) == -666) return self->volume;
    }
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

CFakeHost::CFakeHost(int v) : volume(v) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kHostClass;
  RegisterClassW(&wc);  // fails harmlessly for the second host
  hwnd_ = CreateWindowW(kHostClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

CFakeHost::~CFakeHost() { DestroyWindow(hwnd_); }

Out_Module* StartModule(CFakeHost& host) {
  Out_Module* out = WaveOutModule();
  out->hMainWindow = host.hwnd();
  out->hDllInstance = GetModuleHandleW(nullptr);
  out->Init();
  return out;
}

void StopModule(Out_Module* out) {
  out->Close();
  out->Quit();
  DeleteFileW(WaveOutSettingsPath().c_str());
}

bool WriteAll(Out_Module* out, const std::string& bytes, int piece) {
  std::string buffer = bytes;  // Write takes a non-const pointer
  size_t pos = 0;
  DWORD lastProgress = GetTickCount();
  while (pos < buffer.size()) {
    const int n = static_cast<int>(std::min<size_t>(piece, buffer.size() - pos));
    if (out->CanWrite() >= n) {
      out->Write(buffer.data() + pos, n);
      pos += n;
      lastProgress = GetTickCount();
    } else {
      if (GetTickCount() - lastProgress > kStallMs) return false;
      Sleep(5);
    }
  }
  return true;
}

bool WaitUntilPlayed(Out_Module* out) {
  const DWORD start = GetTickCount();
  while (out->IsPlaying()) {
    if (GetTickCount() - start > kStallMs) return false;
    Sleep(10);
  }
  return true;
}

bool PlayAll(Out_Module* out, const std::string& bytes, int piece) {
  return WriteAll(out, bytes, piece) && WaitUntilPlayed(out);
}

std::string Bytes(const std::vector<int16_t>& samples) {
  return std::string(reinterpret_cast<const char*>(samples.data()), samples.size() * sizeof(int16_t));
}

}  // namespace zul::test
