#pragma once
// Value encodings of the settings file, shared by every reader and writer.
#include <optional>
#include <string>
#include <string_view>

namespace zul {

// Integer as GetPrivateProfileInt reads it: optional blanks and sign, then
// decimal digits, or hexadecimal after "0x"; reading stops at the first
// character that does not fit; text with no digits gives the default.
int ParseProfileInt(std::wstring_view text, int defaultValue);

// "0x%02X%02X%02X" of bits 16-23, 8-15 and 0-7 (a COLORREF: blue, green, red).
std::wstring FormatColour(unsigned colour);

struct SavedRect {
  static constexpr int kNotSaved = -1000;
  int left = kNotSaved, top = kNotSaved, right = kNotSaved, bottom = kNotSaved;
  bool operator==(const SavedRect&) const = default;
};

// "%d %d %d %d"; fields that do not parse keep -1000.
SavedRect ParseRect(std::wstring_view text);
std::wstring FormatRect(const SavedRect& r);

}  // namespace zul
