#include "base/profile_text.h"

#include "base/text_codec.h"

#include <cwctype>

namespace zul {
namespace {

std::wstring_view Trim(std::wstring_view s) {
  while (!s.empty() && std::iswspace(s.front())) s.remove_prefix(1);
  while (!s.empty() && std::iswspace(s.back())) s.remove_suffix(1);
  return s;
}

// Splits "key=value" into trimmed parts; a line without "=" is a key alone.
std::pair<std::wstring_view, std::wstring_view> SplitKey(std::wstring_view raw) {
  size_t eq = raw.find(L'=');
  if (eq == std::wstring_view::npos) return {Trim(raw), {}};
  return {Trim(raw.substr(0, eq)), Trim(raw.substr(eq + 1))};
}

bool IsHeader(std::wstring_view raw, std::wstring* name) {
  std::wstring_view t = Trim(raw);
  if (t.empty() || t.front() != L'[') return false;
  size_t close = t.find(L']');
  std::wstring_view inner = t.substr(1, close == std::wstring_view::npos ? std::wstring_view::npos : close - 1);
  *name = std::wstring(Trim(inner));
  return true;
}

std::wstring Unquote(std::wstring_view v) {
  if (v.size() >= 2 && v.front() == L'"' && v.back() == L'"') v = v.substr(1, v.size() - 2);
  return std::wstring(v);
}

}  // namespace

ProfileText::ProfileText(std::wstring_view text) {
  sections_.push_back(Section{});
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find(L'\n', pos);
    std::wstring_view line = text.substr(pos, end == std::wstring_view::npos ? std::wstring_view::npos : end - pos);
    pos = end == std::wstring_view::npos ? text.size() : end + 1;
    if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
    std::wstring name;
    if (IsHeader(line, &name)) {
      Section s;
      s.name = name;
      s.hasHeader = true;
      s.headerRaw = std::wstring(line);
      sections_.push_back(std::move(s));
    } else {
      sections_.back().lines.push_back(Line{std::wstring(line)});
    }
  }
}

ProfileText::Section* ProfileText::Find(std::wstring_view name) {
  for (auto& s : sections_)
    if (s.hasHeader && EqualNoCase(s.name, name)) return &s;
  return nullptr;
}

const ProfileText::Section* ProfileText::Find(std::wstring_view name) const {
  return const_cast<ProfileText*>(this)->Find(name);
}

bool ProfileText::HasSection(std::wstring_view section) const { return Find(section) != nullptr; }

std::optional<std::wstring> ProfileText::Get(std::wstring_view section, std::wstring_view key) const {
  const Section* s = Find(section);
  if (!s) return std::nullopt;
  for (const Line& l : s->lines) {
    auto [k, v] = SplitKey(l.raw);
    if (!k.empty() && EqualNoCase(k, key)) return Unquote(v);
  }
  return std::nullopt;
}

std::vector<std::pair<std::wstring, std::wstring>> ProfileText::Keys(std::wstring_view section) const {
  std::vector<std::pair<std::wstring, std::wstring>> out;
  if (const Section* s = Find(section)) {
    for (const Line& l : s->lines) {
      auto [k, v] = SplitKey(l.raw);
      if (!k.empty()) out.emplace_back(std::wstring(k), Unquote(v));
    }
  }
  return out;
}

void ProfileText::Set(std::wstring_view section, std::wstring_view key, std::wstring_view value) {
  std::wstring raw = std::wstring(key) + L"=" + std::wstring(value);
  Section* s = Find(section);
  if (!s) {
    // A new section follows the last one after a blank line, as Windows does.
    Section& last = sections_.back();
    bool empty = sections_.size() == 1 && last.lines.empty();
    if (!empty && (last.lines.empty() || !Trim(last.lines.back().raw).empty())) last.lines.push_back(Line{L""});
    Section n;
    n.name = std::wstring(section);
    n.hasHeader = true;
    n.headerRaw = L"[" + std::wstring(section) + L"]";
    sections_.push_back(std::move(n));
    s = &sections_.back();
  }
  for (Line& l : s->lines) {
    auto [k, v] = SplitKey(l.raw);
    if (!k.empty() && EqualNoCase(k, key)) {
      l.raw = raw;
      return;
    }
  }
  // Insert after the last non-blank line so blank separators stay at the end.
  size_t at = s->lines.size();
  while (at > 0 && Trim(s->lines[at - 1].raw).empty()) --at;
  s->lines.insert(s->lines.begin() + static_cast<std::ptrdiff_t>(at), Line{raw});
}

void ProfileText::ClearSection(std::wstring_view section) {
  Section* s = Find(section);
  if (!s) return;
  // Keep trailing blank lines: they separate this section from the next.
  size_t blanks = 0;
  while (blanks < s->lines.size() && Trim(s->lines[s->lines.size() - 1 - blanks].raw).empty()) ++blanks;
  s->lines.erase(s->lines.begin(), s->lines.end() - static_cast<std::ptrdiff_t>(blanks));
}

std::wstring ProfileText::Text() const {
  std::wstring out;
  for (const Section& s : sections_) {
    if (s.hasHeader) out += s.headerRaw + L"\r\n";
    for (const Line& l : s.lines) out += l.raw + L"\r\n";
  }
  return out;
}

}  // namespace zul
