// Reads the state of a running zul.exe's windows for the preferences tests,
// which drive them with real mouse and keyboard input from outside. Each
// call prints one answer and ends.
//   prefs_probe center <window title> <control id>   screen x y of the visible control's centre
//   prefs_probe corner <window title> <control id>   screen x y just inside the control's top left
//   prefs_probe visible <window title> <control id>  1 when the control is shown, else 0
//   prefs_probe check <window title> <control id>    button state (0, 1, 2)
//   prefs_probe text <window title> <control id>     the control's text (0: the window's own)
//   prefs_probe items <window title> <control id>    the list box's entries, one a line
//   prefs_probe lvchecks <window title> <control id> the list view's check boxes, 0/1 a line
//   prefs_probe treecount <window title>             items in the tree
//   prefs_probe message <caption>                    text of a shown message box with that caption (exit 1: none)
//   prefs_probe ipc - <number>                       the Winamp window's answer to WM_USER with lParam number
//   prefs_probe dropped <window title> <control id>  1 while the combo box's list is open
//   prefs_probe console -                            the program's console lines
//   prefs_probe register <vk> <modifiers>            1 when this process can take that global hotkey
//   prefs_probe wait <window title> [ms]             waits until the window exists (exit 1 when it never does)
//   prefs_probe gone <window title> [ms]             waits until it no longer exists
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct TopSearch {
  const wchar_t* title;
  HWND found;
};

BOOL CALLBACK FindTop(HWND w, LPARAM param) {
  auto* s = reinterpret_cast<TopSearch*>(param);
  wchar_t text[256] = L"", cls[64] = L"";
  GetClassNameW(w, cls, 64);
  // Tooltips take their owner's title.
  if (lstrcmpiW(cls, TOOLTIPS_CLASSW) == 0) return TRUE;
  if (IsWindowVisible(w) && GetWindowTextW(w, text, 256) && lstrcmpW(text, s->title) == 0) {
    s->found = w;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK FindSheet(HWND w, LPARAM param) {
  HWND tree = GetDlgItem(w, 23100);
  wchar_t cls[64] = L"";
  if (tree && IsWindowVisible(w) && GetClassNameW(tree, cls, 64) && lstrcmpiW(cls, WC_TREEVIEWW) == 0) {
    *reinterpret_cast<HWND*>(param) = w;
    return FALSE;
  }
  return TRUE;
}

// The shown top-level window with that title (the program's hidden console
// is titled "ZUL" too). "-sheet-" names the preferences dialog in any
// language: the window with its tree.
HWND Top(const wchar_t* title) {
  if (lstrcmpW(title, L"-sheet-") == 0) {
    HWND sheet = nullptr;
    EnumWindows(FindSheet, reinterpret_cast<LPARAM>(&sheet));
    return sheet;
  }
  TopSearch s{title, nullptr};
  EnumWindows(FindTop, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

struct Search {
  int id;
  HWND found;
  bool visibleOnly;
};

BOOL CALLBACK FindChild(HWND child, LPARAM param) {
  auto* s = reinterpret_cast<Search*>(param);
  if (GetDlgCtrlID(child) == s->id && (!s->visibleOnly || IsWindowVisible(child))) {
    s->found = child;
    return FALSE;
  }
  return TRUE;
}

HWND Control(const wchar_t* title, int id, bool visibleOnly = true) {
  HWND top = Top(title);
  if (!top) return nullptr;
  if (id == 0) return top;
  Search s{id, nullptr, visibleOnly};
  EnumChildWindows(top, FindChild, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

std::wstring Text(HWND w) {
  wchar_t buffer[4096] = L"";
  SendMessageTimeoutW(w, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer), SMTO_BLOCK, 5000, nullptr);
  return buffer;
}

void Print(const std::wstring& text) {
  // UTF-8, so that the French texts reach the script as they are.
  int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
  std::fputs(out.c_str(), stdout);
  std::fputs("\n", stdout);
}

BOOL CALLBACK CollectTop(HWND w, LPARAM param) {
  if (IsWindowVisible(w)) reinterpret_cast<std::vector<HWND>*>(param)->push_back(w);
  return TRUE;
}

BOOL CALLBACK CollectStatic(HWND w, LPARAM param) {
  wchar_t cls[32] = L"";
  GetClassNameW(w, cls, 32);
  if (lstrcmpiW(cls, L"Static") == 0 && GetDlgCtrlID(w) == 0xFFFF) *reinterpret_cast<HWND*>(param) = w;
  return TRUE;
}

bool WaitFor(const wchar_t* title, DWORD ms, bool present) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) {
    if ((Top(title) != nullptr) == present) return true;
    Sleep(50);
  }
  return false;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  const std::wstring cmd = argv[1];
  const wchar_t* title = argv[2];
  const int id = argc > 3 ? _wtoi(argv[3]) : 0;
  if (cmd == L"center") {
    HWND c = Control(title, id);
    if (!c) return 1;
    RECT r;
    GetWindowRect(c, &r);
    std::printf("%ld %ld\n", (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    return 0;
  }
  if (cmd == L"corner") {
    HWND c = Control(title, id);
    if (!c) return 1;
    RECT r;
    GetWindowRect(c, &r);
    std::printf("%ld %ld\n", r.left + 40, r.top + 8);
    return 0;
  }
  if (cmd == L"visible") {
    std::printf("%d\n", Control(title, id) != nullptr ? 1 : 0);
    return 0;
  }
  if (cmd == L"check") {
    HWND c = Control(title, id, false);
    if (!c) return 1;
    std::printf("%d\n", static_cast<int>(SendMessageW(c, BM_GETCHECK, 0, 0)));
    return 0;
  }
  if (cmd == L"text") {
    HWND c = Control(title, id, false);
    if (!c) return 1;
    Print(Text(c));
    return 0;
  }
  if (cmd == L"items") {
    HWND c = Control(title, id);
    if (!c) return 1;
    const LRESULT n = SendMessageW(c, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
      wchar_t buffer[1024] = L"";
      if (SendMessageW(c, LB_GETTEXTLEN, i, 0) < 1000) SendMessageW(c, LB_GETTEXT, i, reinterpret_cast<LPARAM>(buffer));
      Print(buffer);
    }
    return 0;
  }
  if (cmd == L"lvchecks") {
    HWND c = Control(title, id);
    if (!c) return 1;
    const LRESULT n = SendMessageW(c, LVM_GETITEMCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
      const LRESULT state = SendMessageW(c, LVM_GETITEMSTATE, i, LVIS_STATEIMAGEMASK);
      std::printf("%d\n", ((state & LVIS_STATEIMAGEMASK) >> 12) == 2 ? 1 : 0);
    }
    return 0;
  }
  if (cmd == L"treecount") {
    HWND top = Top(title);
    HWND tree = top ? GetDlgItem(top, 23100) : nullptr;
    if (!tree) return 1;
    std::printf("%d\n", static_cast<int>(SendMessageW(tree, TVM_GETCOUNT, 0, 0)));
    return 0;
  }
  if (cmd == L"message") {
    std::vector<HWND> windows;
    EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&windows));
    for (HWND w : windows) {
      wchar_t cls[32] = L"";
      GetClassNameW(w, cls, 32);
      if (lstrcmpW(cls, L"#32770") != 0 || Text(w) != title) continue;
      HWND text = nullptr;
      EnumChildWindows(w, CollectStatic, reinterpret_cast<LPARAM>(&text));
      if (text) {
        Print(Text(text));
        return 0;
      }
    }
    return 1;
  }
  if (cmd == L"ipc") {
    HWND winamp = FindWindowW(L"Winamp v1.x", nullptr);
    if (!winamp) return 1;
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(winamp, WM_USER, 0, id, SMTO_BLOCK, 10000, &answer);
    std::printf("%lld\n", static_cast<long long>(answer));
    return 0;
  }
  if (cmd == L"console") {
    HWND c = FindWindowW(L"ListBox", L"ZUL");
    if (!c) return 1;
    const LRESULT n = SendMessageW(c, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
      wchar_t buffer[2048] = L"";
      if (SendMessageW(c, LB_GETTEXTLEN, i, 0) < 2000) SendMessageW(c, LB_GETTEXT, i, reinterpret_cast<LPARAM>(buffer));
      Print(buffer);
    }
    return 0;
  }
  if (cmd == L"dropped") {
    HWND c = Control(title, id);
    if (!c) return 1;
    std::printf("%d\n", static_cast<int>(SendMessageW(c, CB_GETDROPPEDSTATE, 0, 0)));
    return 0;
  }
  if (cmd == L"register") {
    const bool free = RegisterHotKey(nullptr, 1, static_cast<UINT>(id), static_cast<UINT>(_wtoi(title))) != 0;
    if (free) UnregisterHotKey(nullptr, 1);
    std::printf("%d\n", free ? 1 : 0);
    return 0;
  }
  if (cmd == L"wait" || cmd == L"gone") {
    const DWORD ms = argc > 3 ? static_cast<DWORD>(_wtoi(argv[3])) : 30000;
    return WaitFor(title, ms, cmd == L"wait") ? 0 : 1;
  }
  return 2;
}
