#include "base/settings_codec.h"

#include <cstdio>
#include <cwctype>
#include <limits>

namespace zul {
namespace {

// Parses one integer at *pos (leading blanks, sign, "0x" hex or decimal).
// Returns nothing when no digit follows; *pos moves past what was read.
std::optional<long long> ParseInteger(std::wstring_view s, size_t* pos) {
  size_t i = *pos;
  while (i < s.size() && std::iswspace(s[i])) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == L'-' || s[i] == L'+')) negative = s[i++] == L'-';
  int base = 10;
  if (i + 1 < s.size() && s[i] == L'0' && (s[i + 1] == L'x' || s[i + 1] == L'X')) {
    base = 16;
    i += 2;
  }
  long long value = 0;
  bool any = false;
  for (; i < s.size(); ++i) {
    wchar_t c = s[i];
    int digit;
    if (c >= L'0' && c <= L'9')
      digit = c - L'0';
    else if (base == 16 && c >= L'a' && c <= L'f')
      digit = c - L'a' + 10;
    else if (base == 16 && c >= L'A' && c <= L'F')
      digit = c - L'A' + 10;
    else
      break;
    any = true;
    // Saturate instead of overflowing; the caller wraps to 32 bits like the
    // platform does for hexadecimal colours.
    if (value < (1LL << 40)) value = value * base + digit;
  }
  if (!any && base == 16) any = true;  // "0x" alone is the number 0
  *pos = i;
  if (!any) return std::nullopt;
  return negative ? -value : value;
}

}  // namespace

int ParseProfileInt(std::wstring_view text, int defaultValue) {
  size_t pos = 0;
  auto v = ParseInteger(text, &pos);
  if (!v) return text.empty() ? defaultValue : 0;
  return static_cast<int>(static_cast<unsigned long long>(*v) & 0xFFFFFFFFu);
}

std::wstring FormatColour(unsigned colour) {
  wchar_t buf[16];
  std::swprintf(buf, 16, L"0x%02X%02X%02X", (colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
  return buf;
}

SavedRect ParseRect(std::wstring_view text) {
  SavedRect r;
  int* fields[] = {&r.left, &r.top, &r.right, &r.bottom};
  size_t pos = 0;
  for (int* f : fields) {
    // sscanf("%d %d %d %d") semantics: decimal only, stop at the first miss.
    size_t i = pos;
    while (i < text.size() && std::iswspace(text[i])) ++i;
    size_t start = i;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) ++i;
    size_t digits = i;
    long long v = 0;
    while (i < text.size() && text[i] >= L'0' && text[i] <= L'9') {
      if (v < std::numeric_limits<int>::max()) v = v * 10 + (text[i] - L'0');
      ++i;
    }
    if (i == digits) break;
    if (text[start] == L'-') v = -v;
    *f = static_cast<int>(v);
    pos = i;
  }
  return r;
}

std::wstring FormatRect(const SavedRect& r) {
  wchar_t buf[64];
  std::swprintf(buf, 64, L"%d %d %d %d", r.left, r.top, r.right, r.bottom);
  return buf;
}

}  // namespace zul
