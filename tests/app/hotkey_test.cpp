// Global hotkeys of a running zul.exe: registered from the settings, a key
// press from another program reaches the main window, and the automation
// hotkey runs the automation pass.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/zul_process.h"

namespace zul::test {
namespace {

bool ConsoleHas(HWND main, const std::wstring& text) {
  for (const std::wstring& line : ConsoleLines(main))
    if (line.find(text) != std::wstring::npos) return true;
  return false;
}

bool WaitForConsole(HWND main, const std::wstring& text, DWORD timeoutMs = 10000) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(20))
    if (ConsoleHas(main, text)) return true;
  return false;
}

void PressChord(WORD modifier1, WORD modifier2, WORD key) {
  std::vector<INPUT> inputs;
  for (WORD vk : {modifier1, modifier2, key}) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    inputs.push_back(in);
  }
  for (WORD vk : {key, modifier2, modifier1}) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(in);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

TEST(Hotkeys, RegisteredFromTheSettingsAndRunTheirAction) {
  ZulSandbox box(L"hotkeys");
  // Automation on Ctrl+Alt+F9 (MOD_ALT 1 | MOD_CONTROL 2); shuffle on
  // Ctrl+Alt+F10; the play key stays 0, so it is not registered.
  WriteFileBytes(box.ini(), "[Preferences]\r\nAutomationKey=120\r\nAutomationMod=3\r\nShflKey=121\r\nShflMod=3\r\n");
  DWORD pid = 0;
  HANDLE process = box.Start(L"", &pid);
  HWND main = WaitForInstance(pid);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntilRunning(main));
  HWND winamp = FindWinampWindow(pid);

  // The combination is taken while zul.exe runs.
  HWND probe = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  EXPECT_FALSE(RegisterHotKey(probe, 1, MOD_ALT | MOD_CONTROL, VK_F9));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_HOTKEY_ALREADY_REGISTERED));

  // A key press from this program reaches zul's hotkey: shuffle toggles.
  EXPECT_EQ(SendMessageW(winamp, WM_USER, 0, 250), 0);
  PressChord(VK_CONTROL, VK_MENU, VK_F10);
  EXPECT_TRUE(WaitForConsole(main, L"WM_HOTKEY 401"));
  EXPECT_EQ(SendMessageW(winamp, WM_USER, 0, 250), 1);

  // The automation hotkey runs the automation pass.
  PressChord(VK_CONTROL, VK_MENU, VK_F9);
  EXPECT_TRUE(WaitForConsole(main, L"WM_HOTKEY 1701"));
  EXPECT_TRUE(WaitForConsole(main, L"PerformAutomation"));

  SendMessageW(winamp, WM_COMMAND, 40001, 0);
  EXPECT_TRUE(WaitForExit(process, 20000));
  // Gone with the program.
  EXPECT_TRUE(RegisterHotKey(probe, 1, MOD_ALT | MOD_CONTROL, VK_F9));
  UnregisterHotKey(probe, 1);
  DestroyWindow(probe);
}

}  // namespace
}  // namespace zul::test
