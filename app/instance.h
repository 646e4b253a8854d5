#pragma once
// Finding a running instance and handing it our command line.
#include <windows.h>

#include <string>

namespace zul {

inline constexpr wchar_t kInstanceMessageName[] = L"ZUL_WND_MSG-{1FDCB966-266D-458C-99F3-6B621F4BAD36}";

UINT InstanceMessage();

// The main window of a running instance: the first top-level window that
// answers the instance message with its own number within 5 ms.
HWND FindRunningInstance();

// Sends an open request (WM_COPYDATA, 500 ms). False when the path does not
// fit the request or the receiver refused or did not answer.
bool SendOpenRequest(HWND target, const std::wstring& path, bool add);

}  // namespace zul
