// How long the scanner takes on a one-hour file (128 kbit/s, 44.1 kHz, about
// 57 MB) with and without a VBR header, and how long the seek table takes to
// reach the end of it by walking the frames. Files are synthesised in a
// temporary folder and read through the page cache. Times are the thread's
// CPU time (the kernel's copying included), so that other programs on a
// shared machine do not decide the result; wall-clock medians are printed
// beside them.
//   targets: length <= 1 ms (median), seek to the end <= 30 ms (median)
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "mpeg_input/stream/seek_table.h"
#include "mpeg_input/stream/stream_scan.h"

namespace {

namespace fs = std::filesystem;

struct Stamp {
  double cpu, wall;
};

Stamp Now() {
  timespec cpu{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu);
  double wall = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
  return {cpu.tv_sec * 1e3 + cpu.tv_nsec / 1e6, wall};
}

struct Times {
  std::vector<double> cpu, wall;
  void Add(const Stamp& start) {
    Stamp end = Now();
    cpu.push_back(end.cpu - start.cpu);
    wall.push_back(end.wall - start.wall);
  }
};

constexpr int kFrames = 3600 * 44100 / 1152 + 1;

// Frames of 128 kbit/s at 44.1 kHz: 417.96 bytes on average, so the padding
// bit is set where the running byte count needs the extra byte.
std::vector<uint8_t> Audio(int64_t* lastFrameStart) {
  std::vector<uint8_t> out;
  out.reserve(static_cast<size_t>(kFrames) * 418);
  long long exact = 0;  // bytes x 44100
  for (int i = 0; i < kFrames; ++i) {
    long long before = exact / 44100;
    exact += 144000LL * 128;
    int length = static_cast<int>(exact / 44100 - before);
    size_t at = out.size();
    *lastFrameStart = static_cast<int64_t>(at);
    out.resize(at + length, 0);
    out[at] = 0xFF;
    out[at + 1] = 0xFB;
    out[at + 2] = static_cast<uint8_t>(0x90 | (length == 418 ? 2 : 0));
    out[at + 3] = 0x44;
  }
  return out;
}

std::vector<uint8_t> InfoFrame(uint32_t frames, uint32_t bytes) {
  std::vector<uint8_t> f(417, 0);
  f[0] = 0xFF, f[1] = 0xFB, f[2] = 0x90, f[3] = 0x44;
  auto be32 = [&f](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) f[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
  };
  std::copy_n("Info", 4, f.begin() + 36);
  be32(40, 15);
  be32(44, frames);
  be32(48, bytes);
  be32(152, 50);
  size_t ext = 156;
  std::copy_n("LAME3.100", 9, f.begin() + ext);
  f[ext + 21] = 576 >> 4, f[ext + 22] = ((576 & 15) << 4) | (1000 >> 8), f[ext + 23] = 1000 & 255;
  uint16_t crc = zul::Crc16Arc(f.data(), ext + 34);
  f[ext + 34] = static_cast<uint8_t>(crc >> 8), f[ext + 35] = static_cast<uint8_t>(crc);
  return f;
}

void Write(const fs::path& path, const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  FILE* f = std::fopen(path.string().c_str(), "wb");
  if (!f) return;
  std::fwrite(a.data(), 1, a.size(), f);
  std::fwrite(b.data(), 1, b.size(), f);
  std::fclose(f);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double Max(const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); }

// open + scan + close, `runs` times; false on a failed scan.
bool TimeScan(const fs::path& path, int runs, Times* times, zul::CMpegScanResult* result) {
  for (int i = 0; i < runs; ++i) {
    Stamp start = Now();
    zul::CFileSource source;
    if (!source.Open(path) || !zul::ScanMpegStream(source, *result)) return false;
    source.Close();
    times->Add(start);
  }
  return true;
}

void Report(const char* what, const Times& t, const char* target) {
  std::printf("%-34s cpu median %7.3f ms, max %7.3f ms; wall median %7.3f ms%s\n", what, Median(t.cpu), Max(t.cpu),
              Median(t.wall), target);
}

}  // namespace

int main() {
  fs::path dir = fs::temp_directory_path() / ("zul-bench-stream-" + std::to_string(getpid()));
  fs::create_directories(dir);
  int64_t lastFrameStart = 0;
  std::vector<uint8_t> audio = Audio(&lastFrameStart);
  std::vector<uint8_t> tag(128, 0);
  std::copy_n("TAG", 3, tag.begin());
  Write(dir / "plain.mp3", audio, tag);
  Write(dir / "info.mp3", InfoFrame(kFrames, static_cast<uint32_t>(audio.size() + 417)), audio);

  bool ok = true;
  Times plainT, infoT, seekT, memSeekT;
  zul::CMpegScanResult plain, info;
  ok &= TimeScan(dir / "plain.mp3", 101, &plainT, &plain);
  ok &= TimeScan(dir / "info.mp3", 101, &infoT, &info);

  // Seeking through the file as the player reads it, and through the same
  // bytes held in memory (FullBuffering).
  int64_t lastOffset = 0, lastMemOffset = 0;
  size_t entries = 0;
  const double end = 3600.0 * 1000 + 1000;
  for (int i = 0; ok && i < 11; ++i) {
    zul::CFileSource source;
    ok &= source.Open(dir / "plain.mp3");
    zul::CSeekTable::Entry e;
    Stamp start = Now();
    zul::CSeekTable table(source, plain);
    ok &= table.Find(end, e);
    seekT.Add(start);
    lastOffset = e.offset;
    entries = table.Entries().size();

    zul::CMemorySource memory(audio);
    start = Now();
    zul::CSeekTable memTable(memory, plain);
    ok &= memTable.Find(end, e);
    memSeekT.Add(start);
    lastMemOffset = e.offset;
  }
  std::error_code ec;
  fs::remove_all(dir, ec);
  if (!ok) {
    std::printf("bench_stream: scan or seek failed\n");
    return 1;
  }

  const bool lengthsRight =
      plain.lengthMs / 1000 == 3600 && info.exactLength && info.totalSamples == int64_t{kFrames} * 1152 - 1576;
  const bool seekRight =
      entries == static_cast<size_t>(kFrames) && lastOffset == lastFrameStart && lastMemOffset == lastFrameStart;
  std::printf("1-hour CBR file, %zu bytes, %d frames\n", audio.size(), kFrames);
  Report("length without VBR header:", plainT, " (target 1 ms)");
  Report("length with Info header:", infoT, " (target 1 ms)");
  Report("seek to the end, file:", seekT, " (target 30 ms)");
  Report("seek to the end, in memory:", memSeekT, "");
  bool pass =
      lengthsRight && seekRight && Median(plainT.cpu) <= 1.0 && Median(infoT.cpu) <= 1.0 && Median(seekT.cpu) <= 30.0;
  if (!lengthsRight || !seekRight) {
    std::printf("bench_stream: wrong results (lengths %d, seek %d)\n", lengthsRight, seekRight);
  }
  std::printf("bench_stream: %s\n", pass ? "PASS" : "MISSED TARGET");
  return pass ? 0 : 1;
}
