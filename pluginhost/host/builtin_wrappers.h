#pragma once
// Readies the built-in records before each use: the "STANDARD" input and
// output (pluginhost/builtin_modules.h) and the empty general module that
// lends its functions to general plug-ins with null members.
//
// Threads: UI thread.
#include <windows.h>

#include "pluginhost/protocol/winamp_records.h"

namespace zul {

// Sets the built-in MPEG input's description, hMainWindow, hDllInstance (the
// program's instance) and every host callback. Called each time an input
// record is created.
In_Module* PrepareBuiltinIn(HWND winamp);

// Sets the built-in waveOut output's hMainWindow and hDllInstance.
Out_Module* PrepareBuiltinOut(HWND winamp);

// The empty general module with hDllInstance and hwndParent set and its
// init() called (it returns 0); its config and quit do nothing.
winampGeneralPurposePlugin* PrepareEmptyGeneral(HWND winamp);

// Lent to null Init and Quit members instead of the built-in's own: a
// plug-in without Quit must not shut the built-in module down while
// "STANDARD" is still in use.
void __cdecl NothingToInitOrQuit();

}  // namespace zul
