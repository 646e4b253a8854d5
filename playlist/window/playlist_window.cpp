#include "playlist/window/playlist_window.h"

#include <commdlg.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>

#include "base/console_log.h"
#include "base/settings.h"
#include "playlist/files/playlist_files.h"
#include "playlist/win32/playlist_messages.h"
#include "playlist/win32/playlist_service.h"
#include "playlist/win32/startup_steps.h"
#include "playlist/win32/win32_file_system.h"
#include "playlist/window/file_operations.h"
#include "playlist/window/playlist_dialogs.h"
#include "playlist/window/playlist_window_ids.h"
#include "pluginhost/host/plugin_lists.h"
#include "pluginhost/protocol/winamp_messages.h"

namespace zul {
namespace {

// The dialog's own messages arrive before WM_INITDIALOG hands over the
// object (WM_MEASUREITEM of the list, WM_SETFONT).
thread_local PlaylistWindow* g_creating = nullptr;

std::wstring Lower(std::wstring text) {
  if (!text.empty()) CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::wstring TotalTimeText(int selected, int total) {
  wchar_t text[64];
  if (total < 3600) {
    swprintf(text, 64, L"%02d:%02d / %02d:%02d", selected / 60, selected % 60, total / 60, total % 60);
  } else {
    swprintf(text, 64, L"%02d:%02d:%02d / %02d:%02d:%02d", selected / 3600, selected / 60 % 60, selected % 60,
             total / 3600, total / 60 % 60, total % 60);
  }
  return text;
}

}  // namespace

PlaylistWindow::PlaylistWindow(Settings& settings, HWND winamp) : settings_(settings), winamp_(winamp) {}

PlaylistWindow::~PlaylistWindow() {
  if (hwnd_) {
    SetPlaylistWindow(nullptr, nullptr);
    DestroyWindow(hwnd_);
  }
  if (context_) DestroyMenu(context_);
}

bool PlaylistWindow::Create(HWND owner) {
  if (hwnd_) return true;
  g_creating = this;
  HWND created = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_PLAYLIST), owner, DialogProc,
                                    reinterpret_cast<LPARAM>(this));
  g_creating = nullptr;
  if (!created) {
    ZUL_LOG(L"The playlist window could not be created (%lu)", GetLastError());
    return false;
  }
  SetPlaylistWindow(hwnd_, list_);
  return true;
}

void PlaylistWindow::Toggle() {
  if (Visible())
    Hide();
  else
    Show();
}

void PlaylistWindow::Show() {
  if (!hwnd_) return;
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  Refresh();
  SetFocus(list_);
}

void PlaylistWindow::Hide() {
  if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

void PlaylistWindow::StoreState() {
  if (!hwnd_) return;
  settings_.playlistAtStartup = Visible() ? 1 : 0;
  WINDOWPLACEMENT placement{sizeof placement};
  if (GetWindowPlacement(hwnd_, &placement)) {
    const RECT& r = placement.rcNormalPosition;
    settings_.playlistRect = SavedRect{r.left, r.top, r.right, r.bottom};
  }
  settings_.playlistOnTop = (GetWindowLongW(hwnd_, GWL_EXSTYLE) & WS_EX_TOPMOST) ? 1 : 0;
}

INT_PTR CALLBACK PlaylistWindow::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<PlaylistWindow*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (msg == WM_INITDIALOG) {
    self = reinterpret_cast<PlaylistWindow*>(lParam);
    SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    self->hwnd_ = hwnd;
  }
  if (!self) self = g_creating;
  if (!self) return FALSE;
  if (!self->hwnd_) self->hwnd_ = hwnd;
  return self->OnMessage(msg, wParam, lParam);
}

LRESULT CALLBACK PlaylistWindow::ListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<PlaylistWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  switch (msg) {
    case WM_KEYDOWN:
      if (self->OnListKey(wParam)) return 0;
      break;
    case WM_CHAR:
      if (iswalnum(static_cast<wint_t>(wParam)) && wParam < 128 && !(GetKeyState(VK_CONTROL) & 0x8000)) {
        // Typing in the list searches: the key goes on to the search box.
        SetFocus(self->search_);
        const int end = GetWindowTextLengthW(self->search_);
        SendMessageW(self->search_, EM_SETSEL, end, end);
        SendMessageW(self->search_, WM_CHAR, wParam, lParam);
        return 0;
      }
      break;
    case WM_RBUTTONDOWN: {
      // The row under a right click becomes the selection, unless it is
      // part of it already, so the context menu acts on what was clicked.
      LRESULT hit = SendMessageW(hwnd, LB_ITEMFROMPOINT, 0, lParam);
      const int row = LOWORD(hit);
      if (HIWORD(hit) == 0 && row < static_cast<int>(self->rows_.size()) &&
          SendMessageW(hwnd, LB_GETSEL, static_cast<WPARAM>(row), 0) <= 0)
        self->SelectRow(row, true);
      else if (HIWORD(hit) != 0)
        SendMessageW(hwnd, LB_SETSEL, FALSE, -1);
      return 0;
    }
  }
  return CallWindowProcW(self->listProc_, hwnd, msg, wParam, lParam);
}

bool PlaylistWindow::OnListKey(WPARAM key) {
  const bool ctrl = GetKeyState(VK_CONTROL) & 0x8000;
  if (ctrl) {
    static constexpr struct {
      WPARAM key;
      UINT command;
    } kShortcuts[] = {
        {'A', ID_PL_SELECT_ALL}, {'O', ID_PL_OPEN},          {'S', ID_PL_SAVE},          {'T', ID_PL_EDIT_TAG},
        {'N', ID_PL_SORT_NAME},  {'F', ID_PL_SORT_FILENAME}, {'E', ID_PL_SORT_TEMPLATE}, {'H', ID_PL_SHUFFLE},
        {VK_F5, ID_PL_COPY_TO},  {VK_F6, ID_PL_MOVE_TO},     {VK_F8, ID_PL_DELETE},
    };
    for (const auto& s : kShortcuts) {
      if (s.key == key) {
        PostMessageW(hwnd_, WM_COMMAND, s.command, 0);
        return true;
      }
    }
  }
  switch (key) {
    case VK_DELETE:
      RemoveSelected();
      return true;
    case VK_INSERT:
      PostMessageW(hwnd_, WM_COMMAND, ID_PL_ADD_FILES, 0);
      return true;
    case VK_MULTIPLY:
      InvertSelection();
      return true;
    case VK_ADD:
      SelectAll();
      return true;
    case VK_RETURN: {
      const int entry = RowEntry(static_cast<int>(SendMessageW(list_, LB_GETCARETINDEX, 0, 0)));
      if (entry >= 0) PlayEntry(entry);
      return true;
    }
  }
  return false;
}

INT_PTR PlaylistWindow::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      OnInit();
      return FALSE;
    case WM_MEASUREITEM: {
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      HDC dc = GetDC(hwnd_);
      HFONT font = reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0));
      HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
      TEXTMETRICW tm{};
      GetTextMetricsW(dc, &tm);
      if (old) SelectObject(dc, old);
      ReleaseDC(hwnd_, dc);
      item->itemHeight = static_cast<UINT>(tm.tmHeight + 2);
      SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, TRUE);
      return TRUE;
    }
    case WM_DRAWITEM:
      if (wParam == IDC_PL_LIST) {
        DrawRow(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, TRUE);
        return TRUE;
      }
      return FALSE;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return TRUE;
    case WM_CLOSE:
      Hide();
      return TRUE;
    case WM_SIZE:
      Layout();
      return TRUE;
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
      info->ptMinTrackSize.x = 200;
      info->ptMinTrackSize.y = 150;
      return TRUE;
    }
    case WM_INITMENUPOPUP:
      InitMenuPopup(reinterpret_cast<HMENU>(wParam));
      return TRUE;
    case WM_CONTEXTMENU:
      if (reinterpret_cast<HWND>(wParam) == list_) {
        POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (at.x == -1 && at.y == -1) GetCursorPos(&at);
        ContextMenu(at);
        return TRUE;
      }
      return FALSE;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == (ID_PL_ALWAYS_ON_TOP & 0xFFF0) && LOWORD(wParam) == ID_PL_ALWAYS_ON_TOP) {
        settings_.playlistOnTop = settings_.playlistOnTop ? 0 : 1;
        ApplyTopmost();
        return TRUE;
      }
      return FALSE;
    case WM_DROPFILES:
      DropFiles(reinterpret_cast<HDROP>(wParam));
      return TRUE;
    case WM_ZUL_PLAYLIST_TAGS_READ:
      snapshot_ = ThePlaylist().Snapshot();
      UpdatePathAndTitle();
      InvalidateRect(list_, nullptr, FALSE);
      return TRUE;
    case WM_ZUL_PL_SELECTION_BITS: {
      LONG_PTR bits = 0;
      for (int i = 0; i < 32; ++i) {
        const WPARAM row = wParam + static_cast<WPARAM>(i);
        if (row < rows_.size() && SendMessageW(list_, LB_GETSEL, row, 0) > 0) bits |= LONG_PTR{1} << i;
      }
      SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, bits);
      return TRUE;
    }
    case WM_ZUL_PL_ROW_ENTRY:
      SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, RowEntry(static_cast<int>(wParam)));
      return TRUE;
    case WM_DESTROY:
      if (font_) DeleteObject(font_);
      font_ = nullptr;
      return FALSE;
  }
  return FALSE;
}

void PlaylistWindow::OnInit() {
  group_ = GetDlgItem(hwnd_, IDC_PL_GROUP);
  search_ = GetDlgItem(hwnd_, IDC_PL_SEARCH);
  list_ = GetDlgItem(hwnd_, IDC_PL_LIST);
  path_ = GetDlgItem(hwnd_, IDC_PL_PATH);
  SetWindowLongPtrW(list_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  listProc_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListProc)));
  context_ = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_PLAYLIST_CONTEXT));
  HMENU system = GetSystemMenu(hwnd_, FALSE);
  if (system) {
    AppendMenuW(system, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(system, MF_STRING | (settings_.playlistOnTop ? MF_CHECKED : 0), ID_PL_ALWAYS_ON_TOP,
                LoadResourceText(IDS_ALWAYS_ON_TOP).c_str());
  }
  SetWindowTextW(hwnd_, (LoadResourceText(IDS_PLAYLIST_TITLE) + L" ").c_str());
  folder_ = settings_.initDir;

  // The saved place, kept on the virtual screen.
  const SavedRect& r = settings_.playlistRect;
  if (r.left != SavedRect::kNotSaved && r.top != SavedRect::kNotSaved && r.right > r.left && r.bottom > r.top) {
    const int vx = GetSystemMetrics(SM_XVIRTUALSCREEN), vy = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int vw = GetSystemMetrics(SM_CXVIRTUALSCREEN), vh = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    const int w = std::min(r.right - r.left, vw), h = std::min(r.bottom - r.top, vh);
    const int x = std::clamp(r.left, vx, vx + vw - w), y = std::clamp(r.top, vy, vy + vh - h);
    SetWindowPos(hwnd_, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ApplyTopmost();
  Layout();
}

void PlaylistWindow::ApplyTopmost() {
  SetWindowPos(hwnd_, settings_.playlistOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  HMENU system = GetSystemMenu(hwnd_, FALSE);
  if (system)
    CheckMenuItem(system, ID_PL_ALWAYS_ON_TOP, MF_BYCOMMAND | (settings_.playlistOnTop ? MF_CHECKED : MF_UNCHECKED));
}

void PlaylistWindow::Layout() {
  if (!list_) return;
  RECT client;
  GetClientRect(hwnd_, &client);
  RECT unit{0, 0, 4, 12};
  MapDialogRect(hwnd_, &unit);
  const int margin = unit.right, edit = unit.bottom, gap = 2;
  const int w = client.right - 2 * margin;
  HDWP defer = BeginDeferWindowPos(4);
  defer =
      DeferWindowPos(defer, group_, nullptr, margin / 2, 0, client.right - margin, client.bottom - gap, SWP_NOZORDER);
  defer = DeferWindowPos(defer, search_, nullptr, margin, margin * 2, w, edit, SWP_NOZORDER);
  const int listTop = margin * 2 + edit + gap;
  const int pathTop = client.bottom - margin - edit;
  defer = DeferWindowPos(defer, list_, nullptr, margin, listTop, w, std::max(0, pathTop - gap - listTop), SWP_NOZORDER);
  defer = DeferWindowPos(defer, path_, nullptr, margin, pathTop, w, edit, SWP_NOZORDER);
  EndDeferWindowPos(defer);
}

int PlaylistWindow::RowEntry(int row) const {
  return row >= 0 && row < static_cast<int>(rows_.size()) ? rows_[static_cast<size_t>(row)] : -1;
}

void PlaylistWindow::Refresh() {
  if (!Visible() || refreshing_) return;
  refreshing_ = true;
  // A refresh requested by a worker or a load must not take the user's
  // selection away: the entries selected before (same index, same path)
  // stay selected, and the caret and the scroll position stay put.
  std::vector<std::u16string> selectedPaths(snapshot_.size());
  bool anySelected = false;
  for (int e : SelectedEntries()) {
    if (e < static_cast<int>(snapshot_.size())) {
      selectedPaths[static_cast<size_t>(e)] = snapshot_[static_cast<size_t>(e)].Path16();
      anySelected = true;
    }
  }
  const int caret = static_cast<int>(SendMessageW(list_, LB_GETCARETINDEX, 0, 0));
  const int top = static_cast<int>(SendMessageW(list_, LB_GETTOPINDEX, 0, 0));
  SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  const std::wstring search = Lower(WindowText(search_));
  snapshot_ = ThePlaylist().Snapshot();
  rows_.clear();
  rows_.reserve(snapshot_.size());
  std::wstring path;
  for (size_t i = 0; i < snapshot_.size(); ++i) {
    if (!search.empty()) {
      path = Lower(snapshot_[i].GetPath());
      if (path.find(search) == std::wstring::npos) continue;
    }
    rows_.push_back(static_cast<int>(i));
  }
  // The rows carry no text: their number is their place in rows_. (A
  // list of the no-data kind would need no rows at all, but Wine keeps no
  // selection for it.)
  SendMessageW(list_, LB_RESETCONTENT, 0, 0);
  SendMessageW(list_, LB_INITSTORAGE, rows_.size(), 0);
  for (size_t row = 0; row < rows_.size(); ++row) SendMessageW(list_, LB_ADDSTRING, 0, static_cast<LPARAM>(row));
  if (anySelected) {
    for (size_t row = 0; row < rows_.size(); ++row) {
      const size_t e = static_cast<size_t>(rows_[row]);
      if (e < selectedPaths.size() && !selectedPaths[e].empty() && selectedPaths[e] == snapshot_[e].Path16())
        SendMessageW(list_, LB_SETSEL, TRUE, static_cast<LPARAM>(row));
    }
  }
  if (!rows_.empty()) {
    SendMessageW(list_, LB_SETTOPINDEX, std::clamp(top, 0, static_cast<int>(rows_.size()) - 1), 0);
    SendMessageW(list_, LB_SETCARETINDEX, std::clamp(caret, 0, static_cast<int>(rows_.size()) - 1), TRUE);
  }
  int digits = 1;
  for (size_t n = snapshot_.size(); n >= 10 && digits < 4; n /= 10) ++digits;
  RECT unit{0, 0, 4, 8};
  MapDialogRect(hwnd_, &unit);
  numberWidth_ = digits * unit.right;
  UpdatePathAndTitle();
  SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_, nullptr, TRUE);
  refreshing_ = false;
}

std::vector<int> PlaylistWindow::SelectedRows() const {
  std::vector<int> rows;
  for (size_t row = 0; row < rows_.size(); ++row)
    if (SendMessageW(list_, LB_GETSEL, row, 0) > 0) rows.push_back(static_cast<int>(row));
  return rows;
}

std::vector<int> PlaylistWindow::SelectedEntries() const {
  std::vector<int> entries;
  for (int row : SelectedRows())
    if (int e = RowEntry(row); e >= 0) entries.push_back(e);
  return entries;
}

void PlaylistWindow::SelectRow(int row, bool only) {
  if (only) SendMessageW(list_, LB_SETSEL, FALSE, -1);
  SendMessageW(list_, LB_SETSEL, TRUE, row);
  SendMessageW(list_, LB_SETCARETINDEX, row, FALSE);
  UpdatePathAndTitle();
}

void PlaylistWindow::SelectAll() {
  if (rows_.empty()) return;
  SendMessageW(list_, LB_SETCARETINDEX, 0, FALSE);
  SendMessageW(list_, LB_SELITEMRANGEEX, 0, rows_.size() - 1);
  UpdatePathAndTitle();
}

void PlaylistWindow::InvertSelection() {
  const LRESULT caret = SendMessageW(list_, LB_GETCARETINDEX, 0, 0);
  const LRESULT top = SendMessageW(list_, LB_GETTOPINDEX, 0, 0);
  SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  for (size_t row = 0; row < rows_.size(); ++row) {
    const bool selected = SendMessageW(list_, LB_GETSEL, row, 0) > 0;
    SendMessageW(list_, LB_SETSEL, !selected, static_cast<LPARAM>(row));
  }
  SendMessageW(list_, LB_SETCARETINDEX, caret, FALSE);
  SendMessageW(list_, LB_SETTOPINDEX, top, 0);
  SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_, nullptr, TRUE);
  UpdatePathAndTitle();
}

void PlaylistWindow::UpdatePathAndTitle() {
  const std::vector<int> rows = SelectedRows();
  std::wstring path;
  if (!rows.empty()) {
    const int e = RowEntry(rows.front());
    if (e >= 0 && e < static_cast<int>(snapshot_.size())) path = snapshot_[static_cast<size_t>(e)].GetPath();
  }
  SetWindowTextW(path_, path.c_str());
  const int end = static_cast<int>(path.size());
  SendMessageW(path_, EM_SETSEL, end, end);
  SendMessageW(path_, EM_SCROLLCARET, 0, 0);
  int selected = 0, total = 0;
  for (int e : rows_) total += std::max(0, snapshot_[static_cast<size_t>(e)].length);
  for (int row : rows)
    if (int e = RowEntry(row); e >= 0) selected += std::max(0, snapshot_[static_cast<size_t>(e)].length);
  SetWindowTextW(hwnd_, (LoadResourceText(IDS_PLAYLIST_TITLE) + L" " + TotalTimeText(selected, total)).c_str());
}

void PlaylistWindow::DrawRow(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT rc = item.rcItem;
  const int row = static_cast<int>(item.itemID);
  const int e = RowEntry(row);
  if (e < 0 || e >= static_cast<int>(snapshot_.size())) {
    if (item.itemAction & ODA_FOCUS) DrawFocusRect(dc, &rc);
    return;
  }
  if (item.itemAction == ODA_FOCUS) {
    DrawFocusRect(dc, &rc);
    return;
  }
  const bool selected = item.itemState & ODS_SELECTED;
  FillRect(dc, &rc, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  COLORREF colour = GetSysColor(COLOR_WINDOWTEXT);
  if (selected)
    colour = GetSysColor(COLOR_WINDOW);
  else if (item.itemState & ODS_GRAYED)
    colour = GetSysColor(COLOR_GRAYTEXT);
  else if (e == ThePlaylist().GetCurrent())
    colour = RGB(0, 128, 128);
  SetTextColor(dc, colour);
  SetBkMode(dc, TRANSPARENT);
  int digits = 1;
  for (size_t n = snapshot_.size(); n >= 10 && digits < 4; n /= 10) ++digits;
  wchar_t number[16];
  swprintf(number, 16, L"%04d", e);
  const int len = static_cast<int>(wcslen(number));
  RECT numberRect{rc.left, rc.top, rc.left + numberWidth_, rc.bottom};
  DrawTextW(dc, number + std::max(0, len - digits), -1, &numberRect,
            DT_RIGHT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  CachedTag& entry = snapshot_[static_cast<size_t>(e)];
  RECT textRect{rc.left + numberWidth_ + numberWidth_ / digits, rc.top, rc.right, rc.bottom};
  // Painting never calls a plug-in: the tag reader fills the tags and the
  // window repaints when it reports them.
  const std::wstring length = entry.GetLengthText(true) + L"  ";
  const std::wstring title = entry.GetDisplayTitle(kDisplayTitle, true);
  DrawTextW(dc, length.c_str(), -1, &textRect, DT_RIGHT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  SIZE lengthSize{};
  GetTextExtentPoint32W(dc, length.c_str(), static_cast<int>(length.size()), &lengthSize);
  RECT titleRect = textRect;
  titleRect.right = std::max(titleRect.left, textRect.right - lengthSize.cx);
  DrawTextW(dc, title.c_str(), -1, &titleRect, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &rc);
}

void PlaylistWindow::StopIfPlaying() {
  if (InputPlugins().GetState() != PlayState::Stopped) SendMessageW(winamp_, WM_COMMAND, WINAMP_BUTTON4, 0);
}

void PlaylistWindow::PlayEntry(int index) {
  PlaylistManager& list = ThePlaylist();
  if (index < 0 || index >= list.Count()) return;
  StopIfPlaying();
  list.SetCurrent(index);
  const std::wstring path = list.GetPath(index);
  COPYDATASTRUCT data{};
  data.dwData = IPC_PLAYFILEW;
  data.cbData = static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t));
  data.lpData = const_cast<wchar_t*>(path.c_str());
  SendMessageW(winamp_, WM_COPYDATA, reinterpret_cast<WPARAM>(hwnd_), reinterpret_cast<LPARAM>(&data));
  InvalidateRect(list_, nullptr, FALSE);
}

void PlaylistWindow::RemoveSelected() {
  const std::vector<int> rows = SelectedRows();
  if (rows.empty()) return;
  PlaylistManager& list = ThePlaylist();
  std::vector<int> entries;
  for (int row : rows) entries.push_back(RowEntry(row));
  // Playback stops before the playlist is locked: the stop command goes
  // through the Winamp window, and no message may be sent under the lock.
  const int current = list.GetCurrent();
  if (std::find(entries.begin(), entries.end(), current) != entries.end()) StopIfPlaying();
  {
    auto lock = list.Lock();
    int cur = list.GetCurrent();
    bool currentRemoved = false;
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
      const int e = *it;
      // A worker may have changed the list since the snapshot: only the
      // entry the row showed is removed.
      if (e < 0 || e >= list.Count() || e >= static_cast<int>(snapshot_.size()) ||
          list.GetEntry(e).Path16() != snapshot_[static_cast<size_t>(e)].Path16())
        continue;
      if (e < cur) {
        --cur;
      } else if (e == cur && !currentRemoved) {
        currentRemoved = true;
        cur = -1;
      }
      list.RemoveAt(e);
      snapshot_.erase(snapshot_.begin() + e);
    }
    list.SetCurrent(currentRemoved ? -1 : cur);
  }
  SendMessageW(list_, LB_SETSEL, FALSE, -1);
  Refresh();
  if (!rows_.empty()) SelectRow(std::min(rows.front(), static_cast<int>(rows_.size()) - 1), true);
}

void PlaylistWindow::InitMenuPopup(HMENU menu) {
  HMENU bar = GetMenu(hwnd_);
  const bool any = SendMessageW(list_, LB_GETSELCOUNT, 0, 0) > 0;
  CheckMenuItem(menu, ID_PL_EXTENDED, MF_BYCOMMAND | (settings_.extPlaylistFormat ? MF_CHECKED : MF_UNCHECKED));
  for (UINT id : {ID_PL_REMOVE, ID_PL_EDIT_TAG, ID_PL_NEW_PLAYLIST, ID_PL_ADD_TO_PLAYLIST, ID_PL_RENAME, ID_PL_DELETE,
                  ID_PL_COPY_TO, ID_PL_MOVE_TO})
    EnableMenuItem(menu, id, MF_BYCOMMAND | (any ? MF_ENABLED : MF_GRAYED));
  if (bar && menu == GetSubMenu(bar, 3)) {
    // The track list is built each time the menu opens.
    while (GetMenuItemCount(menu) > 0) DeleteMenu(menu, 0, MF_BYPOSITION);
    PlaylistManager& list = ThePlaylist();
    const int count = std::min(list.Count(), 1000);
    for (int i = 0; i < count; ++i) {
      std::wstring text = std::to_wstring(i + 1) + L". " + list.GetDisplayTitle(i, true);
      UINT flags = MF_STRING | (i > 0 && i % 40 == 0 ? MF_MENUBARBREAK : 0);
      if (i == list.GetCurrent()) flags |= MF_CHECKED;
      AppendMenuW(menu, flags, ID_PL_FIND_TRACK_FIRST + static_cast<UINT>(i), text.c_str());
    }
    if (count == 0) AppendMenuW(menu, MF_STRING | MF_GRAYED, ID_PL_FIND_TRACK_EMPTY, L"Erreur");
  }
}

void PlaylistWindow::ContextMenu(POINT at) {
  HMENU popup = GetSubMenu(context_, 0);
  InitMenuPopup(popup);
  TrackPopupMenu(popup, TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd_, nullptr);
}

void PlaylistWindow::OnCommand(UINT id, UINT code, HWND control) {
  if (control == search_ && id == IDC_PL_SEARCH) {
    if (code == EN_CHANGE) Refresh();
    return;
  }
  if (control == list_ && id == IDC_PL_LIST) {
    if (code == LBN_SELCHANGE) {
      UpdatePathAndTitle();
    } else if (code == LBN_DBLCLK) {
      const int entry = RowEntry(static_cast<int>(SendMessageW(list_, LB_GETCARETINDEX, 0, 0)));
      if (entry >= 0) PlayEntry(entry);
    }
    return;
  }
  if (control) return;
  if (id >= ID_PL_FIND_TRACK_FIRST && id < ID_PL_FIND_TRACK_FIRST + 10000) {
    const int entry = static_cast<int>(id - ID_PL_FIND_TRACK_FIRST);
    auto row = std::find(rows_.begin(), rows_.end(), entry);
    if (row == rows_.end()) {
      // Filtered out: the search gives way so the track can be shown.
      SetWindowTextW(search_, L"");
      row = std::find(rows_.begin(), rows_.end(), entry);
    }
    if (row != rows_.end()) {
      const int r = static_cast<int>(row - rows_.begin());
      SelectRow(r, true);
      SendMessageW(list_, LB_SETTOPINDEX, r, 0);
    }
    return;
  }
  switch (id) {
    case ID_PLAYLIST_REFRESH:
      Refresh();
      break;
    case ID_PL_OPEN:
      OpenPlaylist(false);
      break;
    case ID_PL_ADD_PLAYLIST:
      OpenPlaylist(true);
      break;
    case ID_PL_SAVE:
      SavePlaylist(false);
      break;
    case ID_PL_NEW_PLAYLIST:
      SavePlaylist(true);
      break;
    case ID_PL_ADD_TO_PLAYLIST:
      AddToExisting();
      break;
    case ID_PL_EXTENDED:
      settings_.extPlaylistFormat = settings_.extPlaylistFormat ? 0 : 1;
      break;
    case ID_PL_SELECT_ALL:
      SelectAll();
      break;
    case ID_PL_ADD_FILES:
      AddFiles();
      break;
    case ID_PL_ADD_FOLDER:
      AddFolder();
      break;
    case ID_PL_REMOVE:
      RemoveSelected();
      break;
    case ID_PL_REMOVE_ALL:
      SendMessageW(winamp_, WM_COMMAND, WINAMP_BUTTON4, 0);
      ThePlaylist().RemoveAll();
      Refresh();
      break;
    case ID_PL_EDIT_TAG:
      EditTags();
      break;
    case ID_PL_REREAD_TAGS:
      ThePlaylistWorkers().StopTagReader();
      ThePlaylistWorkers().StartTagReader();
      break;
    case ID_PL_RENAME:
      RenameFiles();
      break;
    case ID_PL_DELETE:
      DeleteFiles();
      break;
    case ID_PL_COPY_TO:
      CopyOrMoveFiles(false);
      break;
    case ID_PL_MOVE_TO:
      CopyOrMoveFiles(true);
      break;
    case ID_PL_SORT_NAME:
      StartSortCommand(L"");
      break;
    case ID_PL_SORT_FILENAME:
      StartSortCommand(L"%8\\%9\\%7");
      break;
    case ID_PL_SORT_TEMPLATE:
      if (RunSortDialog(hwnd_, settings_)) StartSortCommand(settings_.sortTemplate);
      break;
    case ID_PL_SHUFFLE:
      if (rows_.size() >= 2) ShufflePlaylistCommand();
      break;
    case ID_PL_REMOVE_MISSING:
      SyncPlaylistOptions();
      ThePlaylistWorkers().StartMissingWorker();
      break;
    case ID_PL_REMOVE_DUPLICATES:
      SyncPlaylistOptions();
      ThePlaylistWorkers().StartDuplicatesWorker();
      break;
  }
}

}  // namespace zul
