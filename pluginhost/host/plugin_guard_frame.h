#pragma once
// The architecture's half of the fault guard (plugin_guard.h says what the
// guard covers): plugin_guard_x86.cpp registers on the fs:[0] handler chain,
// plugin_guard_x64.cpp is a trampoline with its own table-based handler.
// Only plugin_guard.cpp calls it.
#include <windows.h>

#include "pluginhost/host/plugin_guard.h"

namespace zul::guard_detail {

// What the guard's handler records of the exception it stopped.
struct StoppedException {
  volatile DWORD code = 0;
  const void* volatile address = nullptr;
};

// Runs fn(context). Returns true, with *stopped filled in, when an exception
// the plug-in did not handle was stopped and the plug-in's frames unwound.
bool RunUnderGuard(GuardedFunction fn, void* context, StoppedException* stopped) noexcept;

}  // namespace zul::guard_detail
