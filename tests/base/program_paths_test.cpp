#include "base/program_paths.h"

#include <gtest/gtest.h>

namespace zul {
namespace {

TEST(ProgramPaths, EveryFileIsNamedAfterTheProgramFile) {
  struct Case {
    const wchar_t* exe;
    const wchar_t* folder;
    const wchar_t* settings;
    const wchar_t* playlist;
    const wchar_t* plugins;
    const wchar_t* french;
  } cases[] = {
      {L"C:\\Apps\\zul.exe", L"C:\\Apps\\", L"C:\\Apps\\zul.ini", L"C:\\Apps\\zul.m3u", L"C:\\Apps\\Plugins",
       L"C:\\Apps\\zul_French.ini"},
      // A dot in a folder name is not the program's extension.
      {L"C:\\my.apps\\player", L"C:\\my.apps\\", L"C:\\my.apps\\player.ini", L"C:\\my.apps\\player.m3u",
       L"C:\\my.apps\\Plugins", L"C:\\my.apps\\player_French.ini"},
      // Only the last dot starts the extension.
      {L"D:\\x\\zul.v2.exe", L"D:\\x\\", L"D:\\x\\zul.v2.ini", L"D:\\x\\zul.v2.m3u", L"D:\\x\\Plugins",
       L"D:\\x\\zul.v2_French.ini"},
      {L"\\\\server\\share\\ZUL.EXE", L"\\\\server\\share\\", L"\\\\server\\share\\ZUL.ini",
       L"\\\\server\\share\\ZUL.m3u", L"\\\\server\\share\\Plugins", L"\\\\server\\share\\ZUL_French.ini"},
      {L"zul.exe", L"", L"zul.ini", L"zul.m3u", L"Plugins", L"zul_French.ini"},
  };
  for (const Case& c : cases) {
    const ProgramPaths p = ProgramPathsFor(c.exe);
    EXPECT_EQ(p.exe, c.exe);
    EXPECT_EQ(p.folder, c.folder) << c.exe;
    EXPECT_EQ(p.settingsFile, c.settings) << c.exe;
    EXPECT_EQ(p.playlistFile, c.playlist) << c.exe;
    EXPECT_EQ(p.pluginFolder, c.plugins) << c.exe;
    EXPECT_EQ(p.LanguageFile(L"French"), c.french) << c.exe;
  }
}

}  // namespace
}  // namespace zul
