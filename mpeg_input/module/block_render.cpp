#include "mpeg_input/module/block_render.h"

namespace zul {

size_t RenderBlock(double* samples, size_t frames, int channels, const CChannelOptions& options, SampleFormat format,
                   uint8_t* out) {
  if (options.AnyOn()) {
    if (channels == 2) {
      ProcessStereo(samples, frames, options);
    } else {
      ProcessMono(samples, frames, options);
    }
  }
  return ConvertSamples(samples, frames * static_cast<size_t>(channels), format, out);
}

}  // namespace zul
