#pragma once
// A small tag set for formatting tests: "artist" and "title" have values,
// "album" is present but empty, anything else is missing. Remembers the
// field names asked for.
#include <map>
#include <string>
#include <vector>

#include "title_format/title_format.h"

namespace zul::testing {

struct TitleFields {
  std::map<std::u16string, std::u16string> values{
      {u"artist", u"Artist"}, {u"title", u"Title"}, {u"album", u""}, {u"path", u"C:\\Music\\Song.mp3"}};
  std::vector<std::u16string> asked;

  std::u16string Format(std::u16string_view format) {
    return FormatTitle(format, [this](std::u16string_view name) {
      asked.emplace_back(name);
      auto it = values.find(std::u16string(name));
      return it == values.end() ? std::u16string() : it->second;
    });
  }
};

struct FormatCase {
  std::u16string format;
  std::u16string expected;
};

inline std::ostream& operator<<(std::ostream& os, const FormatCase& c) {
  std::string narrow;
  for (char16_t ch : c.format) narrow += ch < 0x80 ? static_cast<char>(ch) : '?';
  return os << narrow;
}

}  // namespace zul::testing
