#include "app/instance.h"

#include "app/open_request.h"

namespace zul {
namespace {

struct Search {
  UINT message;
  HWND found;
};

BOOL CALLBACK AskWindow(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD_PTR reply = 0;
  if (SendMessageTimeoutW(hwnd, search->message, 0, 0, SMTO_BLOCK, 5, &reply) && reply == search->message) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

UINT InstanceMessage() { return RegisterWindowMessageW(kInstanceMessageName); }

HWND FindRunningInstance() {
  Search search{InstanceMessage(), nullptr};
  if (search.message == 0) return nullptr;
  EnumWindows(AskWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
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
