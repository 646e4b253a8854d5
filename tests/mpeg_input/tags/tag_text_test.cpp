#include "mpeg_input/tags/tag_text.h"

#include <gtest/gtest.h>

#include "base/text_codec.h"
#include "tests/mpeg_input/tags/tag_builder.h"

namespace zul::tags {
namespace {

using test::ByteVector;

struct DecodeCase {
  const char* name;
  ByteVector bytes;
  int how;  // 0 Latin-1, 1 UTF-8, 2 UTF-16 (LE unless a BOM says), 3 UTF-16 (BE unless a BOM says)
  std::wstring expected;
};

std::wstring Decode(const DecodeCase& c, std::size_t units = kTagValueUnits) {
  switch (c.how) {
    case 0:
      return DecodeLatin1(c.bytes, units);
    case 1:
      return DecodeUtf8(c.bytes, units);
    case 2:
      return DecodeUtf16(c.bytes, false, units);
    default:
      return DecodeUtf16(c.bytes, true, units);
  }
}

std::wstring Wide(std::u32string_view s) {
  std::wstring out;
  for (char32_t c : s) AppendCodePoint(out, c);
  return out;
}

TEST(TagText, DecodesEachEncodingAndReplacesMalformedInput) {
  const DecodeCase cases[] = {
      {"latin1 high bytes", {'C', 0xE9, 0xFF}, 0, Wide(U"C\u00E9\u00FF")},
      {"latin1 stops at nul", {'a', 0, 'b'}, 0, L"a"},
      {"utf8 two and three bytes", {'T', 0xC3, 0xAF, 0xE2, 0x82, 0xAC}, 1, Wide(U"T\u00EF\u20AC")},
      {"utf8 four bytes", {0xF0, 0x9F, 0x8E, 0xB5}, 1, Wide(U"\U0001F3B5")},
      {"utf8 bom skipped", {0xEF, 0xBB, 0xBF, 'x'}, 1, L"x"},
      {"utf8 stray continuation", {0x80, 'a'}, 1, Wide(U"\uFFFDa")},
      {"utf8 truncated at end", {'a', 0xE2, 0x82}, 1, Wide(U"a\uFFFD")},
      {"utf8 truncated mid", {0xE2, 'b'}, 1, Wide(U"\uFFFDb")},
      {"utf8 overlong slash", {0xC0, 0xAF}, 1, Wide(U"\uFFFD")},
      {"utf8 encoded surrogate", {0xED, 0xA0, 0x80}, 1, Wide(U"\uFFFD")},
      {"utf8 above unicode", {0xF4, 0x90, 0x80, 0x80}, 1, Wide(U"\uFFFD")},
      {"utf8 stops at nul", {'a', 0, 'b'}, 1, L"a"},
      {"utf16 le bom", test::Utf16Le(u"H\u00E9"), 3, Wide(U"H\u00E9")},
      {"utf16 be bom", test::Utf16Be(u"H\u00E9", true), 2, Wide(U"H\u00E9")},
      {"utf16 be default", test::Utf16Be(u"Hi"), 3, L"Hi"},
      {"utf16 le without bom", test::Utf16Le(u"Hi", false), 2, L"Hi"},
      {"utf16 pair", test::Utf16Le(u"\U0001F3B5!"), 2, Wide(U"\U0001F3B5!")},
      {"utf16 lone high at end", test::Utf16Le(u"a\xD83C"), 2, Wide(U"a\uFFFD")},
      {"utf16 lone low",
       test::Utf16Le(u"\xDF35"
                     u"b"),
       2, Wide(U"\uFFFDb")},
      {"utf16 high then letter",
       test::Utf16Le(u"\xD83C"
                     u"b"),
       2, Wide(U"\uFFFDb")},
      {"utf16 odd trailing byte", {0xFF, 0xFE, 'a', 0, 'b'}, 2, L"a"},
      {"utf16 stops at nul unit", {'a', 0, 0, 0, 'b', 0}, 2, L"a"},
      {"utf16 nul byte inside unit", {0x00, 0x01, 0, 0}, 2, Wide(U"\u0100")},
  };
  for (const DecodeCase& c : cases) EXPECT_EQ(Decode(c), c.expected) << c.name;
}

TEST(TagText, CutsAtUtf16UnitsWithoutSplittingAPair) {
  // 510 letters then a pair: 512 units do not fit in 511, and half a pair
  // must not be kept.
  std::u16string s(510, u'x');
  s += u"\U0001F3B5";
  std::wstring cut = DecodeUtf16(test::Utf16Le(s), false);
  EXPECT_EQ(Utf16Units(cut), 510u);
  EXPECT_EQ(cut, std::wstring(510, L'x'));

  std::wstring utf8 = DecodeUtf8(test::ByteVector(600, 'y'));
  EXPECT_EQ(utf8.size(), kTagValueUnits);

  std::wstring w = L"ab";
  AppendCodePoint(w, U'\U0001F3B5');
  CutToUtf16Units(w, 3);
  EXPECT_EQ(w, L"ab");
  CutToUtf16Units(w, 0);
  EXPECT_TRUE(w.empty());
}

TEST(TagText, EncodeUtf8RoundTripsThroughTheDecoder) {
  std::wstring w = L"P\u00E4th/";
  AppendCodePoint(w, U'\U0001F3B5');
  std::string utf8 = EncodeUtf8(w);
  EXPECT_EQ(DecodeUtf8(std::span(reinterpret_cast<const std::uint8_t*>(utf8.data()), utf8.size())), w);
}

}  // namespace
}  // namespace zul::tags
