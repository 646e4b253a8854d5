// zul.exe as a real process with a settings file listing fake plug-ins: the
// failed-load message box, faults in a general plug-in, the start-up and
// shutdown order across the three kinds, and the lists it saves.
#include <windows.h>
#include <gtest/gtest.h>

#include <sstream>

#include "tests/pluginhost/host/host_fixture.h"
#include "tests/support/zul_process.h"

namespace zul::test {
namespace {

constexpr DWORD kWinampQuit = 40001;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

bool ConsoleHas(HWND main, const std::wstring& text) {
  for (const auto& l : ConsoleLines(main))
    if (l.find(text) != std::wstring::npos) return true;
  return false;
}

TEST(ZulWithPlugins, OneMessagePerFailedLoadFaultsSurvivedListsSavedInOrder) {
  ZulSandbox box(L"plugins");
  const std::wstring in = box.dir() + L"\\in_a.dll", out = box.dir() + L"\\out_o.dll", gen = box.dir() + L"\\gen_g.dll";
  CopyFileW((BinDir() + L"\\in_fake_ansi.dll").c_str(), in.c_str(), FALSE);
  CopyFileW((BinDir() + L"\\out_fake.dll").c_str(), out.c_str(), FALSE);
  CopyFileW((BinDir() + L"\\gen_fake.dll").c_str(), gen.c_str(), FALSE);
  const std::wstring log = box.dir() + L"\\plugins.log";
  DeleteFileW(log.c_str());  // a folder of an earlier run with the same process id
  SetEnvironmentVariableW(L"ZUL_TEST_PLUGIN_LOG", log.c_str());
  // The general plug-in subclasses the Winamp window, asks it for the
  // version from init(), and faults in both init() and quit().
  SetEnvironmentVariableW(L"ZUL_TEST_GEN_OPTIONS", L"subclass=1,ipc=0,faultInit=3,faultQuit=1");
  WriteIni(box.ini(), L"dllInName0=" + box.dir() + L"\\in_missing.dll\r\ndllInName1=" + in + L"\r\ndllOutName0=" + out +
                          L"\r\ndllGenName0=" + gen + L"\r\ndllGenName1=NONE\r\n");

  DWORD pid = 0;
  HANDLE process = box.Start(L"", &pid);
  SetEnvironmentVariableW(L"ZUL_TEST_PLUGIN_LOG", nullptr);
  SetEnvironmentVariableW(L"ZUL_TEST_GEN_OPTIONS", nullptr);
  ASSERT_NE(process, nullptr);
  MessageBoxCatcher boxes(pid);
  ASSERT_TRUE(boxes.WaitFor(1, 30000)) << "no message box for the missing input plug-in";
  EXPECT_EQ(boxes.Boxes()[0].caption, L"ZUL");
  EXPECT_EQ(boxes.Boxes()[0].text, L"Failed to load the input plugin in_missing.dll");

  HWND main = WaitForInstance(pid);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntilRunning(main));
  EXPECT_TRUE(ConsoleHas(main, L"FAULTED in init"));
  HWND winamp = FindWinampWindow(pid);
  ASSERT_NE(winamp, nullptr);
  SendMessageW(winamp, WM_COMMAND, kWinampQuit, 0);
  ASSERT_TRUE(WaitForExit(process, 30000));
  DWORD code = 99;
  GetExitCodeProcess(process, &code);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(boxes.Boxes().size(), 1u);

  EXPECT_EQ(IniValue(box.ini(), L"dllInName0"), in);
  EXPECT_EQ(IniValue(box.ini(), L"dllInName1"), L"STANDARD");
  EXPECT_EQ(IniValue(box.ini(), L"dllInName2"), L"NONE");
  EXPECT_EQ(IniValue(box.ini(), L"dllOutName0"), out);
  EXPECT_EQ(IniValue(box.ini(), L"dllOutName1"), L"STANDARD");
  EXPECT_EQ(IniValue(box.ini(), L"dllOutName2"), L"NONE");
  EXPECT_EQ(IniValue(box.ini(), L"dllGenName0"), gen);
  EXPECT_EQ(IniValue(box.ini(), L"dllGenName1"), L"NONE");

  // Inputs, outputs, general plug-ins come up in that order; general
  // plug-ins quit first and outputs last.
  EXPECT_EQ(Lines(ReadFileBytes(log)), (std::vector<std::string>{"in_a.dll Init", "out_o.dll Init", "gen_g.dll init",
                                                                 "gen_g.dll quit", "in_a.dll Quit", "out_o.dll Quit"}));
}

}  // namespace
}  // namespace zul::test
