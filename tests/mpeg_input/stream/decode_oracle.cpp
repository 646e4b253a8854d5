#include "tests/mpeg_input/stream/decode_oracle.h"

#include <mpg123.h>

#include <cstring>

#include "tests/mpeg_input/stream/fixtures.h"

namespace zul::test {

std::vector<float> DecodeAll(const std::filesystem::path& path, int* channels) {
  std::vector<float> out;
  int err = MPG123_OK;
  mpg123_handle* mh = mpg123_new(nullptr, &err);
  if (!mh) return out;
  bool ok = mpg123_param(mh, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0) == MPG123_OK &&
            mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_IGNORE_INFOFRAME | MPG123_QUIET, 0) == MPG123_OK &&
            mpg123_format_none(mh) == MPG123_OK;
  const long* rates;
  size_t count;
  mpg123_rates(&rates, &count);
  for (size_t i = 0; ok && i < count; ++i) {
    ok = mpg123_format(mh, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32) == MPG123_OK;
  }
  if (ok) ok = mpg123_open(mh, path.string().c_str()) == MPG123_OK;
  long rate = 0;
  int enc = 0;
  if (ok) ok = mpg123_getformat(mh, &rate, channels, &enc) == MPG123_OK;
  unsigned char buf[65536];
  while (ok) {
    size_t done = 0;
    int r = mpg123_read(mh, buf, sizeof buf, &done);
    size_t n = done / sizeof(float);
    size_t at = out.size();
    out.resize(at + n);
    std::memcpy(out.data() + at, buf, n * sizeof(float));
    if (r == MPG123_DONE) break;
    if (r != MPG123_OK && r != MPG123_NEW_FORMAT) {
      out.clear();
      break;
    }
  }
  if (!ok) out.clear();
  mpg123_close(mh);
  mpg123_delete(mh);
  return out;
}

std::vector<float> ReadWavChannel0(const std::filesystem::path& path, int* channels) {
  Bytes b = ReadFile(path);
  std::vector<float> out;
  size_t pos = 12;
  int ch = 0;
  while (pos + 8 <= b.size()) {
    uint32_t size = b[pos + 4] | (b[pos + 5] << 8) | (b[pos + 6] << 16) | (uint32_t{b[pos + 7]} << 24);
    if (std::memcmp(&b[pos], "fmt ", 4) == 0) ch = b[pos + 10];
    if (std::memcmp(&b[pos], "data", 4) == 0 && ch > 0) {
      size_t end = std::min<size_t>(b.size(), pos + 8 + size);
      for (size_t i = pos + 8; i + 2 <= end; i += 2 * ch) {
        out.push_back(static_cast<int16_t>(b[i] | (b[i + 1] << 8)) / 32768.0f);
      }
      break;
    }
    pos += 8 + size + (size & 1);
  }
  *channels = ch;
  return out;
}

int BestLag(const std::vector<float>& decoded, int channels, size_t skipFrames, const std::vector<float>& source,
            int maxLag) {
  // A window well inside the signal so that every lag stays within both.
  const size_t begin = 4096, length = 8192;
  double best = -1e300;
  int bestLag = maxLag + 1;
  for (int lag = -maxLag; lag <= maxLag; ++lag) {
    double sum = 0;
    for (size_t i = begin; i < begin + length; ++i) {
      size_t frame = skipFrames + i + lag;
      if (frame * channels >= decoded.size() || i >= source.size()) return maxLag + 1;
      sum += static_cast<double>(decoded[frame * channels]) * source[i];
    }
    if (sum > best) {
      best = sum;
      bestLag = lag;
    }
  }
  return bestLag;
}

}  // namespace zul::test
