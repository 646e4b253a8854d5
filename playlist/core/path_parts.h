#pragma once
// A path split the way the C runtime's _wsplitpath splits it, kept as offsets
// into the path so an entry stores its path only once.
#include <cstdint>
#include <string_view>

namespace zul {

struct PathSplit {
  uint32_t driveEnd = 0;  // 2 when the second character is ':', else 0
  uint32_t dirEnd = 0;    // one past the last '\' or '/', at least driveEnd
  uint32_t extStart = 0;  // the last '.' after dirEnd, or the path's length

  template <class Char>
  std::basic_string_view<Char> Drive(std::basic_string_view<Char> p) const {
    return p.substr(0, driveEnd);
  }
  template <class Char>
  std::basic_string_view<Char> Dir(std::basic_string_view<Char> p) const {
    return p.substr(driveEnd, dirEnd - driveEnd);
  }
  template <class Char>
  std::basic_string_view<Char> Name(std::basic_string_view<Char> p) const {
    return p.substr(dirEnd, extStart - dirEnd);
  }
  template <class Char>
  std::basic_string_view<Char> Ext(std::basic_string_view<Char> p) const {
    return p.substr(extStart);
  }
};

template <class Char>
PathSplit SplitPath(std::basic_string_view<Char> path) {
  PathSplit s;
  const size_t n = path.size();
  s.driveEnd = (n >= 2 && path[1] == Char(':')) ? 2 : 0;
  size_t dirEnd = s.driveEnd;
  for (size_t i = s.driveEnd; i < n; ++i) {
    if (path[i] == Char('\\') || path[i] == Char('/')) dirEnd = i + 1;
  }
  size_t extStart = n;
  for (size_t i = n; i > dirEnd; --i) {
    if (path[i - 1] == Char('.')) {
      extStart = i - 1;
      break;
    }
  }
  s.dirEnd = static_cast<uint32_t>(dirEnd);
  s.extStart = static_cast<uint32_t>(extStart);
  return s;
}

// A stream location rather than a file: the path holds "://" anywhere.
template <class Char>
bool IsUrl(std::basic_string_view<Char> path) {
  const Char pattern[] = {Char(':'), Char('/'), Char('/')};
  return path.find(std::basic_string_view<Char>(pattern, 3)) != std::basic_string_view<Char>::npos;
}
inline bool IsUrl(std::wstring_view path) { return IsUrl<wchar_t>(path); }

// What loaders accept without asking the file system: "://" after the first
// character (a lone "://x" is not a location).
inline bool IsUrlLocation(std::wstring_view path) {
  size_t at = path.find(L"://");
  return at != std::wstring_view::npos && at > 0;
}

}  // namespace zul
