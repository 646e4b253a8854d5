// Reading the tags of 1000 small files through the MPEG input's extended
// file information (the path plug-ins and the playlist's tag workers use:
// winampGetExtendedFileInfoW, its cache, header scan and tag readers) next
// to TagLib reading the same fields of the same files (bench_taglib_read).
// The files: real MPEG audio of one second, most with an ID3v2.3 tag (some
// with a cover picture, some with APE and ID3v1 tags behind the audio as
// well), some with only APE and ID3v1 tags, some with only ID3v1.
//   target: TagLib's CPU time per pass at least 2 x ours (medians of 5
//           passes after one that warms the file cache, each reader in a
//           process of its own).
//   bench_tags_vs_taglib                      runs everything and judges
//   bench_tags_vs_taglib make DIR               only writes the files (for profiling)
//   bench_tags_vs_taglib read DIR COUNT PASSES  runs only our side
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "bench/taglib_compare/read_passes.h"
#include "bench/tags/tag_builder.h"
#include "mpeg_input/module/file_info.h"

namespace {

namespace fs = std::filesystem;
using namespace zul::bench;

constexpr int kFiles = 1000;
constexpr int kPasses = 5;
constexpr double kTarget = 2.0;

int ReadOurs(const std::string& dir, int count, int passes) {
  static const wchar_t* const kFields[] = {L"title", L"artist", L"album",   L"year",
                                           L"genre", L"track",  L"comment", L"length"};
  zul::tags::CTagCache& cache = zul::MpegTagCache();
  return RunPasses(passes, [&] {
    CPassCount c;
    wchar_t value[512];
    for (int i = 0; i < count; ++i) {
      std::string name = BenchFileName(dir, i);
      std::wstring path(name.begin(), name.end());  // an ASCII temporary path
      for (const wchar_t* field : kFields) {
        if (!cache.GetExtendedFileInfoW(path.c_str(), field, value, 512, 0) || value[0] == 0) continue;
        if (field == kFields[7] && std::wcstol(value, nullptr, 10) <= 0) continue;
        ++c.fields;
        if (field == kFields[0]) ++c.titles;
      }
    }
    return c;
  });
}

bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }

ByteVec ReadWhole(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return ByteVec(std::istreambuf_iterator<char>(in), {});
}

bool WriteFiles(const fs::path& dir, const ByteVec& audio) {
  for (int i = 0; i < kFiles; ++i) {
    const std::string n = std::to_string(i);
    const std::string title = "Title of track " + n, artist = "Artist " + std::to_string(i % 37),
                      album = "Album " + std::to_string(i % 83);
    ByteVec file;
    const int kind = i % 10;
    if (kind >= 2) {
      ByteVec body;
      Frame(body, "TIT2", Text(title));
      Frame(body, "TPE1", Text(artist));
      Frame(body, "TALB", Text(album));
      Frame(body, "TYER", Text(std::to_string(1970 + i % 50)));
      Frame(body, "TRCK", Text(std::to_string(1 + i % 12) + "/12"));
      Frame(body, "TCON", Text("(17)"));
      Frame(body, "COMM", Comment("Comment " + n));
      Frame(body, "TXXX", UserText("replaygain_track_gain", "-6.50 dB"));
      if (i % 25 == 2) Frame(body, "APIC", Picture(32 << 10));
      body.resize(body.size() + 1024, 0);  // padding
      file = Id3v2Tag(body);
    }
    Append(file, audio);
    if (kind == 0 || (kind >= 2 && i % 4 == 0)) {
      Append(file, ApeTag({{"Title", title}, {"Artist", artist}, {"Album", album}, {"Year", "1999"}}));
    }
    if (kind <= 1 || i % 4 == 0) Append(file, Id3v1Tag(title, artist, album, "1999", 1 + i % 12, 17));
    std::ofstream out(BenchFileName(dir.string(), i), std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    if (!out) return false;
  }
  return true;
}

struct CFigures {
  double us = -1;
  int files = 0, fields = 0;
};

CFigures RunReader(const std::string& command) {
  CFigures f;
  if (std::FILE* p = popen(command.c_str(), "r")) {
    if (std::fscanf(p, "us=%lf files=%d fields=%d", &f.us, &f.files, &f.fields) != 3) f.us = -1;
    if (pclose(p) != 0) f.us = -1;
  }
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::string(argv[1]) == "read") return ReadOurs(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));

  const bool makeOnly = argc == 3 && std::string(argv[1]) == "make";
  const fs::path self = fs::canonical("/proc/self/exe");
  const fs::path dir =
      makeOnly ? fs::path(argv[2]) : fs::temp_directory_path() / ("zul_bench_taglib_" + std::to_string(getpid()));
  fs::create_directories(dir);
  const fs::path wav = dir / "in.wav", mp3 = dir / "in.mp3";
  std::printf("making %d files...\n", kFiles);
  if (!Run("sox -R -r 44100 -c 2 -n -b 16 '" + wav.string() + "' synth 1 sine 440 vol 0.5 2>/dev/null") ||
      !Run("lame --quiet -b 128 '" + wav.string() + "' '" + mp3.string() + "'") || !WriteFiles(dir, ReadWhole(mp3))) {
    std::printf("FAILED: sox, lame or writing the files\n");
    if (!makeOnly) fs::remove_all(dir);
    return 1;
  }
  if (makeOnly) return 0;
  const std::string args = " '" + dir.string() + "' " + std::to_string(kFiles) + " " + std::to_string(kPasses);
  CFigures ours = RunReader("'" + self.string() + "' read" + args);
  CFigures taglib =
      RunReader("'" + (self.parent_path().parent_path() / "bench_helpers" / "bench_taglib_read").string() + "'" + args);
  fs::remove_all(dir);

  std::printf("extended file info, %d files: %8.2f ms CPU (%d titles, %d values)\n", kFiles, ours.us / 1000, ours.files,
              ours.fields);
  std::printf("TagLib FileRef,     %d files: %8.2f ms CPU (%d titles, %d values)\n", kFiles, taglib.us / 1000,
              taglib.files, taglib.fields);
  if (ours.us <= 0 || taglib.us <= 0 || ours.files != kFiles || taglib.files != kFiles) {
    std::printf("FAILED: a reader failed or missed titles\n");
    return 1;
  }
  const double ratio = taglib.us / ours.us;
  std::printf("TagLib / ours %.2f (target >= %.1f)\n", ratio, kTarget);
  return ratio >= kTarget ? 0 : 1;
}
