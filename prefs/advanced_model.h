#pragma once
// The rows of the "Advanced Settings" list: every setting of the program's
// own sections that no preferences page edits and that is not part of a
// list, with its type, default and current value, and the check that an
// edited value is one the settings keep as it was typed.
#include <optional>
#include <string>
#include <vector>

#include "base/settings.h"

namespace zul::prefs {

struct AdvancedRow {
  std::wstring section;
  std::wstring key;
  std::wstring type;  // "bool", "int", "colour" or "text"
  std::wstring defaultValue;
  std::wstring value;
};

std::vector<AdvancedRow> AdvancedRows(const Settings& s);

// The settings with the rows' values. When a value would not be kept as it
// was typed (a bool that is not 0 or 1, a number out of its range, text in
// a number), nothing is changed and the answer names that row's key.
std::optional<std::wstring> ApplyAdvancedRows(const std::vector<AdvancedRow>& rows, Settings& s);

}  // namespace zul::prefs
