// The settings file writer on a real file system under Wine.
#include <windows.h>
#include <gtest/gtest.h>

#include "base/profile_file.h"
#include "tests/support/zul_process.h"

namespace zul::test {
namespace {

class ProfileFileTest : public ::testing::Test {
protected:
  void SetUp() override {
    dir_ = FreshTempFolder(L"zul-profile");
    path_ = dir_ + L"\\zul.ini";
    RemoveDirectoryW((path_ + L".tmp").c_str());
  }
  void TearDown() override {
    SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path_.c_str());
    RemoveDirectoryW(dir_.c_str());
  }
  std::wstring Read(const wchar_t* section, const wchar_t* key) {
    auto v = ProfileFileReader(path_).Read(section, key);
    return v ? *v : L"<absent>";
  }
  std::wstring dir_, path_;
};

TEST_F(ProfileFileTest, CommitIsSeenByTheProfileFunctionsAtOnce) {
  WritePrivateProfileStringW(L"Preferences", L"TPC", L"10", path_.c_str());
  ASSERT_EQ(Read(L"Preferences", L"TPC"), L"10");  // now cached by the profile functions
  ASSERT_TRUE(CommitProfileEdits(path_, {{L"Preferences", L"TPC", L"12"}, {L"MenuXP", L"ShowGradient", L"0"}}));
  EXPECT_EQ(Read(L"Preferences", L"TPC"), L"12");
  EXPECT_EQ(Read(L"MenuXP", L"ShowGradient"), L"0");
  // And the file is what the profile functions would have written.
  EXPECT_EQ(ReadFileBytes(path_), "[Preferences]\r\nTPC=12\r\n\r\n[MenuXP]\r\nShowGradient=0\r\n");
}

TEST_F(ProfileFileTest, FailedWriteLeavesTheOldFileAndReportsIt) {
  const std::string old = "[Preferences]\r\nLanguage=deutsch\r\n";
  WriteFileBytes(path_, old);
  // Something in the way of the temporary file: the write cannot happen.
  ASSERT_TRUE(CreateDirectoryW((path_ + L".tmp").c_str(), nullptr));
  EXPECT_FALSE(CommitProfileEdits(path_, {{L"Preferences", L"", L"", true}, {L"Preferences", L"TPC", L"3"}}));
  EXPECT_EQ(ReadFileBytes(path_), old);
  RemoveDirectoryW((path_ + L".tmp").c_str());
  // A read-only settings file is left alone.
  SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(CommitProfileEdits(path_, {{L"Preferences", L"TPC", L"3"}}));
  SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(ReadFileBytes(path_), old);
}

TEST_F(ProfileFileTest, UnicodeFilesStayUnicodeAndKeepTheirText) {
  std::wstring text = L"\xFEFF[Preferences]\r\nInitDir=C:\\\x041C\x0443\x0437\x044B\x043A\x0430\r\n";
  std::string bytes(reinterpret_cast<const char*>(text.data()), text.size() * 2);
  WriteFileBytes(path_, bytes);
  ASSERT_TRUE(CommitProfileEdits(path_, {{L"Preferences", L"Recent0", L"D:\\\x00E9t\x00E9"}}));
  std::string after = ReadFileBytes(path_);
  ASSERT_GE(after.size(), 2u);
  EXPECT_EQ(after.substr(0, 2), "\xFF\xFE");
  EXPECT_EQ(Read(L"Preferences", L"InitDir"), L"C:\\\x041C\x0443\x0437\x044B\x043A\x0430");
  EXPECT_EQ(Read(L"Preferences", L"Recent0"), L"D:\\\x00E9t\x00E9");
}

}  // namespace
}  // namespace zul::test
