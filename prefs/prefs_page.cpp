#include "prefs/prefs_page.h"

#include <algorithm>
#include <climits>
#include <cwchar>

#include "services/translation/translator.h"

namespace zul {

CPrefsPage::~CPrefsPage() { Destroy(); }

HWND CPrefsPage::Create(HWND parent, PrefsHost& host, const Translator& translator) {
  host_ = &host;
  translator_ = &translator;
  hwnd_ = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(dialogId_), parent, StaticProc,
                             reinterpret_cast<LPARAM>(this));
  return hwnd_;
}

void CPrefsPage::Destroy() {
  if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
  hwnd_ = nullptr;
}

INT_PTR CALLBACK CPrefsPage::StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    auto* page = reinterpret_cast<CPrefsPage*>(lParam);
    SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    page->hwnd_ = hwnd;
    page->translator_->TranslateDialog(hwnd, page->dialogId_);
    page->Load(page->host_->settings());
    return FALSE;
  }
  auto* page = reinterpret_cast<CPrefsPage*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (!page) return FALSE;
  if (msg == WM_COMMAND && page->OnCommand(LOWORD(wParam), HIWORD(wParam))) return TRUE;
  return page->OnMessage(msg, wParam, lParam);
}

void CPrefsPage::SetCheck(int id, int on) { CheckDlgButton(hwnd_, id, on ? BST_CHECKED : BST_UNCHECKED); }

int CPrefsPage::Checked(int id) { return IsDlgButtonChecked(hwnd_, id) == BST_CHECKED ? 1 : 0; }

void CPrefsPage::SetText(int id, const std::wstring& text) { SetDlgItemTextW(hwnd_, id, text.c_str()); }

std::wstring CPrefsPage::Text(int id) {
  HWND control = GetDlgItem(hwnd_, id);
  int length = GetWindowTextLengthW(control);
  std::wstring text(static_cast<size_t>(std::max(length, 0)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

void CPrefsPage::SetInt(int id, int value) { SetDlgItemInt(hwnd_, id, static_cast<UINT>(value), TRUE); }

int CPrefsPage::Int(int id, int old, int lo, int hi) {
  const std::wstring text = Text(id);
  if (text.empty()) return old;
  wchar_t* end = nullptr;
  long long v = std::wcstoll(text.c_str(), &end, 10);
  if (end == text.c_str()) return old;
  return static_cast<int>(std::clamp<long long>(v, lo, hi));
}

void CPrefsPage::FillCombo(int id, const std::vector<std::wstring>& items, int selected) {
  HWND combo = GetDlgItem(hwnd_, id);
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  for (const std::wstring& item : items) SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

int CPrefsPage::ComboIndex(int id, int old) {
  LRESULT index = SendDlgItemMessageW(hwnd_, id, CB_GETCURSEL, 0, 0);
  return index == CB_ERR ? old : static_cast<int>(index);
}

}  // namespace zul
