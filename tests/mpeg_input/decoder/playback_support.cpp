#include "tests/mpeg_input/decoder/playback_support.h"

#include <cmath>

namespace zul::test {

std::vector<double> DecodeRest(CMpegFilePlayback& p, size_t limitFrames) {
  std::vector<double> out;
  const size_t ch = static_cast<size_t>(p.Channels());
  for (;;) {
    double* block = nullptr;
    bool ended = false;
    size_t frames = p.NextBlock(&block, &ended);
    if (limitFrames) frames = std::min(frames, limitFrames - out.size() / ch);
    out.insert(out.end(), block, block + frames * ch);
    p.AdvanceClock(frames);
    if (limitFrames && out.size() / ch >= limitFrames) break;
    if (ended && !p.Resynchronise()) break;
  }
  return out;
}

std::vector<double> DecodeFile(const std::filesystem::path& path, CMpegFilePlayback* p) {
  CMpegFilePlayback local;
  CMpegFilePlayback& play = p ? *p : local;
  if (!play.Open(path, false) || !play.StartDecoding(CGainDecision{}, false)) return {};
  return DecodeRest(play);
}

std::vector<float> Channel0(const std::vector<double>& samples, int channels) {
  std::vector<float> out;
  for (size_t i = 0; i < samples.size(); i += static_cast<size_t>(channels))
    out.push_back(static_cast<float>(samples[i]));
  return out;
}

double RelativeError(const std::vector<float>& decoded, const std::vector<float>& source) {
  double diff = 0, ref = 0;
  for (size_t i = 0; i < std::min(decoded.size(), source.size()); ++i) {
    double d = static_cast<double>(decoded[i]) - source[i];
    diff += d * d;
    ref += static_cast<double>(source[i]) * source[i];
  }
  return ref > 0 ? std::sqrt(diff / ref) : INFINITY;
}

std::string Lame(const std::string& options, const std::filesystem::path& wav, const std::filesystem::path& mp3) {
  return "lame --quiet " + options + " '" + wav.string() + "' '" + mp3.string() + "'";
}

}  // namespace zul::test
