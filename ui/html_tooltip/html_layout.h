#pragma once
// Lays out a parsed tooltip document: text flows in lines no wider than the
// limit (words longer than a line are broken), "center" and "right" align
// their lines, tables share their width between columns, and pictures take
// the size the renderer reports. The result is a list of drawing steps in
// tooltip coordinates; the renderer only draws them.
#include <cstdint>
#include <string>
#include <vector>

#include "ui/html_tooltip/html_document.h"

namespace zul::html {

struct TextStyle {
  bool bold = false;
  bool italic = false;
  bool heading = false;
  uint32_t colour = 0;  // COLORREF
  bool operator==(const TextStyle&) const = default;
};

struct PictureRef {
  Tag kind = Tag::Icon;  // Icon, Bmp (resource pictures) or Img (a file)
  int resource = 0;
  std::wstring file;
  int width = 0;  // asked for; 0 = the picture's own
  int height = 0;
  bool mask = false;
};

struct Size {
  int w = 0;
  int h = 0;
};

class Measurer {
public:
  virtual Size Text(std::wstring_view text, const TextStyle& style) = 0;
  virtual Size Picture(const PictureRef& picture) = 0;

protected:
  ~Measurer() = default;
};

struct DrawOp {
  enum class Kind { Text, Picture, Line } kind = Kind::Text;
  int x = 0, y = 0, w = 0, h = 0;
  TextStyle style;
  std::wstring text;
  PictureRef picture;
  uint32_t colour = 0;  // Line
};

struct Layout {
  int width = 0;
  int height = 0;
  std::vector<DrawOp> ops;
};

inline constexpr int kCellPadding = 2;
inline constexpr int kMaxTableNesting = 4;

Layout LayOut(const Node& root, Measurer& measure, int maxWidth, uint32_t textColour);

}  // namespace zul::html
