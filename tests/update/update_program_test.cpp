// The update through the real program: zul.exe with "autoUpdate" on and its
// server on loopback asks, is answered as a person would (the message
// boxes' buttons), replaces itself and restarts with "-restart"; with a
// badly signed archive it says "Update failed" and runs on unchanged.
#include <windows.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "tests/support/zul_process.h"

namespace zul {
namespace {

std::wstring ServerFolder(const wchar_t* folder) {
  const char* port = std::getenv("ZUL_TEST_UPDATE_PORT");
  std::wstring p = port ? std::wstring(port, port + std::strlen(port)) : L"1";
  return L"http://127.0.0.1:" + p + L"/" + folder + L"/";
}

// The message box of `pid` whose text contains `text`, answered with
// `button`; false when none showed within the time.
bool Answer(DWORD pid, const wchar_t* text, int button, std::wstring* seen) {
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < end) {
    HWND box = test::FindWindowOfClass(pid, L"#32770");
    wchar_t body[1024] = {};
    if (box && GetDlgItemTextW(box, 0xFFFF, body, 1024) > 0) {
      *seen = body;
      if (seen->find(text) != std::wstring::npos) {
        PostMessageW(box, WM_COMMAND, button, 0);
        return true;
      }
    }
    Sleep(50);
  }
  return false;
}

TEST(UpdateProgram, AsksReplacesItselfAndRestarts) {
  test::ZulSandbox box(L"update-program");
  test::WriteFileBytes(
      box.ini(), "[Preferences]\r\nautoUpdate=1\r\nupdateServer=" + [] {
        std::wstring u = ServerFolder(L"good");
        return std::string(u.begin(), u.end());
      }() + "\r\n");
  const std::string old = test::ReadFileBytes(box.exe());
  DWORD pid = 0;
  HANDLE process = box.Start(L"", &pid);
  ASSERT_TRUE(process);
  std::wstring seen;
  ASSERT_TRUE(Answer(pid, L"An update of zul.exe is now available.", IDYES, &seen))
      << std::string(seen.begin(), seen.end());
  ASSERT_TRUE(Answer(pid, L"The application was updated and will restart.", IDOK, &seen))
      << std::string(seen.begin(), seen.end());
  EXPECT_TRUE(test::WaitForExit(process, 60000));
  const std::wstring marker = box.dir() + L"\\restarted.txt";
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!test::FileExists(marker) && std::chrono::steady_clock::now() < end) Sleep(50);
  std::string args = test::ReadFileBytes(marker);
  EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(args.data()), args.size() / 2), L"-restart");
  EXPECT_TRUE(test::ReadFileBytes(box.dir() + L"\\zul.exe.bak") == old);
  EXPECT_TRUE(test::ReadFileBytes(box.exe()) == test::ReadFileBytes(test::BinDir() + L"\\update_restart_probe.exe"));
}

TEST(UpdateProgram, ABadSignatureLeavesTheProgramRunningUnchanged) {
  test::ZulSandbox box(L"update-badsig");
  std::wstring u = ServerFolder(L"badsig");
  test::WriteFileBytes(box.ini(),
                       "[Preferences]\r\nautoUpdate=1\r\nupdateServer=" + std::string(u.begin(), u.end()) + "\r\n");
  const std::string old = test::ReadFileBytes(box.exe());
  DWORD pid = 0;
  HANDLE process = box.Start(L"", &pid);
  ASSERT_TRUE(process);
  std::wstring seen;
  ASSERT_TRUE(Answer(pid, L"An update of zul.exe", IDYES, &seen)) << std::string(seen.begin(), seen.end());
  ASSERT_TRUE(Answer(pid, L"Update failed", IDOK, &seen)) << std::string(seen.begin(), seen.end());
  HWND main = test::WaitForInstance(pid);
  ASSERT_TRUE(main);
  EXPECT_TRUE(test::WaitUntilRunning(main));
  EXPECT_FALSE(test::WaitForExit(process, 0));
  EXPECT_TRUE(test::ReadFileBytes(box.exe()) == old);
  EXPECT_FALSE(test::FileExists(box.dir() + L"\\zul.exe.bak"));
}

}  // namespace
}  // namespace zul
