// The plug-in host's registration point for the built-in MPEG input
// ("STANDARD"): the same record and information query zul.exe exports.
#include "mpeg_input/module/mpeg_in_module.h"
#include "pluginhost/protocol/builtin_modules.h"

namespace zul {

In_Module* BuiltinInModule() { return MpegInModule(); }

int BuiltinGetExtendedFileInfoW(const wchar_t* filename, const wchar_t* metadata, wchar_t* ret, int retlen) {
  return MpegGetExtendedFileInfoW(filename, metadata, ret, retlen);
}

}  // namespace zul
