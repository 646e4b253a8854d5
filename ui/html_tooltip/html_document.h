#pragma once
// The tooltip's small HTML: a tree of elements and text parsed from the
// expanded template, whose tag values come from files' tags and names, so
// anything may be in them. Parsing never fails: unknown tags keep only
// their content, unclosed tags close at the end, a "<" that starts no tag
// is text, and entities other than the five known ones stay as written.
// Depth and size are bounded, so a hostile text costs a bounded tree.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zul::html {

enum class Tag : uint8_t {
  Root,
  Text,
  Table,
  Tr,
  Td,
  Center,
  Right,
  H2,
  B,
  I,
  Br,
  Font,
  Icon,
  Bmp,
  Img,
  Hr,
  A,
  Unknown
};

struct Node {
  Tag tag = Tag::Root;
  std::wstring text;                                              // Text: the characters, whitespace collapsed
  std::vector<std::pair<std::wstring, std::wstring>> attributes;  // names in lower case
  std::vector<std::unique_ptr<Node>> children;

  // The attribute's value, or nullptr. A bare attribute ("mask") has "".
  const std::wstring* Attribute(std::wstring_view name) const;
  int IntAttribute(std::wstring_view name, int fallback) const;
};

inline constexpr int kMaxDepth = 24;
inline constexpr size_t kMaxNodes = 2048;
// Characters of text kept; a tooltip never shows more, and the rest of the
// input is not parsed.
inline constexpr size_t kMaxTextChars = 16384;

std::unique_ptr<Node> Parse(std::wstring_view text);

// "#RRGGBB", "RRGGBB" or one of a few colour names, as 0x00BBGGRR (a
// COLORREF); fallback when it is none of these.
uint32_t ParseColour(std::wstring_view text, uint32_t fallback);

}  // namespace zul::html
