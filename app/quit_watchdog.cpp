#include "app/quit_watchdog.h"

namespace zul {
namespace {

DWORD WINAPI Watch(void* patience) {
  // Nothing ever signals this event: the wait is the patience itself, and a
  // process that ends meanwhile takes this thread with it.
  HANDLE never = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!never) return 0;
  WaitForSingleObject(never, static_cast<DWORD>(reinterpret_cast<UINT_PTR>(patience)));
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
  HANDLE thread =
      CreateThread(nullptr, 0, &Watch, reinterpret_cast<void*>(static_cast<UINT_PTR>(patienceMs)), 0, nullptr);
  if (thread) CloseHandle(thread);
}

}  // namespace zul
