#include "app/url_dialog.h"

#include "resources/resource.h"

namespace zul {
namespace {

constexpr wchar_t kDefaultAddress[] = L"http://localhost:8000/stream";

struct UrlDialogState {
  std::wstring* address;
};

INT_PTR CALLBACK UrlDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG: {
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      auto* state = reinterpret_cast<UrlDialogState*>(lParam);
      const std::wstring& start = state->address->empty() ? std::wstring(kDefaultAddress) : *state->address;
      SetDlgItemTextW(dialog, IDC_URL_EDIT, start.c_str());
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        auto* state = reinterpret_cast<UrlDialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
        HWND edit = GetDlgItem(dialog, IDC_URL_EDIT);
        std::wstring text(static_cast<size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
        text.resize(static_cast<size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
        *state->address = text;
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      break;
  }
  return FALSE;
}

}  // namespace

bool AskForUrl(HWND owner, std::wstring& address) {
  std::wstring text = address;
  UrlDialogState state{&text};
  INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_OPEN_URL), owner, UrlDialogProc,
                                   reinterpret_cast<LPARAM>(&state));
  if (result != IDOK || text.empty()) return false;
  address = text;
  return true;
}

}  // namespace zul
