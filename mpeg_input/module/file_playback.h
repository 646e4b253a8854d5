#pragma once
// One local file from its scan to its last sample: the reader, the seek
// table, the decoder context and the block step that turns decoded frames
// into blocks of at most 576 sample frames, with the encoder and decoder
// delay dropped at the start, leading silence suppressed when asked, and the
// end cut at the exact length a VBR header gives.
//
// Positions are sample-exact: playing from the start and seeking to t ms give
// the same samples from t on. A seek starts the decoder a few frames before
// the one the seek table selects for t (priming.h) and drops the samples
// before t.
//
// Threads: Open runs on the prepare thread, which then hands the object to
// the decode thread and does not touch it again; every other method runs on
// the decode thread, except ClockMs, which any thread may read.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "mpeg_input/decoder/mpeg_decoder.h"
#include "mpeg_input/http/stream_ring.h"
#include "mpeg_input/samples/zero_suppress.h"
#include "mpeg_input/stream/byte_source.h"
#include "mpeg_input/stream/seek_table.h"
#include "mpeg_input/stream/stream_scan.h"

namespace zul {

class CMpegFilePlayback {
public:
  static constexpr size_t kBlockFrames = 576;
  static constexpr size_t kReadPiece = 8192;
  // The decoding buffer: 65536 bytes of interleaved doubles.
  static constexpr size_t kBufferDoubles = 65536 / sizeof(double);

  CMpegFilePlayback();
  ~CMpegFilePlayback();
  CMpegFilePlayback(const CMpegFilePlayback&) = delete;
  CMpegFilePlayback& operator=(const CMpegFilePlayback&) = delete;

  // Opens and scans the file, reads it whole into memory when
  // `fullBuffering`, and builds the seek table. False when the file cannot
  // be read or holds no valid frame.
  bool Open(const std::filesystem::path& path, bool fullBuffering);
  // A received stream instead of a file: the ring, already synchronised on
  // `first`, feeds the decoder; there is no length, no seeking, and a
  // resynchronisation searches the ring for the same stream's frames. The
  // ring must outlive this object. `bitrateKbps` is the server's, or 0.
  void OpenStream(CStreamRing& ring, const CFrameHeader& first, int bitrateKbps);
  const CMpegScanResult& Scan() const { return scan_; }
  // The bytes Open scanned (the file, or its copy in memory), for the tag
  // readers: playing a file opens it once. Valid after a successful Open.
  CByteSource& Source() { return *source_; }

  // Creates the decoder context with `gain`; false when libmpg123 cannot.
  bool StartDecoding(const CGainDecision& gain, bool suppressZeros);

  // The block step: up to kBlockFrames sample frames of interleaved doubles
  // at *samples (valid until the next call, and the caller may change them
  // in place). Sets *ended when the data ended or the decoder failed;
  // frames decoded before that are still returned.
  size_t NextBlock(double** samples, bool* ended);

  // After *ended: looks for the next two consistent frame headers of the
  // same format behind the last decoded frame and decodes from there. False
  // when there are none: the track is over.
  bool Resynchronise();

  // Positions decoding at `ms` of the track. False for a negative time or a
  // file whose seek table is unusable; playback then ends as at end of data.
  bool Seek(double ms);

  // The decode clock in ms: where the next block starts. Advanced by the
  // writer for the frames it hands on, and here for frames that are skipped
  // over (lost frames, suppressed zeros) and by seeks.
  double ClockMs() const { return clockMs_.load(std::memory_order_relaxed); }
  void AdvanceClock(size_t frames);
  int Channels() const { return scan_.channels; }
  int CurrentBitrateKbps() const { return decoder_ ? decoder_->CurrentBitrateKbps() : 0; }

  // Counters for tests and the log.
  int64_t LostFrames() const { return lostFrames_; }
  int64_t Resyncs() const { return resyncs_; }
  // The offset of the first frame fed after the last seek, and the frame
  // the seek table selected for it.
  int64_t LastSeekFeedOffset() const { return lastSeekFeed_; }
  int64_t LastSeekFrameOffset() const { return lastSeekFrame_; }

private:
  // The next piece of input, at most kReadPiece bytes and never past the
  // data end; empty at the end.
  std::span<const uint8_t> ReadPiece();
  // Takes a freshly decoded frame of `frames` at the tail of the buffer
  // through the initial skip, zero suppression and the length cap.
  void Accept(size_t frames);
  void ResetDecoderAt(int64_t offset);

  CMpegScanResult scan_;
  CFileSource file_;
  std::vector<uint8_t> whole_;  // the file when fully buffered
  std::unique_ptr<CByteSource> memory_;
  CStreamRing* ring_ = nullptr;
  CByteSource* source_ = nullptr;
  std::unique_ptr<CSeekTable> seekTable_;
  std::unique_ptr<CMpegDecoder> decoder_;

  std::vector<uint8_t> readBuffer_;
  int64_t readPos_ = 0;   // next byte to feed
  int64_t feedBase_ = 0;  // where feeding began after the last reset
  int64_t lastResync_ = -1;

  std::vector<double> buffer_;  // kBufferDoubles
  size_t head_ = 0, tail_ = 0;  // in doubles: [head_, tail_) is ready
  size_t handedOut_ = 0;        // doubles of the last block, dropped on the next call
  bool ended_ = false;

  int64_t skipRemaining_ = 0;  // sample frames to drop before anything is delivered
  int64_t delivered_ = 0;      // sample frames of the track delivered so far, seeks included
  CZeroSuppressor zeros_;
  bool suppressZeros_ = false;
  std::atomic<double> clockMs_{0.0};
  double frameMs_ = 0.0;

  int64_t lostFrames_ = 0;
  int64_t resyncs_ = 0;
  int64_t lastSeekFeed_ = -1;
  int64_t lastSeekFrame_ = -1;
};

}  // namespace zul
