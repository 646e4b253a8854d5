#include "prefs/colour_button.h"

#include <commdlg.h>

#include "base/settings_codec.h"

namespace zul {

void ShowColour(HWND button, int colour) {
  SetWindowTextW(button, FormatColour(static_cast<unsigned>(colour)).c_str());
}

bool PickColour(HWND button, int& colour) {
  static COLORREF custom[16] = {};
  CHOOSECOLORW choose{sizeof choose};
  choose.hwndOwner = GetParent(button);
  choose.rgbResult = static_cast<COLORREF>(colour) & 0xFFFFFF;
  choose.lpCustColors = custom;
  choose.Flags = CC_RGBINIT | CC_FULLOPEN;
  if (!ChooseColorW(&choose)) return false;
  colour = static_cast<int>(choose.rgbResult & 0xFFFFFF);
  ShowColour(button, colour);
  return true;
}

}  // namespace zul
