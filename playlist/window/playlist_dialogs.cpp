#include "playlist/window/playlist_dialogs.h"

#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include <vector>

#include "base/settings.h"
#include "playlist/window/playlist_window_ids.h"

namespace zul {
namespace {

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

struct SortState {
  Settings* settings;
};

INT_PTR CALLBACK SortProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<SortState*>(GetWindowLongPtrW(dlg, DWLP_USER));
  switch (msg) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dlg, DWLP_USER, lParam);
      state = reinterpret_cast<SortState*>(lParam);
      SetDlgItemTextW(dlg, IDC_SORT_TEMPLATE, state->settings->sortTemplate.c_str());
      SetDlgItemTextW(dlg, IDC_SORT_FORMATS,
                      L"Formats : \n\t%1 Artist\n\t%2 Title\n\t%3 Album\n\t%4 Year\n\t%5 Comment\n\t%6 Time\n\t%7 "
                      L"Filename\n\t%8 Drive\n\t%9 Folder");
      EnableWindow(GetDlgItem(dlg, IDOK), !state->settings->sortTemplate.empty());
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_SORT_TEMPLATE && HIWORD(wParam) == EN_CHANGE) {
        EnableWindow(GetDlgItem(dlg, IDOK), GetWindowTextLengthW(GetDlgItem(dlg, IDC_SORT_TEMPLATE)) > 0);
      } else if (LOWORD(wParam) == IDOK) {
        std::wstring text = WindowText(GetDlgItem(dlg, IDC_SORT_TEMPLATE));
        if (text.empty()) return TRUE;
        state->settings->sortTemplate = text;
        EndDialog(dlg, IDOK);
      } else if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dlg, IDCANCEL);
      }
      return TRUE;
  }
  return FALSE;
}

struct AutomationState {
  Settings* settings;
  bool periodChanged = false;
};

constexpr struct {
  int id;
  int Settings::*field;
} kAutomationChecks[] = {
    {IDC_AUT_SAVESET, &Settings::autSaveSettings}, {IDC_AUT_SORT, &Settings::autSort},
    {IDC_AUT_REMOVE, &Settings::autRemove},        {IDC_AUT_REMOVEDUP, &Settings::autRemoveDuplicates},
    {IDC_AUT_RESCAN, &Settings::autRescan},        {IDC_AUT_ON_START, &Settings::autOnStart},
    {IDC_AUT_EVERY, &Settings::autEvery},
};

INT_PTR CALLBACK AutomationProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<AutomationState*>(GetWindowLongPtrW(dlg, DWLP_USER));
  switch (msg) {
    case WM_INITDIALOG: {
      SetWindowLongPtrW(dlg, DWLP_USER, lParam);
      state = reinterpret_cast<AutomationState*>(lParam);
      Settings& s = *state->settings;
      for (const auto& check : kAutomationChecks)
        CheckDlgButton(dlg, check.id, s.*check.field ? BST_CHECKED : BST_UNCHECKED);
      for (const std::wstring& dir : s.autDirs)
        SendDlgItemMessageW(dlg, IDC_AUT_DIRS, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(dir.c_str()));
      SendDlgItemMessageW(dlg, IDC_AUT_PERIOD_SPIN, UDM_SETRANGE32, 1, 60);
      SendDlgItemMessageW(dlg, IDC_AUT_PERIOD_SPIN, UDM_SETPOS32, 0, s.autPeriod < 1 ? 1 : s.autPeriod);
      SetDlgItemInt(dlg, IDC_AUT_PERIOD, static_cast<UINT>(s.autPeriod < 1 ? 1 : s.autPeriod), FALSE);
      return TRUE;
    }
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_AUT_ADD_DIR: {
          std::wstring dir = BrowseForFolder(dlg, 14, state->settings->initDir);
          if (!dir.empty())
            SendDlgItemMessageW(dlg, IDC_AUT_DIRS, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(dir.c_str()));
          return TRUE;
        }
        case IDC_AUT_REMOVE_DIR: {
          LRESULT sel = SendDlgItemMessageW(dlg, IDC_AUT_DIRS, LB_GETCURSEL, 0, 0);
          if (sel != LB_ERR) SendDlgItemMessageW(dlg, IDC_AUT_DIRS, LB_DELETESTRING, static_cast<WPARAM>(sel), 0);
          return TRUE;
        }
        case IDOK: {
          Settings& s = *state->settings;
          for (const auto& check : kAutomationChecks)
            s.*check.field = IsDlgButtonChecked(dlg, check.id) == BST_CHECKED ? 1 : 0;
          BOOL ok = FALSE;
          int period = static_cast<int>(GetDlgItemInt(dlg, IDC_AUT_PERIOD, &ok, FALSE));
          if (!ok || period < 1) period = 1;
          if (period > 60) period = 60;
          state->periodChanged = period != s.autPeriod;
          s.autPeriod = period;
          std::vector<std::wstring> dirs;
          HWND list = GetDlgItem(dlg, IDC_AUT_DIRS);
          LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
          for (LRESULT i = 0; i < count; ++i) {
            std::wstring text(static_cast<size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
            text.resize(static_cast<size_t>(SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
            dirs.push_back(text);
          }
          s.autDirs = std::move(dirs);
          EndDialog(dlg, IDOK);
          return TRUE;
        }
        case IDCANCEL:
          EndDialog(dlg, IDCANCEL);
          return TRUE;
      }
      return FALSE;
  }
  return FALSE;
}

INT_PTR CALLBACK RenameProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* settings = reinterpret_cast<Settings*>(GetWindowLongPtrW(dlg, DWLP_USER));
  switch (msg) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dlg, DWLP_USER, lParam);
      SetDlgItemTextW(dlg, IDC_RENAME_TEMPLATE, reinterpret_cast<Settings*>(lParam)->renameTemplate.c_str());
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        settings->renameTemplate = WindowText(GetDlgItem(dlg, IDC_RENAME_TEMPLATE));
        EndDialog(dlg, IDOK);
      } else if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dlg, IDCANCEL);
      }
      return TRUE;
  }
  return FALSE;
}

int CALLBACK StartIn(HWND window, UINT msg, LPARAM, LPARAM data) {
  if (msg == BFFM_INITIALIZED && data) SendMessageW(window, BFFM_SETSELECTIONW, TRUE, data);
  return 0;
}

}  // namespace

std::wstring LoadResourceText(UINT id) {
  const wchar_t* text = nullptr;
  int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<wchar_t*>(&text), 0);
  return length > 0 && text ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

bool RunSortDialog(HWND owner, Settings& settings) {
  SortState state{&settings};
  return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SORT), owner, SortProc,
                         reinterpret_cast<LPARAM>(&state)) == IDOK;
}

bool RunAutomationDialog(HWND owner, Settings& settings, bool* periodChanged) {
  AutomationState state{&settings};
  const bool ok = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_AUTOMATION), owner, AutomationProc,
                                  reinterpret_cast<LPARAM>(&state)) == IDOK;
  if (periodChanged) *periodChanged = ok && state.periodChanged;
  return ok;
}

bool RunRenameDialog(HWND owner, Settings& settings) {
  return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_RENAME), owner, RenameProc,
                         reinterpret_cast<LPARAM>(&settings)) == IDOK;
}

std::wstring BrowseForFolder(HWND owner, UINT titleId, const std::wstring& start) {
  const std::wstring title = LoadResourceText(titleId);
  BROWSEINFOW info{};
  info.hwndOwner = owner;
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  info.lpfn = &StartIn;
  info.lParam = reinterpret_cast<LPARAM>(start.c_str());
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
  if (!chosen) return {};
  std::vector<wchar_t> folder(32768, L'\0');
  bool ok = SHGetPathFromIDListEx(chosen, folder.data(), static_cast<DWORD>(folder.size()), GPFIDL_DEFAULT) != FALSE;
  if (!ok) ok = SHGetPathFromIDListW(chosen, folder.data()) != FALSE;
  CoTaskMemFree(chosen);
  std::wstring result = ok ? std::wstring(folder.data()) : std::wstring();
  if (!result.empty() && result.back() != L'\\') result.push_back(L'\\');
  return result;
}

}  // namespace zul
