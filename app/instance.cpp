#include "app/instance.h"

#include "app/open_request.h"

namespace zul {
namespace {

struct Search {
  UINT message;
  UINT timeoutMs;
  HWND found;
};

BOOL CALLBACK AskWindow(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD_PTR reply = 0;
  if (SendMessageTimeoutW(hwnd, search->message, 0, 0, SMTO_BLOCK, search->timeoutMs, &reply) &&
      reply == search->message) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

UINT InstanceMessage() { return RegisterWindowMessageW(kInstanceMessageName); }

HWND FindRunningInstance() {
  // 5 ms per window keeps a hung window of another program from delaying
  // the start. On a busy machine the running instance may need longer than
  // that, and missing it would start a second player instead of handing the
  // file over, so a second pass is more patient. Only a start without a
  // running instance (the mutex left by a crashed one) pays for it.
  for (UINT timeout : {5u, 250u}) {
    Search search{InstanceMessage(), timeout, nullptr};
    if (search.message == 0) return nullptr;
    EnumWindows(AskWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
  }
  return nullptr;
}

bool SendOpenRequest(HWND target, const std::wstring& path, bool add) {
  OpenRequest request;
  std::u16string p16(path.begin(), path.end());
  if (!OpenRequest::Make(add ? OpenRequest::kAdd : OpenRequest::kOpen, p16, &request)) return false;
  COPYDATASTRUCT data{0, sizeof request, &request};
  DWORD_PTR reply = 0;
  return SendMessageTimeoutW(target, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_BLOCK, 500, &reply) &&
         reply == TRUE;
}

}  // namespace zul
