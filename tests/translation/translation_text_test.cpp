#include "services/translation/translation_text.h"

#include <gtest/gtest.h>

using namespace zul::translation;

TEST(TranslationText, KeysOfTextsAndSubMenus) {
  EXPECT_EQ(KeyFor(104, -1, -1), L"104");
  EXPECT_EQ(KeyFor(201, 3, 0), L"201I3J0");
  EXPECT_EQ(KeyFor(201, 0, 2), L"201I0J2");
}

TEST(TranslationText, EscapesRoundTripAndTrailingBlanksGo) {
  EXPECT_EQ(Escape(L"a\nb\tc"), L"a\\nb\\tc");
  EXPECT_EQ(Unescape(L"a\\nb\\tc"), L"a\nb\tc");
  EXPECT_EQ(Unescape(L"two\\nlines  \t"), L"two\nlines");
  // A backslash that escapes nothing stays.
  EXPECT_EQ(Unescape(L"C:\\x\\"), L"C:\\x\\");
}

TEST(TranslationText, LanguageIsThePartAfterTheLastUnderscore) {
  EXPECT_EQ(LanguageOfFile(L"zul_French.ini"), L"French");
  EXPECT_EQ(LanguageOfFile(L"zul_Portuguese_BR.ini"), L"BR");
  EXPECT_EQ(LanguageOfFile(L"zul.ini"), L"");
}

TEST(TranslationText, AFormatMustAskForTheSameArguments) {
  struct Case {
    const wchar_t* original;
    const wchar_t* translated;
    bool usable;
  } cases[] = {
      {L"%d kB (%d x %d kB)", L"%d ko (%d x %d ko)", true},
      {L"%d ms", L"%s%n", false},
      {L"%d/%d", L"%d", false},
      {L"100%% done", L"fini à 100%%", true},
      {L"%d ms", L"%d ms %", false},
      {L"plain", L"%s", false},
  };
  for (const Case& c : cases) EXPECT_EQ(SameConversions(c.original, c.translated), c.usable) << c.translated;
}
