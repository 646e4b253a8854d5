#pragma once
// libmpg123 as an outside witness for the gapless tests: decodes every frame,
// the VBR header frame included (as the player's decoder gets it), with no
// gapless trimming of its own.
#include <filesystem>
#include <vector>

namespace zul::test {

// Interleaved samples, or empty on failure.
std::vector<float> DecodeAll(const std::filesystem::path& path, int* channels);

// Channel 0 of a 16-bit PCM WAV file as floats.
std::vector<float> ReadWavChannel0(const std::filesystem::path& path, int* channels);

// The shift of `decoded` (channel 0 of interleaved data, starting at
// `skipFrames`) against `source` that correlates best, within +-maxLag.
int BestLag(const std::vector<float>& decoded, int channels, size_t skipFrames, const std::vector<float>& source,
            int maxLag);

}  // namespace zul::test
