#pragma once
// The built-in waveOut output module ("STANDARD"), driven through the same
// Out_Module record as an out_*.dll. The host fills hMainWindow and
// hDllInstance before Init and calls Config, About, Init and Quit on its
// main thread; the input plug-ins call the rest as waveout_output.h says.
#include "pluginhost/protocol/winamp_records.h"

namespace zul {

Out_Module* WaveOutModule();

class CWaveOutput;
// The output behind the record, for the preferences page's statistics.
CWaveOutput& WaveOutOutput();

}  // namespace zul
