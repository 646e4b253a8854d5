#pragma once
// What the three plug-in list pages share: the entry's text ("%s (%s)":
// description and file), the file dialog that finds a plug-in DLL, and the
// refresh of the dialog's tree after a plug-in came or went.
#include <windows.h>

#include <string>

#include "pluginhost/protocol/winamp_records.h"

namespace zul {

// The description a plug-in record points to, read under the guard.
std::wstring PluginDescription(const char* const* descriptionField);
std::wstring PluginListText(const std::wstring& description, const std::wstring& name);
// filter: "Input Dll files|in_*.dll|" in the form GetOpenFileName wants.
bool AskForPluginFile(HWND owner, const wchar_t* filter, std::wstring& path);
// Around an unload: plug-in pages are closed first (their procedures live
// in the DLL) and the tree is built again after it.
void BeforePluginListChange();
void AfterPluginListChange();

}  // namespace zul
