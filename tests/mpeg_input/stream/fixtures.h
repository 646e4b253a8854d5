#pragma once
// Fixtures for the stream tests: synthetic frames built byte by byte, and
// real files made by lame, sox and ffmpeg in a temporary folder.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace zul::test {

using Bytes = std::vector<uint8_t>;

// A header for version 3 (MPEG-1), 2 (MPEG-2) or 0 (MPEG-2.5), layer 1..3.
Bytes Header(int versionBits, int layer, int bitrateIndex, int rateIndex, bool padding, int mode);

// `count` frames with the given header and silent (zero) payloads.
Bytes Frames(const Bytes& header, int count);

// A first frame carrying a Xing/Info header with LAME's extension, laid out
// as LAME 3.100 writes it (all four fields present).
struct XingSpec {
  Bytes header = Header(3, 3, 9, 0, false, 1);  // MPEG-1 L3 128k 44.1 joint stereo
  const char* tag = "Xing";
  uint32_t flags = 15;
  uint32_t frames = 100;
  uint32_t bytes = 41700;
  bool lame = true;
  const char* encoder = "LAME3.100";
  uint32_t peakRaw = 0;
  uint16_t radioGain = 0;
  uint16_t audiophileGain = 0;
  int delay = 576;
  int padding = 1000;
  bool validCrc = true;
};
Bytes XingFrame(const XingSpec& spec);
// Offset of the Xing tag in a frame of this header.
size_t XingOffset(const Bytes& header);

void Append(Bytes& to, const Bytes& more);
void Append(Bytes& to, const std::string& text);
void PutBe32(Bytes& b, size_t at, uint32_t v);
void PutLe32(Bytes& b, size_t at, uint32_t v);

Bytes ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const Bytes& bytes);

// A folder removed with everything in it at destruction.
class TempDir {
public:
  TempDir();
  ~TempDir();
  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
  std::filesystem::path path_;
};

// Runs a shell command quietly; returns true when it exited with 0.
bool Run(const std::string& command);

// A WAV of `frames` sample frames: a sweep mixed with a little noise, so that
// any shift of the decoded signal shows in its correlation with the source.
bool MakeWav(const std::filesystem::path& path, int rate, int channels, int64_t frames);

}  // namespace zul::test
