#include "prefs/advanced_settings.h"

#include <commctrl.h>

#include "base/settings.h"
#include "prefs/advanced_model.h"
#include "resources/prefs_resource.h"
#include "services/translation/translator.h"

namespace zul {
namespace {

struct AdvancedState {
  PrefsHost* host;
  Translator translator;
  std::vector<prefs::AdvancedRow> rows;
};

AdvancedState* StateOf(HWND dialog) { return reinterpret_cast<AdvancedState*>(GetWindowLongPtrW(dialog, DWLP_USER)); }

int Selected(HWND dialog) { return ListView_GetNextItem(GetDlgItem(dialog, IDC_ADV_LIST), -1, LVNI_SELECTED); }

void ShowRow(HWND dialog, int index) {
  AdvancedState& st = *StateOf(dialog);
  HWND list = GetDlgItem(dialog, IDC_ADV_LIST);
  prefs::AdvancedRow& row = st.rows[static_cast<size_t>(index)];
  ListView_SetItemText(list, index, 3, row.value.data());
}

void Fill(HWND dialog) {
  AdvancedState& st = *StateOf(dialog);
  HWND list = GetDlgItem(dialog, IDC_ADV_LIST);
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  const wchar_t* headers[] = {L"Setting", L"Type", L"Default", L"Value"};
  const int widths[] = {150, 50, 110, 200};
  for (int c = 0; c < 4; ++c) {
    std::wstring text = st.translator.Translate(IDS_ADVANCED_COLUMN_FIRST + c, headers[c]);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = text.data();
    column.cx = widths[c];
    ListView_InsertColumn(list, c, &column);
  }
  for (size_t i = 0; i < st.rows.size(); ++i) {
    prefs::AdvancedRow& row = st.rows[i];
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(i);
    item.pszText = row.key.data();
    ListView_InsertItem(list, &item);
    ListView_SetItemText(list, static_cast<int>(i), 1, row.type.data());
    ListView_SetItemText(list, static_cast<int>(i), 2, row.defaultValue.data());
    ShowRow(dialog, static_cast<int>(i));
  }
}

std::wstring EditText(HWND dialog) {
  HWND edit = GetDlgItem(dialog, IDC_ADV_VALUE);
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
  return text;
}

bool Apply(HWND dialog) {
  AdvancedState& st = *StateOf(dialog);
  Settings& live = st.host->settings();
  Settings candidate = live;
  if (auto bad = prefs::ApplyAdvancedRows(st.rows, candidate)) {
    const std::wstring text = st.translator.LoadString(IDS_ADVANCED_BAD_VALUE) + L" " + *bad;
    MessageBoxW(dialog, text.c_str(), L"ZUL", MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  live = candidate;
  return true;
}

INT_PTR CALLBACK Proc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      StateOf(dialog)->translator.TranslateDialog(dialog, IDD_ADVANCED);
      Fill(dialog);
      return TRUE;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->idFrom == IDC_ADV_LIST && header->code == LVN_ITEMCHANGED) {
        const int sel = Selected(dialog);
        if (sel >= 0)
          SetDlgItemTextW(dialog, IDC_ADV_VALUE, StateOf(dialog)->rows[static_cast<size_t>(sel)].value.c_str());
      }
      break;
    }
    case WM_COMMAND: {
      AdvancedState& st = *StateOf(dialog);
      const int sel = Selected(dialog);
      switch (LOWORD(wParam)) {
        case IDC_ADV_SET:
        case IDC_ADV_DEFAULT:
          if (sel >= 0) {
            prefs::AdvancedRow& row = st.rows[static_cast<size_t>(sel)];
            row.value = LOWORD(wParam) == IDC_ADV_SET ? EditText(dialog) : row.defaultValue;
            SetDlgItemTextW(dialog, IDC_ADV_VALUE, row.value.c_str());
            ShowRow(dialog, sel);
          }
          return TRUE;
        case IDC_PREFS_APPLY:
          Apply(dialog);
          return TRUE;
        case IDOK:
          if (Apply(dialog)) EndDialog(dialog, IDOK);
          return TRUE;
        case IDCANCEL:
          EndDialog(dialog, IDCANCEL);
          return TRUE;
      }
      break;
    }
  }
  return FALSE;
}

}  // namespace

void ShowAdvancedSettings(HWND owner, PrefsHost& host) {
  AdvancedState state{&host, Translator(), prefs::AdvancedRows(host.settings())};
  DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_ADVANCED), owner, Proc,
                  reinterpret_cast<LPARAM>(&state));
}

}  // namespace zul
