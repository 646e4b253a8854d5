#include "ui/html_tooltip/html_layout.h"

#include <algorithm>

namespace zul::html {
namespace {

enum class Align { Left, Center, Right };

// One piece of a line: a word, a space, a picture, a forced break or a
// block (table, rule) that takes a line of its own.
struct Atom {
  enum class Kind { Word, Space, Picture, Break, Block } kind = Kind::Word;
  std::wstring text;
  TextStyle style;
  PictureRef picture;
  Align align = Align::Left;
  Layout block;       // Block: laid out already
  bool rule = false;  // Block: a horizontal rule, as wide as the line
  uint32_t colour = 0;
  Size size;
};

class LayoutEngine {
public:
  explicit LayoutEngine(Measurer& m) : m_(m) {}

  // fill: aligned lines use the whole maxWidth (a table cell of a known
  // width); otherwise the content's own width (what it needs).
  Layout Flow(const Node& node, int maxWidth, TextStyle style, Align align, int tableDepth, bool fill = false) {
    std::vector<Atom> atoms;
    Collect(node, style, align, maxWidth, tableDepth, atoms);
    return Place(atoms, std::max(1, maxWidth), fill);
  }

private:
  void Collect(const Node& node, TextStyle style, Align align, int maxWidth, int tableDepth, std::vector<Atom>& out) {
    for (const auto& childPtr : node.children) {
      const Node& c = *childPtr;
      switch (c.tag) {
        case Tag::Text:
          Words(c.text, style, align, out);
          break;
        case Tag::B: {
          TextStyle s = style;
          s.bold = true;
          Collect(c, s, align, maxWidth, tableDepth, out);
          break;
        }
        case Tag::I: {
          TextStyle s = style;
          s.italic = true;
          Collect(c, s, align, maxWidth, tableDepth, out);
          break;
        }
        case Tag::H2: {
          TextStyle s = style;
          s.heading = true;
          s.bold = true;
          Breakable(out, align);
          Collect(c, s, align, maxWidth, tableDepth, out);
          Breakable(out, align);
          break;
        }
        case Tag::Font: {
          TextStyle s = style;
          if (const std::wstring* colour = c.Attribute(L"color")) s.colour = ParseColour(*colour, s.colour);
          Collect(c, s, align, maxWidth, tableDepth, out);
          break;
        }
        case Tag::Center:
        case Tag::Right: {
          const Align a = c.tag == Tag::Center ? Align::Center : Align::Right;
          Breakable(out, a);
          Collect(c, style, a, maxWidth, tableDepth, out);
          Breakable(out, a);
          break;
        }
        case Tag::Br: {
          Atom b;
          b.kind = Atom::Kind::Break;
          b.align = align;
          out.push_back(std::move(b));
          break;
        }
        case Tag::Icon:
        case Tag::Bmp:
        case Tag::Img: {
          Atom p;
          p.kind = Atom::Kind::Picture;
          p.align = align;
          p.picture.kind = c.tag;
          p.picture.resource = c.IntAttribute(L"idres", 0);
          if (const std::wstring* src = c.Attribute(L"src")) p.picture.file = *src;
          if (const std::wstring* file = c.Attribute(L"file")) p.picture.file = *file;
          p.picture.width = std::clamp(c.IntAttribute(L"width", 0), 0, 256);
          p.picture.height = std::clamp(c.IntAttribute(L"height", 0), 0, 256);
          p.picture.mask = c.Attribute(L"mask") != nullptr;
          p.size = m_.Picture(p.picture);
          p.size.w = std::clamp(p.size.w, 0, 256);
          p.size.h = std::clamp(p.size.h, 0, 256);
          out.push_back(std::move(p));
          break;
        }
        case Tag::Hr: {
          Atom r;
          r.kind = Atom::Kind::Block;
          r.rule = true;
          r.colour = c.Attribute(L"color") ? ParseColour(*c.Attribute(L"color"), 0x808080) : 0x808080;
          r.size = Size{0, 5};
          out.push_back(std::move(r));
          break;
        }
        case Tag::Table:
          if (tableDepth < kMaxTableNesting) {
            Atom t;
            t.kind = Atom::Kind::Block;
            t.align = align;
            t.block = Table(c, maxWidth, style, tableDepth + 1);
            t.size = Size{t.block.width, t.block.height};
            out.push_back(std::move(t));
          } else {
            Collect(c, style, align, maxWidth, tableDepth, out);
          }
          break;
        default:  // a, td or tr outside a table, the root
          Collect(c, style, align, maxWidth, tableDepth, out);
          break;
      }
    }
  }

  // A line break that does not add an empty line where one just ended.
  static void Breakable(std::vector<Atom>& out, Align align) {
    if (out.empty() || out.back().kind == Atom::Kind::Break || out.back().kind == Atom::Kind::Block) return;
    Atom b;
    b.kind = Atom::Kind::Break;
    b.align = align;
    out.push_back(std::move(b));
  }

  void Words(const std::wstring& text, const TextStyle& style, Align align, std::vector<Atom>& out) {
    size_t p = 0;
    while (p < text.size()) {
      if (text[p] == L' ') {
        Atom s;
        s.kind = Atom::Kind::Space;
        s.style = style;
        s.align = align;
        s.size = m_.Text(L" ", style);
        out.push_back(std::move(s));
        ++p;
        continue;
      }
      size_t end = text.find(L' ', p);
      if (end == std::wstring::npos) end = text.size();
      Atom w;
      w.kind = Atom::Kind::Word;
      w.text = text.substr(p, end - p);
      w.style = style;
      w.align = align;
      w.size = m_.Text(w.text, style);
      out.push_back(std::move(w));
      p = end;
    }
  }

  // The longest prefix of a word that fits the width (at least one
  // character, so a line always advances).
  size_t FittingPrefix(std::wstring_view word, const TextStyle& style, int width) {
    size_t lo = 1, hi = word.size();
    while (lo < hi) {
      const size_t mid = (lo + hi + 1) / 2;
      if (m_.Text(word.substr(0, mid), style).w <= width)
        lo = mid;
      else
        hi = mid - 1;
    }
    return lo;
  }

  // A laid line or block: its steps in result.ops, placed at x = 0 until the
  // width to align in is known.
  struct Span {
    size_t begin, end;
    int width;
    Align align;
    bool rule;
  };

  Layout Place(std::vector<Atom>& atoms, int maxWidth, bool fill) {
    Layout result;
    std::vector<Span> spans;
    std::vector<DrawOp> line;
    int x = 0, y = 0, lineH = 0, widest = 0;
    Align lineAlign = Align::Left;
    auto finish = [&](bool force) {
      // Trailing spaces do not count.
      while (!line.empty() && line.back().kind == DrawOp::Kind::Text && line.back().text == L" ") {
        x -= line.back().w;
        line.pop_back();
      }
      if (line.empty() && !force) return;
      const size_t begin = result.ops.size();
      for (DrawOp& op : line) {
        op.y = y + (lineH - op.h);  // on a common baseline at the bottom
        result.ops.push_back(std::move(op));
      }
      spans.push_back(Span{begin, result.ops.size(), x, lineAlign, false});
      widest = std::max(widest, x);
      y += lineH;
      line.clear();
      x = 0;
      lineH = 0;
    };
    for (Atom& a : atoms) {
      if (line.empty()) lineAlign = a.align;
      switch (a.kind) {
        case Atom::Kind::Break: {
          const bool emptyLine = line.empty();
          if (emptyLine) lineH = m_.Text(L" ", a.style).h;
          finish(emptyLine);
          break;
        }
        case Atom::Kind::Block: {
          finish(false);
          const size_t begin = result.ops.size();
          if (a.rule) {
            DrawOp op;
            op.kind = DrawOp::Kind::Line;
            op.h = a.size.h;
            op.colour = a.colour;
            op.y = y;
            result.ops.push_back(op);
            spans.push_back(Span{begin, result.ops.size(), 0, Align::Left, true});
            y += a.size.h;
          } else {
            for (DrawOp op : a.block.ops) {
              op.y += y;
              result.ops.push_back(std::move(op));
            }
            spans.push_back(Span{begin, result.ops.size(), a.size.w, a.align, false});
            y += a.size.h;
            widest = std::max(widest, a.size.w);
          }
          break;
        }
        case Atom::Kind::Space:
          if (line.empty()) break;  // no space at a line's start
          [[fallthrough]];
        case Atom::Kind::Word:
        case Atom::Kind::Picture: {
          if (x + a.size.w > maxWidth && !line.empty() && a.kind != Atom::Kind::Space) finish(false);
          if (a.kind == Atom::Kind::Space && x + a.size.w > maxWidth) {
            finish(false);
            break;
          }
          if (a.kind == Atom::Kind::Word && a.size.w > maxWidth) {
            // Longer than a line: cut it into pieces that fit.
            std::wstring_view rest = a.text;
            while (!rest.empty()) {
              const size_t n = FittingPrefix(rest, a.style, maxWidth);
              DrawOp op;
              op.kind = DrawOp::Kind::Text;
              op.text = rest.substr(0, n);
              const Size s = m_.Text(op.text, a.style);
              op.w = s.w;
              op.h = s.h;
              op.style = a.style;
              op.x = x;
              line.push_back(std::move(op));
              x += s.w;
              lineH = std::max(lineH, s.h);
              rest.remove_prefix(n);
              if (!rest.empty()) finish(false);
            }
            break;
          }
          DrawOp op;
          op.kind = a.kind == Atom::Kind::Picture ? DrawOp::Kind::Picture : DrawOp::Kind::Text;
          op.text = a.kind == Atom::Kind::Space ? L" " : std::move(a.text);
          op.picture = std::move(a.picture);
          op.style = a.style;
          op.x = x;
          op.w = a.size.w;
          op.h = a.size.h;
          line.push_back(std::move(op));
          x += a.size.w;
          lineH = std::max(lineH, a.size.h);
          break;
        }
      }
    }
    finish(false);
    const int alignWidth = fill ? maxWidth : std::min(widest, maxWidth);
    for (const Span& span : spans) {
      int shift = 0;
      if (span.align == Align::Center) shift = std::max(0, (alignWidth - span.width) / 2);
      if (span.align == Align::Right) shift = std::max(0, alignWidth - span.width);
      for (size_t i = span.begin; i < span.end; ++i) {
        result.ops[i].x += shift;
        if (span.rule) result.ops[i].w = alignWidth;
      }
    }
    result.width = alignWidth;
    result.height = y;
    return result;
  }

  struct Cell {
    const Node* node;
    size_t column;
    size_t span;
  };

  Layout Table(const Node& table, int maxWidth, TextStyle style, int depth) {
    std::vector<std::vector<Cell>> rows;
    size_t columns = 0;
    for (const auto& rowPtr : table.children) {
      if (rowPtr->tag != Tag::Tr) continue;
      std::vector<Cell> row;
      size_t column = 0;
      for (const auto& cellPtr : rowPtr->children) {
        if (cellPtr->tag != Tag::Td) continue;
        const size_t span = static_cast<size_t>(std::clamp(cellPtr->IntAttribute(L"colspan", 1), 1, 64));
        row.push_back(Cell{cellPtr.get(), column, span});
        column += span;
      }
      columns = std::max(columns, column);
      rows.push_back(std::move(row));
    }
    Layout result;
    if (columns == 0) return result;

    // Natural widths, single-span cells first, then spans widen their last
    // column by what they lack.
    std::vector<int> widths(columns, 0);
    std::vector<std::vector<int>> natural(rows.size());
    for (size_t r = 0; r < rows.size(); ++r)
      for (const Cell& c : rows[r]) {
        const int w = Flow(*c.node, maxWidth, style, Align::Left, depth).width + 2 * kCellPadding;
        natural[r].push_back(w);
        if (c.span == 1) widths[c.column] = std::max(widths[c.column], w);
      }
    for (size_t r = 0; r < rows.size(); ++r)
      for (size_t i = 0; i < rows[r].size(); ++i) {
        const Cell& c = rows[r][i];
        if (c.span == 1) continue;
        const size_t last = std::min(columns, c.column + c.span) - 1;
        int sum = 0;
        for (size_t k = c.column; k <= last; ++k) sum += widths[k];
        if (natural[r][i] > sum) widths[last] += natural[r][i] - sum;
      }
    long long total = 0;
    for (int w : widths) total += w;
    if (total > maxWidth && total > 0)
      for (int& w : widths)
        w = std::max(2 * kCellPadding + 1, static_cast<int>(w * static_cast<long long>(maxWidth) / total));

    int y = 0, tableW = 0;
    for (int w : widths) tableW += w;
    for (const auto& row : rows) {
      int rowH = 0;
      std::vector<std::pair<int, Layout>> laid;
      for (const Cell& c : row) {
        int x = 0, w = 0;
        for (size_t k = 0; k < c.column && k < columns; ++k) x += widths[k];
        for (size_t k = c.column; k < std::min(columns, c.column + c.span); ++k) w += widths[k];
        Layout cell = Flow(*c.node, std::max(1, w - 2 * kCellPadding), style, Align::Left, depth, true);
        rowH = std::max(rowH, cell.height + 2 * kCellPadding);
        laid.emplace_back(x + kCellPadding, std::move(cell));
      }
      for (auto& [x, cell] : laid)
        for (DrawOp op : cell.ops) {
          op.x += x;
          op.y += y + kCellPadding;
          result.ops.push_back(std::move(op));
        }
      y += rowH;
    }
    result.width = tableW;
    result.height = y;
    return result;
  }

  Measurer& m_;
};

}  // namespace

Layout LayOut(const Node& root, Measurer& measure, int maxWidth, uint32_t textColour) {
  TextStyle style;
  style.colour = textColour;
  return LayoutEngine(measure).Flow(root, maxWidth, style, Align::Left, 0);
}

}  // namespace zul::html
