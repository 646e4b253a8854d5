#pragma once
// The filter's response tables in two copies, handed to the audio thread
// without a lock.
//
// Threads: one builder at a time (the filter holds its build mutex around
// BeginWrite .. Publish) on the UI or the audio thread; TakeForAudio and
// Table(Active()) only on the audio thread.
//
// The trap of a plain "write the inactive copy, then flip a flag" scheme: if
// a second build starts before the audio thread has taken the first, the
// "inactive" copy is the one just published, and the audio thread may switch
// to it in the middle of the rewrite. So the builder first tries to withdraw
// its unclaimed publication (then that copy was never read and may be
// rewritten); if the audio thread has already claimed it, the audio thread
// left the other copy behind for good and that one is free.
//
// Memory order: Publish stores with release after writing the table, so the
// audio thread's acquiring exchange sees the complete data. That exchange is
// also a release: the audio thread's last reads of the copy it leaves behind
// happen before the builder's acquiring load that finds the claim, hence
// before the builder overwrites that copy.
#include <atomic>
#include <complex>
#include <vector>

#include "equalizer/eq_param.h"

namespace zul {

class CEqTables {
public:
  CEqTables();

  // Builder: the copy that may be written now. Every BeginWrite must be
  // followed by Publish of the same copy before the next BeginWrite.
  int BeginWrite();
  void Publish(int copy);

  // Audio thread: claims a pending publication, returns the copy to use.
  int TakeForAudio() {
    if (pending.load(std::memory_order_relaxed) >= 0) {
      const int claimed = pending.exchange(kNone, std::memory_order_acq_rel);
      if (claimed >= 0) active = claimed;
    }
    return active;
  }

  std::complex<double>* Table(int copy, int channel) { return data[copy][channel].data(); }

private:
  static constexpr int kNone = -1;
  std::vector<std::complex<double>> data[2][kEqMaxChannels];
  std::atomic<int> pending{kNone};  // copy published and not yet claimed
  int published = 0;                // builder's: the copy it published last
  int active = 0;                   // audio thread's: the copy in use
};

}  // namespace zul
