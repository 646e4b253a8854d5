#pragma once
// A push button that stands for a colour setting: it shows the colour's
// value and opens the colour dialog when pressed.
#include <windows.h>

namespace zul {

void ShowColour(HWND button, int colour);
// true when the user chose a colour (then in colour and on the button).
bool PickColour(HWND button, int& colour);

}  // namespace zul
