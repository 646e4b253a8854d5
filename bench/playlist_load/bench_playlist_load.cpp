// Loading a 10000-line M3U whose files all exist, with the default sort
// template, through the same path zul.exe takes (read, parse, existence
// check of every line, sort keys, AfterLoad's sort, the tag reader's start).
// Target: at most 150 ms beyond the file-existence checks themselves; both
// figures are printed. The files are real (a temporary folder tree); the
// playlist's Windows paths map onto it.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/text_codec.h"
#include "playlist/core/playlist_manager.h"
#include "playlist/workers/playlist_workers.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kTargetMs = 150;
constexpr int kLines = 10000;
const std::wstring kListPath = L"C:\\Bench\\list.m3u";

// "C:\Bench\x" -> "<root>/x".
class MappedFileSystem : public zul::PlaylistFileSystem {
public:
  explicit MappedFileSystem(std::string root) : root_(std::move(root)) {}
  std::string Map(const std::wstring& path) const {
    std::wstring rest = path.size() > 8 && path.compare(0, 9, L"C:\\Bench\\") == 0 ? path.substr(9) : path;
    std::replace(rest.begin(), rest.end(), L'\\', L'/');
    return root_ + "/" + zul::EncodeUtf8(rest);
  }
  bool ReadWholeFile(const std::wstring& path, std::string* bytes) override {
    std::ifstream in(Map(path), std::ios::binary);
    if (!in) return false;
    bytes->assign(std::istreambuf_iterator<char>(in), {});
    return true;
  }
  bool ReplaceFile(const std::wstring&, std::string_view) override { return false; }
  bool IsUsableFile(const std::wstring& path) override {
    struct stat st;
    return stat(Map(path).c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size != 0;
  }
  void ListFolder(const std::wstring&, std::vector<zul::FolderEntry>*) override {}

private:
  std::string root_;
};

class QuietPlatform : public zul::PlaylistPlatform {
public:
  explicit QuietPlatform(MappedFileSystem& fs) : fs_(fs) {}
  zul::PlaylistFileSystem& Files() override { return fs_; }
  void Log(const char*, int, const std::wstring&) override {}
  zul::PlaylistOptions Options() override { return {}; }  // the default template "%8%9%7"
  void StoreSortTemplate(const std::wstring&) override {}
  std::wstring ExtensionList() override { return L"MP3"; }
  bool PlaylistWindowVisible() override { return false; }
  void ListChanging() override {}
  void ListChanged() override {}
  void TagsRead() override {}
  void RepaintList() override {}
  void StopIfPlaying() override {}
  void StartPlaybackAfterLoad(const std::wstring&) override {}
  int PickShuffleStart(int) override { return 0; }
  void ClearShuffleStart() override {}
  void WhileWaiting() override {}

private:
  MappedFileSystem& fs_;
};

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main() {
  char tmpl[] = "/tmp/zul_bench_playlist_XXXXXX";
  if (!mkdtemp(tmpl)) return 2;
  const std::string root = tmpl;
  MappedFileSystem fs(root);

  // 100 artist folders of 10 album folders of 10 tracks, listed in a
  // shuffled order as a playlist saved by hand would be.
  std::string list = "#EXTM3U\r\n";
  std::vector<std::string> lines;
  for (int i = 0; i < kLines; ++i) {
    const std::string dir = "Artist " + std::to_string(i / 100) + "/Album " + std::to_string(i / 10 % 10);
    const std::string name = "Track " + std::to_string(i % 10) + " of " + std::to_string(i) + ".mp3";
    std::filesystem::create_directories(root + "/" + dir);
    std::ofstream(root + "/" + dir + "/" + name) << "x";
    std::string line = dir + "\\" + name;
    std::replace(line.begin(), line.end(), '/', '\\');
    lines.push_back(line);
  }
  for (size_t i = 0; i < lines.size(); ++i) std::swap(lines[i], lines[(i * 7919) % lines.size()]);
  for (const std::string& l : lines) list += l + "\r\n";
  std::ofstream(root + "/list.m3u", std::ios::binary) << list;

  std::vector<double> total, checks;
  int loaded = 0;
  for (int run = 0; run < 7; ++run) {
    zul::PlaylistManager playlist;
    QuietPlatform platform(fs);
    zul::PlaylistWorkers workers(playlist, platform);
    const auto t0 = Clock::now();
    workers.LoadPlaylistFile(kListPath, {.useSavedIndex = true});
    const auto t1 = Clock::now();
    total.push_back(Ms(t1 - t0));
    loaded = playlist.Count();
    workers.WaitIdle(std::chrono::seconds(60));  // the tag reader, outside the measurement

    // The checks alone, on the same resolved paths.
    const std::vector<zul::CachedTag> entries = playlist.Snapshot();
    int usable = 0;
    const auto c0 = Clock::now();
    for (const zul::CachedTag& e : entries) usable += fs.IsUsableFile(e.GetPath()) ? 1 : 0;
    checks.push_back(Ms(Clock::now() - c0));
    if (usable != kLines) {
      std::printf("only %d of %d files found\n", usable, kLines);
      return 2;
    }
  }
  std::filesystem::remove_all(root);

  const double t = Median(total), c = Median(checks), beyond = t - c;
  std::printf(
      "Load of a %d-line M3U (files exist, sort \"%%8%%9%%7\"): %d entries, median %.1f ms total, "
      "%.1f ms of it file-existence checks, %.1f ms beyond them (target %.0f ms)\n",
      kLines, loaded, t, c, beyond, kTargetMs);
  if (loaded != kLines) return 1;
  return beyond <= kTargetMs ? 0 : 1;
}
