#pragma once
// Time-to-offset table of a file, built on demand while seeking: one entry
// per frame start visited, found by walking the frame headers from the first
// frame. The VBR header's table of contents is not used: its 1% steps are
// too coarse and often wrong after a file was edited.
//
// Threads: one table belongs to one playback; only the decode thread seeks.
#include <cstdint>
#include <optional>
#include <vector>

#include "mpeg_input/stream/byte_source.h"
#include "mpeg_input/stream/stream_scan.h"

namespace zul {

class CSeekTable {
public:
  struct Entry {
    int64_t offset;
    double ms;
  };

  // `source` must outlive the table; `scan` describes the data range in it.
  CSeekTable(CByteSource& source, const CMpegScanResult& scan);

  // The frame to start decoding from to reach `ms`: the last entry at or
  // before it, or the last frame of the file when `ms` lies beyond. Fails
  // for a negative or non-finite time.
  bool Find(double ms, Entry& out);

  const std::vector<Entry>& Entries() const { return entries_; }
  bool Complete() const { return complete_; }

private:
  // Adds entries until the last one reaches `ms` or no further frame exists.
  void ExtendTo(double ms);

  CBufferedReader reader_;
  CFrameHeader first_;
  int64_t dataEnd_;
  double frameMs_;
  int lastLength_ = 0;  // of the frame at the last entry
  std::vector<Entry> entries_;
  bool complete_ = false;
};

}  // namespace zul
