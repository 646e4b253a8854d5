// Feeds arbitrary bytes to the MPEG decoder layer in pieces of sizes the
// fuzzer chooses, decoding until it needs more; resets it when the fuzzer
// says so and after every error, sometimes offers too small an output area,
// and checks what the layer promises after every call. Raw MP3 files work
// as inputs: the choices come from the end of the input, the pieces from
// its start.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <span>
#include <vector>

#include "mpeg_input/decoder/mpeg_decoder.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// No gain; a ReplayGain cut; +3 dB and +12 dB with the limiter acting.
const zul::CGainDecision kGains[] = {{0.0, false, 0.0}, {-6.5, false, 0.0}, {3.0, true, 1.0}, {12.0, true, 1.0}};

// Decodes until the layer wants input, checking each result. False after
// an error (the caller resets) or when the context became unusable.
bool DecodeAvailable(zul::CMpegDecoder& d, std::span<const uint8_t> piece, bool limiter, std::vector<double>& out,
                     bool smallArea) {
  const size_t space = smallArea ? zul::CMpegDecoder::kMinOutputBytes - 8 : out.size() * sizeof(double);
  // A few frames per piece at most; a piece is never more than 4096 bytes.
  for (int calls = 0; calls < 64; ++calls) {
    size_t produced = 1;
    zul::DecodeResult r = d.Decode(piece, out.data(), space, &produced);
    piece = {};
    if (smallArea) {
      Check(r == zul::DecodeResult::kError && produced == 0);
      return false;
    }
    Check(r == zul::DecodeResult::kNeedMore || r == zul::DecodeResult::kFrame || r == zul::DecodeResult::kFrameLost ||
          r == zul::DecodeResult::kError);
    Check(r == zul::DecodeResult::kFrame || produced == 0);
    const zul::CDecodedFormat& f = d.Format();
    Check(d.CurrentBitrateKbps() >= 0);
    Check(d.ConsumedBytes() >= 0);
    if (r == zul::DecodeResult::kFrame) {
      Check(f.channels == 1 || f.channels == 2);
      Check(f.layer >= 1 && f.layer <= 3 && f.version >= 0 && f.version <= 2);
      Check(produced <= space && produced % (sizeof(double) * f.channels) == 0);
      const size_t frames = produced / sizeof(double) / f.channels;
      Check(frames == 384 || frames == 576 || frames == 1152);
      for (size_t i = 0; i < produced / sizeof(double); ++i) {
        Check(!std::isnan(out[i]));
        // The limiter bends everything into the open range.
        if (limiter) Check(std::fabs(out[i]) <= 1.0);
      }
    }
    if (r == zul::DecodeResult::kNeedMore) return true;
    if (r == zul::DecodeResult::kError) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const zul::CGainDecision& gain = kGains[in.ConsumeIntegralInRange<size_t>(0, std::size(kGains) - 1)];
  std::unique_ptr<zul::CMpegDecoder> d = zul::CMpegDecoder::Create(gain);
  Check(d != nullptr);
  const bool limiter = zul::CGainStage(gain).LimiterActive();
  std::vector<double> out(zul::CMpegDecoder::kMinOutputBytes / sizeof(double));
  while (in.remaining_bytes() > 0) {
    const uint8_t op = in.ConsumeIntegral<uint8_t>();
    const size_t n = in.ConsumeIntegralInRange<size_t>(0, 4096);
    const std::vector<uint8_t> piece = in.ConsumeBytes<uint8_t>(n);
    const bool smallArea = (op & 0x0F) == 0x0F;
    const bool ok = DecodeAvailable(*d, piece, limiter, out, smallArea);
    if (!ok || (op & 0xF0) == 0xF0) {
      const zul::CDecodedFormat before = d->Format();
      if (!d->Reset()) return 0;
      // A reset keeps the first frame's format as the reference.
      Check(d->Format() == before && d->ConsumedBytes() == 0);
    }
  }
  return 0;
}
