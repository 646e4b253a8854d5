// zul.exe's start-up and quit as real processes: the file named on the
// command line against the restored playlist, quitting while a plug-in's
// decode thread runs, a plug-in's own error box inside Play, and two
// plug-ins claiming one extension, the playlist asking a plug-in for the
// files only it claims. Plug-ins are copies of in_fake_decoder.dll
// (see there); run_observed.sh collects Wine's exception messages, because a
// fault in a plug-in's thread does not change the exit code.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "base/win32_handles.h"
#include "tests/support/zul_process.h"

namespace zul::test {
namespace {

constexpr UINT kIpc = WM_USER;
constexpr LPARAM kIpcGetVersion = 0;
constexpr LPARAM kIpcIsPlaying = 104;
constexpr LPARAM kIpcGetListLength = 124;
constexpr LPARAM kIpcGetPlaylistFile = 211;
constexpr LPARAM kIpcGetPlaylistTitle = 212;

std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

// Wine's exception messages collected by run_observed.sh.
class SehLog {
public:
  SehLog() {
    wchar_t path[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"ZUL_SEH_LOG", path, MAX_PATH)) path_ = path;
    start_ = ReadFileBytes(path_).size();
  }
  bool Available() const { return !path_.empty(); }
  // The lines written since this object was made that tell of an
  // exception: "err:seh" (one a window procedure let escape) or Wine's
  // "Unhandled ... starting debugger" (one that ends a thread).
  std::string Since() const {
    const std::string all = ReadFileBytes(path_);
    std::string found;
    for (const std::string& line : Lines(all.size() > start_ ? all.substr(start_) : std::string()))
      if (line.find("err:seh") != std::string::npos || line.find("Unhandled") != std::string::npos)
        found += line + "\n";
    return found;
  }

private:
  std::wstring path_;
  size_t start_ = 0;
};

std::string ConsoleText(HWND main) {
  std::string all;
  for (const auto& line : ConsoleLines(main)) all += Narrow(line);
  return all;
}

// Polls the console until a line holds `text`; false after the time-out.
bool WaitForConsole(HWND main, const std::wstring& text, DWORD timeoutMs = 30000) {
  const DWORD start = GetTickCount();
  do {
    for (const auto& line : ConsoleLines(main))
      if (line.find(text) != std::wstring::npos) return true;
    Sleep(20);
  } while (GetTickCount() - start < timeoutMs);
  return false;
}

bool WaitForLife(const std::wstring& log, const std::string& line, DWORD timeoutMs = 30000) {
  const DWORD start = GetTickCount();
  do {
    for (const auto& l : Lines(ReadFileBytes(log)))
      if (l == line) return true;
    Sleep(20);
  } while (GetTickCount() - start < timeoutMs);
  return false;
}

// Everything the program had queued for itself before now has been handled
// once an IPC message posted now has been: posted messages are handled in
// order, and every IPC message is logged.
bool SettleQueue(HWND main, HWND winamp) {
  static WPARAM marker = 4000;
  ++marker;
  PostMessageW(winamp, kIpc, marker, kIpcGetVersion);
  return WaitForConsole(main, L"IPC_GETVERSION " + std::to_wstring(marker));
}

LRESULT Ipc(HWND winamp, LPARAM what) {
  DWORD_PTR reply = 0;
  if (!SendMessageTimeoutW(winamp, kIpc, 0, what, SMTO_BLOCK, 10000, &reply)) return -1;
  return static_cast<LRESULT>(reply);
}

// A sandbox whose input plug-ins are copies of the fake decoder.
class FakeDecoderBox {
public:
  explicit FakeDecoderBox(const std::wstring& name) : box_(name), life_(box_.dir() + L"\\life.log") {
    DeleteFileW(life_.c_str());
  }

  // Adds a copy named `copy` with its [fake] settings (lines "Key=value\r\n").
  void AddPlugin(const std::wstring& copy, const std::string& settings) {
    const std::wstring path = box_.dir() + L"\\" + copy;
    CopyFileW((BinDir() + L"\\in_fake_decoder.dll").c_str(), path.c_str(), FALSE);
    WriteFileBytes(path + L".ini", "[fake]\r\n" + settings);
    pluginKeys_ += L"dllInName" + std::to_wstring(plugins_++) + L"=" + path + L"\r\n";
  }
  std::wstring AddFile(const std::wstring& name, const std::string& bytes) {
    const std::wstring path = box_.dir() + L"\\" + name;
    WriteFileBytes(path, bytes);
    return path;
  }
  // Writes the settings file and starts zul.exe with the plug-ins' life log.
  HANDLE Start(const std::wstring& args, DWORD* pid, const std::wstring& moreSettings = L"") {
    WriteFileBytes(box_.ini(), Narrow(L"[Preferences]\r\n" + pluginKeys_ + moreSettings));
    SetEnvironmentVariableW(L"ZUL_TEST_PLUGIN_LOG", life_.c_str());
    HANDLE process = box_.Start(args, pid);
    SetEnvironmentVariableW(L"ZUL_TEST_PLUGIN_LOG", nullptr);
    return process;
  }
  // One copy "in_fake.dll" with `settings`, playing "track.fak" from the
  // command line: the process once the plug-in's decode thread runs, else
  // nullptr.
  HANDLE StartDecoding(const std::string& settings) {
    AddPlugin(L"in_fake.dll", settings);
    const std::wstring track = AddFile(L"track.fak", "FAKE");
    DWORD pid = 0;
    HANDLE process = Start(L"\"" + track + L"\"", &pid);
    return process && WaitForLife(life_, "in_fake.dll decoding") ? process : nullptr;
  }
  std::vector<std::string> Life() const { return Lines(ReadFileBytes(life_)); }
  const std::wstring& life() const { return life_; }
  ZulSandbox& box() { return box_; }

private:
  ZulSandbox box_;
  std::wstring life_;
  std::wstring pluginKeys_;
  int plugins_ = 0;
};

// The ANSI text an IPC answer points to inside zul.exe.
std::string RemoteText(DWORD pid, LRESULT at) {
  std::string text(MAX_PATH, '\0');
  UniqueHandle memory(OpenProcess(PROCESS_VM_READ, FALSE, pid));
  SIZE_T got = 0;
  if (memory && at) ReadProcessMemory(memory.Get(), reinterpret_cast<void*>(at), text.data(), text.size() - 1, &got);
  return text.c_str();
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string all;
  for (const auto& l : lines) all += l + "\n";
  return all;
}

// The plug-in's decode thread runs code of its DLL until Stop returns; the
// quit must stop playback (and wait for Stop) before it frees the DLL.
TEST(Quit, WhileADecodeThreadRunsStopsItBeforeTheDllIsFreed) {
  SehLog seh;
  ASSERT_TRUE(seh.Available()) << "run through run_observed.sh";
  for (int run = 0; run < 3; ++run) {
    SCOPED_TRACE("run " + std::to_string(run));
    FakeDecoderBox fake(L"quit_decoding");
    // The thread takes a while to end once told: the host must wait.
    HANDLE process = fake.StartDecoding("EndLatencyMs=300\r\n");
    ASSERT_NE(process, nullptr) << "never began decoding\n" << Joined(fake.Life());

    EXPECT_EQ(fake.box().RunToEnd(L"-x"), 0u);
    ASSERT_TRUE(WaitForExit(process, 30000));
    EXPECT_EQ(seh.Since(), "") << "a fault while quitting";
    std::vector<std::string> life = fake.Life();
    auto at = [&life](const std::string& line) { return std::find(life.begin(), life.end(), line) - life.begin(); };
    ASSERT_LT(at("in_fake.dll Quit"), static_cast<ptrdiff_t>(life.size())) << Joined(life);
    EXPECT_LT(at("in_fake.dll Stop returned"), at("in_fake.dll Quit")) << Joined(life);
  }
}

// A decoder whose Stop waits for its thread without a limit, while that
// thread waits for the UI thread to answer it: the quit must not hang.
TEST(Quit, WhileTheDecodeThreadWaitsForTheWinampWindowEnds) {
  SehLog seh;
  ASSERT_TRUE(seh.Available()) << "run through run_observed.sh";
  FakeDecoderBox fake(L"quit_asking");
  HANDLE process = fake.StartDecoding("AskHost=1\r\nStopPatienceMs=-1\r\n");
  ASSERT_NE(process, nullptr) << "never began decoding\n" << Joined(fake.Life());

  EXPECT_EQ(fake.box().RunToEnd(L"-x"), 0u);
  ASSERT_TRUE(WaitForExit(process, 30000)) << "the quit hangs\n" << Joined(fake.Life());
  EXPECT_EQ(seh.Since(), "");
  const std::vector<std::string> life = fake.Life();
  EXPECT_EQ(std::vector<std::string>(life.end() - 2, life.end()),
            (std::vector<std::string>{"in_fake.dll Stop returned", "in_fake.dll Quit"}))
      << Joined(life);
}

// A decoder thread that never ends keeps its Stop waiting forever: the quit
// saves first, and its watchdog then ends the process; the DLL is never
// freed under the running thread.
TEST(Quit, WithADecodeThreadThatNeverEndsEndsAfterSaving) {
  SehLog seh;
  ASSERT_TRUE(seh.Available()) << "run through run_observed.sh";
  FakeDecoderBox fake(L"quit_stuck");
  HANDLE process = fake.StartDecoding("NeverEnds=1\r\nStopPatienceMs=-1\r\n");
  ASSERT_NE(process, nullptr) << "never began decoding\n" << Joined(fake.Life());

  EXPECT_EQ(fake.box().RunToEnd(L"-x"), 0u);
  ASSERT_TRUE(WaitForExit(process, 60000)) << "the quit hangs\n" << Joined(fake.Life());
  DWORD code = 0;
  GetExitCodeProcess(process, &code);
  EXPECT_EQ(code, 2u) << "ended by the quit's watchdog";
  EXPECT_EQ(seh.Since(), "");
  EXPECT_EQ(ReadFileBytes(fake.box().dir() + L"\\zul.m3u"), "track.fak\r\n");
  EXPECT_NE(ReadFileBytes(fake.box().ini()).find("dllInName0="), std::string::npos);
  const std::vector<std::string> life = fake.Life();
  EXPECT_EQ(std::count(life.begin(), life.end(), "in_fake.dll Quit"), 0) << Joined(life);
}

// A double-clicked file plays, whatever the restored playlist asked for:
// the restore finishes first and its own playback decision gives way.
TEST(StartUnderLoad, TheFileOnTheCommandLineBeatsTheRestoredPlaylist) {
  const std::wstring fixtures = BinDir() + L"\\playback_fixtures\\long\\";
  for (int run = 0; run < 10; ++run) {
    SCOPED_TRACE("run " + std::to_string(run));
    ZulSandbox box(L"argument_vs_restore");
    CopyFileW((fixtures + L"l1.mp3").c_str(), (box.dir() + L"\\old.mp3").c_str(), FALSE);
    CopyFileW((fixtures + L"l2.mp3").c_str(), (box.dir() + L"\\x.mp3").c_str(), FALSE);
    WriteFileBytes(box.dir() + L"\\zul.m3u", "old.mp3\r\n");
    WriteFileBytes(box.ini(), "[Preferences]\r\nCurrentInPlaylist=0\r\n");
    const std::wstring argument = box.dir() + L"\\x.mp3";

    DWORD pid = 0;
    HANDLE process = box.Start(L"\"" + argument + L"\"", &pid);
    ASSERT_NE(process, nullptr);
    HWND main = WaitForInstance(pid);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitForConsole(main, L"Play " + argument + L": 0")) << ConsoleText(main);
    HWND winamp = FindWinampWindow(pid);
    ASSERT_NE(winamp, nullptr);
    ASSERT_TRUE(SettleQueue(main, winamp));

    const std::string console = ConsoleText(main);
    EXPECT_EQ(Ipc(winamp, kIpcGetListLength), 1) << console;
    EXPECT_EQ(Ipc(winamp, kIpcIsPlaying), 1) << console;
    const size_t played = console.find("Play " + Narrow(argument) + ": 0");
    EXPECT_EQ(console.find("WINAMP_BUTTON4", played), std::string::npos) << "stopped after it started\n" << console;
    EXPECT_EQ(console.find("old.mp3: 0"), std::string::npos) << "the restored track played\n" << console;

    EXPECT_EQ(box.RunToEnd(L"-x"), 0u);
    EXPECT_TRUE(WaitForExit(process, 30000));
  }
}

struct ClaimCase {
  const char* name;
  const char* firstSettings;
  std::vector<std::string> expected;  // the life log after Init
};

// Two plug-ins claim ".fak": the first in the list that plays wins; one
// whose Play answers -1 (file not found) lets the next one try.
TEST(SharedExtension, TheFirstPlugInThatPlaysWins) {
  const std::vector<ClaimCase> cases = {
      {"first plays", "PlayResult=0\r\n", {"in_a.dll Play song.fak", "in_a.dll decoding"}},
      {"first answers -1",
       "PlayResult=-1\r\n",
       {"in_a.dll Play song.fak", "in_b.dll Play song.fak", "in_b.dll decoding"}},
  };
  for (const ClaimCase& c : cases) {
    SCOPED_TRACE(c.name);
    FakeDecoderBox fake(L"shared_extension");
    fake.AddPlugin(L"in_a.dll", c.firstSettings);
    fake.AddPlugin(L"in_b.dll", "PlayResult=0\r\n");
    const std::wstring song = fake.AddFile(L"song.fak", "FAKE");
    DWORD pid = 0;
    HANDLE process = fake.Start(L"\"" + song + L"\"", &pid);
    ASSERT_NE(process, nullptr);
    ASSERT_TRUE(WaitForLife(fake.life(), c.expected.back())) << Joined(fake.Life());
    HWND winamp = FindWinampWindow(pid);
    EXPECT_EQ(Ipc(winamp, kIpcIsPlaying), 1);
    std::vector<std::string> life = fake.Life();
    std::vector<std::string> afterInit;
    for (const auto& l : life)
      if (l.find(" Init") == std::string::npos) afterInit.push_back(l);
    EXPECT_EQ(afterInit, c.expected);

    EXPECT_EQ(fake.box().RunToEnd(L"-x"), 0u);
    EXPECT_TRUE(WaitForExit(process, 30000));
  }
}

struct DialogSearch {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM param) {
  auto* s = reinterpret_cast<DialogSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  wchar_t cls[16];
  if (owner == s->pid && IsWindowVisible(hwnd) && GetClassNameW(hwnd, cls, 16) && wcscmp(cls, L"#32770") == 0) {
    s->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND WaitForDialog(DWORD pid, DWORD timeoutMs = 30000) {
  const DWORD start = GetTickCount();
  do {
    DialogSearch s{pid, nullptr};
    EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&s));
    if (s.found) return s.found;
    Sleep(20);
  } while (GetTickCount() - start < timeoutMs);
  return nullptr;
}

// A plug-in's own modal error box inside Play: the player keeps answering
// while it is up, and "-x" then ends it cleanly (the box goes with it).
TEST(PlugInErrorBox, ThePlayerAnswersAndQuitsWhileItIsUp) {
  SehLog seh;
  ASSERT_TRUE(seh.Available()) << "run through run_observed.sh";
  FakeDecoderBox fake(L"error_box");
  fake.AddPlugin(L"in_fake.dll", "");
  const std::wstring bad = fake.AddFile(L"bad.fak", "UNREADABLE");
  DWORD pid = 0;
  HANDLE process = fake.Start(L"\"" + bad + L"\"", &pid);
  ASSERT_NE(process, nullptr);
  HWND dialog = WaitForDialog(pid);
  ASSERT_NE(dialog, nullptr) << Joined(fake.Life());
  HWND winamp = FindWinampWindow(pid);
  ASSERT_NE(winamp, nullptr);
  EXPECT_EQ(Ipc(winamp, kIpcGetListLength), 1);

  EXPECT_EQ(fake.box().RunToEnd(L"-x"), 0u);
  ASSERT_TRUE(WaitForExit(process, 30000));
  DWORD code = 99;
  GetExitCodeProcess(process, &code);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(seh.Since(), "");
  const std::vector<std::string> life = fake.Life();
  EXPECT_EQ(std::count(life.begin(), life.end(), "in_fake.dll error box"), 1) << Joined(life);
  EXPECT_EQ(life.back(), "in_fake.dll Quit") << Joined(life);
}

// A folder of files of an extension that only a plug-in claims: the scan
// takes them, and their titles, artists and lengths are that plug-in's
// answers, in the playlist file and over IPC.
TEST(PlugInFiles, AFolderScanTakesThePlugInsFilesWithItsTags) {
  SehLog seh;
  ASSERT_TRUE(seh.Available()) << "run through run_observed.sh";
  FakeDecoderBox fake(L"plugin_files");
  fake.AddPlugin(L"in_zzf.dll", "Extensions=ZZF\r\n");
  const std::wstring folder = fake.box().dir() + L"\\Tracks";
  CreateDirectoryW(folder.c_str(), nullptr);
  WriteFileBytes(folder + L"\\one.zzf", "TAGS:Fake Artist|First Song\r\n");
  WriteFileBytes(folder + L"\\two.zzf", "TAGS:Other Artist|Second Song\r\n");
  WriteFileBytes(folder + L"\\plain.zzf", "FAKE");  // no tags: the file name
  WriteFileBytes(folder + L"\\notes.txt", "x");
  DWORD pid = 0;
  HANDLE process = fake.Start(L"\"" + folder + L"\"", &pid, L"ExtPlaylistFormat=1\r\nShowingMode=1\r\n");
  ASSERT_NE(process, nullptr);
  HWND main = WaitForInstance(pid);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntilRunning(main));  // the Winamp window exists by then
  HWND winamp = FindWinampWindow(pid);
  ASSERT_NE(winamp, nullptr);
  ASSERT_TRUE(WaitForConsole(main, L"3 files added")) << ConsoleText(main);
  ASSERT_TRUE(WaitForConsole(main, L"Fin ReadAllTagsThread")) << ConsoleText(main);

  std::vector<std::string> titles;  // "<file name>: <title>" in list order
  for (LRESULT i = 0, n = Ipc(winamp, kIpcGetListLength); i < n; ++i) {
    DWORD_PTR file = 0, title = 0;
    SendMessageTimeoutW(winamp, kIpc, i, kIpcGetPlaylistFile, SMTO_BLOCK, 10000, &file);
    SendMessageTimeoutW(winamp, kIpc, i, kIpcGetPlaylistTitle, SMTO_BLOCK, 10000, &title);
    const std::string path = RemoteText(pid, static_cast<LRESULT>(file));
    titles.push_back(path.substr(path.find_last_of('\\') + 1) + ": " + RemoteText(pid, static_cast<LRESULT>(title)));
  }
  EXPECT_EQ(titles, (std::vector<std::string>{"one.zzf: First Song", "plain.zzf: plain", "two.zzf: Second Song"}));

  EXPECT_EQ(fake.box().RunToEnd(L"-x"), 0u);
  ASSERT_TRUE(WaitForExit(process, 30000));
  EXPECT_EQ(seh.Since(), "");
  // "Artist - Title" (display mode 1), and the plug-in's 600 s.
  EXPECT_EQ(ReadFileBytes(fake.box().dir() + L"\\zul.m3u"),
            "#EXTM3U\r\n"
            "Tracks\\one.zzf\r\n#EXTINF:600,Fake Artist - First Song\r\n"
            "Tracks\\plain.zzf\r\n#EXTINF:600,plain\r\n"
            "Tracks\\two.zzf\r\n#EXTINF:600,Other Artist - Second Song\r\n");
}

// The quit comes while a playlist worker reads tags inside a plug-in, and
// the read outlasts the time the quit gives the workers: the plug-in is
// neither quit nor freed before the read has returned.
TEST(Quit, WhileATagReadIsInsideAPlugInWaitsForItBeforeTheDllIsFreed) {
  SehLog seh;
  ASSERT_TRUE(seh.Available()) << "run through run_observed.sh";
  FakeDecoderBox fake(L"quit_reading");
  // Longer than the workers' 10 s, shorter than the quit watchdog's 20 s.
  fake.AddPlugin(L"in_zzf.dll", "Extensions=ZZF\r\nInfoHoldMs=14000\r\n");
  const std::wstring folder = fake.box().dir() + L"\\Slow";
  CreateDirectoryW(folder.c_str(), nullptr);
  WriteFileBytes(folder + L"\\a.zzf", "TAGS:A|Song A\r\n");
  WriteFileBytes(folder + L"\\slow.zzf", "TAGS:S|Slow Song\r\n");
  DWORD pid = 0;
  HANDLE process = fake.Start(L"\"" + folder + L"\"", &pid);
  ASSERT_NE(process, nullptr);
  ASSERT_TRUE(WaitForLife(fake.life(), "in_zzf.dll info begin slow.zzf")) << Joined(fake.Life());

  EXPECT_EQ(fake.box().RunToEnd(L"-x"), 0u);
  ASSERT_TRUE(WaitForExit(process, 60000)) << "the quit hangs\n" << Joined(fake.Life());
  DWORD code = 0;
  GetExitCodeProcess(process, &code);
  EXPECT_EQ(code, 0u) << "ended by the quit watchdog or a fault";
  EXPECT_EQ(seh.Since(), "");
  std::vector<std::string> life = fake.Life();
  auto at = [&life](const std::string& line) { return std::find(life.begin(), life.end(), line) - life.begin(); };
  ASSERT_LT(at("in_zzf.dll Quit"), static_cast<ptrdiff_t>(life.size())) << Joined(life);
  EXPECT_LT(at("in_zzf.dll info end slow.zzf"), at("in_zzf.dll Quit")) << Joined(life);
}

}  // namespace
}  // namespace zul::test
