#pragma once
// Text decoding for the tag readers. Every decoder stops at the first
// terminator (a zero byte, or a zero 16-bit unit for UTF-16), never reads past
// the bytes it is given, replaces malformed sequences by U+FFFD and cuts the
// result to a number of UTF-16 code units without splitting a surrogate pair.
// Counting in UTF-16 units keeps the cut in the same place whether wchar_t is
// 16 bits (Windows) or 32 bits (the native build).
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace zul::tags {

using Bytes = std::span<const std::uint8_t>;

// Tag values are cut to this many UTF-16 units (a 512-character buffer).
inline constexpr std::size_t kTagValueUnits = 511;

std::wstring DecodeLatin1(Bytes bytes, std::size_t maxUnits = kTagValueUnits);
// The system ANSI code page on Windows, Latin-1 elsewhere.
std::wstring DecodeAnsi(Bytes bytes, std::size_t maxUnits = kTagValueUnits);
// A leading byte-order mark is skipped.
std::wstring DecodeUtf8(Bytes bytes, std::size_t maxUnits = kTagValueUnits);
// With a byte-order mark at the start it decides the byte order; without one,
// `bigEndian` does.
std::wstring DecodeUtf16(Bytes bytes, bool bigEndian, std::size_t maxUnits = kTagValueUnits);

// Length of a wide string in UTF-16 code units.
std::size_t Utf16Units(std::wstring_view text);
// Cuts `text` to at most `maxUnits` UTF-16 units, never inside a pair.
void CutToUtf16Units(std::wstring& text, std::size_t maxUnits);

// Appends one code point in the platform's wide encoding.
void AppendCodePoint(std::wstring& out, char32_t cp);

// Strips trailing blanks (spaces, tabs, line ends).
void TrimTrailingBlanks(std::wstring& text);

}  // namespace zul::tags
