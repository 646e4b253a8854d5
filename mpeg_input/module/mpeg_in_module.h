#pragma once
// The built-in MPEG input ("STANDARD"): its In_Module record.
//
// Threads: every record function runs on the host's UI thread. Play starts a
// prepare thread (scan, then the output is opened on the UI thread through a
// hidden helper window) and a decode thread, which writes to the output
// module and calls the host's DSP, visualisation and SetInfo callbacks. The
// UI thread writes the seek request, the paused flag and the volume; the
// decode thread reads them. The decode clock is an atomic the UI thread
// reads in GetOutputTime. The status text has its own lock. Stop ends both
// threads before it returns.
#include "pluginhost/protocol/winamp_records.h"

namespace zul {

In_Module* MpegInModule();

// The exported extended-information queries (wide and ANSI).
int MpegGetExtendedFileInfoW(const wchar_t* file, const wchar_t* field, wchar_t* buffer, int size);
int MpegGetExtendedFileInfoA(const char* file, const char* field, char* buffer, int size);

}  // namespace zul
