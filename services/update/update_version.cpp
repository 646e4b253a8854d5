#include "services/update/update_version.h"

namespace zul {

std::wstring LocalVersionText(uint32_t ms, uint32_t ls) {
  wchar_t text[64] = {};
  if (ls != 0)
    swprintf(text, 64, L"%u.%u.%u.%u", ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF);
  else if (ms != 0)
    swprintf(text, 64, L"%u.%u", ms >> 16, ms & 0xFFFF);
  return text;
}

std::optional<std::array<uint32_t, 4>> ParseVersion(std::string_view text) {
  text = text.substr(0, text.find('\n'));
  if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  std::array<uint32_t, 4> fields{};
  size_t index = 0;
  while (true) {
    if (index == 4) break;
    size_t dot = text.find('.');
    std::string_view field = text.substr(0, dot);
    if (field.empty() || field.size() > 9) return std::nullopt;
    uint32_t value = 0;
    for (char c : field) {
      if (c < '0' || c > '9') return std::nullopt;
      value = value * 10 + static_cast<uint32_t>(c - '0');
    }
    fields[index++] = value;
    if (dot == std::string_view::npos) break;
    text.remove_prefix(dot + 1);
  }
  return fields;
}

bool IsNewerVersion(std::string_view remote, std::string_view local) {
  auto r = ParseVersion(remote), l = ParseVersion(local);
  return r && l && *r > *l;
}

std::wstring NotesExcerpt(std::wstring_view notes, std::wstring_view localVersion) {
  size_t start = notes.find(L']');
  start = start == std::wstring_view::npos ? 0 : start + 1;
  size_t end = localVersion.empty() ? std::wstring_view::npos : notes.find(localVersion, start);
  if (end == std::wstring_view::npos || end <= start + 1) return std::wstring(notes);
  return std::wstring(notes.substr(start, end - 1 - start));
}

}  // namespace zul
