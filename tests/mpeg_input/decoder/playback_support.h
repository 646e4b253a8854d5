#pragma once
// Helpers for the decoder and playback tests: running a whole file through
// the block step, and comparing decoded audio with its source.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "mpeg_input/module/file_playback.h"

namespace zul::test {

// Every block of `p` until it ends, resynchronising as the decode thread
// does. `limitFrames` stops early (0: no limit).
std::vector<double> DecodeRest(CMpegFilePlayback& p, size_t limitFrames = 0);

// Opens `path` and decodes it whole with no gain; empty on failure.
std::vector<double> DecodeFile(const std::filesystem::path& path, CMpegFilePlayback* p = nullptr);

// Channel 0 of interleaved samples.
std::vector<float> Channel0(const std::vector<double>& samples, int channels);

// sqrt(sum (a - b)^2 / sum b^2) over the common length: how far the decoded
// signal is from its source, relative to the source.
double RelativeError(const std::vector<float>& decoded, const std::vector<float>& source);

// The lame command line for a WAV; quiet, with its LAME header.
std::string Lame(const std::string& options, const std::filesystem::path& wav, const std::filesystem::path& mp3);

}  // namespace zul::test
