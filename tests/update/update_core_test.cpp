// The update checker's version texts and archive entry names.
#include <gtest/gtest.h>

#include "services/update/archive_names.h"
#include "services/update/update_version.h"

namespace zul {
namespace {

TEST(UpdateVersion, ComparesFieldsAsNumbers) {
  struct Case {
    const char* remote;
    const char* local;
    bool newer;
  } cases[] = {
      {"1.2", "1.2.0.0", false},
      {"1.10.0.0", "1.9.5.0", true},
      {"1.2.beta", "1.0", false},
      {"2", "1.9.9.9", true},
      {"1.2.0.1\r\nrest", "1.2", true},
      {"1.2.3.4.5", "1.2.3.3", true},
      {"", "1.0", false},
      {"1..2", "1.0", false},
      {"1.2", "", false},
      {"99999999999", "1.0", false},
      {"1.0.0.2", "1.0.0.10", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsNewerVersion(c.remote, c.local), c.newer) << c.remote << " " << c.local;
}

TEST(UpdateVersion, LocalVersionTextAndNotesExcerpt) {
  EXPECT_EQ(LocalVersionText(0x00010002, 0x00030004), L"1.2.3.4");
  EXPECT_EQ(LocalVersionText(0x00010002, 0), L"1.2");
  EXPECT_EQ(LocalVersionText(0, 0), L"");
  const std::wstring notes = L"[1.3]\nthree\n[1.2]\ntwo\n";
  EXPECT_EQ(NotesExcerpt(notes, L"1.2"), L"\nthree\n");
  EXPECT_EQ(NotesExcerpt(notes, L"0.9"), notes);  // not found: the whole notes
  EXPECT_EQ(NotesExcerpt(L"no brackets 1.2", L"1.2"), L"no brackets");
}

TEST(UpdateArchiveNames, OnlyPlainExpectedNames) {
  struct Case {
    const wchar_t* name;
    bool taken;
  } cases[] = {
      {L"zul.exe", true},
      {L"ZUL.EXE", true},
      {L"zul_French.ini", true},
      {L"zul_.ini", false},
      {L"zul_French.txt", false},
      {L"other.exe", false},
      {L"..\\..\\zul.exe", false},
      {L"../zul.exe", false},
      {L"C:\\zul.exe", false},
      {L"C:zul.exe", false},
      {L"sub/zul_French.ini", false},
      {L"..", false},
      {L"zul.exe.", false},
      {L"zul.exe ", false},
      {L"", false},
      {L"zul_CON.ini", true},  // a device name only as the whole stem
  };
  for (const Case& c : cases) EXPECT_EQ(IsExpectedUpdateEntry(c.name, L"zul.exe"), c.taken) << c.name;
  for (const wchar_t* device : {L"CON", L"nul.ini", L"com1.exe", L"LPT9"}) EXPECT_FALSE(IsPlainFileName(device));
}

}  // namespace
}  // namespace zul
