#pragma once
// Conversion of decoded 64-bit float samples (nominally -1.0..1.0) to the
// output module's sample format, little-endian as the wave formats want.
#include <cstddef>
#include <cstdint>

namespace zul {

// The values of the OutputFormat key: bits, negative for float samples.
enum class SampleFormat : int { kInt16 = 16, kInt24 = 24, kInt32 = 32, kFloat32 = -32, kFloat64 = -64 };

// A stored 64 reads as -64; any value that names no format reads as 16 bits,
// the default, so a damaged INI file cannot silence playback.
SampleFormat SampleFormatFromSetting(int value);

// What the output module is told: the absolute value of the format.
int BitsPerSample(SampleFormat format);
int BytesPerSample(SampleFormat format);
bool IsFloat(SampleFormat format);

// Integer formats: x times the largest positive value, rounded to nearest
// with ties to even, clamped to the type's range; NaN gives 0. Float
// formats: x unchanged. Returns the bytes written (count * BytesPerSample).
size_t ConvertSamples(const double* in, size_t count, SampleFormat format, uint8_t* out);

// One sample, for tests and the odd single value: round(x * scale) to even,
// clamped to [low, high].
int64_t RoundAndClamp(double x, double scale, int64_t low, int64_t high);

}  // namespace zul
