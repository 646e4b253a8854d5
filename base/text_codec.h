#pragma once
// The program's one set of text conversions and case-folding compares.
// wchar_t is UTF-16 in the Windows build and UTF-32 in the native build;
// every function here gives the same result in both.
#include <optional>
#include <string>
#include <string_view>

namespace zul {

// Entries keep their texts as UTF-16 so that an entry costs the same in both
// builds (a native wchar_t would double every text).
std::u16string ToU16(std::wstring_view text);
std::wstring FromU16(std::u16string_view text);

// UTF-8. An unpaired surrogate has no UTF-8 form: it becomes U+FFFD, so that
// what is written is UTF-8 every other reader accepts.
std::string EncodeUtf8(std::wstring_view text);
// Nothing when the bytes are not UTF-8 (bad lead or continuation bytes,
// overlong forms, code points above U+10FFFF). The three-byte form of a
// surrogate is taken as that surrogate: files written before the encoder
// replaced unpaired surrogates still read back as they were written.
std::optional<std::wstring> DecodeUtf8(std::string_view bytes);

// One character per byte, the 8-bit playlist format.
std::wstring FromLatin1(std::string_view bytes);
// Nothing when a character is above U+00FF.
std::optional<std::string> ToLatin1(std::wstring_view text);

// ASCII-only case folding, as the C runtime's case-insensitive comparisons do
// in the "C" locale the program runs in.
inline wchar_t FoldAscii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c; }
int CompareNoCase(std::wstring_view a, std::wstring_view b);  // <0, 0, >0
bool EqualNoCase(std::wstring_view a, std::wstring_view b);
bool EqualNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix);
bool EndsWithNoCase(std::wstring_view text, std::wstring_view suffix);

}  // namespace zul

namespace zul {
// "%02d": zero-padded to two characters.
std::wstring TwoDigits(int value);
}  // namespace zul

namespace zul {
// The leading decimal number as _wtoi reads it (blanks, a sign, digits),
// clamped to the int range; 0 when there is none.
int ParseLeadingInt(std::wstring_view text);
}  // namespace zul
