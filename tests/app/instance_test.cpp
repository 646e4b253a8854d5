// zul.exe as real processes: single instance, hand-over, quit and the
// settings file it leaves behind.
#include <windows.h>
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>

#include "base/profile_text.h"
#include "base/settings.h"
#include "base/win32_handles.h"
#include "tests/support/zul_process.h"

namespace zul::test {
namespace {

constexpr DWORD kWinampQuit = 40001;

std::wstring Widen(const std::string& bytes) {
  int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring w(n, L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), w.data(), n);
  return w;
}

struct Running {
  HANDLE process = nullptr;
  DWORD pid = 0;
  HWND main = nullptr;
};

Running StartInstance(ZulSandbox& box, const std::wstring& args = L"") {
  Running r;
  r.process = box.Start(args, &r.pid);
  EXPECT_NE(r.process, nullptr);
  r.main = WaitForInstance(r.pid);
  EXPECT_NE(r.main, nullptr) << "no main window answered the instance message";
  if (r.main) EXPECT_TRUE(WaitUntilRunning(r.main));
  return r;
}

bool ConsoleHas(HWND main, const std::wstring& text) {
  for (const auto& l : ConsoleLines(main))
    if (l.find(text) != std::wstring::npos) return true;
  return false;
}

// What a quit writes to "Preferences" after a fresh start, in file order:
// the settings keys with their defaults in the order of the save of all
// settings, then the start-up window keys and rectangles, then the current
// entry. Written out here from the settings' definition, not taken from the
// code that saves them, so that a wrong default, key name or order shows.
struct KeyValue {
  const wchar_t* key;
  const wchar_t* value;  // nullptr: depends on the session
};
const std::wstring kDefaultToolTip =
    L"<table>\\r\\n  <tr>\\r\\n    <td><icon idres=301></td>\\r\\n    <td><center><h2>%7</h2></center></td>\\r\\n    "
    L"<td><right><a><icon idres=248 width=16 height=16 style=g hotstyle></a></right></td>\\r\\n  </tr>\\r\\n  "
    L"<tr>\\r\\n    <td colspan=3><hr color=blue></td>\\r\\n  </tr>\\r\\n  <tr>\\r\\n    <td><bmp idres=138 mask "
    L"style=d></td>\\r\\n    <td colspan=2>\\r\\n      <table>\\r\\n        <tr>\\r\\n          <td>Title :</td>\\r\\n "
    L"         <td> %2</td>\\r\\n        </tr>\\r\\n        <tr>\\r\\n          <td>Artist :</td>\\r\\n          <td> "
    L"%1</td>\\r\\n        </tr>\\r\\n        <tr><td>Album :</td>\\r\\n          <td> %3</td>\\r\\n        "
    L"</tr>\\r\\n          <tr>\\r\\n          <td>Year :</td>\\r\\n          <td> %4</td>\\r\\n        </tr>\\r\\n    "
    L"    <tr>\\r\\n          <td>Comment :</td>\\r\\n          <td> %5</td>\\r\\n        </tr>\\r\\n        "
    L"<tr>\\r\\n        <td>Length :</td>\\r\\n          <td> %6</td>\\r\\n        </tr>\\r\\n      </table>\\r\\n    "
    L"</td>\\r\\n  </tr>\\r\\n</table>";
const std::vector<KeyValue>& FreshPreferences() {
  static const std::vector<KeyValue> rows = {
      {L"Language", L""},
      {L"FullScreen", L"0"},
      {L"Clicks1", L"1"},
      {L"Clicks2", L"4"},
      {L"Clicks3", L"3"},
      {L"Clicks4", L"2"},
      {L"RClicks1", L"10"},
      {L"RClicks2", L"0"},
      {L"RClicks3", L"0"},
      {L"RClicks4", L"0"},
      {L"CurrentSkinSel", L"0"},
      {L"CurrentSkin", L""},
      {L"CurrentSkin1", L"NONE"},
      {L"changeSkinOnEachTrack", L"0"},
      {L"randomSkin", L"0"},
      {L"RNTemplate", L"%1 - %3"},
      {L"DockMinibar", L"0"},
      {L"SMTracks", L"1"},
      {L"SMAlbum", L"1"},
      {L"SMPrevNext", L"1"},
      {L"WAEmu", L"0"},
      {L"PressAndHold", L"2"},
      {L"ShowRemainingTime", L"0"},
      {L"ShowTTT", L"0"},
      {L"ShowGradientBar", L"0"},
      {L"GraphicalButtons", L"1"},
      {L"TPC", L"10"},
      {L"ExtPlaylistFormat", L"0"},
      {L"AlbumStop", L"0"},
      {L"ShowingMode", L"0"},
      {L"NoClicks", L"0"},
      {L"PlaylistOnTop", L"0"},
      {L"EQOnTop", L"0"},
      {L"AutoPlay", L"1"},
      {L"RandomFirst", L"0"},
      {L"Gap", L"0"},
      {L"NPKey", L"0"},
      {L"NPMod", L"0"},
      {L"ExitKey", L"0"},
      {L"ExitMod", L"0"},
      {L"ForwKey", L"0"},
      {L"ForwMod", L"0"},
      {L"BackKey", L"0"},
      {L"BackMod", L"0"},
      {L"PlayKey", L"0"},
      {L"PlayMod", L"0"},
      {L"StopKey", L"0"},
      {L"StopMod", L"0"},
      {L"PrevKey", L"0"},
      {L"PrevMod", L"0"},
      {L"NextKey", L"0"},
      {L"NextMod", L"0"},
      {L"VUpKey", L"0"},
      {L"VUpMod", L"0"},
      {L"VDownKey", L"0"},
      {L"VDownMod", L"0"},
      {L"OpenKey1", L"0"},
      {L"OpenMod1", L"0"},
      {L"OpenKey2", L"0"},
      {L"OpenMod2", L"0"},
      {L"OpenKey3", L"0"},
      {L"OpenMod3", L"0"},
      {L"MinibarKey", L"0"},
      {L"MinibarMod", L"0"},
      {L"MP3InfoKey", L"0"},
      {L"MP3InfoMod", L"0"},
      {L"PlstKey", L"0"},
      {L"PlstMod", L"0"},
      {L"EqualizerKey", L"0"},
      {L"EqualizerMod", L"0"},
      {L"RptKey", L"0"},
      {L"RptMod", L"0"},
      {L"ShflKey", L"0"},
      {L"ShflMod", L"0"},
      {L"AlbummodeKey", L"0"},
      {L"AlbummodeMod", L"0"},
      {L"TrayIconKey", L"0"},
      {L"TrayIconMod", L"0"},
      {L"MenuKey", L"0"},
      {L"MenuMod", L"0"},
      {L"TracksKey", L"0"},
      {L"TracksMod", L"0"},
      {L"AlbumKey", L"0"},
      {L"AlbumMod", L"0"},
      {L"AutomationKey", L"0"},
      {L"AutomationMod", L"0"},
      {L"InitDir", L"C:\\"},
      {L"Recent0", L""},
      {L"Recent1", L""},
      {L"Recent2", L""},
      {L"Recent3", L""},
      {L"Recent4", L""},
      {L"Recent5", L""},
      {L"Recent6", L""},
      {L"Recent7", L""},
      {L"Recent8", L""},
      {L"Recent9", L""},
      {L"Repeat", L"0"},
      {L"RepeatTrack", L"0"},
      {L"ShuffleMode", L"0"},
      {L"EnableEQ", L"0"},
      {L"EQ0", L""},
      {L"AutSort", L"0"},
      {L"sortTemplate", L"%8%9%7"},
      {L"W2Ffile", L""},
      {L"W2Fplay", L"Now playing: %7"},
      {L"W2Fpause", L"Now paused: %7"},
      {L"W2Fstop", L"Now stopped: %7"},
      {L"W2Fexit", L"ZUL is closed"},
      {L"W2Foem", L"0"},
      {L"W2Fdel", L"0"},
      {L"W2Fenabled", L"0"},
      {L"W2FFtp", L"0"},
      {L"W2FSite", L""},
      {L"W2FUser", L""},
      {L"W2FPassword", L""},
      {L"AutOnStart", L"0"},
      {L"AutSaveset", L"0"},
      {L"AutRemove", L"0"},
      {L"AutRemovedup", L"0"},
      {L"AutRescan", L"0"},
      {L"AutPeriod", L"5"},
      {L"AutEvery", L"0"},
      {L"AutDirsCnt", L"0"},
      {L"showToolTip", L"1"},
      {L"autoUpdate", L"0"},
      {L"displayConsole", nullptr},
      {L"displayConsoleAOT", L"0"},
      {L"ToolTipText", kDefaultToolTip.c_str()},
      {L"Theme", L"1"},
      {L"effect_bk", L"13"},
      {L"granularity", L"5"},
      {L"border", L"1"},
      {L"custom_border", L"0"},
      {L"border_width", L"1"},
      {L"border_height", L"1"},
      {L"transparency", L"0"},
      {L"border_color", L"0xDFFFFF"},
      {L"start_bk", L"0xFFFFFF"},
      {L"mid_bk", L"0xFFF7F0"},
      {L"end_bk", L"0xD0C0C0"},
      {L"show_time", L"500"},
      {L"hide_time", L"1000"},
      {L"fade_in", L"0"},
      {L"fade_out", L"0"},
      {L"animation", L"100"},
      {L"XPLookNFeel", L"1"},
      // With nothing listed, the plug-in host loads the built-in input and
      // output; each list is written "NONE" at its end first, then the names.
      {L"dllInName1", L"NONE"},
      {L"dllInName0", L"STANDARD"},
      {L"dllOutName1", L"NONE"},
      {L"dllOutName0", L"STANDARD"},
      {L"dllGenName0", L"NONE"},
      {L"activateWindowsMessenger", L"0"},
      {L"wmTitle", L"%1"},
      {L"wmIcon", L"0"},
      {L"wmSpeed", L"1"},
      {L"scrollMode", L"0"},
      {L"BarAtStartup", L"0"},
      {L"SeekBar", L"-1000 -1000 -1000 -1000"},
      {L"Video", L"-1000 -1000 -1000 -1000"},
      {L"PlaylistAtStartup", L"0"},
      {L"Playlist", nullptr},  // the playlist window exists from start-up, hidden, where it was placed
      {L"EQAtStartup", L"0"},
      {L"Equalizer", L"-1000 -1000 -1000 -1000"},
      {L"Console", nullptr},          // wherever the console window was
      {L"CurrentInPlaylist", L"-1"},  // nothing was ever selected
  };
  return rows;
}

std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

TEST(Instance, FreshStartThenExitFromASecondProcessWritesEveryDefault) {
  ZulSandbox box(L"fresh");
  Running first = StartInstance(box);
  ASSERT_NE(first.main, nullptr);
  EXPECT_EQ(box.RunToEnd(L"-x"), 0u);
  ASSERT_TRUE(WaitForExit(first.process, 20000)) << "-x did not end the running instance";

  ProfileText ini(Widen(ReadFileBytes(box.ini())));
  const auto keys = ini.Keys(kPreferences);
  const std::vector<KeyValue>& expected = FreshPreferences();
  for (size_t i = 0; i < std::max(keys.size(), expected.size()); ++i) {
    const std::wstring want = i < expected.size() ? expected[i].key : L"(none)";
    const std::wstring got = i < keys.size() ? keys[i].first : L"(none)";
    ASSERT_EQ(Narrow(got), Narrow(want)) << "key at position " << i;
    if (expected[i].value) {
      EXPECT_EQ(Narrow(keys[i].second), Narrow(expected[i].value)) << "value of " << Narrow(want);
    }
  }
  EXPECT_EQ(ini.Keys(kMenuXP), (std::vector<std::pair<std::wstring, std::wstring>>{
                                   {L"ShowGradient", L"1"},
                                   {L"ShowGradientSel", L"1"},
                                   {L"GradientStart", L"0xE4C4B4"},
                                   {L"GradientEnd", L"0xFFFFFF"},
                               }));

  // Reading the written file back gives the defaults again.
  Settings reread;
  struct Reader : ProfileReader {
    const ProfileText& t;
    explicit Reader(const ProfileText& text) : t(text) {}
    std::optional<std::wstring> Read(std::wstring_view s, std::wstring_view k) const override { return t.Get(s, k); }
  } reader(ini);
  LoadSettings(reader, reread);
  EXPECT_EQ(reread.clicks, (std::array<int, 4>{1, 4, 3, 2}));
  EXPECT_EQ(reread.toolTipText, kDefaultToolTip);
  EXPECT_EQ(reread.skins, std::vector<std::wstring>{L""});
}

TEST(Instance, QuitReplacesPreferencesButKeepsOtherSectionsAndMenuXP) {
  ZulSandbox box(L"sections");
  WriteFileBytes(box.ini(),
                 "[out_ivwave]\r\nblocks=12\r\n\r\n[Preferences]\r\nStaleKey=1\r\nTPC=7\r\n\r\n"
                 "[MenuXP]\r\nGradientWidth=44\r\nShowGradient=0\r\n");
  Running first = StartInstance(box);
  ASSERT_NE(first.main, nullptr);
  SendMessageW(FindWinampWindow(first.pid), WM_COMMAND, kWinampQuit, 0);
  ASSERT_TRUE(WaitForExit(first.process, 20000));
  ProfileText ini(Widen(ReadFileBytes(box.ini())));
  EXPECT_EQ(ini.Get(L"out_ivwave", L"blocks"), L"12");
  EXPECT_FALSE(ini.Get(kPreferences, L"StaleKey"));  // no save writes it
  EXPECT_EQ(ini.Get(kPreferences, L"TPC"), L"7");
  EXPECT_EQ(ini.Get(kMenuXP, L"GradientWidth"), L"44");  // never written, never emptied
  EXPECT_EQ(ini.Get(kMenuXP, L"ShowGradient"), L"0");
  EXPECT_FALSE(FileExists(box.ini() + L".tmp"));
}

TEST(Instance, ExitWithoutARunningInstanceEndsAtOnceAndWritesNothing) {
  ZulSandbox box(L"exit-alone");
  EXPECT_EQ(box.RunToEnd(L"-x C:\\some.mp3"), 0u);
  EXPECT_FALSE(FileExists(box.ini()));
}

TEST(Instance, SecondInstanceHandsOverItsFileAndEnds) {
  ZulSandbox box(L"handover");
  const std::wstring track = box.dir() + L"\\track one.mp3";
  WriteFileBytes(track, "not really audio");
  Running first = StartInstance(box);
  ASSERT_NE(first.main, nullptr);

  EXPECT_EQ(box.RunToEnd(L"-a \"" + track + L"\" \"C:\\ignored second.mp3\""), 0u);
  EXPECT_TRUE(ConsoleHas(first.main, L"OnCopyData add " + track));
  EXPECT_FALSE(ConsoleHas(first.main, L"ignored second"));

  // "-x" with a file: the instance exits and the file is not sent.
  const std::wstring other = box.dir() + L"\\other.mp3";
  WriteFileBytes(other, "x");
  EXPECT_EQ(box.RunToEnd(L"-x \"" + other + L"\""), 0u);
  ASSERT_TRUE(WaitForExit(first.process, 20000));
  ProfileText ini(Widen(ReadFileBytes(box.ini())));
  EXPECT_EQ(ini.Get(kPreferences, L"Recent0"), track);
  EXPECT_EQ(ini.Get(kPreferences, L"Recent1"), L"");
}

TEST(Instance, OpenRequestMustBeExactly528Bytes) {
  ZulSandbox box(L"size");
  Running first = StartInstance(box);
  ASSERT_NE(first.main, nullptr);
  EXPECT_EQ(SendCopyData(first.main, 527, 0, L"C:\\x.mp3"), FALSE);
  EXPECT_EQ(SendCopyData(first.main, 529, 0, L"C:\\x.mp3"), FALSE);
  EXPECT_EQ(SendCopyData(first.main, 528, 0, L"C:\\x.mp3"), TRUE);
  // A drive root is loaded as a folder and kept out of the recent list.
  EXPECT_EQ(SendCopyData(first.main, 528, 0, L"C:\\"), TRUE);
  EXPECT_TRUE(ConsoleHas(first.main, L"LoadFolder C:"));
  SendMessageW(FindWinampWindow(first.pid), WM_COMMAND, kWinampQuit, 0);
  ASSERT_TRUE(WaitForExit(first.process, 20000));
  EXPECT_EQ(ProfileText(Widen(ReadFileBytes(box.ini()))).Get(kPreferences, L"Recent0"), L"");
}

TEST(Instance, SecondStartWithoutArgumentsStartsASecondInstance) {
  ZulSandbox box(L"two");
  Running first = StartInstance(box);
  ASSERT_NE(first.main, nullptr);
  DWORD pid2 = 0;
  HANDLE second = box.Start(L"", &pid2);
  HWND main2 = WaitForInstance(pid2);
  ASSERT_NE(main2, nullptr);
  EXPECT_NE(main2, first.main);
  EXPECT_TRUE(WaitUntilRunning(main2));
  SendMessageW(FindWinampWindow(pid2), WM_COMMAND, kWinampQuit, 0);
  SendMessageW(FindWinampWindow(first.pid), WM_COMMAND, kWinampQuit, 0);
  EXPECT_TRUE(WaitForExit(second, 20000));
  EXPECT_TRUE(WaitForExit(first.process, 20000));
}

TEST(Instance, RestartWaitsUntilTheOldInstanceIsGone) {
  ZulSandbox box(L"restart");
  Running first = StartInstance(box);
  ASSERT_NE(first.main, nullptr);
  DWORD pid2 = 0;
  HANDLE second = box.Start(L"-restart", &pid2);
  // While the first runs, the restarting process has no window of its own.
  Sleep(1500);
  EXPECT_EQ(WaitForSingleObject(second, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_EQ(FindWinampWindow(pid2), nullptr);
  SendMessageW(FindWinampWindow(first.pid), WM_COMMAND, kWinampQuit, 0);
  ASSERT_TRUE(WaitForExit(first.process, 20000));
  HWND main2 = WaitForInstance(pid2);
  ASSERT_NE(main2, nullptr) << "the restarting process did not take over";
  EXPECT_TRUE(WaitUntilRunning(main2));
  EXPECT_EQ(box.RunToEnd(L"-x"), 0u);
  EXPECT_TRUE(WaitForExit(second, 20000));
}

TEST(Instance, UsageMessageBoxIsShownAndTheProcessEndsWithoutStarting) {
  ZulSandbox box(L"usage");
  DWORD pid = 0;
  HANDLE p = box.Start(L"-?", &pid);
  HWND box1 = nullptr;
  for (int i = 0; i < 400 && !box1; ++i) {
    struct Find {
      DWORD pid;
      HWND found;
    } f{pid, nullptr};
    EnumWindows(
        [](HWND h, LPARAM lp) WINAPI -> BOOL {
          auto* f = reinterpret_cast<Find*>(lp);
          DWORD owner = 0;
          GetWindowThreadProcessId(h, &owner);
          wchar_t cls[32], title[32];
          if (owner == f->pid && GetClassNameW(h, cls, 32) && wcscmp(cls, L"#32770") == 0 &&
              GetWindowTextW(h, title, 32) && wcscmp(title, L"ZUL") == 0) {
            f->found = h;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&f));
    box1 = f.found;
    if (!box1) Sleep(50);
  }
  ASSERT_NE(box1, nullptr) << "no message box titled ZUL";
  wchar_t text[256] = {};
  GetDlgItemTextW(box1, 0xFFFF, text, 256);
  EXPECT_NE(std::wstring(text).find(L"ZUL command line :"), std::wstring::npos);
  PostMessageW(box1, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(WaitForExit(p, 20000));
  EXPECT_EQ(FindWinampWindow(pid), nullptr);
  EXPECT_FALSE(FileExists(box.ini()));
}

// A first instance that answers discovery but hangs on the open request.
class HungInstance {
public:
  HungInstance() {
    mutex_.Reset(CreateMutexW(nullptr, FALSE, L"Winamp v1.x"));
    thread_ = std::thread([this] { Run(); });
    while (!hwnd_) Sleep(10);
  }
  ~HungInstance() {
    release_ = true;
    PostMessageW(hwnd_, WM_QUIT, 0, 0);
    PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    thread_.join();
  }
  std::atomic<bool> inCopyData{false};
  std::atomic<bool> release_{false};

private:
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    static UINT instance = RegisterWindowMessageW(L"ZUL_WND_MSG-{1FDCB966-266D-458C-99F3-6B621F4BAD36}");
    auto* self = reinterpret_cast<HungInstance*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    if (m == instance) return instance;
    if (m == WM_COPYDATA && self) {
      self->inCopyData = true;
      while (!self->release_) Sleep(10);  // hung until the test lets go
      return TRUE;
    }
    return DefWindowProcW(h, m, w, l);
  }
  void Run() {
    threadId_ = GetCurrentThreadId();
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ZulHungInstance";
    RegisterClassW(&wc);
    HWND h = CreateWindowW(L"ZulHungInstance", L"hung", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr, nullptr,
                           wc.hInstance, nullptr);
    SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    hwnd_ = h;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    DestroyWindow(h);
  }
  UniqueHandle mutex_;
  std::thread thread_;
  std::atomic<HWND> hwnd_{nullptr};
  DWORD threadId_ = 0;
};

TEST(Instance, SecondInstanceGivesUpOnAHungFirstOne) {
  ZulSandbox box(L"hung");
  HungInstance hung;
  HANDLE p = box.Start(L"C:\\a.mp3");
  // The hand-over times out and the process ends while the first is still hung.
  EXPECT_TRUE(WaitForExit(p, 20000));
  EXPECT_TRUE(hung.inCopyData);
  EXPECT_FALSE(hung.release_);
  DWORD code = 1;
  GetExitCodeProcess(p, &code);
  EXPECT_EQ(code, 0u);
  EXPECT_FALSE(FileExists(box.ini()));
}

TEST(Instance, ConsoleKeepsAtMost1001Lines) {
  ZulSandbox box(L"console");
  Running first = StartInstance(box);
  ASSERT_NE(first.main, nullptr);
  HWND winamp = FindWinampWindow(first.pid);
  ASSERT_NE(winamp, nullptr);
  // Every IPC request logs one line.
  for (int i = 0; i < 1100; ++i) SendMessageW(winamp, WM_USER, i, 9999);
  std::vector<std::wstring> lines = ConsoleLines(first.main);
  ASSERT_EQ(lines.size(), 1001u);
  EXPECT_NE(lines.back().find(L"Message non re\u00e7u 1099 9999"), std::wstring::npos);
  EXPECT_EQ(lines.front().find(L"ZUL started"), std::wstring::npos);  // the oldest went first
  EXPECT_EQ(lines.back().back(), L'\n');
  SendMessageW(winamp, WM_COMMAND, kWinampQuit, 0);
  EXPECT_TRUE(WaitForExit(first.process, 20000));
}

// zul.exe killed with TerminateProcess at many moments of its quit, from
// before the save to after it: after each kill zul.ini is the old file byte
// for byte or a complete new one, never a mixture or a cut-off file.
TEST(Instance, KilledWhileSavingLeavesACompleteSettingsFile) {
  ZulSandbox box(L"kill");
  // Old file: every key with a non-default value plus one key no save writes,
  // so the old and the new version can be told apart, and a large section of
  // a plug-in's own that every save carries over: writing it takes long
  // enough for kills to land inside the save, and a file cut short loses its
  // end.
  Settings custom;
  custom.tracksPerColumn = 17;
  custom.language = L"francais";
  custom.eqBands = {L"1", L"2", L"3"};
  custom.inputPlugins = {L"STANDARD"};  // as the plug-in host saves what it loaded
  custom.outputPlugins = {L"STANDARD"};
  std::vector<ProfileEdit> edits;
  AppendSaveAll(custom, edits);
  ProfileText text;
  text.Set(kPreferences, L"StaleKey", L"old");
  for (const auto& e : edits) text.Set(e.section, e.key, e.value);
  std::wstring wide = text.Text();
  constexpr int kBigKeys = 40000;
  std::string original = "[gen_big]\r\n";
  for (int i = 0; i < kBigKeys; ++i)
    original += "k" + std::to_string(i) + "=value of key " + std::to_string(i) + "\r\n";
  original += std::string(wide.begin(), wide.end());

  // Kill moments, in milliseconds after the first sign of the file being
  // written (the temporary file beside it, or the file itself changing); a
  // negative one is that long after the quit was posted, without waiting.
  const int moments[] = {-1, 0, 0, 1, 2, 3, 5, 8, 12, 20, 35, 60, 100, 200, 400, -2000};
  int sawOld = 0, sawNew = 0, round = 0;
  for (int moment : moments) {
    SCOPED_TRACE(testing::Message() << "round " << round++ << ", kill moment " << moment << " ms");
    WriteFileBytes(box.ini(), original);
    // As a file from an earlier session: Wine's profile functions read a file
    // written within the last moments again on every call, which makes each
    // start-up read of this large file cost a full parse.
    AgeFile(box.ini(), 60);
    DeleteFileW((box.ini() + L".tmp").c_str());
    Running r = StartInstance(box);
    ASSERT_NE(r.main, nullptr);
    WIN32_FILE_ATTRIBUTE_DATA before{};
    GetFileAttributesExW(box.ini().c_str(), GetFileExInfoStandard, &before);
    PostMessageW(FindWinampWindow(r.pid), WM_COMMAND, kWinampQuit, 0);
    if (moment < 0) {
      WaitForSingleObject(r.process, static_cast<DWORD>(-moment));
    } else {
      for (DWORD start = GetTickCount(); GetTickCount() - start < 10000;) {
        WIN32_FILE_ATTRIBUTE_DATA now{};
        bool gone = !GetFileAttributesExW(box.ini().c_str(), GetFileExInfoStandard, &now);
        if (gone || FileExists(box.ini() + L".tmp") || now.nFileSizeLow != before.nFileSizeLow ||
            CompareFileTime(&now.ftLastWriteTime, &before.ftLastWriteTime) != 0)
          break;
        Sleep(0);
      }
      if (moment > 0) WaitForSingleObject(r.process, static_cast<DWORD>(moment));
    }
    TerminateProcess(r.process, 9);
    WaitForExit(r.process, 10000);

    const std::string bytes = ReadFileBytes(box.ini());
    if (bytes == original) {
      ++sawOld;
      continue;
    }
    ++sawNew;
    ProfileText ini(Widen(bytes));
    EXPECT_FALSE(ini.Get(kPreferences, L"StaleKey").has_value()) << "old and new keys mixed";
    for (const auto& e : edits) {
      auto v = ini.Get(e.section, e.key);
      ASSERT_TRUE(v.has_value()) << "key " << std::string(e.key.begin(), e.key.end()) << " lost";
      if (e.key != L"displayConsole") {
        EXPECT_EQ(*v, e.value);
      }
    }
    EXPECT_EQ(ini.Keys(L"gen_big").size(), static_cast<size_t>(kBigKeys)) << "the file was cut short";
    EXPECT_EQ(ini.Get(L"gen_big", L"k" + std::to_wstring(kBigKeys - 1)),
              L"value of key " + std::to_wstring(kBigKeys - 1));
  }
  std::printf("[ MEASURED ] killed %zu times while quitting: %d old files, %d new files, none broken\n",
              std::size(moments), sawOld, sawNew);
  // The first moment is before any save, the last after the whole quit.
  EXPECT_GT(sawOld, 0);
  EXPECT_GT(sawNew, 0);
}

}  // namespace
}  // namespace zul::test
