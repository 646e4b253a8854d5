#pragma once
// The playlist's ordering of sort keys (formatted entry texts) and the order
// its sort produces.
//
// Two keys are split at their last backslash into folder and name. Folders
// that differ (ignoring case) order ignoring case, except that a folder that
// begins with the other one (characters, case-sensitive) comes first, so a
// subfolder's files precede its parent's and "C:\Music" precedes "C:\Mus".
// Equal folders order by name, ignoring case.
//
// That relation is not a strict weak order (case variants of a folder can
// make it cyclic), so the order of a sort is defined by the procedure that
// makes it: each entry in playlist order is inserted into the sorted list by
// a fixed bisection, in front of the first equal element the bisection
// meets. SortOrder reproduces that procedure's result exactly, asking the
// same comparisons (each answer once), but keeps the list as blocks of
// indices, so an insertion moves a few hundred integers instead of half the
// playlist's entries.
#include <cstdint>
#include <string_view>
#include <vector>

namespace zul {

// -1 when a sorts before b, +1 after, 0 when neither.
int CompareSortKeys(std::u16string_view a, std::u16string_view b);

// order[k] is the index in keys of the element placed at position k.
std::vector<uint32_t> SortOrder(const std::vector<std::u16string_view>& keys);

}  // namespace zul
