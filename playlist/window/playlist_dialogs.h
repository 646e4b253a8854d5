#pragma once
// The small modal dialogs of the playlist commands: the sort template, the
// automation settings, the rename template, and the text of the string
// table.
//
// Threads: UI thread.
#include <windows.h>

#include <string>

namespace zul {

struct Settings;

std::wstring LoadResourceText(UINT id);

// The sort template dialog on settings.sortTemplate. True on OK; the
// template is then stored in the settings (OK is only possible with text).
bool RunSortDialog(HWND owner, Settings& settings);
// The automation dialog. True on OK, with every value written back;
// periodChanged tells whether AutPeriod changed.
bool RunAutomationDialog(HWND owner, Settings& settings, bool* periodChanged);
// The rename template dialog on settings.renameTemplate.
bool RunRenameDialog(HWND owner, Settings& settings);
// Folder browser (file-system folders only) starting in `start`; the
// chosen folder with a trailing backslash, empty when cancelled.
std::wstring BrowseForFolder(HWND owner, UINT titleId, const std::wstring& start);

}  // namespace zul
