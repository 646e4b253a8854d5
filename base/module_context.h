#pragma once
// What each module's start-up and shutdown steps are given: where the
// program's files are, the Winamp window that plug-ins and workers talk to,
// and the settings in memory. The shell makes it once the Winamp window
// exists; every reference in it outlives the message loop.
//
// Threads: UI thread, like the steps that take it.
#include <windows.h>

#include "base/program_paths.h"

namespace zul {

struct Settings;

struct ModuleContext {
  const ProgramPaths& paths;
  HWND winamp;
  Settings& settings;
};

}  // namespace zul
