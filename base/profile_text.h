#pragma once
// The text of an INI file as the private-profile functions see it, so that
// settings can be read and rewritten without touching the disk:
//   - sections "[name]", keys "name=value"; names compare without case;
//   - key and value are trimmed; a value wrapped in one pair of double
//     quotes is read without them;
//   - lines that are not part of an edit are kept as they are.
// Rewriting produces "\r\n" line ends, as the profile functions do.
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zul {

class ProfileText {
public:
  ProfileText() : ProfileText(std::wstring_view{}) {}
  explicit ProfileText(std::wstring_view text);

  // The value as GetPrivateProfileString would return it, or nothing when
  // the section or key is absent.
  std::optional<std::wstring> Get(std::wstring_view section, std::wstring_view key) const;

  // Replaces the value of an existing key in place, or appends the key at the
  // end of its section (creating the section at the end of the file).
  void Set(std::wstring_view section, std::wstring_view key, std::wstring_view value);

  // Removes every key of a section but keeps its header where it is, like
  // WritePrivateProfileSection with an empty section.
  void ClearSection(std::wstring_view section);

  bool HasSection(std::wstring_view section) const;

  // Keys of a section in file order, with their (trimmed, unquoted) values.
  std::vector<std::pair<std::wstring, std::wstring>> Keys(std::wstring_view section) const;

  std::wstring Text() const;

private:
  struct Line {
    std::wstring raw;
  };
  struct Section {
    std::wstring name;        // empty for the lines before the first header
    std::vector<Line> lines;  // header excluded
    bool hasHeader = false;
    std::wstring headerRaw;
  };

  Section* Find(std::wstring_view name);
  const Section* Find(std::wstring_view name) const;

  std::vector<Section> sections_;
};

}  // namespace zul
