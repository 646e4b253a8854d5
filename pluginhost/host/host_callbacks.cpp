#include "pluginhost/host/host_callbacks.h"

#include <atomic>

#include "equalizer/equalizer.h"

namespace zul {
namespace {

std::atomic<int> infoBitrate{0};
std::atomic<int> infoSampleRate{0};
std::atomic<int> infoChannels{0};
std::atomic<int> infoSynched{0};

// No built-in visualisation: the SA/VSA callbacks accept and drop the data.
void __cdecl SAVSAInit(int, int) {}
void __cdecl SAVSADeInit() {}
void __cdecl SAAddPCMData(void*, int, int, int) {}
int __cdecl SAGetMode() { return 0; }
int __cdecl SAAdd(void*, int, int) { return 0; }
void __cdecl VSAAddPCMData(void*, int, int, int) {}
int __cdecl VSAGetMode(int*, int*) { return 0; }
int __cdecl VSAAdd(void*, int) { return 0; }
void __cdecl VSASetInfo(int, int) {}

// These run on a plug-in's decode thread inside plug-in frames: no C++
// exception may leave them (it cannot unwind through the plug-in's code).
int __cdecl DspIsActive() {
  try {
    return dsp_isactive();
  } catch (...) {
    return 0;
  }
}

int __cdecl DspDoSamples(short* samples, int numsamples, int bps, int nch, int srate) {
  try {
    return dsp_dosamples(samples, numsamples, bps, nch, srate);
  } catch (...) {
    return numsamples;  // the block passes unfiltered
  }
}

// Every value is stored as given, -1 included.
void __cdecl SetInfo(int bitrate, int srate, int stereo, int synched) {
  infoBitrate.store(bitrate, std::memory_order_relaxed);
  infoSampleRate.store(srate, std::memory_order_relaxed);
  infoChannels.store(stereo, std::memory_order_relaxed);
  infoSynched.store(synched, std::memory_order_relaxed);
}

template <class Fn>
void Put(Fn& member, Fn callback, bool overwrite) {
  if (overwrite || !member) member = callback;
}

}  // namespace

HostPlaybackInfo ReadHostPlaybackInfo() {
  HostPlaybackInfo info;
  info.bitrate = infoBitrate.load(std::memory_order_relaxed);
  info.sampleRate = infoSampleRate.load(std::memory_order_relaxed);
  info.channels = infoChannels.load(std::memory_order_relaxed);
  info.synched = infoSynched.load(std::memory_order_relaxed);
  return info;
}

void FillHostCallbacks(In_Module& m, bool overwrite) {
  Put(m.SAVSAInit, &SAVSAInit, overwrite);
  Put(m.SAVSADeInit, &SAVSADeInit, overwrite);
  Put(m.SAAddPCMData, &SAAddPCMData, overwrite);
  Put(m.SAGetMode, &SAGetMode, overwrite);
  Put(m.SAAdd, &SAAdd, overwrite);
  Put(m.VSAAddPCMData, &VSAAddPCMData, overwrite);
  Put(m.VSAGetMode, &VSAGetMode, overwrite);
  Put(m.VSAAdd, &VSAAdd, overwrite);
  Put(m.VSASetInfo, &VSASetInfo, overwrite);
  Put(m.dsp_isactive, &DspIsActive, overwrite);
  Put(m.dsp_dosamples, &DspDoSamples, overwrite);
  Put(m.SetInfo, &SetInfo, overwrite);
}

}  // namespace zul
