#pragma once
// Registration point of the program's own plug-ins, listed as "STANDARD":
// the MPEG input (mpeg_input/module/) and the waveOut output (waveout/).
// Each module implements its functions below in its own library.
//
// What the host expects of a built-in record:
// - It is a static record that lives for the whole process; every function
//   member is set.
// - The host writes into it before each use: hMainWindow, hDllInstance (the
//   program's instance), for the input also the description, the host
//   callbacks (SAVSAInit ... SetInfo) and outMod. The module must not rely on
//   its own values of these members.
// - Its functions also stand in for the null members of external plug-ins
//   (for example an external input without Config opens the built-in's
//   configuration), except Init and Quit, which are never lent out.
// - Record functions are called on the UI thread; the host callbacks are
//   called by the module's own threads.
//
// Threads: UI thread (see above for the records' functions).
#include "pluginhost/protocol/winamp_records.h"

namespace zul {

// The built-in MPEG input's record, version 0x0F000100 (file names UTF-16).
In_Module* BuiltinInModule();

// The built-in MPEG input's answer to an extended file information request,
// as its exported winampGetExtendedFileInfoW: non-zero when it answered.
// Called only for files the built-in claims.
int BuiltinGetExtendedFileInfoW(const wchar_t* filename, const wchar_t* metadata, wchar_t* ret, int retlen);

// The built-in waveOut output's record.
Out_Module* BuiltinOutModule();

}  // namespace zul
