#pragma once
// The equalizer window (dialog 105): 19 sliders per channel, the record
// list, Enable and Dither, preset files. Every change is handed to the
// running filter at once (its tables are swapped on the audio thread), so a
// user hears a slider while moving it; OK keeps the edits, Cancel and the
// close box put back the state the window was opened with.
//
// Threads: UI thread.
#include <windows.h>

namespace zul {

struct Settings;

// Shows the window (created on first use) over `owner`.
void ShowEqualizerDialog(HWND owner, Settings* settings);
bool EqualizerDialogVisible();
void DestroyEqualizerDialog();

}  // namespace zul
