#include "prefs/settings_dialog.h"

#include <commctrl.h>

#include <map>

#include "base/console_log.h"
#include "base/settings.h"
#include "pluginhost/host/plugin_guard.h"
#include "pluginhost/winamp_window/caller_memory.h"
#include "prefs/prefs_rules.h"
#include "resources/prefs_resource.h"

namespace zul {
namespace {

CSettingsDialog* g_open = nullptr;

// Tree items carry which page they show: built-in page i as i + 1, plug-in
// page j as kPluginItem + j, a level with no page of its own as 0.
constexpr LPARAM kPluginItem = 10000;

std::wstring Widen(const std::string& text) {
  if (text.empty()) return {};
  int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

// Plug-in page names are read as the records' texts are everywhere: at most
// this many bytes.
constexpr size_t kPageNameBytes = 499;

}  // namespace

CSettingsDialog* OpenSettingsDialog() { return g_open; }

CSettingsDialog::CSettingsDialog(PrefsHost& host) : host_(host) {}

CSettingsDialog::~CSettingsDialog() { Close(); }

void CSettingsDialog::Open(int page, void* pluginPage) {
  if (!hwnd_) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES | ICC_HOTKEY_CLASS |
                                                       ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    pages_ = MakeBuiltinPages();
    hwnd_ = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_PREFS_SHEET), nullptr, StaticProc,
                               reinterpret_cast<LPARAM>(this));
    if (!hwnd_) {
      ZUL_LOG(L"The preferences dialog could not be created (%lu)", GetLastError());
      pages_.clear();
      return;
    }
    g_open = this;
    hook_ = SetWindowsHookExW(WH_GETMESSAGE, KeyboardHook, nullptr, GetCurrentThreadId());
    ReadPluginPages();
    FillTree();
    if (page < 0 && !pluginPage) page = 0;
  }
  LPARAM wanted = 0;
  if (pluginPage) {
    for (size_t j = 0; j < pluginPages_.size(); ++j)
      if (pluginPages_[j].record == pluginPage) wanted = kPluginItem + static_cast<LPARAM>(j);
  } else if (page >= 0 && page < static_cast<int>(pages_.size())) {
    wanted = page + 1;
  }
  if (wanted) {
    // Selecting the tree item shows the page (TVN_SELCHANGED).
    HWND tree = GetDlgItem(hwnd_, IDC_PREFS_TREE);
    std::vector<HTREEITEM> stack{TreeView_GetRoot(tree)};
    while (!stack.empty()) {
      HTREEITEM item = stack.back();
      stack.pop_back();
      if (!item) continue;
      TVITEMW tv{};
      tv.mask = TVIF_PARAM;
      tv.hItem = item;
      TreeView_GetItem(tree, &tv);
      if (tv.lParam == wanted) {
        TreeView_SelectItem(tree, item);
        break;
      }
      stack.push_back(TreeView_GetNextSibling(tree, item));
      stack.push_back(TreeView_GetChild(tree, item));
    }
  }
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
}

void CSettingsDialog::Close() {
  if (!hwnd_) return;
  Finish();
}

void CSettingsDialog::Finish() {
  DropPluginPages();
  for (auto& page : pages_) {
    if (page->hwnd()) page->Closing();
    page->Destroy();
  }
  if (hook_) UnhookWindowsHookEx(hook_);
  hook_ = nullptr;
  // The hotkeys are back before the dialog is gone: whoever sees it gone
  // may try the same combination at once.
  if (hotkeysSuspended_) host_.ResumeHotkeys();
  hotkeysSuspended_ = false;
  HWND window = hwnd_;
  hwnd_ = nullptr;
  shown_ = nullptr;
  shownItem_ = 0;
  if (g_open == this) g_open = nullptr;
  if (window) DestroyWindow(window);
  pages_.clear();
}

LRESULT CALLBACK CSettingsDialog::KeyboardHook(int code, WPARAM wParam, LPARAM lParam) {
  auto* msg = reinterpret_cast<MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE && g_open && g_open->hwnd_ && msg->message >= WM_KEYFIRST &&
      msg->message <= WM_KEYLAST && (msg->hwnd == g_open->hwnd_ || IsChild(g_open->hwnd_, msg->hwnd))) {
    // A hotkey control takes every key, Tab included, as a hotkey to edit.
    wchar_t cls[32] = L"";
    GetClassNameW(msg->hwnd, cls, 32);
    if (lstrcmpiW(cls, HOTKEY_CLASSW) != 0 && IsDialogMessageW(g_open->hwnd_, msg)) {
      msg->message = WM_NULL;
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

INT_PTR CALLBACK CSettingsDialog::StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    reinterpret_cast<CSettingsDialog*>(lParam)->hwnd_ = hwnd;
  }
  auto* self = reinterpret_cast<CSettingsDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  return self ? self->OnMessage(msg, wParam, lParam) : FALSE;
}

INT_PTR CSettingsDialog::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      translator_.TranslateDialog(hwnd_, IDD_PREFS_SHEET);
      return TRUE;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->idFrom == IDC_PREFS_TREE && header->code == TVN_SELCHANGEDW) {
        ShowItem(reinterpret_cast<NMTREEVIEWW*>(lParam)->itemNew.lParam);
        return TRUE;
      }
      break;
    }
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          if (Apply()) Finish();
          return TRUE;
        case IDCANCEL:
          Finish();
          return TRUE;
        case IDC_PREFS_APPLY:
          Apply();
          return TRUE;
      }
      break;
    case WM_CLOSE:
      Finish();
      return TRUE;
  }
  return FALSE;
}

void CSettingsDialog::ReadPluginPages() {
  pluginPages_.clear();
  for (_prefsDlgRec* record : host_.PluginPages()) {
    PluginPage page;
    page.record = record;
    std::string name;
    if (!ReadCallerBytes(record, &page.copy, sizeof page.copy) || !page.copy.name ||
        !ReadCallerText(page.copy.name, kPageNameBytes, name)) {
      LogUnusablePointer(L"a plug-in's preferences page", record);
      continue;
    }
    page.path = Widen(name);
    pluginPages_.push_back(page);
  }
}

void CSettingsDialog::FillTree() {
  HWND tree = GetDlgItem(hwnd_, IDC_PREFS_TREE);
  TreeView_DeleteAllItems(tree);
  std::map<std::wstring, HTREEITEM> levels;  // path so far -> its item
  auto insert = [&](const std::wstring& path, LPARAM item) {
    std::wstring sofar;
    HTREEITEM parent = TVI_ROOT;
    const std::vector<std::wstring> parts = prefs::SplitPagePath(path);
    for (size_t i = 0; i < parts.size(); ++i) {
      sofar += (i ? L"::" : L"") + parts[i];
      const bool last = i + 1 == parts.size();
      auto found = levels.find(sofar);
      if (found != levels.end()) {
        if (last) {
          TVITEMW tv{};
          tv.mask = TVIF_PARAM;
          tv.hItem = found->second;
          TreeView_GetItem(tree, &tv);
          if (tv.lParam == 0) {
            tv.lParam = item;
            TreeView_SetItem(tree, &tv);
          }
        }
        parent = found->second;
        continue;
      }
      // Built-in level names are translated with the page's dialog id.
      std::wstring label = parts[i];
      if (item > 0 && item < kPluginItem && last)
        label = translator_.Translate(pages_[static_cast<size_t>(item - 1)]->dialogId(), label);
      TVINSERTSTRUCTW ins{};
      ins.hParent = parent;
      ins.hInsertAfter = TVI_LAST;
      ins.item.mask = TVIF_TEXT | TVIF_PARAM;
      ins.item.pszText = label.data();
      ins.item.lParam = last ? item : 0;
      HTREEITEM created = TreeView_InsertItem(tree, &ins);
      levels[sofar] = created;
      parent = created;
    }
    if (parent != TVI_ROOT) TreeView_EnsureVisible(tree, parent);
  };
  for (size_t i = 0; i < pages_.size(); ++i) insert(pages_[i]->path(), static_cast<LPARAM>(i + 1));
  for (size_t j = 0; j < pluginPages_.size(); ++j) insert(pluginPages_[j].path, kPluginItem + static_cast<LPARAM>(j));
  TreeView_EnsureVisible(tree, TreeView_GetRoot(tree));
}

void CSettingsDialog::Place(HWND page) {
  RECT area;
  GetWindowRect(GetDlgItem(hwnd_, IDC_PREFS_AREA), &area);
  MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&area), 2);
  SetWindowPos(page, HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top, SWP_NOSIZE);
}

HWND CSettingsDialog::CreatePluginPage(PluginPage& page) {
  const _prefsDlgRec rec = page.copy;
  HWND parent = hwnd_;
  HWND created = nullptr;
  GuardFault fault = Guarded([&] {
    created =
        CreateDialogParamA(rec.hInst, MAKEINTRESOURCEA(rec.dlgID), parent, reinterpret_cast<DLGPROC>(rec.proc), 0);
  });
  if (fault.faulted) {
    ZUL_LOG(L"The preferences page %s faulted (%s) while it was created", page.path.c_str(), FaultName(fault.code));
    return nullptr;
  }
  if (!created) ZUL_LOG(L"The preferences page %s has no dialog %d", page.path.c_str(), rec.dlgID);
  return created;
}

void CSettingsDialog::ShowItem(LPARAM item) {
  HWND next = nullptr;
  if (item >= kPluginItem) {
    size_t j = static_cast<size_t>(item - kPluginItem);
    if (j < pluginPages_.size()) {
      PluginPage& page = pluginPages_[j];
      if (!page.hwnd || !IsWindow(page.hwnd)) page.hwnd = CreatePluginPage(page);
      next = page.hwnd;
    }
  } else if (item > 0 && static_cast<size_t>(item) <= pages_.size()) {
    CPrefsPage& page = *pages_[static_cast<size_t>(item - 1)];
    if (page.dialogId() == IDD_PAGE_HOTKEYS && !hotkeysSuspended_) {
      host_.SuspendHotkeys();
      hotkeysSuspended_ = true;
    }
    if (!page.hwnd()) page.Create(hwnd_, host_, translator_);
    next = page.hwnd();
  }
  if (shown_ && shown_ != next && IsWindow(shown_)) ShowWindow(shown_, SW_HIDE);
  shown_ = next;
  shownItem_ = item;
  if (next) {
    Place(next);
    ShowWindow(next, SW_SHOW);
  }
}

bool CSettingsDialog::Apply() {
  Settings& live = host_.settings();
  Settings candidate = live;
  for (auto& page : pages_)
    if (page->hwnd()) page->Store(candidate);
  if (int refusal = prefs::RefusalMessage(candidate)) {
    MessageBoxW(hwnd_, translator_.LoadString(refusal).c_str(), L"ZUL", MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  const bool restart = prefs::NeedsRestart(live, candidate);
  live = candidate;
  for (auto& page : pages_)
    if (page->hwnd()) page->Applied();
  ZUL_LOG(L"Preferences applied");
  if (restart && MessageBoxW(hwnd_, translator_.LoadString(IDS_MUST_RESTART).c_str(), L"ZUL",
                             MB_YESNO | MB_ICONQUESTION) != IDNO) {
    host_.Restart();
  }
  return true;
}

void CSettingsDialog::DropPluginPages() {
  for (PluginPage& page : pluginPages_) {
    if (page.hwnd && IsWindow(page.hwnd)) {
      if (shown_ == page.hwnd) shown_ = nullptr;
      HWND window = page.hwnd;
      Guarded([&] { DestroyWindow(window); });
    }
    page.hwnd = nullptr;
  }
}

void CSettingsDialog::RebuildTree() {
  if (!hwnd_) return;
  DropPluginPages();
  const LPARAM keep = shownItem_ < kPluginItem ? shownItem_ : 0;
  ReadPluginPages();
  FillTree();
  if (keep > 0) Open(static_cast<int>(keep - 1), nullptr);
}

}  // namespace zul
