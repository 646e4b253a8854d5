#include "ui/html_tooltip/html_document.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

namespace zul::html {
namespace {

struct TagName {
  const wchar_t* name;
  Tag tag;
  bool empty;  // has no content and no closing tag
};

constexpr TagName kTags[] = {
    {L"table", Tag::Table, false},   {L"tr", Tag::Tr, false},       {L"td", Tag::Td, false},
    {L"center", Tag::Center, false}, {L"right", Tag::Right, false}, {L"h2", Tag::H2, false},
    {L"b", Tag::B, false},           {L"i", Tag::I, false},         {L"br", Tag::Br, true},
    {L"font", Tag::Font, false},     {L"icon", Tag::Icon, true},    {L"bmp", Tag::Bmp, true},
    {L"img", Tag::Img, true},        {L"hr", Tag::Hr, true},        {L"a", Tag::A, false},
};

std::wstring Lower(std::wstring_view s) {
  std::wstring out(s);
  for (wchar_t& c : out) c = static_cast<wchar_t>(std::towlower(c));
  return out;
}

// The character of the entity at pos (advancing past it), or "&" alone
// when none of the known ones starts there.
wchar_t DecodeEntity(std::wstring_view s, size_t& pos) {
  static constexpr std::pair<const wchar_t*, wchar_t> kEntities[] = {
      {L"&lt;", L'<'}, {L"&gt;", L'>'}, {L"&amp;", L'&'}, {L"&quot;", L'"'}, {L"&nbsp;", 0xA0}};
  for (auto [name, c] : kEntities) {
    const size_t n = std::wcslen(name);
    if (s.substr(pos, n) == name) {
      pos += n;
      return c;
    }
  }
  ++pos;
  return L'&';
}

std::wstring DecodeEntities(std::wstring_view s) {
  std::wstring out;
  for (size_t p = 0; p < s.size();) {
    if (s[p] == L'&')
      out += DecodeEntity(s, p);
    else
      out += s[p++];
  }
  return out;
}

bool NameChar(wchar_t c) { return std::iswalnum(c) || c == L'_' || c == L'-'; }

class Parser {
public:
  explicit Parser(std::wstring_view text) : s_(text) {}

  std::unique_ptr<Node> Run() {
    auto root = std::make_unique<Node>();
    stack_.push_back(root.get());
    while (pos_ < s_.size() && nodes_ < kMaxNodes && chars_ < kMaxTextChars) {
      if (s_[pos_] == L'<' && TryTag()) continue;
      AppendText(s_[pos_] == L'&' ? Entity() : std::wstring(1, s_[pos_++]));
    }
    return root;
  }

private:
  Node* Top() { return stack_.back(); }

  Node* Add(Tag tag) {
    if (nodes_ >= kMaxNodes) return nullptr;
    ++nodes_;
    auto node = std::make_unique<Node>();
    node->tag = tag;
    Node* raw = node.get();
    Top()->children.push_back(std::move(node));
    return raw;
  }

  void AppendText(const std::wstring& piece) {
    std::wstring clean;
    for (wchar_t c : piece) clean += (c == L'\r' || c == L'\n' || c == L'\t') ? L' ' : c;
    Node* top = Top();
    Node* last = top->children.empty() ? nullptr : top->children.back().get();
    if (!last || last->tag != Tag::Text) last = Add(Tag::Text);
    if (!last) return;
    for (wchar_t c : clean) {
      if (c == L' ' && !last->text.empty() && last->text.back() == L' ') continue;
      last->text += c;
      ++chars_;
    }
  }

  std::wstring Entity() { return std::wstring(1, DecodeEntity(s_, pos_)); }

  // A tag at pos_; false (nothing consumed) when "<" starts none.
  bool TryTag() {
    size_t p = pos_ + 1;
    const bool closing = p < s_.size() && s_[p] == L'/';
    if (closing) ++p;
    const size_t nameStart = p;
    while (p < s_.size() && NameChar(s_[p])) ++p;
    if (p == nameStart) return false;
    const size_t close = s_.find(L'>', p);
    if (close == std::wstring_view::npos) return false;
    const std::wstring name = Lower(s_.substr(nameStart, p - nameStart));
    const std::wstring_view attrText = s_.substr(p, close - p);
    pos_ = close + 1;

    Tag tag = Tag::Unknown;
    bool empty = false;
    for (const TagName& t : kTags)
      if (name == t.name) {
        tag = t.tag;
        empty = t.empty;
      }
    if (closing) {
      Close(tag);
      return true;
    }
    if (tag == Tag::Unknown) return true;  // its content stays, the tag goes
    // Table structure repairs itself: a row or cell closes the open one.
    if (tag == Tag::Tr) Close(Tag::Tr, Tag::Table);
    if (tag == Tag::Td) Close(Tag::Td, Tag::Tr);
    Node* node = Add(tag);
    if (!node) return true;
    ParseAttributes(attrText, *node);
    if (!empty && static_cast<int>(stack_.size()) <= kMaxDepth) stack_.push_back(node);
    return true;
  }

  // Closes the innermost open element of that tag, unless a `stop` element
  // lies inside it; a closing tag with nothing to close is dropped.
  void Close(Tag tag, Tag stop = Tag::Root) {
    if (tag == Tag::Unknown) return;
    for (size_t i = stack_.size(); i-- > 1;) {
      if (stack_[i]->tag == tag) {
        stack_.resize(i);
        return;
      }
      if (stack_[i]->tag == stop || (stop == Tag::Root && stack_[i]->tag == Tag::Table && tag != Tag::Table)) return;
    }
  }

  static void ParseAttributes(std::wstring_view a, Node& node) {
    size_t p = 0;
    while (p < a.size() && node.attributes.size() < 16) {
      while (p < a.size() && (std::iswspace(a[p]) || a[p] == L'/')) ++p;
      const size_t start = p;
      while (p < a.size() && NameChar(a[p])) ++p;
      if (p == start) {
        ++p;
        continue;
      }
      std::wstring name = Lower(a.substr(start, p - start));
      std::wstring value;
      if (p < a.size() && a[p] == L'=') {
        ++p;
        if (p < a.size() && (a[p] == L'"' || a[p] == L'\'')) {
          const wchar_t quote = a[p++];
          const size_t end = a.find(quote, p);
          const size_t stop = end == std::wstring_view::npos ? a.size() : end;
          value = a.substr(p, stop - p);
          p = stop + 1;
        } else {
          const size_t vs = p;
          while (p < a.size() && !std::iswspace(a[p])) ++p;
          value = a.substr(vs, p - vs);
        }
      }
      node.attributes.emplace_back(std::move(name), DecodeEntities(value));
    }
  }

  std::wstring_view s_;
  size_t pos_ = 0;
  size_t nodes_ = 0;
  size_t chars_ = 0;
  std::vector<Node*> stack_;
};

}  // namespace

const std::wstring* Node::Attribute(std::wstring_view name) const {
  for (const auto& [key, value] : attributes)
    if (key == name) return &value;
  return nullptr;
}

int Node::IntAttribute(std::wstring_view name, int fallback) const {
  const std::wstring* v = Attribute(name);
  if (!v || v->empty()) return fallback;
  wchar_t* end = nullptr;
  const long n = std::wcstol(v->c_str(), &end, 10);
  if (end == v->c_str()) return fallback;
  return static_cast<int>(std::clamp(n, -100000L, 100000L));
}

std::unique_ptr<Node> Parse(std::wstring_view text) { return Parser(text).Run(); }

uint32_t ParseColour(std::wstring_view text, uint32_t fallback) {
  static constexpr std::pair<const wchar_t*, uint32_t> kNames[] = {
      {L"black", 0x000000}, {L"white", 0xFFFFFF}, {L"red", 0x0000FF},    {L"green", 0x008000},
      {L"blue", 0xFF0000},  {L"gray", 0x808080},  {L"yellow", 0x00FFFF}, {L"navy", 0x800000}};
  const std::wstring lower = Lower(text);
  for (auto [name, colour] : kNames)
    if (lower == name) return colour;
  std::wstring_view hex = text;
  if (!hex.empty() && hex[0] == L'#') hex.remove_prefix(1);
  if (hex.size() != 6) return fallback;
  uint32_t rgb = 0;
  for (wchar_t c : hex) {
    if (!std::iswxdigit(c)) return fallback;
    rgb = rgb * 16 + static_cast<uint32_t>(std::iswdigit(c) ? c - L'0' : std::towlower(c) - L'a' + 10);
  }
  return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

}  // namespace zul::html
