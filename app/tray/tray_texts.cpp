#include "app/tray/tray_texts.h"

#include <cwchar>

namespace zul {
namespace {

std::wstring MinSec(int seconds) {
  wchar_t text[32];
  std::swprintf(text, std::size(text), L"%02d:%02d", seconds / 60, seconds % 60);
  return text;
}

}  // namespace

std::wstring FormatTrayTime(int positionSec, int lengthSec, bool remaining, bool total) {
  if (lengthSec < 1) lengthSec = 1;
  if (positionSec < 0) positionSec = 0;
  if (positionSec > lengthSec) positionSec = lengthSec;
  const int shown = remaining ? lengthSec - positionSec : positionSec;
  std::wstring text = MinSec(shown);
  if (total) text += L"/" + MinSec(lengthSec);
  return text;
}

std::wstring FormatPlainTip(std::wstring_view track, std::wstring_view time) {
  std::wstring tip(track);
  tip += L" - ";
  tip += time;
  if (tip.size() > kPlainTipMax) tip.resize(kPlainTipMax);
  return tip;
}

}  // namespace zul
