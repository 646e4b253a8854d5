#include "base/text_codec.h"

#include <cstdint>

namespace zul {
namespace {

constexpr bool kWideIsUtf16 = sizeof(wchar_t) == 2;

bool IsHighSurrogate(uint32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(uint32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Walks a UTF-16 or UTF-32 sequence as code points; unpaired surrogates are
// passed through as themselves.
template <class Char, class Fn>
void ForEachCodePoint(std::basic_string_view<Char> text, Fn fn) {
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t c = static_cast<uint32_t>(text[i]);
    if constexpr (sizeof(Char) == 2) {
      if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(static_cast<uint32_t>(text[i + 1]))) {
        c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<uint32_t>(text[i + 1]) - 0xDC00);
        ++i;
      }
    }
    fn(c);
  }
}

template <class Str>
void AppendCodePoint(Str& out, uint32_t c) {
  using Char = typename Str::value_type;
  if (sizeof(Char) == 2 && c >= 0x10000) {
    c -= 0x10000;
    out.push_back(static_cast<Char>(0xD800 + (c >> 10)));
    out.push_back(static_cast<Char>(0xDC00 + (c & 0x3FF)));
  } else {
    out.push_back(static_cast<Char>(c));
  }
}

}  // namespace

std::u16string ToU16(std::wstring_view text) {
  std::u16string out;
  out.reserve(text.size());
  if constexpr (kWideIsUtf16) {
    for (wchar_t c : text) out.push_back(static_cast<char16_t>(c));
  } else {
    ForEachCodePoint(text, [&](uint32_t c) { AppendCodePoint(out, c > 0x10FFFF ? 0xFFFD : c); });
  }
  return out;
}

std::wstring FromU16(std::u16string_view text) {
  std::wstring out;
  out.reserve(text.size());
  if constexpr (kWideIsUtf16) {
    for (char16_t c : text) out.push_back(static_cast<wchar_t>(c));
  } else {
    ForEachCodePoint(text, [&](uint32_t c) { out.push_back(static_cast<wchar_t>(c)); });
  }
  return out;
}

std::string EncodeUtf8(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  ForEachCodePoint(text, [&](uint32_t c) {
    // Pairs were joined above: any surrogate left here is unpaired.
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  });
  return out;
}

std::optional<std::wstring> DecodeUtf8(std::string_view bytes) {
  std::wstring out;
  out.reserve(bytes.size());
  size_t i = 0;
  while (i < bytes.size()) {
    uint32_t b = static_cast<unsigned char>(bytes[i]);
    int extra;
    uint32_t c;
    uint32_t min;
    if (b < 0x80) {
      out.push_back(static_cast<wchar_t>(b));
      ++i;
      continue;
    } else if ((b & 0xE0) == 0xC0) {
      extra = 1, c = b & 0x1F, min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
      extra = 2, c = b & 0x0F, min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
      extra = 3, c = b & 0x07, min = 0x10000;
    } else {
      return std::nullopt;
    }
    if (bytes.size() - i <= static_cast<size_t>(extra)) return std::nullopt;
    for (int k = 1; k <= extra; ++k) {
      uint32_t cont = static_cast<unsigned char>(bytes[i + k]);
      if ((cont & 0xC0) != 0x80) return std::nullopt;
      c = (c << 6) | (cont & 0x3F);
    }
    if (c < min || c > 0x10FFFF) return std::nullopt;
    AppendCodePoint(out, c);
    i += static_cast<size_t>(extra) + 1;
  }
  return out;
}

std::wstring FromLatin1(std::string_view bytes) {
  std::wstring out;
  out.reserve(bytes.size());
  for (char b : bytes) out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(b)));
  return out;
}

std::optional<std::string> ToLatin1(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (wchar_t c : text) {
    if (static_cast<uint32_t>(c) > 0xFF) return std::nullopt;
    out.push_back(static_cast<char>(static_cast<unsigned char>(c)));
  }
  return out;
}

int CompareNoCase(std::wstring_view a, std::wstring_view b) {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    uint32_t x = static_cast<uint32_t>(FoldAscii(a[i]));
    uint32_t y = static_cast<uint32_t>(FoldAscii(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool EqualNoCase(std::wstring_view a, std::wstring_view b) { return a.size() == b.size() && CompareNoCase(a, b) == 0; }

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(static_cast<unsigned char>(a[i])) != FoldAscii(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
  return text.size() >= prefix.size() && CompareNoCase(text.substr(0, prefix.size()), prefix) == 0;
}

bool EndsWithNoCase(std::wstring_view text, std::wstring_view suffix) {
  return text.size() >= suffix.size() && CompareNoCase(text.substr(text.size() - suffix.size()), suffix) == 0;
}

}  // namespace zul

namespace zul {
std::wstring TwoDigits(int value) {
  std::wstring digits = std::to_wstring(value);
  if (digits.size() < 2) digits.insert(0, 1, L'0');
  return digits;
}
}  // namespace zul

namespace zul {
int ParseLeadingInt(std::wstring_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
  long long value = 0;
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
    if (value <= 2147483648LL) value = value * 10 + (text[i] - L'0');
  }
  if (negative) value = -value;
  if (value > 2147483647LL) return 2147483647;
  if (value < -2147483647LL - 1) return -2147483647 - 1;
  return static_cast<int>(value);
}
}  // namespace zul
