#include "title_format/title_text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

namespace zul::title_format {
namespace {

std::string Hex(char32_t c) {
  char buf[16];
  snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(c));
  return buf;
}

TEST(TitleText, CaseMappingRoundTrips) {
  for (char32_t c = 0; c < 0x10000; ++c) {
    char32_t upper = ToUpper(c), lower = ToLower(c);
    if (upper != c && c != 0x3C2) {  // final sigma has no capital of its own
      EXPECT_EQ(ToLower(upper), c) << Hex(c);
    }
    if (lower != c) {
      EXPECT_EQ(ToUpper(lower), c) << Hex(c);
    }
    EXPECT_FALSE(upper != c && lower != c) << Hex(c);
  }
}

TEST(TitleText, CaseMappingCoversCommonScripts) {
  struct Pair {
    char32_t lower, upper;
  };
  for (Pair p : {Pair{U'a', U'A'},
                 {0xE9, 0xC9},
                 {0xFF, 0x178},
                 {0x101, 0x100},
                 {0x13A, 0x139},
                 {0x142, 0x141},
                 {0x14B, 0x14A},
                 {0x17E, 0x17D},
                 {0x3C9, 0x3A9},
                 {0x3AC, 0x386},
                 {0x3CE, 0x38F},
                 {0x44F, 0x42F},
                 {0x451, 0x401},
                 {0xFF41, 0xFF21}}) {
    EXPECT_EQ(ToUpper(p.lower), p.upper) << Hex(p.lower);
    EXPECT_EQ(ToLower(p.upper), p.lower) << Hex(p.upper);
  }
  EXPECT_EQ(ToUpper(0x3C2), 0x3A3u);
  // No partner in one-to-one mapping (or a Turkish-only one): left alone.
  for (char32_t c : {0xDFu, 0x130u, 0x131u, 0x138u, 0x149u, 0x17Fu, 0xD7u, 0xF7u, 0x1F600u}) {
    EXPECT_EQ(ToUpper(c), c) << Hex(c);
    EXPECT_EQ(ToLower(c), c) << Hex(c);
  }
}

TEST(TitleText, WordCharacters) {
  for (char32_t c :
       {U'a', U'Z', U'5', U'\'', U'_', char32_t{0xE9}, char32_t{0x416}, char32_t{0x4E2D}, char32_t{0x2019}})
    EXPECT_TRUE(IsWordChar(c)) << Hex(c);
  for (char32_t c : {U' ', U'-', U'.', U'(', char32_t{0xA0}, char32_t{0xBB}, char32_t{0xD7}, char32_t{0x2014},
                     char32_t{0x3000}, char32_t{0x3001}, char32_t{0xFF0C}})
    EXPECT_FALSE(IsWordChar(c)) << Hex(c);
}

TEST(TitleText, NumbersReadLikeAtoi) {
  struct Case {
    std::u32string_view text;
    int32_t value;
  };
  for (Case c : {Case{U"", 0},
                 {U"42", 42},
                 {U"  -17x", -17},
                 {U"+5", 5},
                 {U"\t\n7", 7},
                 {U"abc", 0},
                 {U"- 5", 0},
                 {U"99999999999", 2147483647},
                 {U"-2147483648", -2147483648},
                 {U"-99999999999", -2147483648},
                 {U"\uFF11", 0}}) {
    EXPECT_EQ(ParseNumber(c.text), c.value);
  }
}

TEST(TitleText, Utf16RoundTripsEvenWhenBroken) {
  const char16_t hi = 0xD83D, lo = 0xDE00;
  std::vector<std::u16string> samples = {
      u"", u"abc", {hi, lo}, {hi}, {lo}, {lo, hi}, {hi, hi, lo}, {u'a', hi, u'b', lo, lo}, {hi, lo, hi},
  };
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> unit(0, 5);
  const char16_t pool[] = {u'a', 0xD800, 0xDBFF, 0xDC00, 0xDFFF, 0xFFFF};
  for (int n = 0; n < 200; ++n) {
    std::u16string s;
    for (int i = 0; i < 12; ++i) s.push_back(pool[unit(rng)]);
    samples.push_back(s);
  }
  for (const std::u16string& s : samples) EXPECT_EQ(Encode(Decode(s)), s);
  EXPECT_EQ(Decode(std::u16string{hi, lo}), U"\U0001F600");
  EXPECT_EQ(Decode(std::u16string{hi, u'x'}), (std::u32string{hi, U'x'}));
}

TEST(TitleText, FinderAgreesWithNaiveSearch) {
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> letter(0, 2), length(0, 6);
  for (int n = 0; n < 3000; ++n) {
    std::u32string hay, needle;
    for (int i = length(rng) * 3; i > 0; --i) hay.push_back(U'a' + letter(rng));
    for (int i = length(rng) / 2 + 1; i > 0; --i) needle.push_back(U'a' + letter(rng));
    size_t from = hay.empty() ? 0 : rng() % hay.size();
    EXPECT_EQ(Finder(needle).FindIn(hay, from), hay.find(needle, from));
  }
}

TEST(TitleText, UnsignedFormatting) {
  EXPECT_EQ(FormatUnsigned(0, 10, 0), U"0");
  EXPECT_EQ(FormatUnsigned(4294967295u, 16, 10), U"00ffffffff");
  EXPECT_EQ(FormatUnsigned(12, 10, -5), U"12");
  EXPECT_EQ(FormatUnsigned(1, 10, 2147483647).size(), kMaxTextLength);
  EXPECT_EQ(FormatDecimal(-2147483648LL), U"-2147483648");
}

}  // namespace
}  // namespace zul::title_format
