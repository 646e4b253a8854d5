#include "equalizer/window/eq_window.h"

#include <commctrl.h>
#include <commdlg.h>

#include <array>
#include <cmath>
#include <cwchar>
#include <string>

#include "base/console_log.h"
#include "base/settings.h"
#include "base/whole_file.h"
#include "base/win32_handles.h"
#include "equalizer/equalizer.h"
#include "equalizer/window/eq_preset_file.h"
#include "equalizer/window/eq_window_ids.h"
#include "equalizer/window/eq_window_text.h"

namespace zul {
namespace {

// Slider ids in the order of the 38 values.
constexpr std::array<int, kEqValueCount> kSliders = {
    1453, 1434, 1436, 1437, 1438, 1439, 1440, 1441, 1442, 1443, 1444, 1445, 1446, 1447, 1448, 1449, 1450, 1451, 1452,
    1472, 1454, 1455, 1456, 1457, 1458, 1459, 1460, 1461, 1462, 1463, 1464, 1465, 1466, 1467, 1468, 1469, 1470, 1471};

std::wstring Str(UINT id) {
  wchar_t text[256] = L"";
  LoadStringW(GetModuleHandleW(nullptr), id, text, 256);
  return text;
}

std::wstring TextOf(HWND dialog, int id) {
  wchar_t text[128] = L"";
  GetDlgItemTextW(dialog, id, text, 128);
  return text;
}

float NumberOf(HWND dialog, int id) {
  std::wstring t = TextOf(dialog, id);
  wchar_t* end = nullptr;
  double v = std::wcstod(t.c_str(), &end);
  return std::isfinite(v) && std::fabs(v) < 1e7 ? static_cast<float>(v) : 0.f;
}

class CEqualizerDlg {
public:
  bool Create(HWND owner, Settings* settings) {
    settings_ = settings;
    return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_EQUALIZER), owner, Proc,
                              reinterpret_cast<LPARAM>(this)) != nullptr;
  }
  ~CEqualizerDlg() {
    if (dialog_) DestroyWindow(dialog_);
  }
  HWND hwnd() const { return dialog_; }
  void Show() {
    ShowWindow(dialog_, SW_SHOW);
    SetForegroundWindow(dialog_);
  }

private:
  static INT_PTR CALLBACK Proc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      reinterpret_cast<CEqualizerDlg*>(lParam)->dialog_ = dialog;
    }
    auto* self = reinterpret_cast<CEqualizerDlg*>(GetWindowLongPtrW(dialog, DWLP_USER));
    return self ? self->Handle(msg, wParam, lParam) : FALSE;
  }
  INT_PTR Handle(UINT msg, WPARAM wParam, LPARAM lParam);

  void Init();
  void ShowSliders();
  void FillRecords(int select);
  void ShowRecord(int index);
  void StoreRecord();
  void OnSlider();
  void Apply();
  void Close();
  void Load();
  void Save();
  bool AskFile(bool save, std::wstring& path);
  void Warn(const std::wstring& text) { MessageBoxW(dialog_, text.c_str(), L"ZUL", MB_OK | MB_ICONWARNING); }

  HWND dialog_ = nullptr;
  Settings* settings_ = nullptr;
  EqPreset current_;
  EqPreset kept_;  // what Cancel puts back
  int selected_ = -1;
  bool lock_ = false;
  EqStatusFormats formats_;
};

void CEqualizerDlg::Init() {
  formats_ = {Str(IDS_EQ_L_PREAMP_CUT), Str(IDS_EQ_L_PREAMP), Str(IDS_EQ_R_PREAMP_CUT), Str(IDS_EQ_R_PREAMP),
              Str(IDS_EQ_L_BAND_CUT),   Str(IDS_EQ_L_BAND),   Str(IDS_EQ_R_BAND_CUT),   Str(IDS_EQ_R_BAND)};
  CEqualizer* eq = TheEqualizer();
  if (eq) current_ = eq->Preset();
  kept_ = current_;
  for (int id : kSliders) {
    SendDlgItemMessageW(dialog_, id, TBM_SETRANGE, FALSE, MAKELPARAM(0, kEqMaxCut));
    SendDlgItemMessageW(dialog_, id, TBM_SETPAGESIZE, 0, 6);
  }
  ShowSliders();
  FillRecords(-1);
  CheckDlgButton(dialog_, IDC_EQ_ENABLE, eq && eq->Enabled() ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog_, IDC_EQ_DITHER, eq && eq->Dither() ? BST_CHECKED : BST_UNCHECKED);
  HMENU system = GetSystemMenu(dialog_, FALSE);
  AppendMenuW(system, MF_SEPARATOR, 0, nullptr);
  const bool onTop = settings_ && settings_->eqOnTop;
  AppendMenuW(system, MF_STRING | (onTop ? MF_CHECKED : 0), IDM_EQ_ON_TOP, Str(IDS_EQ_ON_TOP).c_str());
  if (onTop) SetWindowPos(dialog_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (settings_ && settings_->equalizerRect.left != -1000 && settings_->equalizerRect.top != -1000)
    SetWindowPos(dialog_, nullptr, settings_->equalizerRect.left, settings_->equalizerRect.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CEqualizerDlg::ShowSliders() {
  for (int i = 0; i < kEqValueCount; ++i)
    SendDlgItemMessageW(dialog_, kSliders[i], TBM_SETPOS, TRUE, current_.values[i]);
}

void CEqualizerDlg::FillRecords(int select) {
  HWND list = GetDlgItem(dialog_, IDC_EQ_RECORDS);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const EqParam& p : current_.params)
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(EqRecordLine(p).c_str()));
  ShowRecord(select);
}

void CEqualizerDlg::ShowRecord(int index) {
  selected_ = index >= 0 && index < static_cast<int>(current_.params.size()) ? index : -1;
  SendDlgItemMessageW(dialog_, IDC_EQ_RECORDS, LB_SETCURSEL, selected_, 0);
  const bool on = selected_ >= 0;
  for (int id : {IDC_EQ_LOWER, IDC_EQ_UPPER, IDC_EQ_GAIN, IDC_EQ_REC_LEFT, IDC_EQ_REC_RIGHT})
    EnableWindow(GetDlgItem(dialog_, id), on);
  if (!on) {
    for (int id : {IDC_EQ_LOWER, IDC_EQ_UPPER, IDC_EQ_GAIN}) SetDlgItemTextW(dialog_, id, L"");
    CheckDlgButton(dialog_, IDC_EQ_REC_LEFT, BST_UNCHECKED);
    CheckDlgButton(dialog_, IDC_EQ_REC_RIGHT, BST_UNCHECKED);
    return;
  }
  const EqParam& p = current_.params[selected_];
  wchar_t text[64];
  std::swprintf(text, 64, L"%.10g", p.lower);
  SetDlgItemTextW(dialog_, IDC_EQ_LOWER, text);
  std::swprintf(text, 64, L"%.10g", p.upper);
  SetDlgItemTextW(dialog_, IDC_EQ_UPPER, text);
  std::swprintf(text, 64, L"%.10g", p.gain);
  SetDlgItemTextW(dialog_, IDC_EQ_GAIN, text);
  CheckDlgButton(dialog_, IDC_EQ_REC_LEFT, p.left ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog_, IDC_EQ_REC_RIGHT, p.right ? BST_CHECKED : BST_UNCHECKED);
}

// The edits and checks into the selected record; the list is sorted again
// with the selection kept on the same record.
void CEqualizerDlg::StoreRecord() {
  if (selected_ < 0) return;
  EqParam& p = current_.params[selected_];
  p.lower = NumberOf(dialog_, IDC_EQ_LOWER);
  p.upper = NumberOf(dialog_, IDC_EQ_UPPER);
  p.gain = NumberOf(dialog_, IDC_EQ_GAIN);
  p.left = IsDlgButtonChecked(dialog_, IDC_EQ_REC_LEFT) == BST_CHECKED;
  p.right = IsDlgButtonChecked(dialog_, IDC_EQ_REC_RIGHT) == BST_CHECKED;
  std::vector<size_t> order;
  SortEqRecords(current_.params, &order);
  int now = selected_;
  for (size_t i = 0; i < order.size(); ++i)
    if (order[i] == static_cast<size_t>(selected_)) now = static_cast<int>(i);
  FillRecords(now);
  Apply();
}

void CEqualizerDlg::OnSlider() {
  std::array<int, kEqValueCount> now{};
  for (int i = 0; i < kEqValueCount; ++i)
    now[i] = static_cast<int>(SendDlgItemMessageW(dialog_, kSliders[i], TBM_GETPOS, 0, 0));
  bool changed = false;
  for (int i = 0; i < kEqValueCount; ++i) {
    if (now[i] == current_.values[i]) continue;
    changed = true;
    SetDlgItemTextW(dialog_, IDC_EQ_STATUS, EqStatusText(formats_, i, now[i]).c_str());
    if (lock_) {
      const int twin = i < kEqRightPreamp ? i + kEqRightPreamp : i - kEqRightPreamp;
      now[twin] = now[i];
      SendDlgItemMessageW(dialog_, kSliders[twin], TBM_SETPOS, TRUE, now[i]);
    }
    break;
  }
  if (!changed) return;
  current_.values = now;
  Apply();
}

void CEqualizerDlg::Apply() {
  CEqualizer* eq = TheEqualizer();
  if (!eq) return;
  eq->SetPreset(current_);
  eq->ApplyGains();
}

void CEqualizerDlg::Close() {
  current_ = kept_;
  ShowSliders();
  FillRecords(-1);
  Apply();
  if (settings_) {
    settings_->eqBands = MakeEqualizerLines(kept_);
    RECT r{};
    GetWindowRect(dialog_, &r);
    settings_->equalizerRect.left = r.left;
    settings_->equalizerRect.top = r.top;
  }
  ShowWindow(dialog_, SW_HIDE);
}

bool CEqualizerDlg::AskFile(bool save, std::wstring& path) {
  std::wstring filter = Str(IDS_EQ_FILE_FILTER);
  for (auto& c : filter)
    if (c == L'|') c = L'\0';
  wchar_t name[MAX_PATH] = L"";
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = dialog_;
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = name;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrDefExt = L"eq";
  ofn.Flags = OFN_HIDEREADONLY | OFN_EXPLORER |
              (save ? OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST : OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST);
  if (!(save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn))) return false;
  path = name;
  return !path.empty();
}

void CEqualizerDlg::Load() {
  std::wstring path;
  if (!AskFile(false, path)) return;
  std::string bytes;
  if (!ReadWholeFile(path, kEqPresetFileMaxBytes, &bytes) && GetLastError() != ERROR_FILE_TOO_LARGE) {
    Warn(Str(IDS_EQ_CANNOT_OPEN));
    return;
  }
  // A file over the limit is no preset: the parser refuses it as such.
  if (GetLastError() == ERROR_FILE_TOO_LARGE) bytes.assign(kEqPresetFileMaxBytes + 1, ' ');
  EqPresetFileRead read = ParsePresetFile(bytes);
  if (!read.preset) {
    wchar_t text[128];
    if (read.recordFields)
      std::swprintf(text, 128, Str(IDS_EQ_FORMAT_ERROR2).c_str(), read.recordFields);
    else
      std::wcsncpy(text, Str(IDS_EQ_FORMAT_ERROR).c_str(), 127), text[127] = 0;
    ZUL_LOG(L"Equalizer: %ls refused (%ls); the settings stay", path.c_str(), text);
    Warn(text);
    return;
  }
  current_ = *read.preset;
  ShowSliders();
  FillRecords(-1);
  Apply();
}

// Written to a new file beside the target and moved over it, so an old
// preset is never left half-overwritten.
void CEqualizerDlg::Save() {
  std::wstring path;
  if (!AskFile(true, path)) return;
  Apply();
  const std::string text = FormatPresetFile(current_);
  const std::wstring temp = path + L".saving";
  bool ok = false;
  {
    UniqueHandle file(
        CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    ok = file && WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size() && FlushFileBuffers(file.Get());
  }
  ok = ok && MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!ok) {
    DeleteFileW(temp.c_str());
    Warn(Str(IDS_EQ_CANNOT_OPEN));
  }
}

INT_PTR CEqualizerDlg::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      Init();
      return TRUE;
    case WM_VSCROLL:
      OnSlider();
      return TRUE;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == IDM_EQ_ON_TOP || wParam == IDM_EQ_ON_TOP) {
        const bool on = !(GetWindowLongW(dialog_, GWL_EXSTYLE) & WS_EX_TOPMOST);
        SetWindowPos(dialog_, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        CheckMenuItem(GetSystemMenu(dialog_, FALSE), IDM_EQ_ON_TOP, on ? MF_CHECKED : MF_UNCHECKED);
        if (settings_) settings_->eqOnTop = on;
        return TRUE;
      }
      break;
    case WM_CLOSE:
      Close();
      return TRUE;
    case WM_COMMAND: {
      const int id = LOWORD(wParam), code = HIWORD(wParam);
      switch (id) {
        case IDC_EQ_UP:
        case IDC_EQ_DOWN:
          if (ShiftEqBands(current_, id == IDC_EQ_UP ? -1 : +1)) {
            ShowSliders();
            Apply();
          }
          return TRUE;
        case IDC_EQ_LOCK:
          lock_ = IsDlgButtonChecked(dialog_, IDC_EQ_LOCK) == BST_CHECKED;
          return TRUE;
        case IDC_EQ_ENABLE:
          if (CEqualizer* eq = TheEqualizer())
            eq->SetEnabled(IsDlgButtonChecked(dialog_, IDC_EQ_ENABLE) == BST_CHECKED);
          if (settings_) settings_->enableEq = IsDlgButtonChecked(dialog_, IDC_EQ_ENABLE) == BST_CHECKED;
          return TRUE;
        case IDC_EQ_DITHER:
          if (CEqualizer* eq = TheEqualizer()) eq->SetDither(IsDlgButtonChecked(dialog_, IDC_EQ_DITHER) == BST_CHECKED);
          return TRUE;
        case IDC_EQ_NEW:
          StoreRecord();
          current_.params.push_back(EqParam{});
          FillRecords(static_cast<int>(current_.params.size()) - 1);
          Apply();
          return TRUE;
        case IDC_EQ_DELETE:
          if (selected_ >= 0) {
            current_.params.erase(current_.params.begin() + selected_);
            FillRecords(-1);
            Apply();
          }
          return TRUE;
        case IDC_EQ_RECORDS:
          if (code == LBN_SELCHANGE) {
            const int now = static_cast<int>(SendDlgItemMessageW(dialog_, IDC_EQ_RECORDS, LB_GETCURSEL, 0, 0));
            StoreRecord();
            ShowRecord(now);
          }
          return TRUE;
        case IDC_EQ_LOWER:
        case IDC_EQ_UPPER:
        case IDC_EQ_GAIN:
          if (code == EN_KILLFOCUS) StoreRecord();
          return TRUE;
        case IDC_EQ_REC_LEFT:
        case IDC_EQ_REC_RIGHT:
          StoreRecord();
          return TRUE;
        case IDC_EQ_LOAD:
          Load();
          return TRUE;
        case IDC_EQ_SAVE:
          Save();
          return TRUE;
        case IDC_EQ_PREVIEW:
          Apply();
          return TRUE;
        case IDOK:
          StoreRecord();
          kept_ = current_;
          Close();
          return TRUE;
        case IDCANCEL:
          Close();
          return TRUE;
      }
      break;
    }
    case WM_NCDESTROY:
      dialog_ = nullptr;
      break;
  }
  return FALSE;
}

CEqualizerDlg* g_dialog = nullptr;

}  // namespace

void ShowEqualizerDialog(HWND owner, Settings* settings) {
  if (!g_dialog) {
    auto* dialog = new CEqualizerDlg;
    if (!dialog->Create(owner, settings)) {
      delete dialog;
      ZUL_LOG(L"Equalizer window: dialog 105 could not be created");
      return;
    }
    g_dialog = dialog;
  }
  g_dialog->Show();
}

bool EqualizerDialogVisible() { return g_dialog && g_dialog->hwnd() && IsWindowVisible(g_dialog->hwnd()); }

void DestroyEqualizerDialog() {
  delete g_dialog;
  g_dialog = nullptr;
}

}  // namespace zul
