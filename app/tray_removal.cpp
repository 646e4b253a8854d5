#include "app/tray_removal.h"

#include <shellapi.h>

namespace zul {
namespace {

// Bounds, not waits: both end as soon as what they wait for happens.
// The sending thread normally enters the call within a few milliseconds.
constexpr DWORD kStartPatienceMs = 2000;
// Between entering Shell_NotifyIconW and the request reaching the shell
// there is a window lookup and the send itself; a shell that answers at
// once is waited for whole.
constexpr DWORD kReplyPatienceMs = 50;

// Owned by the sending thread, which may outlive the object that started
// it (until the process ends).
struct Request {
  NOTIFYICONDATAW data{};
  HANDLE sending = nullptr;  // the thread's own handle of the event
};

DWORD WINAPI Send(void* param) {
  auto* request = static_cast<Request*>(param);
  if (request->sending) {
    SetEvent(request->sending);
    CloseHandle(request->sending);
  }
  Shell_NotifyIconW(NIM_DELETE, &request->data);  // failures are ignored: there may be no tray
  delete request;
  return 0;
}

}  // namespace

TrayIconRemoval::~TrayIconRemoval() { Finish(); }

void TrayIconRemoval::Start(HWND owner, UINT id) {
  auto* request = new Request;
  request->data.cbSize = sizeof request->data;
  request->data.hWnd = owner;
  request->data.uID = id;
  sending_.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  const HANDLE self = GetCurrentProcess();
  if (sending_ && DuplicateHandle(self, sending_.Get(), self, &request->sending, 0, FALSE, DUPLICATE_SAME_ACCESS))
    thread_.Reset(CreateThread(nullptr, 0, &Send, request, 0, nullptr));
  if (!thread_) {
    if (request->sending) CloseHandle(request->sending);
    request->sending = nullptr;
    Send(request);
  }
}

void TrayIconRemoval::Finish() {
  if (thread_) {
    if (WaitForSingleObject(sending_.Get(), kStartPatienceMs) == WAIT_OBJECT_0)
      WaitForSingleObject(thread_.Get(), kReplyPatienceMs);
    // A thread still waiting for the reply ends with the process.
    thread_.Reset();
  }
  sending_.Reset();
}

}  // namespace zul
