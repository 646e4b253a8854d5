#pragma once
// The last steps of a block before the output module: the channel options
// (when any is on) and the conversion to the output sample format.
#include <cstddef>
#include <cstdint>

#include "mpeg_input/samples/channel_process.h"
#include "mpeg_input/samples/sample_format.h"

namespace zul {

// Changes `samples` in place; writes frames x channels samples to `out`
// and returns the bytes written.
size_t RenderBlock(double* samples, size_t frames, int channels, const CChannelOptions& options, SampleFormat format,
                   uint8_t* out);

// The 16-bit conversion of ConvertSamples, result for result (ties to
// even, clamped, NaN as 0), written so that the compiler vectorises it: on
// the default output format it is most of the module's own cost per sample.
void ConvertToInt16(const double* in, size_t count, uint8_t* out);

}  // namespace zul
