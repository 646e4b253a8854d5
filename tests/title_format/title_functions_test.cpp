#include "title_format/title_functions.h"

#include <gtest/gtest.h>

#include "tests/title_format/title_fixture.h"

namespace zul::testing {
namespace {

void ExpectAll(const std::vector<FormatCase>& cases) {
  for (const FormatCase& c : cases) {
    SCOPED_TRACE(c);
    TitleFields fields;
    EXPECT_EQ(fields.Format(c.format), c.expected);
  }
}

TEST(TitleFunctions, Conditions) {
  ExpectAll({
      {u"$if(%artist%,yes,no)", u"yes"},
      {u"$if(%album%,yes,no)", u"no"},
      {u"$if(%missing%,yes,no)", u"no"},
      {u"$if('x',yes,no)", u"no"},  // text without a field is not "found"
      {u"$if2(%artist%,none)", u"Artist"},
      {u"$if2(%album%,none)", u"none"},
      {u"$if2(x,none)", u"none"},
      {u"$iflonger(abc,2,long,short)", u"long"},
      {u"$iflonger(abc,3,long,short)", u"short"},
      {u"$ifgreater(10,9,y,n)", u"y"},  // compared as numbers, not as text
      {u"$ifgreater(9,9,y,n)", u"n"},
      {u"$ifgreater(-1,x,y,n)", u"n"},
  });
}

TEST(TitleFunctions, CaseAndWords) {
  ExpectAll({
      {u"$upper(\u00C0bc \u00E9 \u00FF \u0142)", u"\u00C0BC \u00C9 \u0178 \u0141"},
      {u"$lower(\u00C0BC \u03A3\u0391 \u0416 \u00DF)", u"\u00E0bc \u03C3\u03B1 \u0436 \u00DF"},
      {u"$caps(hELLO wORLD)", u"Hello World"},
      {u"$caps(don''t stop)", u"Don't Stop"},
      {u"$caps(don\u2019t stop)", u"Don\u2019t Stop"},
      {u"$caps(rock-n-roll)", u"Rock-N-Roll"},
      {u"$caps(\u00E9mile \u00C7A)", u"\u00C9mile \u00C7a"},
      {u"$caps2(hELLO wORLD)", u"HELLO WORLD"},
      {u"$caps2(mcDonald)", u"McDonald"},
      {u"$abbr(Final Fantasy VII)", u"FFVII"},
      {u"$abbr(Rock ''n'' Roll)", u"R'R"},
      {u"$abbr(Top 100 Hits)", u"T100H"},
      {u"$abbr(RPGMaker Soundtrack)", u"RPGMakerS"},
      {u"$abbr(Mix of DC)", u"MoDC"},
      {u"$abbr(did it)", u"di"},  // lower-case letters are not a numeral
      {u"$abbr(Hello-World_x D\u00E9j\u00E0 Vu)", u"HWDV"},
      {u"$abbr(Short,10)", u"Short"},
      {u"$abbr(Long Title,10)", u"LT"},  // not shorter than 10
  });
}

TEST(TitleFunctions, PaddingAndCutting) {
  ExpectAll({
      {u"$pad(ab,5,-)", u"ab---"},
      {u"$pad(ab,5,xy)", u"abxyx"},  // fill index is (missing - 1) mod length
      {u"$pad(ab,5)", u"ab   "},
      {u"$pad(ab,5,)", u"ab   "},
      {u"$pad(abcdef,3,-)", u"abcdef"},
      {u"$pad(ab,-4,-)", u"ab"},
      {u"$cut(abcdef,3)", u"abc"},
      {u"$cut(ab,5)", u"ab"},
      {u"$cut(ab,0)", u""},
      {u"$cut(ab,-1)", u""},
      {u"$padcut(abcdef,3)", u"abc"},
      {u"$padcut(ab,4,.)", u"ab.."},
      {u"$padcut(ab,4,xyz)", u"abyx"},
      {u"$longest(ab,abc,xyz)", u"abc"},
      {u"$longest()", u""},
      {u"$shortest(abc,ab,xy)", u"ab"},
      {u"$shortest(x,,y)", u""},
      {u"$shortest()", u""},
  });
}

TEST(TitleFunctions, NumberFormats) {
  ExpectAll({
      {u"$num(7,3)", u"007"},
      {u"$dec(7,3)", u"007"},
      {u"$num(1234,2)", u"1234"},
      {u"$num(12abc,0)", u"12"},
      {u"$num(abc,2)", u"00"},
      {u"$num(-1,1)", u"4294967295"},  // printed as unsigned 32-bit
      {u"$num(5,-3)", u"5"},
      {u"$hex(255,4)", u"00ff"},
      {u"$hex(-1,0)", u"ffffffff"},
      {u"$hex(0,0)", u"0"},
      {u"$len(abc)", u"3"},
      {u"$len(%artist%)", u"6"},
  });
}

TEST(TitleFunctions, Searching) {
  ExpectAll({
      {u"$strchr(abcabc,c)", u"3"},     {u"$strchr(abc,cx)", u"3"},  // only the first character of b
      {u"$strlchr(abcabc,b)", u"2"},    {u"$strrchr(abcabc,b)", u"5"},
      {u"$strchr(abc,z)", u"0"},        {u"$strchr(abc,)", u"0"},
      {u"$strrchr(abc,)", u"0"},        {u"$strstr(abcabc,ca)", u"3"},
      {u"$strstr(aab,ab)", u"2"},       {u"$strstr(abababc,ababc)", u"3"},
      {u"$strstr(abc,x)", u"0"},        {u"$strstr(abc,)", u"0"},
      {u"$substr(abcdef,2,4)", u"bcd"}, {u"$substr(abcdef,3)", u"c"},
      {u"$substr(abcdef,0,2)", u"ab"},  {u"$substr(abcdef,5,99)", u"ef"},
      {u"$substr(abcdef,4,2)", u""},    {u"$substr(abc,0)", u""},  // c defaults to b before b is raised to 1
      {u"$substr(abc,9,12)", u""},      {u"$replace(a-b-c,-,+)", u"a+b+c"},
      {u"$replace(aaa,aa,b)", u"ba"},   {u"$replace(abc,abc,)", u""},
      {u"$replace(abc,x,y)", u"abc"},   {u"$replace(abc,,x)", u"abc"},  // an empty search text changes nothing
  });
}

TEST(TitleFunctions, Arithmetic) {
  ExpectAll({
      {u"$add(1,2,3)", u"6"},
      {u"$add(x,5)", u"5"},
      {u"$add( 7, -2)", u"5"},
      {u"$add(2147483647,1)", u"-2147483648"},
      {u"$add(99999999999)", u"2147483647"},
      {u"$sub(10,3,2)", u"5"},
      {u"$sub(5)", u"5"},
      {u"$mul(2,3,4)", u"24"},
      {u"$mul()", u"1"},
      {u"$div(100,3)", u"33"},
      {u"$div(100,0,7)", u"14"},  // zero divisors are skipped
      {u"$div(-7,2)", u"-3"},
      {u"$div(-2147483648,-1)", u"-2147483648"},
      {u"$mod(100,7)", u"2"},
      {u"$mod(100,0)", u"100"},
      {u"$mod(-7,3)", u"-1"},
      {u"$mod(-2147483648,-1)", u"0"},
      {u"$min(5,-2,9)", u"-2"},
      {u"$max(5,-2,9)", u"9"},
      {u"$min(07)", u"7"},
  });
}

TEST(TitleFunctions, FileNames) {
  ExpectAll({
      {u"$filepart(%path%)", u"Song"},
      {u"$filepart(/home/u/a.b.c)", u"a.b"},
      {u"$filepart(a\\b/c.d)", u"b/c"},  // a backslash wins over later slashes
      {u"$filepart(Song.mp3)", u"[INVALID $filepart SYNTAX]"},
      {u"$filepart(C:\\dir\\file)", u"[INVALID $filepart SYNTAX]"},
      {u"$filepart(C:\\my.dir\\file)", u"[INVALID $filepart SYNTAX]"},
      {u"$fileext(%path%)", u"mp3"},
      {u"$fileext(archive.tar.gz)", u"gz"},
      {u"$fileext(name.)", u""},
      {u"$fileext(noext)", u"[INVALID $fileext SYNTAX]"},
      {u"$fileext(C:\\my.dir\\file)", u"[INVALID $fileext SYNTAX]"},
      {u"$fileext(/my.dir/file)", u"[INVALID $fileext SYNTAX]"},
  });
}

// Argument counts each function accepts; every other count of 0 to 5 (and 64)
// must give "[INVALID $name SYNTAX]".
TEST(TitleFunctions, ArgumentCounts) {
  struct Accepts {
    std::u16string name;
    size_t min, max;
  };
  const size_t any = 64;
  const std::vector<Accepts> table = {
      {u"if", 3, 3},        {u"if2", 2, 2},        {u"upper", 1, 1},    {u"lower", 1, 1},     {u"pad", 2, 3},
      {u"cut", 2, 2},       {u"padcut", 2, 3},     {u"abbr", 1, 2},     {u"caps", 1, 1},      {u"caps2", 1, 1},
      {u"longest", 0, any}, {u"shortest", 0, any}, {u"iflonger", 4, 4}, {u"ifgreater", 4, 4}, {u"num", 2, 2},
      {u"dec", 2, 2},       {u"hex", 2, 2},        {u"strchr", 2, 2},   {u"strlchr", 2, 2},   {u"strrchr", 2, 2},
      {u"strstr", 2, 2},    {u"substr", 2, 3},     {u"len", 1, 1},      {u"add", 0, any},     {u"sub", 1, any},
      {u"mul", 0, any},     {u"div", 1, any},      {u"mod", 1, any},    {u"min", 1, any},     {u"max", 1, any},
      {u"replace", 3, 3},   {u"filepart", 1, 1},   {u"fileext", 1, 1},
  };
  ASSERT_EQ(table.size(), 33u);
  TitleFields fields;
  for (const Accepts& f : table) {
    for (size_t count : {0, 1, 2, 3, 4, 5, 64}) {
      std::u16string call = u"$" + f.name + u"(";
      for (size_t i = 0; i < count; ++i) call += i ? u",x\\y.z" : u"x\\y.z";
      call += u")";
      bool invalid = fields.Format(call) == u"[INVALID $" + f.name + u" SYNTAX]";
      EXPECT_EQ(invalid, count < f.min || count > f.max)
          << "$" << std::string(f.name.begin(), f.name.end()) << " with " << count << " arguments";
    }
  }
}

}  // namespace
}  // namespace zul::testing
