#pragma once
// The MPEG audio decoder of the built-in input: libmpg123 in feed mode, one
// frame per call, widened to interleaved 64-bit float samples whose full
// scale is 1.0.
//
// What this layer does and what libmpg123 must not do, decided once here:
// - Gapless trimming is the caller's, with the stream scan's numbers.
//   libmpg123's own gapless mode is off and MPG123_IGNORE_INFOFRAME is on:
//   the Xing/Info frame comes out as one frame of silence and the decoder
//   delay stays in the output, which is exactly what the scan's initial skip
//   counts. With libmpg123 trimming as well, every track would lose its
//   first 1152 + 529 samples twice.
// - ReplayGain is ours: libmpg123's RVA is off, and the gain decided by
//   DecideGain (mpeg_input/samples) is applied here, with the soft limiter,
//   while the samples are widened.
// - The samples are not clipped: overs of loud masters survive a negative
//   ReplayGain and are clamped by the conversion to integers. Only non-finite
//   values, which only damaged frames produce, become 0.
// - Damage: libmpg123 steps over bytes it cannot use; a frame that ends up
//   skipped is reported as lost. A stream it can no longer follow, or a frame
//   whose version, layer, sample rate or channel count differs from the first
//   frame's, is an error: the caller resynchronises with the scanner's header
//   search (two consistent headers in a row), which is stricter than
//   libmpg123's, and resets the context.
//
// Threads: a context belongs to the one thread that decodes with it.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "mpeg_input/samples/gain_stage.h"
#include "mpeg_input/samples/replay_gain.h"

struct mpg123_handle_struct;

namespace zul {

enum class DecodeResult : int {
  kNeedMore = 1,    // nothing decoded: feed more input
  kFrame = 0,       // one frame decoded into the output area
  kFrameLost = -2,  // damaged data was skipped; no output this time
  kError = -1,      // no usable frame, a format change, or output space too small: reset before going on
};

// Formats of the first decoded frame; later frames must match it.
struct CDecodedFormat {
  int version = 0;  // libmpg123's: 0 MPEG-1, 1 MPEG-2, 2 MPEG-2.5
  int layer = 0;
  int sampleRate = 0;
  int channels = 0;
  bool operator==(const CDecodedFormat&) const = default;
};

class CMpegDecoder {
public:
  // One 1152-sample stereo frame of doubles: the most a frame can produce.
  static constexpr size_t kMinOutputBytes = 18432;

  // A context that applies `gain`; nullptr when libmpg123 cannot make one.
  static std::unique_ptr<CMpegDecoder> Create(const CGainDecision& gain);
  ~CMpegDecoder();
  CMpegDecoder(const CMpegDecoder&) = delete;
  CMpegDecoder& operator=(const CMpegDecoder&) = delete;

  // Appends `input` (may be empty) to the queue and decodes at most one
  // frame into `out`, which has room for `outBytes` bytes (at least
  // kMinOutputBytes, or the call fails). `*producedBytes` is set on every
  // call: the bytes of doubles written, 0 unless the result is kFrame.
  DecodeResult Decode(std::span<const uint8_t> input, double* out, size_t outBytes, size_t* producedBytes);

  // Drops queued input and decoding state, keeping the gain and the first
  // frame's format. False when libmpg123 refused; the context is then unusable.
  bool Reset();

  // Kilobits per second of the last decoded frame; 0 before the first.
  int CurrentBitrateKbps() const { return bitrateKbps_; }
  // Bytes of input since the last reset up to the end of the last frame
  // decoded (or stepped over): where a resynchronisation may start.
  int64_t ConsumedBytes() const { return consumed_; }
  // The first frame's format; all zero before it.
  const CDecodedFormat& Format() const { return first_; }

private:
  explicit CMpegDecoder(const CGainDecision& gain) : gain_(gain) {}
  bool Open();
  // Widens the float frame at `audio` into `out` with the gain applied.
  DecodeResult Deliver(const uint8_t* audio, size_t bytes, double* out, size_t outBytes, size_t* producedBytes);

  mpg123_handle_struct* handle_ = nullptr;
  CGainStage gain_;
  CDecodedFormat first_;
  bool haveFirst_ = false;
  int bitrateKbps_ = 0;
  // Where libmpg123 stood in the fed bytes after the previous frame: a frame
  // that ends further away than its own length means bytes were skipped.
  int64_t consumed_ = 0;
  // A frame decoded in the same call that detected a loss, handed out by the
  // next call; libmpg123 keeps its buffer until the next decode.
  const uint8_t* pendingAudio_ = nullptr;
  size_t pendingBytes_ = 0;
};

}  // namespace zul
