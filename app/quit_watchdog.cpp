#include "app/quit_watchdog.h"

#include "base/win32_handles.h"

namespace zul {
namespace {

DWORD WINAPI Watch(void* patience) {
  // Nothing ever signals this event: the wait is the patience itself, and a
  // process that ends meanwhile takes this thread with it.
  const Event never(Event::Reset::Manual);
  if (!never.Valid()) return 0;
  WaitForSingleObject(never.Get(), static_cast<DWORD>(reinterpret_cast<UINT_PTR>(patience)));
  // TerminateProcess, not ExitProcess: the loader lock or a lock the stuck
  // plug-in holds would make the orderly exit wait as well.
  TerminateProcess(GetCurrentProcess(), kQuitWatchdogExitCode);
  return 0;
}

}  // namespace

void ArmQuitWatchdog(DWORD patienceMs) {
  static bool armed = false;
  if (armed) return;
  armed = true;
  // The thread runs on by itself; its handle is not needed.
  UniqueHandle(
      CreateThread(nullptr, 0, &Watch, reinterpret_cast<void*>(static_cast<UINT_PTR>(patienceMs)), 0, nullptr));
}

}  // namespace zul
