#pragma once
// The "Open URL" dialog: one address field, OK and Cancel.
//
// Threads: UI thread.
#include <windows.h>

#include <string>

namespace zul {

// Shows the dialog modally, starting with `address` when it is not empty
// (else a default stream address). True with the edited text on OK.
bool AskForUrl(HWND owner, std::wstring& address);

}  // namespace zul
