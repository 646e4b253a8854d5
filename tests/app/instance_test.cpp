// zul.exe as real processes: single instance, hand-over, quit and the
// settings file it leaves behind.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <random>
#include <thread>

#include "app/profile_text.h"
#include "app/settings.h"
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

// The keys a quit writes to "Preferences", in order, for these settings.
std::vector<ProfileEdit> ExpectedPreferences(const Settings& s) {
  std::vector<ProfileEdit> all, prefs;
  AppendSaveAll(s, all);
  AppendStartupWindowKeys(s, all);
  for (auto& e : all)
    if (e.section == kPreferences) prefs.push_back(e);
  return prefs;
}

TEST(Instance, FreshStartThenExitFromASecondProcessWritesEveryDefault) {
  ZulSandbox box(L"fresh");
  Running first = StartInstance(box);
  ASSERT_NE(first.main, nullptr);
  EXPECT_EQ(box.RunToEnd(L"-x"), 0u);
  ASSERT_TRUE(WaitForExit(first.process, 20000)) << "-x did not end the running instance";

  ProfileText ini(Widen(ReadFileBytes(box.ini())));
  auto keys = ini.Keys(kPreferences);
  Settings defaults;
  // With nothing listed, the plug-in host loads the built-in input and
  // output, and the lists saved are the plug-ins loaded.
  defaults.inputPlugins = {L"STANDARD"};
  defaults.outputPlugins = {L"STANDARD"};
  std::vector<ProfileEdit> expected = ExpectedPreferences(defaults);
  ASSERT_EQ(keys.size(), expected.size() + 1);  // + CurrentInPlaylist
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(keys[i].first, expected[i].key) << "position " << i;
    // The console rectangle is wherever the window was; everything else is a default.
    if (expected[i].key != L"Console" && expected[i].key != L"displayConsole")
      EXPECT_EQ(keys[i].second, expected[i].value) << "key " << std::string(expected[i].key.begin(), expected[i].key.end());
  }
  EXPECT_EQ(keys.back().first, L"CurrentInPlaylist");
  EXPECT_EQ(ini.Get(kMenuXP, L"GradientStart"), L"0xE4C4B4");
  EXPECT_EQ(ini.Get(kMenuXP, L"ShowGradientSel"), L"1");

  // Reading the written file back gives the same values.
  Settings reread;
  struct Reader : ProfileReader {
    const ProfileText& t;
    explicit Reader(const ProfileText& text) : t(text) {}
    std::optional<std::wstring> Read(std::wstring_view s, std::wstring_view k) const override { return t.Get(s, k); }
  } reader(ini);
  LoadSettings(reader, reread);
  EXPECT_EQ(reread.clicks, defaults.clicks);
  EXPECT_EQ(reread.toolTipText, defaults.toolTipText);
  EXPECT_EQ(reread.skins, defaults.skins);
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
    mutex_ = CreateMutexW(nullptr, FALSE, L"Winamp v1.x");
    thread_ = std::thread([this] { Run(); });
    while (!hwnd_) Sleep(10);
  }
  ~HungInstance() {
    release_ = true;
    PostMessageW(hwnd_, WM_QUIT, 0, 0);
    PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    thread_.join();
    CloseHandle(mutex_);
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
  HANDLE mutex_;
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

TEST(Instance, KilledWhileSavingLeavesACompleteSettingsFile) {
  ZulSandbox box(L"kill");
  // Old file: every key with a non-default value plus one key no save writes,
  // so the old and the new version can be told apart.
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
  std::string original(wide.begin(), wide.end());
  // Half the rounds kill at a random moment early in the quit, half at the
  // first sign of the settings file being written.
  std::mt19937 random(1234);
  int sawOld = 0, sawNew = 0;
  for (int round = 0; round < 12; ++round) {
    WriteFileBytes(box.ini(), original);
    Running r = StartInstance(box);
    ASSERT_NE(r.main, nullptr);
    WIN32_FILE_ATTRIBUTE_DATA before{};
    GetFileAttributesExW(box.ini().c_str(), GetFileExInfoStandard, &before);
    PostMessageW(FindWinampWindow(r.pid), WM_COMMAND, kWinampQuit, 0);
    if (round % 2 == 0) {
      Sleep(std::uniform_int_distribution<int>(0, 30)(random));
    } else {
      for (DWORD start = GetTickCount(); GetTickCount() - start < 10000;) {
        WIN32_FILE_ATTRIBUTE_DATA now{};
        bool gone = !GetFileAttributesExW(box.ini().c_str(), GetFileExInfoStandard, &now);
        if (gone || FileExists(box.ini() + L".tmp") || now.nFileSizeLow != before.nFileSizeLow ||
            CompareFileTime(&now.ftLastWriteTime, &before.ftLastWriteTime) != 0)
          break;
        Sleep(0);
      }
    }
    TerminateProcess(r.process, 9);
    WaitForExit(r.process, 10000);

    ProfileText ini(Widen(ReadFileBytes(box.ini())));
    bool old = ini.Get(kPreferences, L"StaleKey").has_value();
    (old ? sawOld : sawNew)++;
    for (const auto& e : edits) {
      auto v = ini.Get(e.section, e.key);
      ASSERT_TRUE(v.has_value()) << "round " << round << ": key lost";
      if (e.key != L"displayConsole") EXPECT_EQ(*v, e.value) << "round " << round;
    }
  }
  std::printf("killed 12 times while quitting: %d old files, %d new files, none broken\n", sawOld, sawNew);
}

}  // namespace
}  // namespace zul::test
