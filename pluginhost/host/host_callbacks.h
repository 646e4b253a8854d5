#pragma once
// The callbacks the host places into every input module (visualisation,
// DSP, SetInfo) and the host playback information that SetInfo keeps.
//
// Threads: input plug-ins call the callbacks from their decode threads.
// SetInfo writes each of its four values as one aligned 32-bit store without
// a lock, and readers (IPC_GETINFO on the UI thread) load them the same way:
// a reader may see the values of two different calls mixed, never a torn
// value. The DSP callbacks hand over to the equalizer (equalizer/equalizer.h
// has their thread rules).
#include "pluginhost/protocol/winamp_records.h"

namespace zul {

// The values of the last SetInfo call by any input plug-in; all 0 at start.
struct HostPlaybackInfo {
  int bitrate = 0;
  int sampleRate = 0;
  int channels = 0;  // the "stereo" argument
  int synched = 0;
};
HostPlaybackInfo ReadHostPlaybackInfo();

// Puts the host callbacks into members SAVSAInit .. dsp_dosamples and
// SetInfo: into every one when overwrite is set (the built-in module), else
// only into those still null, so a plug-in that set its own keeps it.
void FillHostCallbacks(In_Module& module, bool overwrite);

}  // namespace zul
