#include "title_format/title_functions.h"

#include <algorithm>
#include <iterator>

namespace zul::title_format {
namespace {

using Args = std::span<const Argument>;

int64_t Length(const Argument& a) { return static_cast<int64_t>(a.text.size()); }
int32_t Number(const Argument& a) { return ParseNumber(a.text); }

// The language's arithmetic is 32-bit two's complement; wrapping is done in
// unsigned arithmetic so that overflowing sums stay defined behaviour.
int32_t Wrap(uint32_t v) { return static_cast<int32_t>(v); }
int32_t WrapAdd(int32_t a, int32_t b) { return Wrap(static_cast<uint32_t>(a) + static_cast<uint32_t>(b)); }
int32_t WrapSub(int32_t a, int32_t b) { return Wrap(static_cast<uint32_t>(a) - static_cast<uint32_t>(b)); }
int32_t WrapMul(int32_t a, int32_t b) { return Wrap(static_cast<uint32_t>(a) * static_cast<uint32_t>(b)); }

// Padding characters are taken from the end of the fill text backwards, by
// the count still missing: $pad(ab,5,xy) gives "abxyx".
void PadTo(Text* out, int64_t width, TextView fill) {
  if (fill.empty()) fill = U" ";
  for (int64_t remaining = width - static_cast<int64_t>(out->size()); remaining > 0 && out->size() < kMaxTextLength;
       --remaining)
    out->push_back(fill[static_cast<size_t>((remaining - 1) % static_cast<int64_t>(fill.size()))]);
}

void Cut(Text* out, TextView text, int32_t count) {
  if (count > 0) AppendCapped(*out, text.substr(0, static_cast<size_t>(count)));
}

bool If(Args a, Text* out) {
  AppendCapped(*out, a[0].found ? a[1].text : a[2].text);
  return true;
}

bool If2(Args a, Text* out) {
  AppendCapped(*out, a[0].found ? a[0].text : a[1].text);
  return true;
}

bool Upper(Args a, Text* out) {
  std::transform(a[0].text.begin(), a[0].text.end(), std::back_inserter(*out), ToUpper);
  return true;
}

bool Lower(Args a, Text* out) {
  std::transform(a[0].text.begin(), a[0].text.end(), std::back_inserter(*out), ToLower);
  return true;
}

bool Pad(Args a, Text* out) {
  AppendCapped(*out, a[0].text);
  PadTo(out, Number(a[1]), a.size() == 3 ? TextView(a[2].text) : U" ");
  return true;
}

bool CutFn(Args a, Text* out) {
  Cut(out, a[0].text, Number(a[1]));
  return true;
}

bool PadCut(Args a, Text* out) {
  Cut(out, a[0].text, Number(a[1]));
  PadTo(out, Number(a[1]), a.size() == 3 ? TextView(a[2].text) : U" ");
  return true;
}

bool IsRomanNumeral(TextView word) { return word.find_first_not_of(U"IVXLCDM") == TextView::npos; }
bool IsNumber(TextView word) { return std::all_of(word.begin(), word.end(), IsAsciiDigit); }

// "Final Fantasy VII" -> "FFVII": one letter per word, but numerals, numbers
// and "RPG..." words are kept whole.
bool Abbr(Args a, Text* out) {
  TextView text = a[0].text;
  if (a.size() == 2 && Length(a[0]) < Number(a[1])) {
    out->assign(text);
    return true;
  }
  for (size_t i = 0; i < text.size();) {
    if (!IsWordChar(text[i])) {
      ++i;
      continue;
    }
    size_t end = i;
    while (end < text.size() && IsWordChar(text[end])) ++end;
    TextView word = text.substr(i, end - i);
    if (IsRomanNumeral(word) || IsNumber(word) || word.starts_with(U"RPG"))
      out->append(word);
    else
      out->push_back(word.front());
    i = end;
  }
  return true;
}

// Upper-cases the first character of every word; the rest of a word is
// lowered when lowerRest. "'" is a word character, so "don't" stays "Don't".
void Capitalise(TextView text, bool lowerRest, Text* out) {
  bool inWord = false;
  for (char32_t c : text) {
    bool word = IsWordChar(c);
    if (word && !inWord)
      c = ToUpper(c);
    else if (word && lowerRest)
      c = ToLower(c);
    inWord = word;
    out->push_back(c);
  }
}

bool Caps(Args a, Text* out) {
  Capitalise(a[0].text, true, out);
  return true;
}

bool Caps2(Args a, Text* out) {
  Capitalise(a[0].text, false, out);
  return true;
}

bool Longest(Args a, Text* out) {
  if (a.empty()) return true;
  auto best = std::max_element(a.begin(), a.end(), [](auto& x, auto& y) { return x.text.size() < y.text.size(); });
  out->assign(best->text);
  return true;
}

bool Shortest(Args a, Text* out) {
  if (a.empty()) return true;
  auto best = std::min_element(a.begin(), a.end(), [](auto& x, auto& y) { return x.text.size() < y.text.size(); });
  out->assign(best->text);
  return true;
}

bool IfLonger(Args a, Text* out) {
  out->assign(Length(a[0]) > Number(a[1]) ? a[2].text : a[3].text);
  return true;
}

bool IfGreater(Args a, Text* out) {
  out->assign(Number(a[0]) > Number(a[1]) ? a[2].text : a[3].text);
  return true;
}

// Like printf("%0*u") with the 32-bit value; a negative width pads nothing
// (printf would read it as a width of four billion).
bool Num(Args a, Text* out) {
  *out = FormatUnsigned(static_cast<uint32_t>(Number(a[0])), 10, Number(a[1]));
  return true;
}

bool Hex(Args a, Text* out) {
  *out = FormatUnsigned(static_cast<uint32_t>(Number(a[0])), 16, Number(a[1]));
  return true;
}

// Positions are 1-based and "0" means not found. An empty search text is
// never found (C's strchr would "find" the terminator past the end).
Text Position(size_t index) { return index == TextView::npos ? U"0" : FormatDecimal(static_cast<int64_t>(index) + 1); }

bool StrChr(Args a, Text* out) {
  *out = Position(a[1].text.empty() ? TextView::npos : a[0].text.find(a[1].text.front()));
  return true;
}

bool StrRChr(Args a, Text* out) {
  *out = Position(a[1].text.empty() ? TextView::npos : a[0].text.rfind(a[1].text.front()));
  return true;
}

bool StrStr(Args a, Text* out) {
  *out = Position(a[1].text.empty() ? TextView::npos : Finder(a[1].text).FindIn(a[0].text, 0));
  return true;
}

bool Substr(Args a, Text* out) {
  int64_t from = Number(a[1]);
  int64_t to = a.size() == 3 ? Number(a[2]) : from;
  from = std::max<int64_t>(from, 1);
  int64_t last = std::min(to, Length(a[0]));
  if (last >= from)
    out->assign(TextView(a[0].text).substr(static_cast<size_t>(from - 1), static_cast<size_t>(last - from + 1)));
  return true;
}

bool Len(Args a, Text* out) {
  *out = FormatDecimal(Length(a[0]));
  return true;
}

bool Add(Args a, Text* out) {
  int32_t sum = 0;
  for (const Argument& x : a) sum = WrapAdd(sum, Number(x));
  *out = FormatDecimal(sum);
  return true;
}

bool Sub(Args a, Text* out) {
  int32_t v = Number(a[0]);
  for (const Argument& x : a.subspan(1)) v = WrapSub(v, Number(x));
  *out = FormatDecimal(v);
  return true;
}

bool Mul(Args a, Text* out) {
  int32_t product = 1;
  for (const Argument& x : a) product = WrapMul(product, Number(x));
  *out = FormatDecimal(product);
  return true;
}

// Zero divisors are skipped. INT32_MIN / -1 overflows in C; it wraps here
// like the other operations.
bool Div(Args a, Text* out) {
  int32_t v = Number(a[0]);
  for (const Argument& x : a.subspan(1)) {
    int32_t d = Number(x);
    if (d != 0) v = d == -1 ? WrapSub(0, v) : v / d;
  }
  *out = FormatDecimal(v);
  return true;
}

bool Mod(Args a, Text* out) {
  int32_t v = Number(a[0]);
  for (const Argument& x : a.subspan(1)) {
    int32_t d = Number(x);
    if (d != 0) v = d == -1 ? 0 : v % d;
  }
  *out = FormatDecimal(v);
  return true;
}

bool Min(Args a, Text* out) {
  int32_t v = Number(a[0]);
  for (const Argument& x : a.subspan(1)) v = std::min(v, Number(x));
  *out = FormatDecimal(v);
  return true;
}

bool Max(Args a, Text* out) {
  int32_t v = Number(a[0]);
  for (const Argument& x : a.subspan(1)) v = std::max(v, Number(x));
  *out = FormatDecimal(v);
  return true;
}

// Left to right without overlap: $replace(aaa,aa,b) gives "ba". An empty
// search text would never advance, so the text is then copied unchanged.
bool Replace(Args a, Text* out) {
  TextView text = a[0].text, from = a[1].text, to = a[2].text;
  if (from.empty()) {
    out->assign(text);
    return true;
  }
  Finder finder(from);
  size_t pos = 0;
  while (out->size() < kMaxTextLength) {
    size_t hit = finder.FindIn(text, pos);
    if (hit == TextView::npos) break;
    AppendCapped(*out, text.substr(pos, hit - pos));
    AppendCapped(*out, to);
    pos = hit + from.size();
  }
  AppendCapped(*out, text.substr(std::min(pos, text.size())));
  return true;
}

size_t LastSeparator(TextView path) {
  size_t back = path.rfind(U'\\'), slash = path.rfind(U'/');
  if (back == TextView::npos) return slash;
  return slash == TextView::npos ? back : std::max(back, slash);
}

// "C:\music\song.mp3" -> "song". A dot that lies before the separator belongs
// to a folder name ("C:\my.dir\song"): the file has no extension, which is
// refused like a missing dot instead of copying a negative length.
bool FilePart(Args a, Text* out) {
  TextView path = a[0].text;
  size_t sep = path.rfind(U'\\');
  if (sep == TextView::npos) sep = path.rfind(U'/');
  size_t dot = path.rfind(U'.');
  if (sep == TextView::npos || dot == TextView::npos || dot < sep) return false;
  out->assign(path.substr(sep + 1, dot - sep - 1));
  return true;
}

// "song.mp3" -> "mp3"; a dot in a folder name is not an extension either.
bool FileExt(Args a, Text* out) {
  TextView path = a[0].text;
  size_t dot = path.rfind(U'.');
  size_t sep = LastSeparator(path);
  if (dot == TextView::npos || (sep != TextView::npos && sep > dot)) return false;
  out->assign(path.substr(dot + 1));
  return true;
}

constexpr size_t kAny = kMaxArguments;

constexpr TitleFunction kFunctions[] = {
    {U"if", 3, 3, If},
    {U"if2", 2, 2, If2},
    {U"upper", 1, 1, Upper},
    {U"lower", 1, 1, Lower},
    {U"pad", 2, 3, Pad},
    {U"cut", 2, 2, CutFn},
    {U"padcut", 2, 3, PadCut},
    {U"abbr", 1, 2, Abbr},
    {U"caps", 1, 1, Caps},
    {U"caps2", 1, 1, Caps2},
    {U"longest", 0, kAny, Longest},
    {U"shortest", 0, kAny, Shortest},
    {U"iflonger", 4, 4, IfLonger},
    {U"ifgreater", 4, 4, IfGreater},
    {U"num", 2, 2, Num},
    {U"dec", 2, 2, Num},
    {U"hex", 2, 2, Hex},
    {U"strchr", 2, 2, StrChr},
    {U"strlchr", 2, 2, StrChr},
    {U"strrchr", 2, 2, StrRChr},
    {U"strstr", 2, 2, StrStr},
    {U"substr", 2, 3, Substr},
    {U"len", 1, 1, Len},
    {U"add", 0, kAny, Add},
    {U"sub", 1, kAny, Sub},
    {U"mul", 0, kAny, Mul},
    {U"div", 1, kAny, Div},
    {U"mod", 1, kAny, Mod},
    {U"min", 1, kAny, Min},
    {U"max", 1, kAny, Max},
    {U"replace", 3, 3, Replace},
    {U"filepart", 1, 1, FilePart},
    {U"fileext", 1, 1, FileExt},
};

char32_t AsciiLower(char32_t c) { return c >= U'A' && c <= U'Z' ? c + 0x20 : c; }

}  // namespace

const TitleFunction* FindTitleFunction(TextView name) {
  for (const TitleFunction& f : kFunctions) {
    if (f.name.size() == name.size() &&
        std::equal(name.begin(), name.end(), f.name.begin(), [](char32_t x, char32_t y) { return AsciiLower(x) == y; }))
      return &f;
  }
  return nullptr;
}

}  // namespace zul::title_format
