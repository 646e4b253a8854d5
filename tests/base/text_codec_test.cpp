// Runs natively (wchar_t is UTF-32) and under Wine (UTF-16): the results
// must not depend on the width.
#include "base/text_codec.h"

#include <gtest/gtest.h>

namespace zul {
namespace {

std::wstring Units(std::initializer_list<unsigned> units) {
  std::wstring text;
  for (unsigned u : units) text.push_back(static_cast<wchar_t>(u));
  return text;
}

TEST(TextCodec, Utf8EncodesUnpairedSurrogatesAsTheReplacementCharacter) {
  struct Case {
    const char* what;
    std::wstring text;
    std::string utf8;
  } cases[] = {
      {"ascii", L"a/b", "a/b"},
      {"two and three bytes", L"\u00e9\u20ac", "\xC3\xA9\xE2\x82\xAC"},
      {"beyond the BMP", L"\U0001F3B5", "\xF0\x9F\x8E\xB5"},
      {"lone high", Units({'a', 0xD83C, 'b'}),
       "a\xEF\xBF\xBD"
       "b"},
      {"lone low", Units({0xDF75}), "\xEF\xBF\xBD"},
      {"high at the end", Units({'a', 0xD800}), "a\xEF\xBF\xBD"},
      {"low before high", Units({0xDC00, 0xD800}), "\xEF\xBF\xBD\xEF\xBF\xBD"},
  };
  for (const Case& c : cases) {
    const std::string utf8 = EncodeUtf8(c.text);
    EXPECT_EQ(utf8, c.utf8) << c.what;
    // What is written is UTF-8 that reads back (unpaired halves as U+FFFD).
    EXPECT_TRUE(DecodeUtf8(utf8).has_value()) << c.what;
  }
}

TEST(TextCodec, Utf8DecoderTakesWhatEarlierWritersProducedAndRejectsTheRest) {
  // The three-byte form of a lone surrogate came from the former encoder.
  EXPECT_EQ(DecodeUtf8("a\xED\xA0\xBC"), Units({'a', 0xD83C}));
  EXPECT_EQ(DecodeUtf8("\xF0\x9F\x8E\xB5"), L"\U0001F3B5");
  for (const char* bad : {"\xC0\xAF", "\xE2\x82", "\x80", "\xF4\x90\x80\x80", "\xFF"}) {
    EXPECT_FALSE(DecodeUtf8(bad).has_value()) << bad;
  }
}

TEST(TextCodec, CaseFoldingComparesFoldAsciiOnly) {
  EXPECT_TRUE(EqualNoCase(L"C:\\Music\\A.MP3", L"c:\\music\\a.mp3"));
  EXPECT_FALSE(EqualNoCase(L"\u00C4", L"\u00E4"));  // as the C runtime does in the "C" locale
  EXPECT_FALSE(EqualNoCase(L"abc", L"abcd"));
  EXPECT_TRUE(EqualNoCase(std::string_view("TITLE"), std::string_view("title")));
  EXPECT_FALSE(EqualNoCase(std::string_view("\xC4"), std::string_view("\xE4")));
  EXPECT_TRUE(StartsWithNoCase(L"File1=x", L"file"));
  EXPECT_FALSE(StartsWithNoCase(L"Fil", L"file"));
  EXPECT_TRUE(EndsWithNoCase(L"list.M3U", L".m3u"));
  EXPECT_FALSE(EndsWithNoCase(L"m3u", L".m3u"));
  EXPECT_LT(CompareNoCase(L"a", L"B"), 0);
  EXPECT_GT(CompareNoCase(L"b", L"A"), 0);
  EXPECT_EQ(CompareNoCase(L"Ab", L"aB"), 0);
}

}  // namespace
}  // namespace zul
