#pragma once
// The equalizer window's rules that need no window: the status text of a
// moved slider, the record list's lines and order, and the Up and Down shifts.
//
// Threads: UI thread (pure functions).
#include <string>
#include <vector>

#include "equalizer/eq_lines.h"

namespace zul {

// The status text for slider `index` (0..37, the order of the values) at
// `value`, from the window's format strings: preamp cut / preamp %ddb / band
// %dHz cut / band %dHz %ddb, each for L and R.
struct EqStatusFormats {
  std::wstring leftPreampCut, leftPreamp, rightPreampCut, rightPreamp;
  std::wstring leftBandCut, leftBand, rightBandCut, rightBand;
};
std::wstring EqStatusText(const EqStatusFormats& formats, int index, int value);

// "%gHz to %gHz, %gdB %c%c".
std::wstring EqRecordLine(const EqParam& p);
// Sorted by lower frequency, equal ones keeping their order; `order` gets the
// old index of each record in its new place.
void SortEqRecords(std::vector<EqParam>& params, std::vector<size_t>* order = nullptr);

// "Up": less cut on every band of both channels unless one is at 0; "Down":
// more cut unless one is at 96. Preamps stay. False when nothing moved.
bool ShiftEqBands(EqPreset& preset, int step);

}  // namespace zul
