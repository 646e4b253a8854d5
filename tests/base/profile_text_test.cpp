#include <gtest/gtest.h>

#include "base/profile_text.h"

namespace zul {
namespace {

TEST(ProfileText, ReadsLikeThePrivateProfileFunctions) {
  ProfileText t(
      L"; comment\r\n[Prefs]\r\n  Key = value with blanks  \r\nQuoted=\"  x  \"\r\nnovalue\r\n[other]\r\nkey=2\r\n");
  EXPECT_EQ(t.Get(L"prefs", L"KEY"), L"value with blanks");
  EXPECT_EQ(t.Get(L"Prefs", L"Quoted"), L"  x  ");
  EXPECT_EQ(t.Get(L"Other", L"key"), L"2");
  EXPECT_FALSE(t.Get(L"Prefs", L"missing"));
  EXPECT_FALSE(t.Get(L"missing", L"key"));
  EXPECT_EQ(t.Get(L"Prefs", L"novalue"), L"");
}

TEST(ProfileText, ClearingASectionKeepsTheOthersAndItsPlace) {
  ProfileText t(
      L"[Kelsor "
      L"mpg123]\r\nA=1\r\n\r\n[Preferences]\r\nOld=1\r\nStale=2\r\n\r\n[MenuXP]\r\nGradientWidth=40\r\nShowGradient="
      L"0\r\n");
  t.ClearSection(L"Preferences");
  t.Set(L"Preferences", L"New", L"3");
  t.Set(L"MenuXP", L"ShowGradient", L"1");
  EXPECT_EQ(t.Text(),
            L"[Kelsor "
            L"mpg123]\r\nA=1\r\n\r\n[Preferences]\r\nNew=3\r\n\r\n[MenuXP]\r\nGradientWidth=40\r\nShowGradient=1\r\n");
}

TEST(ProfileText, NewSectionsAreAppendedAfterABlankLine) {
  ProfileText empty;
  empty.Set(L"Preferences", L"A", L"1");
  EXPECT_EQ(empty.Text(), L"[Preferences]\r\nA=1\r\n");
  empty.Set(L"MenuXP", L"B", L"2");
  EXPECT_EQ(empty.Text(), L"[Preferences]\r\nA=1\r\n\r\n[MenuXP]\r\nB=2\r\n");
}

}  // namespace
}  // namespace zul
