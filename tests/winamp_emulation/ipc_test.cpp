// A remote-control client talking to a running zul.exe through the Winamp
// window, as another process would.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "base/win32_handles.h"
#include "tests/support/zul_process.h"

namespace zul::test {
namespace {

class IpcTest : public ::testing::Test {
public:
  static void SetUpTestSuite() {
    box_ = new ZulSandbox(L"ipc");
    process_ = box_->Start(L"", &pid_);
    main_ = WaitForInstance(pid_);
    ASSERT_NE(main_, nullptr);
    ASSERT_TRUE(WaitUntilRunning(main_));
    winamp_ = FindWinampWindow(pid_);
    handle_ = OpenProcess(PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_VM_OPERATION, FALSE, pid_);
  }
  static void TearDownTestSuite() {
    SendMessageW(winamp_, WM_COMMAND, 40001, 0);
    WaitForExit(process_, 20000);
    CloseHandle(handle_);
    delete box_;
  }
  // A request zul.exe does not answer within 10 s fails the test instead of
  // hanging it.
  static LRESULT Ipc(WPARAM w, LPARAM l) {
    DWORD_PTR reply = 0;
    if (!SendMessageTimeoutW(winamp_, WM_USER, w, l, SMTO_BLOCK, 10000, &reply))
      ADD_FAILURE() << "IPC " << l << " (" << w << ") not answered within 10 s";
    return static_cast<LRESULT>(reply);
  }
  // A string placed in zul's own memory, as a plug-in inside it would pass it.
  static WPARAM Remote(const std::string& text) {
    void* at = VirtualAllocEx(handle_, nullptr, text.size() + 1, MEM_COMMIT, PAGE_READWRITE);
    WriteProcessMemory(handle_, at, text.c_str(), text.size() + 1, nullptr);
    return reinterpret_cast<WPARAM>(at);
  }
  template <typename Char>
  static std::basic_string<Char> ReadRemote(LRESULT pointer) {
    std::basic_string<Char> out;
    Char c;
    for (auto at = reinterpret_cast<const Char*>(pointer);
         at && ReadProcessMemory(handle_, at, &c, sizeof c, nullptr) && c; ++at)
      out += c;
    return out;
  }
  static inline ZulSandbox* box_;
  static inline HANDLE process_, handle_;
  static inline DWORD pid_;
  static inline HWND main_, winamp_;
};

TEST_F(IpcTest, VersionAndFixedAnswers) {
  EXPECT_EQ(Ipc(0, 0), 0x5030);
  EXPECT_EQ(Ipc(0, 280), 18);
  EXPECT_EQ(Ipc(5, 127), 31);
  EXPECT_EQ(Ipc(11, 127), 0);
  EXPECT_EQ(Ipc(0, 250), 0);     // shuffle off by default
  EXPECT_EQ(Ipc(7, 123456), 1);  // unknown numbers reply 1 ...
  std::vector<std::wstring> lines = ConsoleLines(main_);
  ASSERT_FALSE(lines.empty());
  EXPECT_NE(lines.back().find(L"Message non re\u00e7u 7 123456"), std::wstring::npos);  // ... and say so
  EXPECT_NE(Ipc(0, 3025), 0);                                                           // the service manager's address
}

TEST_F(IpcTest, PathsInBothCharacterSets) {
  std::wstring ini = box_->ini();
  std::string iniAnsi(ini.begin(), ini.end());
  EXPECT_EQ(ReadRemote<char>(Ipc(0, 334)), iniAnsi);
  EXPECT_EQ(ReadRemote<wchar_t>(Ipc(0, 1334)), ini);
  EXPECT_EQ(ReadRemote<wchar_t>(Ipc(0, 1335)), box_->dir() + L"\\");
  EXPECT_EQ(ReadRemote<wchar_t>(Ipc(0, 1336)), box_->dir() + L"\\Plugins");
  EXPECT_EQ(ReadRemote<char>(Ipc(0, 336)), std::string(iniAnsi.begin(), iniAnsi.end() - 7) + "Plugins");
}

TEST_F(IpcTest, RegisteredNamesGetStableNumbers) {
  LRESULT first = Ipc(Remote("zul_test_one"), 65536);
  LRESULT second = Ipc(Remote("zul_test_two"), 65536);
  EXPECT_EQ(first, 65538);
  EXPECT_EQ(second, 65539);
  EXPECT_EQ(Ipc(Remote("zul_test_one"), 65536), first);
  EXPECT_EQ(Ipc(0, 65536), 0);  // a null name
  EXPECT_EQ(Ipc(3, second), 1);
  EXPECT_NE(ConsoleLines(main_).back().find(L"RegisterWindowMessage 65539 3"), std::wstring::npos);
}

TEST_F(IpcTest, RepeatAndShuffleStepAsCommandsOnTheIpcPath) {
  EXPECT_EQ(Ipc(0, 40023), 1);
  EXPECT_EQ(Ipc(0, 250), 1);
  Ipc(0, 40023);
  EXPECT_EQ(Ipc(0, 250), 0);
}

TEST_F(IpcTest, VolumeFollowsTheSystemMixerWithinItsBounds) {
  Ipc(3, 122);
  EXPECT_EQ(Ipc(-666, 122), 3);
  SendMessageW(winamp_, WM_COMMAND, 40059, 0);  // down 5 from 3
  EXPECT_EQ(Ipc(-666, 122), 0);
  Ipc(253, 122);
  SendMessageW(winamp_, WM_COMMAND, 40058, 0);  // up 5 from 253
  EXPECT_EQ(Ipc(-666, 122), 255);
  Ipc(128, 122);
  EXPECT_EQ(Ipc(-666, 122), 128);
  EXPECT_EQ(Ipc(-666, 122), 128);  // asking changes nothing
  EXPECT_NE(ConsoleLines(main_).back().find(L"IPC_SETVOLUME -666"), std::wstring::npos);
}

TEST_F(IpcTest, EmptyPlaylistAnswers) {
  EXPECT_EQ(Ipc(0, 124), 0);   // length
  EXPECT_EQ(Ipc(0, 125), 0);   // position
  EXPECT_EQ(Ipc(0, 105), -1);  // output time
  EXPECT_EQ(Ipc(1, 105), -1);
  EXPECT_EQ(Ipc(0, 211), 0);  // no path for entry 0
  EXPECT_EQ(Ipc(0, 104), 0);  // stopped
}

TEST_F(IpcTest, ExtensionListIsNulSeparatedAndLowerCase) {
  LRESULT block = Ipc(0, 292);
  ASSERT_NE(block, 0);
  std::vector<std::string> items;
  auto at = reinterpret_cast<const char*>(block);
  for (;;) {
    std::string item = ReadRemote<char>(reinterpret_cast<LRESULT>(at));
    if (item.empty()) break;
    items.push_back(item);
    at += item.size() + 1;
  }
  // The built-in input's types, then the playlist files the host adds.
  EXPECT_EQ(items, (std::vector<std::string>{"mp3", "mp2", "mp1", "rmp", "m3u", "pls"}));
}

TEST_F(IpcTest, GenericSkinPictureAndFolder) {
  EXPECT_NE(Ipc(0, 503), 0);  // the bitmap handle
  EXPECT_EQ(Ipc(2, 503), 1);
  EXPECT_EQ(Ipc(3, 503), 9);
  EXPECT_EQ(ReadRemote<wchar_t>(Ipc(1, 503)), L"Verdana");
  // IPC_GETSKIN writes the temporary folder into the caller's buffer and
  // makes sure GEN.bmp is there: a 130 x 75 bitmap file.
  WPARAM buffer = Remote(std::string(MAX_PATH, ' '));
  Ipc(buffer, 201);
  std::string folder = ReadRemote<char>(static_cast<LRESULT>(buffer));
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '\\');
  std::string bmp = ReadFileBytes(std::wstring(folder.begin(), folder.end()) + L"GEN.bmp");
  ASSERT_GE(bmp.size(), 26u);
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  int32_t width = 0, height = 0;
  std::memcpy(&width, bmp.data() + 18, 4);
  std::memcpy(&height, bmp.data() + 22, 4);
  EXPECT_EQ(width, 130);
  EXPECT_EQ(height, 75);
}

// The same client with a playlist of two long tracks playing.
class IpcPlaybackTest : public IpcTest {
protected:
  static void SetUpTestSuite() {
    box_ = new ZulSandbox(L"ipc_playback");
    process_ = box_->Start(L"\"" + BinDir() + L"\\playback_fixtures\\long\"", &pid_);
    main_ = WaitForInstance(pid_);
    ASSERT_NE(main_, nullptr);
    ASSERT_TRUE(WaitUntilRunning(main_));
    winamp_ = FindWinampWindow(pid_);
    handle_ = OpenProcess(PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_VM_OPERATION, FALSE, pid_);
  }
  // Polls until the first track plays past `ms`.
  static bool PlayingPast(int ms) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < 20000; Sleep(20))
      if (Ipc(0, 104) == 1 && Ipc(0, 105) > ms) return true;
    return false;
  }
  static std::wstring Track(int index) {
    return BinDir() + L"\\playback_fixtures\\long\\l" + std::to_wstring(index + 1) + L".mp3";
  }
};

TEST_F(IpcPlaybackTest, StateTimesAndStreamInformation) {
  ASSERT_TRUE(PlayingPast(200));
  EXPECT_EQ(Ipc(0, 124), 2);
  EXPECT_EQ(Ipc(0, 125), 0);
  EXPECT_EQ(Ipc(1, 105), 12);  // length in whole seconds
  EXPECT_EQ(Ipc(2, 105), 12);
  EXPECT_EQ(Ipc(0, 126), 44);   // sample rate in kHz, as the input gave it
  EXPECT_EQ(Ipc(1, 126), 128);  // bit rate
  EXPECT_EQ(Ipc(2, 126), 2);    // channels
  std::wstring path = Track(0);
  EXPECT_EQ(ReadRemote<char>(Ipc(0, 211)), std::string(path.begin(), path.end()));
  EXPECT_EQ(Ipc(2, 211), 0);
  SendMessageW(winamp_, WM_COMMAND, 40046, 0);  // pause
  EXPECT_EQ(Ipc(0, 104), 3);
  const int held = Ipc(0, 105);
  Sleep(300);
  EXPECT_EQ(Ipc(0, 105), held);
  SendMessageW(winamp_, WM_COMMAND, 40046, 0);  // resume
  EXPECT_EQ(Ipc(0, 104), 1);
}

// Winamp's own fast-forward and rewind commands, as remote controls written
// for Winamp send them. The position also moves as the track plays, so each
// step is measured against the time that passed meanwhile.
TEST_F(IpcPlaybackTest, WinampFastForwardAndRewindStepFiveSeconds) {
  ASSERT_TRUE(PlayingPast(200));
  Ipc(3000, 106);  // from 3 s, so both steps stay inside the 12 s track
  ASSERT_TRUE(PlayingPast(3000));
  struct Step {
    UINT command;
    int direction;
  };
  for (const Step& step : {Step{40060, +1}, Step{40061, -1}}) {
    SCOPED_TRACE(step.command);
    const DWORD before = GetTickCount();
    const int from = static_cast<int>(Ipc(0, 105));
    SendMessageW(winamp_, WM_COMMAND, step.command, 0);
    int jump = 0;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 10000; Sleep(20)) {
      const int played = static_cast<int>(GetTickCount() - before);
      jump = static_cast<int>(Ipc(0, 105)) - from - played;
      if (jump * step.direction > 3000) break;
    }
    // 5 s, give or take what the position lags behind the clock (a late
    // audio thread on a busy machine makes a step back look longer).
    EXPECT_GT(jump * step.direction, 3000) << "the position did not step 5 s";
    EXPECT_LT(jump * step.direction, 8000);
  }
}

TEST_F(IpcPlaybackTest, CopyDataPlayOfAListedPathPlaysItWithoutAddingIt) {
  std::wstring wide = Track(1);
  std::string ansi(wide.begin(), wide.end());
  COPYDATASTRUCT data{100, static_cast<DWORD>(ansi.size() + 1), ansi.data()};
  DWORD_PTR reply = 0;
  ASSERT_NE(SendMessageTimeoutW(winamp_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_BLOCK, 10000, &reply), 0)
      << "no answer within 10 s";
  EXPECT_EQ(reply, static_cast<DWORD_PTR>(TRUE));
  EXPECT_EQ(Ipc(0, 124), 2);
  EXPECT_EQ(Ipc(0, 125), 1);
  EXPECT_EQ(Ipc(0, 104), 1);
  // A path that is not listed is appended and played.
  std::wstring other = BinDir() + L"\\playback_fixtures\\albums\\album_a\\a1.mp3";
  COPYDATASTRUCT wideData{1100, static_cast<DWORD>((other.size() + 1) * sizeof(wchar_t)), other.data()};
  ASSERT_NE(
      SendMessageTimeoutW(winamp_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&wideData), SMTO_BLOCK, 10000, &reply), 0)
      << "no answer within 10 s";
  EXPECT_EQ(Ipc(0, 124), 3);
  EXPECT_EQ(Ipc(0, 125), 2);
  EXPECT_EQ(Ipc(0, 104), 1);
}

// WM_CLOSE to the Winamp window, as a remote control sends it to end Winamp:
// the player quits the normal way, saving its settings and playlist.
TEST(IpcQuit, WmCloseToTheWinampWindowQuitsAndSaves) {
  ZulSandbox box(L"ipc_close");
  DWORD pid = 0;
  HANDLE process = box.Start(L"\"" + BinDir() + L"\\playback_fixtures\\long\"", &pid);
  HWND main = WaitForInstance(pid);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntilRunning(main));
  HWND winamp = FindWinampWindow(pid);
  ASSERT_NE(winamp, nullptr);
  DWORD_PTR reply = 0;
  bool playing = false;  // the folder is loaded and playing: a playlist to save
  for (DWORD start = GetTickCount(); !playing && GetTickCount() - start < 20000; Sleep(20))
    playing = SendMessageTimeoutW(winamp, WM_USER, 0, 104, SMTO_BLOCK, 10000, &reply) && reply == 1;
  ASSERT_TRUE(playing);
  ASSERT_TRUE(SendMessageTimeoutW(winamp, WM_USER, 0, 40023, SMTO_BLOCK, 10000, &reply));  // shuffle on
  SendMessageTimeoutW(winamp, WM_CLOSE, 0, 0, SMTO_BLOCK, 10000, &reply);
  ASSERT_TRUE(WaitForExit(process, 20000)) << "zul.exe is still running after WM_CLOSE";
  DWORD code = 1;
  GetExitCodeProcess(process, &code);
  EXPECT_EQ(code, 0u);
  EXPECT_NE(ReadFileBytes(box.ini()).find("ShuffleMode=1"), std::string::npos);
  const std::string playlist = ReadFileBytes(box.dir() + L"\\zul.m3u");
  EXPECT_NE(playlist.find("l1.mp3"), std::string::npos);
  EXPECT_NE(playlist.find("l2.mp3"), std::string::npos);
}

// A file without a valid frame: the MPEG input's status text becomes the
// entry's title through the host's title query before the host moves on to
// the next entry.
TEST(IpcStatusTitle, AFileWithoutFramesGetsItsStatusAsTitle) {
  ZulSandbox box(L"ipc_status");
  // Beside zul.exe, not in a folder of their own: the sandbox folder is
  // emptied of earlier runs' files, not of their folders.
  ASSERT_TRUE(
      CopyFileW((BinDir() + L"\\playback_fixtures\\long\\l1.mp3").c_str(), (box.dir() + L"\\good.mp3").c_str(), FALSE));
  const std::wstring broken = box.dir() + L"\\broken.mp3";
  WriteFileBytes(broken, std::string(20000, 'x'));
  const std::wstring list = box.dir() + L"\\tracks.m3u";
  WriteFileBytes(list, "good.mp3\r\nbroken.mp3\r\n");
  DWORD pid = 0;
  HANDLE process = box.Start(L"\"" + list + L"\"", &pid);
  HWND main = WaitForInstance(pid);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntilRunning(main));
  HWND winamp = FindWinampWindow(pid);
  ASSERT_NE(winamp, nullptr);
  auto ipc = [winamp](WPARAM w, LPARAM l) {
    DWORD_PTR reply = 0;
    if (!SendMessageTimeoutW(winamp, WM_USER, w, l, SMTO_BLOCK, 10000, &reply)) ADD_FAILURE() << "IPC " << l;
    return static_cast<LRESULT>(reply);
  };
  // The load's tag reader has read both entries (it would overwrite the
  // title this test looks for), and the first one plays.
  auto tagsRead = [main] {
    for (const auto& line : ConsoleLines(main))
      if (line.find(L"Fin ReadAllTagsThread") != std::wstring::npos) return true;
    return false;
  };
  bool ready = false;
  for (DWORD start = GetTickCount(); !ready && GetTickCount() - start < 20000; Sleep(20))
    ready = ipc(0, 104) == 1 && tagsRead();
  ASSERT_TRUE(ready);
  ipc(0, 40022);  // repeat the playlist, in case the broken entry is the last
  auto ends = [main] {
    int n = 0;
    for (const auto& line : ConsoleLines(main)) n += line.find(L"WM_WA_MPEG_EOF") != std::wstring::npos;
    return n;
  };
  const int endsBefore = ends();
  COPYDATASTRUCT play{1100, static_cast<DWORD>((broken.size() + 1) * sizeof(wchar_t)),
                      const_cast<wchar_t*>(broken.c_str())};
  DWORD_PTR reply = 0;
  ASSERT_TRUE(SendMessageTimeoutW(winamp, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&play), SMTO_BLOCK, 10000, &reply));
  bool movedOn = false;  // the broken entry failed and the good one plays again
  for (DWORD start = GetTickCount(); !movedOn && GetTickCount() - start < 20000; Sleep(20))
    movedOn = ends() > endsBefore && ipc(0, 104) == 1;
  ASSERT_TRUE(movedOn);
  UniqueHandle memory(OpenProcess(PROCESS_VM_READ, FALSE, pid));
  auto text = [&memory](LRESULT at) {
    std::string read(MAX_PATH, '\0');
    SIZE_T got = 0;
    ReadProcessMemory(memory.Get(), reinterpret_cast<void*>(at), read.data(), read.size() - 1, &got);
    return std::string(read.c_str());
  };
  std::map<std::string, std::string> titles;  // file name: title
  for (LRESULT i = 0, count = ipc(0, 124); i < count; ++i) {
    const std::string path = text(ipc(i, 211));
    titles[path.substr(path.find_last_of('\\') + 1)] = text(ipc(i, 212));
  }
  memory.Reset();
  EXPECT_EQ(titles["broken.mp3"], "Valid frame not found");
  SendMessageTimeoutW(winamp, WM_COMMAND, 40001, 0, SMTO_BLOCK, 10000, &reply);
  EXPECT_TRUE(WaitForExit(process, 20000));
}

// A second process sending the requests that carry pointers, with pointers
// that mean nothing in zul.exe. Each is refused with 0 and a console line,
// and the player goes on playing. zul.exe runs with Wine's exception
// channel on: a fault that Wine swallowed would print "err:seh", which
// fails this test (see CMakeLists.txt).
class IpcWildPointerTest : public IpcPlaybackTest {
protected:
  static void SetUpTestSuite() {
    SetEnvironmentVariableW(L"WINEDEBUG", L"-all,err+seh");
    IpcPlaybackTest::SetUpTestSuite();
    SetEnvironmentVariableW(L"WINEDEBUG", L"-all");
  }
  // Whether a refusal follows the marker line "Message non reçu <marker> ..."
  // among the last lines of the console (playback logs lines meanwhile).
  static bool RefusedAfter(int marker) {
    const LRESULT count = SendMessageW(main_, LB_GETCOUNT, 0, 0);
    const std::wstring mark = L"Message non re\u00e7u " + std::to_wstring(marker) + L" ";
    bool marked = false;
    for (LRESULT i = std::max<LRESULT>(0, count - 12); i < count; ++i) {
      wchar_t line[1024] = {};
      if (SendMessageW(main_, LB_GETTEXTLEN, i, 0) >= LRESULT(std::size(line))) continue;
      SendMessageW(main_, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line));
      const std::wstring text = line;
      if (text.find(mark) != std::wstring::npos)
        marked = true;
      else if (marked && text.find(L"not usable memory") != std::wstring::npos)
        return true;
    }
    return false;
  }
  // zul-side memory holding `bytes`.
  static uintptr_t Place(const void* bytes, size_t size) {
    void* at = VirtualAllocEx(handle_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    WriteProcessMemory(handle_, at, bytes, size, nullptr);
    return reinterpret_cast<uintptr_t>(at);
  }
};

TEST_F(IpcWildPointerTest, PointersFromAnotherAddressSpaceAreRefused) {
  ASSERT_TRUE(PlayingPast(200));
  Ipc(0, 40022);  // repeat the playlist: the player must not quit at its end meanwhile
  // A page of zul's that was freed again (decommitted, so that the records
  // placed below cannot reuse it).
  void* freedPage = VirtualAllocEx(handle_, nullptr, 4096, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  VirtualFreeEx(handle_, freedPage, 4096, MEM_DECOMMIT);
  // A name that runs to the end of its page without a terminator, with
  // nothing mapped after it.
  char* twoPages = static_cast<char*>(VirtualAllocEx(handle_, nullptr, 8192, MEM_RESERVE, PAGE_NOACCESS));
  VirtualAllocEx(handle_, twoPages, 4096, MEM_COMMIT, PAGE_READWRITE);
  const std::string filler(4096, 'A');
  WriteProcessMemory(handle_, twoPages, filler.data(), filler.size(), nullptr);
  const uintptr_t unterminated = reinterpret_cast<uintptr_t>(twoPages);

  const uintptr_t wild[] = {0x10, 0xFFFFFFF0, reinterpret_cast<uintptr_t>(freedPage),
                            static_cast<uintptr_t>(0x00007FFF00000000ull)};
  const uintptr_t title = Remote("title");
  const uintptr_t spec = Remote("%artist%");
  char outBuffer[64] = {};
  const uintptr_t out = Place(outBuffer, sizeof outBuffer);

  struct Request {
    std::string what;
    UINT msg;
    WPARAM w;
    LPARAM l;
  };
  std::vector<Request> requests;
  for (uintptr_t p : wild) {
    char hex[24];
    std::snprintf(hex, sizeof hex, "0x%llX", static_cast<unsigned long long>(p));
    const std::string at = std::string(" at ") + hex;
    for (LPARAM ipc : {201, 290, 296, 297, 332, 505, 65536})
      requests.push_back({"IPC " + std::to_string(ipc) + at, WM_USER, p, ipc});
    for (UINT msg : {100u, 1100u}) requests.push_back({"message " + std::to_string(msg) + at, msg, 0, LPARAM(p)});
    // Records in zul's memory whose members point nowhere.
    const uintptr_t info[] = {0, p, out, 64};  // metadata name
    requests.push_back({"IPC 290, name" + at, WM_USER, Place(info, sizeof info), 290});
    const uintptr_t answer[] = {0, title, p, 64};  // answer buffer
    requests.push_back({"IPC 290, answer" + at, WM_USER, Place(answer, sizeof answer), 290});
    const uintptr_t format[] = {p, 0, out, 64, 0, 0};  // format text
    requests.push_back({"IPC 297, spec" + at, WM_USER, Place(format, sizeof format), 297});
    const uintptr_t tagSource[] = {spec, 0, out, 64, p, p};  // tag functions
    requests.push_back({"IPC 297, tag function" + at, WM_USER, Place(tagSource, sizeof tagSource), 297});
    const uintptr_t page[] = {0, 0, 0, p, 0, 0, 0};  // _prefsDlgRec name
    requests.push_back({"IPC 332, name" + at, WM_USER, Place(page, sizeof page), 332});
    const uintptr_t path[] = {p};
    for (UINT msg : {100u, 1100u})
      requests.push_back({"message " + std::to_string(msg) + ", path" + at, msg, 0, LPARAM(Place(path, sizeof path))});
  }
  requests.push_back({"IPC 65536, unterminated name", WM_USER, unterminated, 65536});
  const uintptr_t unterminatedPath[] = {unterminated};
  requests.push_back({"message 100, unterminated path", 100, 0, LPARAM(Place(unterminatedPath, sizeof(uintptr_t)))});

  int marker = 7000;
  for (const Request& r : requests) {
    SCOPED_TRACE(r.what);
    Ipc(++marker, 123457);  // an unknown request: its console line marks the start
    DWORD_PTR reply = 1;
    ASSERT_TRUE(SendMessageTimeoutW(winamp_, r.msg, r.w, r.l, SMTO_BLOCK, 10000, &reply)) << "no answer within 10 s";
    EXPECT_EQ(reply, 0u);
    EXPECT_TRUE(RefusedAfter(marker)) << "no console line refusing the pointer";
  }
  // Still playing, and still answering.
  const int position = static_cast<int>(Ipc(0, 105));
  EXPECT_TRUE(PlayingPast(position + 200));
  EXPECT_EQ(Ipc(0, 0), 0x5030);
}

}  // namespace
}  // namespace zul::test
