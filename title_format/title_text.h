#pragma once
// Text primitives of the title-formatting language.
//
// The language counts characters as code points: a UTF-16 surrogate pair is
// one character, so $cut, $pad, $substr, $len ... never split one. Unpaired
// surrogates are kept as they are (decoded to their own value and encoded
// back unchanged), so formatting loses nothing of a badly encoded tag.
//
// Case mapping and word classes are our own small tables rather than the C
// library's, whose answers depend on the locale and differ between the
// Windows and the Linux build.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zul::title_format {

using Text = std::u32string;
using TextView = std::u32string_view;

// Every text the language builds (the output, each argument, each function
// result) is cut at this many characters. Without it, nested $replace calls
// grow the output exponentially and $pad(x,2000000000) asks for gigabytes.
inline constexpr size_t kMaxTextLength = 65536;

Text Decode(std::u16string_view utf16);
std::u16string Encode(TextView text);

// Appends as much of the text as fits under kMaxTextLength.
void AppendCapped(Text& out, TextView text);
void AppendCapped(Text& out, char32_t c);

// Simple one-to-one case mapping for ASCII, Latin-1, Latin Extended-A, Greek,
// Cyrillic and fullwidth Latin; other characters are returned unchanged.
char32_t ToUpper(char32_t c);
char32_t ToLower(char32_t c);

// A word is a run of letters, digits, "'" and "_" ($abbr, $caps, $caps2).
// Any character from U+00C0 up that is not punctuation, a symbol or a space
// counts as a letter; the typographic apostrophe U+2019 counts like "'", so
// "Don’t" stays one word.
bool IsWordChar(char32_t c);
inline bool IsAsciiDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

// A number read like C's atoi: leading white space, an optional sign, decimal
// digits up to the first other character; no digits read as 0. Values beyond
// the 32-bit range saturate instead of overflowing.
int32_t ParseNumber(TextView text);

Text FormatDecimal(int64_t value);
// value in base 10 or 16 (lower case), zero-padded to at least minDigits
// (negative minDigits pad nothing; the padding is bounded by kMaxTextLength).
Text FormatUnsigned(uint32_t value, int base, int32_t minDigits);

// Position of the first occurrence of needle in haystack at or after from,
// or npos. Linear time (KMP): $replace on long texts must not go quadratic.
class Finder {
public:
  explicit Finder(TextView needle);
  size_t FindIn(TextView haystack, size_t from) const;

private:
  TextView needle_;
  std::vector<size_t> fallback_;  // KMP failure table
};

}  // namespace zul::title_format
