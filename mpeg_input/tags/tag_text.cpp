#include "mpeg_input/tags/tag_text.h"

#include "mpeg_input/tags/tag_platform.h"

namespace zul::tags {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

std::size_t UnitsOf(char32_t cp) { return cp >= 0x10000 ? 2 : 1; }

// Collects code points until the unit budget is spent.
class WideBuilder {
public:
  explicit WideBuilder(std::size_t maxUnits) : maxUnits_(maxUnits) {}

  // False once the budget is exhausted: a code point that does not fit whole
  // is dropped rather than split.
  bool Add(char32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = kReplacement;
    std::size_t n = UnitsOf(cp);
    if (units_ + n > maxUnits_) {
      full_ = true;
      return false;
    }
    AppendCodePoint(out_, cp);
    units_ += n;
    return true;
  }
  bool full() const { return full_; }
  std::wstring Take() { return std::move(out_); }

private:
  std::wstring out_;
  std::size_t units_ = 0;
  std::size_t maxUnits_;
  bool full_ = false;
};

}  // namespace

void AppendCodePoint(std::wstring& out, char32_t cp) {
  if constexpr (sizeof(wchar_t) == 2) {
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
      return;
    }
  }
  out.push_back(static_cast<wchar_t>(cp));
}

std::wstring DecodeLatin1(Bytes bytes, std::size_t maxUnits) {
  WideBuilder b(maxUnits);
  for (std::uint8_t c : bytes) {
    if (c == 0 || !b.Add(c)) break;
  }
  return b.Take();
}

std::wstring DecodeAnsi(Bytes bytes, std::size_t maxUnits) {
  std::size_t n = 0;
  while (n < bytes.size() && bytes[n] != 0) ++n;
  std::wstring text = WideFromAnsi(std::string_view(reinterpret_cast<const char*>(bytes.data()), n));
  CutToUtf16Units(text, maxUnits);
  return text;
}

std::wstring DecodeUtf8(Bytes bytes, std::size_t maxUnits) {
  WideBuilder b(maxUnits);
  std::size_t i = 0;
  if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) i = 3;
  while (i < bytes.size() && bytes[i] != 0) {
    std::uint8_t lead = bytes[i];
    char32_t cp;
    std::size_t extra;
    char32_t minimum;
    if (lead < 0x80) {
      cp = lead, extra = 0, minimum = 0;
    } else if ((lead & 0xE0) == 0xC0) {
      cp = lead & 0x1F, extra = 1, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      cp = lead & 0x0F, extra = 2, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      cp = lead & 0x07, extra = 3, minimum = 0x10000;
    } else {
      if (!b.Add(kReplacement)) break;
      ++i;
      continue;
    }
    std::size_t j = 1;
    for (; j <= extra; ++j) {
      if (i + j >= bytes.size() || (bytes[i + j] & 0xC0) != 0x80) break;
      cp = (cp << 6) | (bytes[i + j] & 0x3F);
    }
    if (j <= extra) {
      // Truncated sequence: one replacement, resume at the byte that broke it.
      if (!b.Add(kReplacement)) break;
      i += j;
      continue;
    }
    if (cp < minimum) cp = kReplacement;  // overlong form
    if (!b.Add(cp)) break;
    i += extra + 1;
  }
  return b.Take();
}

std::wstring DecodeUtf16(Bytes bytes, bool bigEndian, std::size_t maxUnits) {
  std::size_t i = 0;
  if (bytes.size() >= 2) {
    if (bytes[0] == 0xFF && bytes[1] == 0xFE) {
      bigEndian = false;
      i = 2;
    } else if (bytes[0] == 0xFE && bytes[1] == 0xFF) {
      bigEndian = true;
      i = 2;
    }
  }
  auto unitAt = [&](std::size_t k) -> char16_t {
    return bigEndian ? static_cast<char16_t>(bytes[k] << 8 | bytes[k + 1])
                     : static_cast<char16_t>(bytes[k + 1] << 8 | bytes[k]);
  };
  WideBuilder b(maxUnits);
  while (i + 1 < bytes.size()) {
    char16_t u = unitAt(i);
    if (u == 0) break;
    i += 2;
    char32_t cp = u;
    if (u >= 0xD800 && u <= 0xDBFF) {
      if (i + 1 < bytes.size()) {
        char16_t low = unitAt(i);
        if (low >= 0xDC00 && low <= 0xDFFF) {
          cp = 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (low - 0xDC00);
          i += 2;
        } else {
          cp = kReplacement;
        }
      } else {
        cp = kReplacement;
      }
    } else if (u >= 0xDC00 && u <= 0xDFFF) {
      cp = kReplacement;
    }
    if (!b.Add(cp)) break;
  }
  return b.Take();
}

std::size_t Utf16Units(std::wstring_view text) {
  if constexpr (sizeof(wchar_t) == 2) {
    return text.size();
  } else {
    std::size_t n = 0;
    for (wchar_t c : text) {
      auto cp = static_cast<std::uint32_t>(c);
      n += cp >= 0x10000 ? 2 : 1;
    }
    return n;
  }
}

void CutToUtf16Units(std::wstring& text, std::size_t maxUnits) {
  std::size_t units = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    auto c = static_cast<std::uint32_t>(text[i]);
    std::size_t n = 1;
    if constexpr (sizeof(wchar_t) == 2) {
      if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) n = 2;
    } else {
      if (c >= 0x10000) n = 2;
    }
    if (units + n > maxUnits) {
      text.resize(i);
      return;
    }
    units += n;
    if constexpr (sizeof(wchar_t) == 2) i += n - 1;
  }
}

void TrimTrailingBlanks(std::wstring& text) {
  std::size_t n = text.size();
  while (n > 0 && (text[n - 1] == L' ' || text[n - 1] == L'\t' || text[n - 1] == L'\r' || text[n - 1] == L'\n')) --n;
  text.resize(n);
}

}  // namespace zul::tags
