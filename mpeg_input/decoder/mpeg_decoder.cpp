#include "mpeg_input/decoder/mpeg_decoder.h"

#include <mpg123.h>

#include <algorithm>
#include <cstring>

namespace zul {
namespace {

// libmpg123 before 1.27 needs this once per process; later it does nothing.
bool InitLibrary() {
  static const bool ok = mpg123_init() == MPG123_OK;
  return ok;
}

bool Ok(int result) { return result == MPG123_OK; }

// Only 32-bit float output, at every rate and channel count: the decoder
// then never converts samples itself, and a stream cannot switch it to an
// integer encoding behind our back. Float is also libmpg123's cheapest
// output: its float synthesis costs about 15% fewer instructions than its
// 16-bit one (callgrind, Debian's 1.31 build). No integer encoding could
// serve anyway: its samples are rounded (to 32768 steps, not our 32767)
// before the gain, so neither the gained samples nor the output formats
// would be those of the float path.
bool ConfigureHandle(mpg123_handle* h) {
  if (!Ok(mpg123_param(h, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0.0))) return false;
  if (!Ok(mpg123_param(h, MPG123_ADD_FLAGS, MPG123_IGNORE_INFOFRAME | MPG123_QUIET, 0.0))) return false;
  if (!Ok(mpg123_param(h, MPG123_RVA, MPG123_RVA_OFF, 0.0))) return false;
  if (!Ok(mpg123_format_none(h))) return false;
  const long* rates = nullptr;
  size_t count = 0;
  mpg123_rates(&rates, &count);
  if (!rates || count == 0) return false;
  for (size_t i = 0; i < count; ++i) {
    if (!Ok(mpg123_format(h, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32))) return false;
  }
  return true;
}

}  // namespace

std::unique_ptr<CMpegDecoder> CMpegDecoder::Create(const CGainDecision& gain) {
  if (!InitLibrary()) return nullptr;
  std::unique_ptr<CMpegDecoder> d(new CMpegDecoder(gain));
  int err = MPG123_OK;
  d->handle_ = mpg123_new(nullptr, &err);
  if (!d->handle_ || err != MPG123_OK || !ConfigureHandle(d->handle_) || !d->Open()) return nullptr;
  return d;
}

CMpegDecoder::~CMpegDecoder() {
  if (handle_) {
    mpg123_close(handle_);
    mpg123_delete(handle_);
  }
}

bool CMpegDecoder::Open() {
  consumed_ = 0;
  pendingAudio_ = nullptr;
  pendingBytes_ = 0;
  // Opening again closes the previous feed and forgets its bytes and state;
  // the parameters and formats set on the handle stay.
  return Ok(mpg123_open_feed(handle_));
}

bool CMpegDecoder::Reset() {
  if (!handle_) return false;
  if (Open()) return true;
  mpg123_delete(handle_);
  handle_ = nullptr;
  return false;
}

DecodeResult CMpegDecoder::Deliver(const uint8_t* audio, size_t bytes, double* out, size_t outBytes,
                                   size_t* producedBytes) {
  const size_t count = bytes / sizeof(float);
  if (count * sizeof(double) > outBytes) return DecodeResult::kError;
  if (reinterpret_cast<uintptr_t>(audio) % alignof(float) != 0) return DecodeResult::kError;
  // libmpg123 wrote floats there.
  gain_.ApplyToFloats(reinterpret_cast<const float*>(audio), count, out);
  *producedBytes = count * sizeof(double);
  return DecodeResult::kFrame;
}

DecodeResult CMpegDecoder::Decode(std::span<const uint8_t> input, double* out, size_t outBytes, size_t* producedBytes) {
  *producedBytes = 0;
  if (!handle_ || !out || outBytes < kMinOutputBytes) return DecodeResult::kError;
  if (!input.empty() && !Ok(mpg123_feed(handle_, input.data(), input.size()))) return DecodeResult::kError;
  if (pendingAudio_) {
    const uint8_t* audio = pendingAudio_;
    pendingAudio_ = nullptr;
    return Deliver(audio, pendingBytes_, out, outBytes, producedBytes);
  }
  for (;;) {
    unsigned char* audio = nullptr;
    size_t bytes = 0;
    int r = mpg123_decode_frame(handle_, nullptr, &audio, &bytes);
    if (r == MPG123_NEED_MORE) return DecodeResult::kNeedMore;
    if (r == MPG123_NEW_FORMAT) {
      long rate = 0;
      int channels = 0, encoding = 0;
      if (!Ok(mpg123_getformat(handle_, &rate, &channels, &encoding)) || encoding != MPG123_ENC_FLOAT_32)
        return DecodeResult::kError;
      if (haveFirst_ && (rate != first_.sampleRate || channels != first_.channels)) return DecodeResult::kError;
      continue;
    }
    if (r != MPG123_OK) return DecodeResult::kError;

    mpg123_frameinfo info{};
    if (!Ok(mpg123_info(handle_, &info))) return DecodeResult::kError;
    CDecodedFormat f{static_cast<int>(info.version), info.layer, static_cast<int>(info.rate),
                     info.mode == MPG123_M_MONO ? 1 : 2};
    if (!haveFirst_) {
      first_ = f;
      haveFirst_ = true;
    } else if (f != first_) {
      return DecodeResult::kError;
    }
    bitrateKbps_ = info.bitrate;

    const int64_t end = mpg123_tell_stream(handle_);
    const int64_t used = end - consumed_;
    consumed_ = end;
    if (bytes == 0) continue;  // a frame libmpg123 chose not to output
    if (used > info.framesize) {
      // framesize counts the header: anything beyond it was stepped over.
      pendingAudio_ = audio;
      pendingBytes_ = bytes;
      return DecodeResult::kFrameLost;
    }
    return Deliver(audio, bytes, out, outBytes, producedBytes);
  }
}

}  // namespace zul
