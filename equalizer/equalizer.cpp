#include "equalizer/equalizer.h"

#include <algorithm>
#include <new>

namespace zul {

CEqualizer::CEqualizer() {
  std::lock_guard lock(settingsMutex);
  ComputeGains();
}

void CEqualizer::SetPreset(const EqPreset& p) {
  // Reserve before taking the lock: the decode thread may be waiting on it.
  filter.ReserveParams(p.params.size());
  std::lock_guard lock(settingsMutex);
  preset = p;
  for (int& v : preset.values) v = std::clamp(v, 0, kEqMaxCut);
}

EqPreset CEqualizer::Preset() const {
  std::lock_guard lock(settingsMutex);
  return preset;
}

void CEqualizer::ComputeGains() {
  const double leftPre = EqCutFactor(preset.values[kEqLeftPreamp]);
  const double rightPre = EqCutFactor(preset.values[kEqRightPreamp]);
  for (int i = 0; i < kEqBands; ++i) {
    leftGains[i] = leftPre * EqCutFactor(preset.values[kEqLeftPreamp + 1 + i]);
    rightGains[i] = rightPre * EqCutFactor(preset.values[kEqRightPreamp + 1 + i]);
  }
}

void CEqualizer::ApplyGains() {
  std::lock_guard lock(settingsMutex);
  ComputeGains();
  filter.BuildTables(leftGains, rightGains, preset.params, buildRate);
}

int CEqualizer::DspDoSamples(short* samples, int frames, int bits, int channels, int rate) {
  if (channels < 1 || channels > 2 || (bits != 8 && bits != 16 && bits != 24)) return frames;
  if (rate != lastRate) {
    {
      std::lock_guard lock(settingsMutex);
      buildRate = rate;
      filter.BuildTables(leftGains, rightGains, preset.params, rate);
    }
    lastRate = rate;
  } else if (channels == lastChannels && bits == lastBits) {
    return filter.Process(samples, frames, channels, bits);
  }
  lastChannels = channels;
  lastBits = bits;
  filter.Clear();
  return filter.Process(samples, frames, channels, bits);
}

namespace {
std::unique_ptr<CEqualizer> theEqualizer;
}

bool EqInit() {
  if (theEqualizer) return true;
  try {
    theEqualizer = std::make_unique<CEqualizer>();
  } catch (const std::bad_alloc&) {
    return false;  // the hooks then pass audio through untouched
  }
  return true;
}

void EqQuit() { theEqualizer.reset(); }

CEqualizer* TheEqualizer() { return theEqualizer.get(); }

int dsp_isactive() { return theEqualizer ? theEqualizer->DspIsActive() : 0; }

int dsp_dosamples(short* samples, int numsamples, int bps, int nch, int srate) {
  if (!theEqualizer) return numsamples;
  return theEqualizer->DspDoSamples(samples, numsamples, bps, nch, srate);
}

}  // namespace zul
