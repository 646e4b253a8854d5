// A remote-control client talking to a running zul.exe through the Winamp
// window, as another process would.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/support/zul_process.h"

namespace zul::test {
namespace {

class IpcTest : public ::testing::Test {
protected:
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
  static LRESULT Ipc(WPARAM w, LPARAM l) { return SendMessageW(winamp_, WM_USER, w, l); }
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

}  // namespace
}  // namespace zul::test
