// The tooltip's HTML parser and layout, with a measurer of fixed glyph
// sizes so that every position can be worked out by hand.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "app/tray/tooltip_text.h"
#include "base/settings.h"
#include "ui/html_tooltip/html_document.h"
#include "ui/html_tooltip/html_layout.h"

namespace zul::html {
namespace {

// 7 x 12 per character (10 x 16 in a heading); pictures 16 x 16 unless sized.
class FixedMeasurer final : public Measurer {
public:
  Size Text(std::wstring_view text, const TextStyle& s) override {
    ++calls;
    return Size{static_cast<int>(text.size()) * (s.heading ? 10 : 7), s.heading ? 16 : 12};
  }
  Size Picture(const PictureRef& p) override { return Size{p.width ? p.width : 16, p.height ? p.height : 16}; }
  long calls = 0;
};

std::wstring AllText(const Layout& l) {
  std::wstring out;
  for (const DrawOp& op : l.ops)
    if (op.kind == DrawOp::Kind::Text) out += op.text;
  return out;
}

void ExpectInside(const Layout& l, int maxWidth) {
  EXPECT_LE(l.width, maxWidth);
  for (const DrawOp& op : l.ops) {
    EXPECT_GE(op.x, 0);
    EXPECT_LE(op.x + op.w, maxWidth) << std::string(op.text.begin(), op.text.end());
    EXPECT_GE(op.y, 0);
    EXPECT_LE(op.y + op.h, l.height);
  }
}

TEST(HtmlTooltip, ParsesTheTagsOfTheTemplate) {
  auto doc = Parse(
      L"<table><tr><td colspan=3><hr color=blue></td></tr><tr><td><B>x</b><icon idres=248 "
      L"width=16 height=16 style=g hotstyle></td></tr></table>");
  ASSERT_EQ(doc->children.size(), 1u);
  const Node& table = *doc->children[0];
  EXPECT_EQ(table.tag, Tag::Table);
  ASSERT_EQ(table.children.size(), 2u);
  const Node& cell = *table.children[0]->children[0];
  EXPECT_EQ(cell.IntAttribute(L"colspan", 1), 3);
  EXPECT_EQ(ParseColour(*cell.children[0]->Attribute(L"color"), 0), 0xFF0000u);
  const Node& second = *table.children[1]->children[0];
  ASSERT_EQ(second.children.size(), 2u);
  EXPECT_EQ(second.children[0]->tag, Tag::B);  // tag names in any case
  EXPECT_EQ(second.children[1]->IntAttribute(L"idres", 0), 248);
  EXPECT_NE(second.children[1]->Attribute(L"hotstyle"), nullptr);
}

TEST(HtmlTooltip, HostileTextIsShownNotObeyed) {
  struct Case {
    const wchar_t* html;
    const wchar_t* shown;
  } cases[] = {
      {L"a < b & c > d", L"a < b & c > d"},
      {L"Tom &amp; Jerry &bogus; &lt;b&gt;", L"Tom & Jerry &bogus; <b>"},
      {L"<blink>unknown</blink> tags", L"unknown tags"},
      {L"<b>unclosed <i>tags", L"unclosed tags"},
      {L"</td></tr></table>stray closers", L"stray closers"},
      {L"<", L"<"},
      {L"<b", L"<b"},
      {L"<icon idres=99999999999999999999>", L""},
      {L"line\r\nbreaks\tand   blanks", L"line breaks and blanks"},
  };
  for (const Case& c : cases) {
    FixedMeasurer m;
    auto doc = Parse(c.html);
    Layout l = LayOut(*doc, m, 400, 0);
    EXPECT_EQ(AllText(l), c.shown) << std::wstring(c.html).c_str();
    ExpectInside(l, 400);
  }
}

TEST(HtmlTooltip, DeepAndHugeInputStaysBounded) {
  std::wstring deep;
  for (int i = 0; i < 20000; ++i) deep += L"<table><tr><td><b>";
  deep += L"bottom";
  FixedMeasurer m;
  auto doc = Parse(deep);
  size_t depth = 0;
  for (const Node* n = doc.get(); !n->children.empty(); n = n->children.back().get()) ++depth;
  EXPECT_LE(depth, static_cast<size_t>(kMaxDepth) + 2);
  Layout l = LayOut(*doc, m, 400, 0);
  ExpectInside(l, 400);
  EXPECT_LT(m.calls, 200000);  // nested tables do not multiply the work without end

  std::wstring many;
  for (int i = 0; i < 100000; ++i) many += L"<br>";
  size_t nodes = Parse(many)->children.size();
  EXPECT_LE(nodes, kMaxNodes);
}

TEST(HtmlTooltip, LongWordsBreakWithinTheWidth) {
  FixedMeasurer m;
  const std::wstring title(5000, L'W');
  auto doc = Parse(L"<table><tr><td>Title :</td><td> " + title + L"</td></tr></table>");
  Layout l = LayOut(*doc, m, 420, 0);
  ExpectInside(l, 420);
  std::wstring shown = AllText(l);
  EXPECT_EQ(std::count(shown.begin(), shown.end(), L'W'), 5000);
}

TEST(HtmlTooltip, AlignmentAndTableColumns) {
  FixedMeasurer m;
  // A 20-character line sets the width; "ab" centred and right-aligned.
  auto doc = Parse(L"aaaaaaaaaaaaaaaaaaaa<center>ab</center><right>cd</right>");
  Layout l = LayOut(*doc, m, 140, 0);
  ASSERT_EQ(l.ops.size(), 3u);
  EXPECT_EQ(l.ops[1].x, (140 - 14) / 2);
  EXPECT_EQ(l.ops[1].y, 12);
  EXPECT_EQ(l.ops[2].x, 140 - 14);
  EXPECT_EQ(l.height, 36);

  // Columns as wide as their widest cell (plus padding), rows one after the other.
  auto table = Parse(L"<table><tr><td>a</td><td>bbb</td></tr><tr><td>cccc</td><td>d</td></tr></table>");
  Layout t = LayOut(*table, m, 400, 0);
  const int col0 = 4 * 7 + 2 * kCellPadding, col1 = 3 * 7 + 2 * kCellPadding;
  EXPECT_EQ(t.width, col0 + col1);
  ASSERT_EQ(t.ops.size(), 4u);
  EXPECT_EQ(t.ops[1].x, col0 + kCellPadding);                   // "bbb"
  EXPECT_EQ(t.ops[3].y, 12 + 2 * kCellPadding + kCellPadding);  // "d", second row
}

TEST(HtmlTooltip, EveryPlaceholderOfTheTemplateIsFilled) {
  const TooltipFields fields{L"Artist <x>", L"Title & co", L"Album", L"1999",     L"Comment",
                             L" 03:20",     L"song.mp3",   L"C:",    L"\\Music\\"};
  const std::wstring tmpl = L"%1|%2|%3|%4|%5|%6|%7|%8|%9|%A|%Z|100%|\\r\\n\\t|\\x";
  const std::wstring expanded = ExpandTooltipTemplate(tmpl, fields, L"C:\\Music\\cover.jpg");
  EXPECT_EQ(expanded,
            L"Artist &lt;x&gt;|Title &amp; co|Album|1999|Comment| 03:20|song.mp3|C:|\\Music\\|C:\\Music\\cover.jpg"
            L"|%Z|100%|\r\n\t|\\x");
  // Without a picture "%A" stays; a value holding a placeholder is not expanded again.
  const TooltipFields tricky{L"%2", L"T"};
  EXPECT_EQ(ExpandTooltipTemplate(L"%1 %A", tricky, std::nullopt), L"%2 %A");

  // The default template with every field laid out: the values appear.
  FixedMeasurer m;
  auto doc = Parse(ExpandTooltipTemplate(DefaultToolTipTemplate(), fields, std::nullopt));
  Layout l = LayOut(*doc, m, 420, 0);
  const std::wstring shown = AllText(l);
  for (const wchar_t* value : {L"Artist <x>", L"Title & co", L"Album", L"1999", L"Comment", L"03:20", L"song.mp3"})
    EXPECT_NE(shown.find(value), std::wstring::npos) << value;
  ExpectInside(l, 420);
}

TEST(HtmlTooltip, TheDefaultTemplateLaysOutWithoutOverlaps) {
  // Pictures as the program's are: icon 301 at 32, the 48-pixel bitmap 138.
  class Pictures final : public Measurer {
  public:
    Size Text(std::wstring_view text, const TextStyle& s) override {
      return Size{static_cast<int>(text.size()) * 7, s.heading ? 16 : 12};
    }
    Size Picture(const PictureRef& p) override {
      if (p.width && p.height) return Size{p.width, p.height};
      return p.kind == Tag::Bmp ? Size{48, 48} : Size{32, 32};
    }
  } m;
  const TooltipFields fields{L"Artist", L"Title", L"Album", L"2001", L"Comment", L" 03:20", L"song.mp3", L"C:", L"\\"};
  auto doc = Parse(ExpandTooltipTemplate(DefaultToolTipTemplate(), fields, std::nullopt));
  Layout l = LayOut(*doc, m, 420, 0);
  for (size_t i = 0; i < l.ops.size(); ++i)
    for (size_t j = i + 1; j < l.ops.size(); ++j) {
      const DrawOp &a = l.ops[i], &b = l.ops[j];
      if (a.kind == DrawOp::Kind::Line || b.kind == DrawOp::Kind::Line) continue;
      const bool apart = a.x + a.w <= b.x || b.x + b.w <= a.x || a.y + a.h <= b.y || b.y + b.h <= a.y;
      EXPECT_TRUE(apart) << std::string(a.text.begin(), a.text.end()) << " at " << a.x << "," << a.y << " " << a.w
                         << "x" << a.h << " and " << std::string(b.text.begin(), b.text.end()) << " at " << b.x << ","
                         << b.y << " " << b.w << "x" << b.h;
    }
}

}  // namespace
}  // namespace zul::html
