#pragma once
// The last resort of the quit: a plug-in whose decode thread never ends
// keeps its own Stop, and with it the player's quit, waiting forever. The
// quit sequence saves the settings and the playlist before it stops
// playback, so once the watchdog's patience is spent nothing is left to
// lose: it ends the process. No plug-in DLL has been freed by then (that
// comes after the stop), so the stuck thread never runs in unmapped code.
//
// Threads: Arm on the UI thread; the watchdog runs on a thread of its own.
#include <windows.h>

namespace zul {

// Exit code of a process the watchdog ended.
inline constexpr UINT kQuitWatchdogExitCode = 2;

// Starts the watchdog once; it ends the process unless the process has
// ended by itself within `patienceMs`.
void ArmQuitWatchdog(DWORD patienceMs);

}  // namespace zul
