#include "title_format/title_format.h"

#include <gtest/gtest.h>

#include "tests/title_format/title_fixture.h"
#include "title_format/title_text.h"

namespace zul::testing {
namespace {

constexpr std::u16string_view kSyntax = u"[SYNTAX ERROR IN FORMATTING STRING]";
constexpr std::u16string_view kUnknown = u"[UNKNOWN FUNCTION]";

void ExpectAll(const std::vector<FormatCase>& cases) {
  for (const FormatCase& c : cases) {
    SCOPED_TRACE(c);
    TitleFields fields;
    EXPECT_EQ(fields.Format(c.format), c.expected);
  }
}

TEST(TitleFormat, LiteralTextAndEscapes) {
  ExpectAll({
      {u"", u""},
      {u"plain text", u"plain text"},
      {u"$$%%''", u"$%'"},
      {u"100%% sure", u"100% sure"},
      {u"it''s", u"it's"},
      {u"'[%artist%]$x('", u"[%artist%]$x("},
      {u"'it''s'", u"its"},  // two literals, not an escaped quote inside one
      {u"a)b(c", u"a)b(c"},  // parentheses mean nothing outside a call
      {u"$upper(a))", u"A)"},
  });
}

TEST(TitleFormat, FieldsAppendNonEmptyValues) {
  ExpectAll({
      {u"%artist% - %title%", u"Artist - Title"},
      {u"<%album%>", u"<>"},
      {u"<%missing%>", u"<>"},
  });
  TitleFields fields;
  fields.Format(u"%Artist%%a b%%%x%\u00C4\U0001F600%");
  EXPECT_EQ(fields.asked, (std::vector<std::u16string>{u"Artist", u"a b", u"\u00C4\U0001F600"}));
}

TEST(TitleFormat, BlocksVanishWithoutAFoundField) {
  ExpectAll({
      {u"[%artist% - ]%title%", u"Artist - Title"},
      {u"[%missing% - ]%title%", u"Title"},
      {u"[%missing% - ][%none%]", u""},
      {u"[%album% - ]x", u"x"},  // an empty value is not found
      {u"[literal only]", u""},
      {u"[a[%artist%]b]", u"aArtistb"},
      {u"[a[%missing%]b]", u""},
      {u"[(%artist%)]", u"(Artist)"},
      {u"[':)' %artist%]", u":) Artist"},
      {u"[x$upper(%artist%)]", u"xARTIST"},  // fields inside arguments count
      {u"[$if(%missing%,a,%none%)]", u""},
      {u"[$if(%missing%,a,%title%)]", u"Title"},
  });
  TitleFields noArtist;
  noArtist.values.erase(u"artist");
  EXPECT_EQ(noArtist.Format(u"[%artist% - ]%title%"), u"Title");
  noArtist.values.erase(u"title");
  EXPECT_EQ(noArtist.Format(u"[%artist% - ]%title%"), u"");
}

TEST(TitleFormat, CallsSplitArgumentsAtTopLevelCommas) {
  ExpectAll({
      {u"$UPPER(a)$Upper(b)", u"AB"},
      {u"$if(%artist%,'a,b',c)", u"a,b"},
      {u"$if(%artist%,(a,b),c)", u"(a,b)"},
      {u"$if(%artist%,[%title%,b],c)", u"Title,b"},
      {u"$if2(%missing%,$upper(%title%))", u"TITLE"},
      {u"$len( )", u"1"},
      {u"$add()", u"0"},  // "()" has no arguments ...
      {u"$len()", u"[INVALID $len SYNTAX]"},
      {u"$len(,)", u"[INVALID $len SYNTAX]"},  // ... "(,)" has two
  });
}

TEST(TitleFormat, OnlyTheFirst64ArgumentsAreTaken) {
  std::u16string ones;
  for (int i = 0; i < 70; ++i) ones += u"1,";
  ones.pop_back();
  TitleFields fields;
  EXPECT_EQ(fields.Format(u"$add(" + ones + u")"), u"64");
  EXPECT_EQ(fields.Format(u"$if(" + ones + u")"), u"[INVALID $if SYNTAX]");
  EXPECT_EQ(fields.Format(u"$longest(" + ones + u",%artist%)"), u"1");
  EXPECT_TRUE(fields.asked.empty());  // the 71st argument is not evaluated
}

TEST(TitleFormat, ErrorsReplaceTheWholeOutput) {
  ExpectAll({
      {u"'abc", std::u16string(kSyntax)},
      {u"%abc", std::u16string(kSyntax)},
      {u"'", std::u16string(kSyntax)},
      {u"%", std::u16string(kSyntax)},
      {u"$", std::u16string(kSyntax)},
      {u"$upper", std::u16string(kSyntax)},
      {u"abc]", std::u16string(kSyntax)},
      {u"[abc", std::u16string(kSyntax)},
      {u"x$upper(a", std::u16string(kSyntax)},
      {u"$upper(a]", std::u16string(kSyntax)},
      {u"$upper('a)", std::u16string(kSyntax)},
      {u"[:) %artist%]", std::u16string(kSyntax)},  // a ")" without partner inside a block
      {u"%artist% $foo(x)", std::u16string(kUnknown)},
      {u"$(x)", std::u16string(kUnknown)},
      {u"$up per(x)", std::u16string(kUnknown)},
      {u"$upper(a,b)", u"[INVALID $upper SYNTAX]"},
      {u"$UPPER(a,b)", u"[INVALID $upper SYNTAX]"},
      {u"$if(a)", u"[INVALID $if SYNTAX]"},
      {u"%title% $filepart(song)", u"[INVALID $filepart SYNTAX]"},
  });
  TitleFields fields;
  fields.Format(u"%artist%$foo()%title%");
  EXPECT_EQ(fields.asked, std::vector<std::u16string>{u"artist"});  // evaluation stops at the error
}

// An error inside a block or an argument only replaces that part, and counts
// as a found field so that it is seen.
TEST(TitleFormat, NestedErrorsShowInPlace) {
  ExpectAll({
      {u"a[%x]b", u"a[SYNTAX ERROR IN FORMATTING STRING]b"},
      {u"x$upper($foo(y))z", u"x[UNKNOWN FUNCTION]z"},
      {u"[$cut(a)]", u"[INVALID $cut SYNTAX]"},
      {u"$if($foo(),yes,no)", u"yes"},
  });
}

std::u16string Nested(int depth, std::u16string_view open, std::u16string_view core, std::u16string_view close) {
  std::u16string s;
  for (int i = 0; i < depth; ++i) s += open;
  s += core;
  for (int i = 0; i < depth; ++i) s += close;
  return s;
}

TEST(TitleFormat, NestingIsBounded) {
  using title_format::kMaxNesting;
  TitleFields fields;
  EXPECT_EQ(fields.Format(Nested(kMaxNesting, u"[", u"%artist%", u"]")), u"Artist");
  EXPECT_EQ(fields.Format(Nested(kMaxNesting + 1, u"[", u"%artist%", u"]")), kSyntax);
  EXPECT_EQ(fields.Format(Nested(kMaxNesting, u"$lower(", u"X", u")")), u"x");
  EXPECT_EQ(fields.Format(Nested(kMaxNesting + 1, u"$lower(", u"X", u")")), u"[syntax error in formatting string]");
  EXPECT_EQ(fields.Format(Nested(100000, u"[", u"%artist%", u"]")), kSyntax);  // no stack overflow
}

TEST(TitleFormat, TextsAreCutAtTheLengthLimit) {
  using title_format::kMaxTextLength;
  TitleFields fields;
  EXPECT_EQ(fields.Format(u"$pad(x,2000000000)").size(), kMaxTextLength);
  EXPECT_EQ(fields.Format(u"$num(1,2000000000)").size(), kMaxTextLength);
  // Each level multiplies the length by eight.
  std::u16string grow = u"aaaa";
  for (int i = 0; i < 8; ++i) grow = u"$replace(" + grow + u",a,aaaaaaaa)";
  EXPECT_EQ(fields.Format(grow + u"tail").size(), kMaxTextLength);
  fields.values[u"long"] = std::u16string(kMaxTextLength + 10, u'z');
  EXPECT_EQ(fields.Format(u"$len(%long%)"), u"65536");
}

TEST(TitleFormat, SurrogatePairsAreOneCharacter) {
  TitleFields fields;
  fields.values[u"e"] = u"\U0001F600x";
  fields.values[u"lone"] = {char16_t{0xD800}, u'a', char16_t{0xDC00}};
  EXPECT_EQ(fields.Format(u"$len(%e%)"), u"2");
  EXPECT_EQ(fields.Format(u"$cut(%e%,1)"), u"\U0001F600");
  EXPECT_EQ(fields.Format(u"$pad(%e%,3,\U0001F3B5)"), u"\U0001F600x\U0001F3B5");
  EXPECT_EQ(fields.Format(u"$strchr(a\U0001F600b,b)"), u"3");
  EXPECT_EQ(fields.Format(u"%lone%"), fields.values[u"lone"]);  // unpaired halves pass unchanged
  EXPECT_EQ(fields.Format(u"$upper(%lone%)"), (std::u16string{char16_t{0xD800}, u'A', char16_t{0xDC00}}));
  EXPECT_EQ(fields.Format(u"$len(%lone%)"), u"3");
}

TEST(TitleFormat, NoLookupMeansNoFields) { EXPECT_EQ(FormatTitle(u"[%artist%]x%title%", nullptr), u"x"); }

}  // namespace
}  // namespace zul::testing
