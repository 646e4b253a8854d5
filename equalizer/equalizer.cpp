#include "equalizer/equalizer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
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

void CEqualizer::ClearAfterJump() {
  filter.Clear();
  skip = kEqLatency;
  drainLeft = 0;
  draining = false;
}

int CEqualizer::CutStartUpSilence(short* samples, int frames, int channels, int bits) {
  if (skip <= 0 || frames <= 0) return frames;
  const int cut = std::min(skip, frames);
  const size_t frameBytes = static_cast<size_t>(channels) * static_cast<size_t>(bits / 8);
  auto* bytes = reinterpret_cast<uint8_t*>(samples);
  std::memmove(bytes, bytes + cut * frameBytes, static_cast<size_t>(frames - cut) * frameBytes);
  skip -= cut;
  return frames - cut;
}

int CEqualizer::DspDoSamples(short* samples, int frames, int bits, int channels, int rate) {
  if (channels < 1 || channels > 2 || (bits != 8 && bits != 16 && bits != 24)) return frames;
  if (discardRequested.exchange(false, std::memory_order_acq_rel)) ClearAfterJump();
  if (rate != lastRate) {
    {
      std::lock_guard lock(settingsMutex);
      buildRate = rate;
      filter.BuildTables(leftGains, rightGains, preset.params, rate);
    }
    lastRate = rate;
  } else if (channels == lastChannels && bits == lastBits) {
    filter.Process(samples, frames, channels, bits);
    return CutStartUpSilence(samples, frames, channels, bits);
  }
  lastChannels = channels;
  lastBits = bits;
  filter.Clear();
  filter.Process(samples, frames, channels, bits);
  return CutStartUpSilence(samples, frames, channels, bits);
}

int CEqualizer::Drain(short* samples, int maxFrames, int bits, int channels) {
  if (discardRequested.exchange(false, std::memory_order_acq_rel)) ClearAfterJump();
  if (maxFrames <= 0 || channels != lastChannels || bits != lastBits) return 0;
  if (!draining) {
    draining = true;
    drainLeft = kEqLatency;
  }
  const size_t frameBytes = static_cast<size_t>(channels) * static_cast<size_t>(bits / 8);
  while (drainLeft > 0) {
    const int n = std::min(maxFrames, drainLeft);
    std::memset(samples, bits == 8 ? 0x80 : 0, static_cast<size_t>(n) * frameBytes);
    drainLeft -= n;
    filter.Process(samples, n, channels, bits);
    // While the filter's start-up silence is still being cut, the silence fed
    // now comes out as that silence: only the held audio is returned.
    const int out = CutStartUpSilence(samples, n, channels, bits);
    if (out > 0) return out;
  }
  ClearAfterJump();
  return 0;
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

int dsp_drain(short* samples, int maxFrames, int bps, int nch) {
  return theEqualizer ? theEqualizer->Drain(samples, maxFrames, bps, nch) : 0;
}

void dsp_discard() {
  if (theEqualizer) theEqualizer->Discard();
}

}  // namespace zul
