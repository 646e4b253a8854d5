// The built-in MPEG input as a plug-in DLL would export it, from zul.exe
// itself: plug-ins and tools that look for these in the program find them.
// Compiled into the executable (not a library) so the linker keeps them.
#include <windows.h>

#include "mpeg_input/module/mpeg_in_module.h"

extern "C" {

__declspec(dllexport) zul::In_Module* __cdecl winampGetInModule2() { return zul::MpegInModule(); }

__declspec(dllexport) int __cdecl winampGetExtendedFileInfo(const char* filename, const char* metadata, char* ret,
                                                            int retlen) {
  return zul::MpegGetExtendedFileInfoA(filename, metadata, ret, retlen);
}

__declspec(dllexport) int __cdecl winampGetExtendedFileInfoW(const wchar_t* filename, const wchar_t* metadata,
                                                             wchar_t* ret, int retlen) {
  return zul::MpegGetExtendedFileInfoW(filename, metadata, ret, retlen);
}

}  // extern "C"
