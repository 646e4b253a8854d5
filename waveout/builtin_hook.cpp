// The plug-in host's registration point for the built-in waveOut output
// ("STANDARD").
#include "pluginhost/protocol/builtin_modules.h"
#include "waveout/waveout_module.h"

namespace zul {

Out_Module* BuiltinOutModule() { return WaveOutModule(); }

}  // namespace zul
