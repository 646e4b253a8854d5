#include "title_format/title_text.h"

#include <algorithm>
#include <limits>

namespace zul::title_format {

Text Decode(std::u16string_view utf16) {
  Text out;
  out.reserve(utf16.size());
  for (size_t i = 0; i < utf16.size(); ++i) {
    char32_t c = utf16[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
      ++i;
    }
    out.push_back(c);
  }
  return out;
}

std::u16string Encode(TextView text) {
  std::u16string out;
  out.reserve(text.size());
  for (char32_t c : text) {
    if (c >= 0x10000 && c <= 0x10FFFF) {
      c -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else if (c > 0x10FFFF) {
      out.push_back(u'\uFFFD');  // cannot come from Decode; kept total anyway
    } else {
      out.push_back(static_cast<char16_t>(c));
    }
  }
  return out;
}

void AppendCapped(Text& out, TextView text) {
  if (out.size() >= kMaxTextLength) return;
  out.append(text.substr(0, kMaxTextLength - out.size()));
}

void AppendCapped(Text& out, char32_t c) {
  if (out.size() < kMaxTextLength) out.push_back(c);
}

namespace {

// Latin Extended-A alternates upper/lower case pairs, but the parity flips at
// U+0139 and U+0179, and a few letters have no partner in the block.
bool LatinExtAIsPaired(char32_t c) { return c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149 && c != 0x17F; }
bool LatinExtAUpperIsEven(char32_t c) { return (c < 0x139) || (c >= 0x14A && c < 0x179); }

}  // namespace

char32_t ToUpper(char32_t c) {
  if (c < 0x80) return (c >= U'a' && c <= U'z') ? c - 0x20 : c;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
  if (c == 0xFF) return 0x178;
  if (c >= 0x100 && c <= 0x17F) {
    if (!LatinExtAIsPaired(c) || c == 0x178) return c;
    bool isLower = LatinExtAUpperIsEven(c) ? (c & 1) : !(c & 1);
    return isLower ? c - 1 : c;
  }
  if (c >= 0x3B1 && c <= 0x3CB) return c == 0x3C2 ? 0x3A3 : c - 0x20;
  if (c == 0x3AC) return 0x386;
  if (c >= 0x3AD && c <= 0x3AF) return c - 0x25;
  if (c == 0x3CC) return 0x38C;
  if (c == 0x3CD || c == 0x3CE) return c - 0x3F;
  if (c >= 0x430 && c <= 0x44F) return c - 0x20;
  if (c >= 0x450 && c <= 0x45F) return c - 0x50;
  if (c >= 0xFF41 && c <= 0xFF5A) return c - 0x20;
  return c;
}

char32_t ToLower(char32_t c) {
  if (c < 0x80) return (c >= U'A' && c <= U'Z') ? c + 0x20 : c;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
  if (c == 0x178) return 0xFF;
  if (c >= 0x100 && c <= 0x17F) {
    if (!LatinExtAIsPaired(c)) return c;
    bool isUpper = LatinExtAUpperIsEven(c) ? !(c & 1) : (c & 1);
    return isUpper ? c + 1 : c;
  }
  if ((c >= 0x391 && c <= 0x3A1) || (c >= 0x3A3 && c <= 0x3AB)) return c + 0x20;
  if (c == 0x386) return 0x3AC;
  if (c >= 0x388 && c <= 0x38A) return c + 0x25;
  if (c == 0x38C) return 0x3CC;
  if (c == 0x38E || c == 0x38F) return c + 0x3F;
  if (c >= 0x410 && c <= 0x42F) return c + 0x20;
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;
  if (c >= 0xFF21 && c <= 0xFF3A) return c + 0x20;
  return c;
}

bool IsWordChar(char32_t c) {
  if (c < 0x80)
    return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') || IsAsciiDigit(c) || c == U'\'' || c == U'_';
  if (c == 0x2019) return true;
  if (c < 0xC0 || c == 0xD7 || c == 0xF7) return false;
  if (c >= 0x2000 && c <= 0x2BFF) return false;  // general punctuation, symbols, arrows, box drawing
  if (c >= 0x3000 && c <= 0x303F) return false;  // CJK punctuation and the ideographic space
  if (c >= 0xFE10 && c <= 0xFE1F) return false;  // vertical punctuation forms
  if (c >= 0xFE30 && c <= 0xFE6F) return false;  // CJK compatibility and small punctuation forms
  if ((c >= 0xFF01 && c <= 0xFF0F) || (c >= 0xFF1A && c <= 0xFF20) || (c >= 0xFF3B && c <= 0xFF40) ||
      (c >= 0xFF5B && c <= 0xFF65))
    return false;                                // fullwidth punctuation
  if (c >= 0xFFF0 && c <= 0xFFFF) return false;  // specials
  return true;
}

int32_t ParseNumber(TextView text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == U' ' || (text[i] >= U'\t' && text[i] <= U'\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == U'+' || text[i] == U'-')) negative = text[i++] == U'-';
  constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  int64_t value = 0;
  for (; i < text.size() && IsAsciiDigit(text[i]); ++i) value = std::min(value * 10 + (text[i] - U'0'), kLimit);
  if (negative) value = -value;
  return static_cast<int32_t>(
      std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

Text FormatDecimal(int64_t value) {
  Text out;
  uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  do {
    out.push_back(U'0' + static_cast<char32_t>(magnitude % 10));
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) out.push_back(U'-');
  std::reverse(out.begin(), out.end());
  return out;
}

Text FormatUnsigned(uint32_t value, int base, int32_t minDigits) {
  Text digits;
  do {
    digits.push_back(U"0123456789abcdef"[value % base]);
    value /= base;
  } while (value != 0);
  size_t width = minDigits > 0 ? std::min<size_t>(static_cast<size_t>(minDigits), kMaxTextLength) : 0;
  if (digits.size() < width) digits.append(width - digits.size(), U'0');
  std::reverse(digits.begin(), digits.end());
  return digits;
}

Finder::Finder(TextView needle) : needle_(needle), fallback_(needle.size(), 0) {
  for (size_t i = 1, k = 0; i < needle_.size(); ++i) {
    while (k > 0 && needle_[i] != needle_[k]) k = fallback_[k - 1];
    if (needle_[i] == needle_[k]) ++k;
    fallback_[i] = k;
  }
}

size_t Finder::FindIn(TextView haystack, size_t from) const {
  if (needle_.empty()) return from <= haystack.size() ? from : TextView::npos;
  for (size_t i = from, k = 0; i < haystack.size(); ++i) {
    while (k > 0 && haystack[i] != needle_[k]) k = fallback_[k - 1];
    if (haystack[i] == needle_[k]) ++k;
    if (k == needle_.size()) return i + 1 - k;
  }
  return TextView::npos;
}

}  // namespace zul::title_format
