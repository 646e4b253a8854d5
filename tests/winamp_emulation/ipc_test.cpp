// A remote-control client talking to a running zul.exe through the Winamp
// window, as another process would.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

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
  EXPECT_NE(Ipc(0, 3025), 0);  // the service manager's address
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
  EXPECT_EQ(Ipc(0, 211), 0);   // no path for entry 0
  EXPECT_EQ(Ipc(0, 104), 0);   // stopped
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
  ASSERT_NE(SendMessageTimeoutW(winamp_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&wideData), SMTO_BLOCK, 10000, &reply),
            0)
      << "no answer within 10 s";
  EXPECT_EQ(Ipc(0, 124), 3);
  EXPECT_EQ(Ipc(0, 125), 2);
  EXPECT_EQ(Ipc(0, 104), 1);
}

}  // namespace
}  // namespace zul::test
