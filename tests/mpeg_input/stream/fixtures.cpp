#include "tests/mpeg_input/stream/fixtures.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace zul::test {

Bytes Header(int versionBits, int layer, int bitrateIndex, int rateIndex, bool padding, int mode) {
  return {0xFF, static_cast<uint8_t>(0xE0 | (versionBits << 3) | ((4 - layer) << 1) | 1),
          static_cast<uint8_t>((bitrateIndex << 4) | (rateIndex << 2) | (padding ? 2 : 0)),
          static_cast<uint8_t>(mode << 6)};
}

Bytes Frames(const Bytes& header, int count) {
  // Lengths by hand, independent of the parser under test.
  static const int kRates[4][3] = {{11025, 12000, 8000}, {}, {22050, 24000, 16000}, {44100, 48000, 32000}};
  static const int kL1[15] = {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448};
  static const int kL2[15] = {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384};
  static const int kL3[15] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
  static const int kLsf[15] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
  static const int kLsfL1[15] = {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256};
  int version = (header[1] >> 3) & 3;
  int layer = 4 - ((header[1] >> 1) & 3);
  int index = header[2] >> 4;
  int rate = kRates[version][(header[2] >> 2) & 3];
  int pad = (header[2] >> 1) & 1;
  bool mpeg1 = version == 3;
  int length;
  if (layer == 1) {
    length = (12000 * (mpeg1 ? kL1 : kLsfL1)[index] / rate + pad) * 4;
  } else if (layer == 2) {
    length = 144000 * (mpeg1 ? kL2 : kLsf)[index] / rate + pad;
  } else {
    length = 144000 * (mpeg1 ? kL3 : kLsf)[index] / (mpeg1 ? rate : 2 * rate) + pad;
  }
  Bytes out;
  for (int i = 0; i < count; ++i) {
    Append(out, header);
    out.resize(out.size() + length - 4, 0);
  }
  return out;
}

size_t XingOffset(const Bytes& header) {
  bool mpeg1 = ((header[1] >> 3) & 3) == 3;
  bool mono = (header[3] >> 6) == 3;
  return mpeg1 ? (mono ? 21 : 36) : (mono ? 13 : 21);
}

Bytes XingFrame(const XingSpec& spec) {
  Bytes f = Frames(spec.header, 1);
  size_t p = XingOffset(spec.header);
  std::copy(spec.tag, spec.tag + 4, f.begin() + p);
  PutBe32(f, p + 4, spec.flags);
  p += 8;
  if (spec.flags & 1) PutBe32(f, p, spec.frames), p += 4;
  if (spec.flags & 2) PutBe32(f, p, spec.bytes), p += 4;
  if (spec.flags & 4) {
    for (int i = 0; i < 100; ++i) f[p + i] = static_cast<uint8_t>(i * 255 / 100);
    p += 100;
  }
  if (spec.flags & 8) PutBe32(f, p, 57), p += 4;
  if (!spec.lame) return f;
  std::copy(spec.encoder, spec.encoder + 9, f.begin() + p);
  PutBe32(f, p + 11, spec.peakRaw);
  f[p + 15] = static_cast<uint8_t>(spec.radioGain >> 8);
  f[p + 16] = static_cast<uint8_t>(spec.radioGain);
  f[p + 17] = static_cast<uint8_t>(spec.audiophileGain >> 8);
  f[p + 18] = static_cast<uint8_t>(spec.audiophileGain);
  f[p + 21] = static_cast<uint8_t>(spec.delay >> 4);
  f[p + 22] = static_cast<uint8_t>(((spec.delay & 15) << 4) | (spec.padding >> 8));
  f[p + 23] = static_cast<uint8_t>(spec.padding);
  // CRC-16/ARC of all bytes before it, computed here bit by bit and
  // independently of the parser.
  uint16_t crc = 0;
  for (size_t i = 0; i < p + 34; ++i) {
    crc ^= f[i];
    for (int b = 0; b < 8; ++b) crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
  }
  if (!spec.validCrc) crc ^= 0x0100;
  f[p + 34] = static_cast<uint8_t>(crc >> 8);
  f[p + 35] = static_cast<uint8_t>(crc);
  return f;
}

void Append(Bytes& to, const Bytes& more) { to.insert(to.end(), more.begin(), more.end()); }
void Append(Bytes& to, const std::string& text) { to.insert(to.end(), text.begin(), text.end()); }

void PutBe32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

void PutLe32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

Bytes ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "zul-mpeg-XXXXXX").string();
  if (mkdtemp(pattern.data())) path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  if (!path_.empty()) std::filesystem::remove_all(path_, ec);
}

bool Run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

bool MakeWav(const std::filesystem::path& path, int rate, int channels, int64_t frames) {
  // The rate goes before -n: after it, sox would synthesise at its default
  // rate and resample, and the sample count would not be the one asked for.
  std::string n = std::to_string(frames) + "s";
  return Run("sox -R -r " + std::to_string(rate) + " -c " + std::to_string(channels) + " -n -b 16 '" + path.string() +
             "' synth " + n + " sine 200-5000 synth " + n + " whitenoise mix vol 0.5");
}

}  // namespace zul::test
