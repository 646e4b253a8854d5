#pragma once
// The program's equalizer: the slider values and records, the EnableEQ and
// Dither switches, and the DSP hook the host places into every input module.
//
// Threads:
// - UI thread: SetPreset, Preset, ApplyGains, SetEnabled, SetDither.
// - Decode thread of the playing input plug-in (one at a time): DspIsActive,
//   DspDoSamples.
// - settingsMutex guards the preset, the linear gains and buildRate. It is
//   held for a whole build, so the UI thread's rebuild and a rebuild for a
//   new sample rate on the decode thread never overlap and the last build
//   always has the latest gains and the latest rate. The decode thread takes
//   it only when the rate changes; every other block is filtered lock-free
//   (the filter's tables are handed over as eq_tables.h describes).
// - Lock order: settingsMutex, then the filter's build mutex.
// - Discard may be called on any thread (an atomic request that the decode
//   thread carries out at its next call); Drain on the decode thread.
//
// The filter holds the last kEqLatency frames it was given. An input that
// passes every block through the hook and says where its audio ends or
// jumps (Drain at the end of its data, Discard at a seek or a stop) hears
// each track whole: the held frames come out before its output closes, and
// after a Drain or Discard the filter's start-up silence is cut from the
// next blocks, so nothing is added between tracks. An input that never says
// so gets the plain hook: its held frames carry into its next track of the
// same format.
#include <atomic>
#include <memory>
#include <mutex>

#include "equalizer/eq_filter.h"
#include "equalizer/eq_lines.h"

namespace zul {

class CEqualizer {
public:
  CEqualizer();

  // Replaces the values (limited to 0..96) and records; call ApplyGains to
  // hear them.
  void SetPreset(const EqPreset& preset);
  EqPreset Preset() const;
  // Linear gains from the values, tables rebuilt for the last sample rate
  // seen (nothing is built before the first audio).
  void ApplyGains();

  void SetEnabled(bool on) { filter.SetEnabled(on); }
  bool Enabled() const { return filter.Enabled(); }
  void SetDither(bool on) { filter.SetDither(on); }
  bool Dither() const { return filter.Dither(); }

  int DspIsActive() const { return Enabled() ? 1 : 0; }
  // Filters in place and returns `frames`; channel counts other than 1 or 2
  // and widths other than 8, 16 or 24 bits pass untouched. A new rate
  // rebuilds the tables; a new rate, channel count or width clears the
  // delay lines, dropping the old format's pending frames.
  // After a Drain or Discard it returns fewer frames than it was given until
  // the filter's delay is filled (they are moved to the front of `samples`).
  int DspDoSamples(short* samples, int frames, int bits, int channels, int rate);
  // The end of the caller's audio: the frames still held, by pieces of at
  // most maxFrames into `samples`; 0 once all are out (and for a format that
  // is not the one last filtered). The filter is then empty.
  int Drain(short* samples, int maxFrames, int bits, int channels);
  // Drops the frames held: the audio jumps (a seek) or stops.
  void Discard() { discardRequested.store(true, std::memory_order_release); }

  CEqFilter& Filter() { return filter; }

private:
  void ComputeGains();  // settingsMutex held

  mutable std::mutex settingsMutex;
  EqPreset preset;
  double leftGains[kEqBands];
  double rightGains[kEqBands];
  int buildRate = 0;

  // Cuts the first frames of an output while `skip` lasts; returns what is left.
  int CutStartUpSilence(short* samples, int frames, int channels, int bits);
  void ClearAfterJump();

  // Decode thread only.
  int lastRate = 0;
  int lastChannels = 0;
  int lastBits = 0;
  int skip = 0;       // output frames still to cut: the filter's start-up silence
  int drainLeft = 0;  // frames of silence still to feed for a Drain under way
  bool draining = false;

  std::atomic<bool> discardRequested{false};

  CEqFilter filter;
};

// The one instance. EqInit at start-up before the saved gains are loaded,
// EqQuit at exit after the input plug-ins are unloaded; the hooks pass audio
// through untouched outside that span.
bool EqInit();
void EqQuit();
CEqualizer* TheEqualizer();

// Host callbacks for the input modules' dsp_isactive / dsp_dosamples members.
int dsp_isactive();
int dsp_dosamples(short* samples, int numsamples, int bps, int nch, int srate);
// The same hook's Drain and Discard, for the built-in input.
int dsp_drain(short* samples, int maxFrames, int bps, int nch);
void dsp_discard();

}  // namespace zul
