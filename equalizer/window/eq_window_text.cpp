#include "equalizer/window/eq_window_text.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

namespace zul {
namespace {

std::wstring Format(const std::wstring& format, int a, int b = 0) {
  wchar_t buf[128];
  std::swprintf(buf, 128, format.c_str(), a, b);
  return buf;
}

bool IsBand(int index) { return index != kEqLeftPreamp && index != kEqRightPreamp; }

}  // namespace

std::wstring EqStatusText(const EqStatusFormats& f, int index, int value) {
  const bool left = index < kEqRightPreamp;
  if (!IsBand(index)) {
    if (value >= kEqMaxCut) return left ? f.leftPreampCut : f.rightPreampCut;
    return Format(left ? f.leftPreamp : f.rightPreamp, -value);
  }
  const int band = left ? index - 1 : index - kEqRightPreamp - 1;
  const int hz = kEqBandLabels[band];
  if (value >= kEqMaxCut) return Format(left ? f.leftBandCut : f.rightBandCut, hz);
  return Format(left ? f.leftBand : f.rightBand, hz, -value);
}

std::wstring EqRecordLine(const EqParam& p) {
  wchar_t buf[160];
  std::swprintf(buf, 160, L"%gHz to %gHz, %gdB %lc%lc", p.lower, p.upper, p.gain, p.left ? L'L' : L' ',
                p.right ? L'R' : L' ');
  return buf;
}

void SortEqRecords(std::vector<EqParam>& params, std::vector<size_t>* order) {
  std::vector<size_t> index(params.size());
  std::iota(index.begin(), index.end(), 0);
  std::stable_sort(index.begin(), index.end(), [&](size_t a, size_t b) { return params[a].lower < params[b].lower; });
  std::vector<EqParam> sorted;
  sorted.reserve(params.size());
  for (size_t i : index) sorted.push_back(params[i]);
  params = std::move(sorted);
  if (order) *order = std::move(index);
}

bool ShiftEqBands(EqPreset& preset, int step) {
  const int limit = step < 0 ? 0 : kEqMaxCut;
  for (int i = 0; i < kEqValueCount; ++i)
    if (IsBand(i) && preset.values[i] == limit) return false;
  for (int i = 0; i < kEqValueCount; ++i)
    if (IsBand(i)) preset.values[i] += step;
  return true;
}

}  // namespace zul
