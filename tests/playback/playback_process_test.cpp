// zul.exe started on folders of short MP3 tracks plays them through to the
// end of the playlist and exits, following the repeat, album and shuffle
// settings. The order of play is read from the console log ("Play <path>:
// <result>" for every track started), polled until the process ends or a
// deadline passes.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "base/win32_handles.h"
#include "tests/support/zul_process.h"

namespace zul::test {
namespace {

std::wstring Fixtures() { return BinDir() + L"\\playback_fixtures\\albums"; }

// The file name without folder and extension of every "Play ...: 0" line.
std::vector<std::wstring> PlayedTracks(const std::vector<std::wstring>& lines) {
  std::vector<std::wstring> played;
  for (std::wstring line : lines) {
    while (!line.empty() && static_cast<unsigned>(line.back()) <= L' ') line.pop_back();
    size_t at = line.find(L": Play ");
    if (at == std::wstring::npos || line.size() < 3 || line.compare(line.size() - 3, 3, L": 0") != 0) continue;
    std::wstring path = line.substr(at + 7, line.size() - 3 - (at + 7));
    size_t slash = path.find_last_of(L'\\');
    size_t dot = path.find_last_of(L'.');
    played.push_back(path.substr(slash + 1, dot - slash - 1));
  }
  return played;
}

std::string Log(const struct PlayRun& run);

std::wstring Joined(const std::vector<std::wstring>& names) {
  std::wstring all;
  for (const auto& n : names) all += (all.empty() ? L"" : L" ") + n;
  return all;
}

struct PlayRun {
  std::vector<std::wstring> played;
  std::vector<std::wstring> lines;  // the last console lines seen
  bool exited = false;
};

std::string Log(const PlayRun& run) {
  std::string all = "console:\n";
  for (const auto& line : run.lines) all += std::string(line.begin(), line.end()) + "\n";
  return all;
}

class PlaybackProcess : public ::testing::Test {
protected:
  // Starts zul.exe on `target` with `settings` lines in its [Preferences]
  // and follows it until it exits or `stopAfter` tracks have started (then
  // it is asked to quit), within the deadline.
  PlayRun Follow(const std::wstring& name, const std::string& settings, const std::wstring& target, size_t stopAfter,
                 DWORD deadlineMs = 60000) {
    ZulSandbox box(name);
    WriteFileBytes(box.ini(), "[Preferences]\r\n" + settings);
    DWORD pid = 0;
    HANDLE process = box.Start(L"\"" + target + L"\"", &pid);
    HWND main = WaitForInstance(pid);
    EXPECT_NE(main, nullptr);
    PlayRun run;
    if (!main) return run;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < deadlineMs) {
      if (WaitForSingleObject(process, 0) == WAIT_OBJECT_0) {
        run.exited = true;
        break;
      }
      std::vector<std::wstring> lines = ConsoleLines(main);
      // A window that is going away answers with empty lines: only a
      // snapshot that saw at least as much counts.
      std::vector<std::wstring> played = PlayedTracks(lines);
      if (!lines.empty() && played.size() >= run.played.size() && !lines.front().empty()) {
        run.played = std::move(played);
        run.lines = std::move(lines);
      }
      if (run.played.size() >= stopAfter) {
        SendMessageTimeoutW(FindWinampWindow(pid), WM_COMMAND, 40001, 0, SMTO_BLOCK, 5000, nullptr);
        WaitForExit(process, 20000);
        break;
      }
      Sleep(50);
    }
    return run;
  }
};

// Sorted by folder, then file name: album_a before album_b.
TEST_F(PlaybackProcess, PlaysTheFolderInOrderAndExitsAtTheEnd) {
  PlayRun run = Follow(L"playback_order", "", Fixtures(), 100);
  EXPECT_TRUE(run.exited);
  EXPECT_EQ(Joined(run.played), L"a1 a2 a3 b1 b2") << Log(run);
}

TEST_F(PlaybackProcess, RepeatWrapsToTheFirstTrack) {
  PlayRun run = Follow(L"playback_repeat", "Repeat=1\r\n", Fixtures(), 7);
  ASSERT_GE(run.played.size(), 7u) << Joined(run.played);
  EXPECT_EQ(Joined(std::vector<std::wstring>(run.played.begin(), run.played.begin() + 7)), L"a1 a2 a3 b1 b2 a1 a2");
}

TEST_F(PlaybackProcess, AlbumModeStaysInTheAlbum) {
  // Without repeat the end of the album ends the program...
  PlayRun once = Follow(L"playback_album", "AlbumStop=1\r\n", Fixtures(), 100);
  EXPECT_TRUE(once.exited);
  EXPECT_EQ(Joined(once.played), L"a1 a2 a3");
  // ... and with repeat the album starts again.
  PlayRun again = Follow(L"playback_album_repeat", "AlbumStop=1\r\nRepeat=1\r\n", Fixtures(), 5);
  ASSERT_GE(again.played.size(), 5u);
  EXPECT_EQ(Joined(std::vector<std::wstring>(again.played.begin(), again.played.begin() + 5)), L"a1 a2 a3 a1 a2");
}

TEST_F(PlaybackProcess, ShufflePlaysEachTrackOnceThenExits) {
  PlayRun run = Follow(L"playback_shuffle", "ShuffleMode=1\r\n", Fixtures(), 100);
  EXPECT_TRUE(run.exited);
  ASSERT_EQ(run.played.size(), 5u) << Joined(run.played);
  std::set<std::wstring> distinct(run.played.begin(), run.played.end());
  EXPECT_EQ(distinct.size(), 5u) << Joined(run.played);
}

TEST_F(PlaybackProcess, RepeatTrackPlaysTheSameFileAgain) {
  PlayRun run = Follow(L"playback_repeat_track", "RepeatTrack=1\r\n", Fixtures() + L"\\album_b", 3);
  ASSERT_GE(run.played.size(), 3u);
  EXPECT_EQ(Joined(std::vector<std::wstring>(run.played.begin(), run.played.begin() + 3)), L"b1 b1 b1");
}

// The console line that says how playing `path` went: "...: Play <path>: <n>".
std::wstring WaitForPlayResult(HWND main, const std::wstring& path, DWORD timeoutMs = 20000) {
  const std::wstring prefix = L": Play " + path + L": ";
  for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(50)) {
    // Asked with a time limit first: a frozen program fails the test instead
    // of hanging it.
    DWORD_PTR count = 0;
    if (!SendMessageTimeoutW(main, LB_GETCOUNT, 0, 0, SMTO_BLOCK, 3000, &count)) return L"(not answering)";
    for (std::wstring line : ConsoleLines(main)) {
      while (!line.empty() && static_cast<unsigned>(line.back()) <= L' ') line.pop_back();
      const size_t at = line.find(prefix);
      if (at != std::wstring::npos) return line.substr(at + prefix.size());
    }
  }
  return L"(no play line)";
}

// The NUL-separated list IPC_GET_EXTLIST places in zul's memory, joined by
// blanks.
std::string ExtensionList(HWND winamp, DWORD pid) {
  DWORD_PTR block = 0;
  if (!SendMessageTimeoutW(winamp, WM_USER, 0, 292, SMTO_BLOCK, 10000, &block) || !block) return "(no answer)";
  UniqueHandle process(OpenProcess(PROCESS_VM_READ, FALSE, pid));
  std::string all;
  char c = 0, previous = 0;
  for (auto at = reinterpret_cast<const char*>(block); ReadProcessMemory(process.Get(), at, &c, 1, nullptr); ++at) {
    if (c == 0 && previous == 0) break;
    all += c ? c : ' ';
    previous = c;
  }
  while (!all.empty() && all.back() == ' ') all.pop_back();
  return all;
}

// Playing a URL asks the built-in input whether it takes that stream; the
// answer must not cost local MP3 files their input, nor the extension list
// its MPEG types.
TEST_F(PlaybackProcess, AUrlLeavesLocalFilesPlayable) {
  ZulSandbox box(L"playback_url_then_file");
  // Repeat keeps the program running while the stream fails and the
  // controller moves on.
  WriteFileBytes(box.ini(), "[Preferences]\r\nRepeat=1\r\n");
  DWORD pid = 0;
  HANDLE process = box.Start(L"", &pid);
  HWND main = WaitForInstance(pid);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntilRunning(main));
  HWND winamp = FindWinampWindow(pid);
  ASSERT_NE(winamp, nullptr);
  auto playRequest = [&](const std::wstring& path) {
    COPYDATASTRUCT data{};
    data.dwData = 1100;  // IPC_PLAYFILEW
    data.cbData = static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t));
    data.lpData = const_cast<wchar_t*>(path.c_str());
    SendMessageTimeoutW(winamp, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_BLOCK, 10000, nullptr);
  };
  const std::string before = ExtensionList(winamp, pid);
  EXPECT_EQ(before, "mp3 mp2 mp1 rmp m3u pls");

  const std::wstring url = L"http://127.0.0.1:9/live.mp3";
  playRequest(url);
  EXPECT_NE(WaitForPlayResult(main, url), L"(no play line)");
  EXPECT_EQ(ExtensionList(winamp, pid), before);

  const std::wstring local = BinDir() + L"\\playback_fixtures\\long\\l1.mp3";
  playRequest(local);
  EXPECT_EQ(WaitForPlayResult(main, local), L"0");
  EXPECT_EQ(ExtensionList(winamp, pid), before);

  SendMessageTimeoutW(winamp, WM_COMMAND, 40001, 0, SMTO_BLOCK, 5000, nullptr);
  EXPECT_TRUE(WaitForExit(process, 20000));
}

// "Gap" is a pause between tracks that the settings file may hold at any
// size. The program keeps answering during it and plays the next track
// after at most ten seconds.
TEST_F(PlaybackProcess, AGapOfAnySizeNeitherFreezesNorStopsThePlayer) {
  ZulSandbox box(L"playback_gap");
  WriteFileBytes(box.ini(), "[Preferences]\r\nGap=2000000000\r\n");
  DWORD pid = 0;
  HANDLE process = box.Start(L"\"" + Fixtures() + L"\\album_b\"", &pid);
  HWND main = WaitForInstance(pid);
  ASSERT_NE(main, nullptr);
  const std::wstring b1 = Fixtures() + L"\\album_b\\b1.mp3", b2 = Fixtures() + L"\\album_b\\b2.mp3";
  ASSERT_EQ(WaitForPlayResult(main, b1), L"0");
  bool eofSeen = false, b2Played = false;
  int answeredInGap = 0;
  for (DWORD start = GetTickCount(); GetTickCount() - start < 40000 && !b2Played; Sleep(100)) {
    // Asked with a time limit first: a frozen UI thread must fail the test,
    // not hang it.
    DWORD_PTR count = 0;
    ASSERT_TRUE(SendMessageTimeoutW(main, LB_GETCOUNT, 0, 0, SMTO_BLOCK, 3000, &count))
        << "the main window did not answer within 3 s" << (eofSeen ? " after the end of the first track" : "");
    for (const std::wstring& line : ConsoleLines(main)) {
      if (line.find(L"WM_WA_MPEG_EOF") != std::wstring::npos) eofSeen = true;
      if (line.find(L": Play " + b2 + L": 0") != std::wstring::npos) b2Played = true;
    }
    if (eofSeen && !b2Played) ++answeredInGap;
  }
  EXPECT_TRUE(eofSeen);
  EXPECT_TRUE(b2Played) << "the second track did not start within 40 s";
  EXPECT_GT(answeredInGap, 0);
  SendMessageTimeoutW(FindWinampWindow(pid), WM_COMMAND, 40001, 0, SMTO_BLOCK, 5000, nullptr);
  EXPECT_TRUE(WaitForExit(process, 20000));
}

}  // namespace
}  // namespace zul::test
