#include "app/main_menu/main_menu.h"

#include <algorithm>
#include <exception>

#include "app/messages.h"
#include "app/open_request.h"
#include "app/playback_controller.h"
#include "app/playback_order.h"
#include "app/recent_list.h"
#include "base/console_log.h"
#include "base/text_codec.h"
#include "playlist/win32/playlist_service.h"
#include "playlist/win32/startup_steps.h"
#include "pluginhost/host/plugin_lists.h"
#include "pluginhost/protocol/winamp_messages.h"
#include "resources/resource.h"
#include "resources/tray_resource.h"

namespace zul {
namespace {

constexpr UINT kGradientBarCommand = 999;
constexpr UINT kRecentBase = 1200;
constexpr UINT kDriveBase = 1210;
constexpr int kButtonW = 90;
constexpr int kButtonH = 18;

// Positions in menu 201.
constexpr int kPosPlay = 6;
constexpr int kPosTracks = 7;
constexpr int kPosAlbum = 8;
constexpr int kPosNextSongs = 18;

// The main menu's commands that are Winamp commands: they go to the Winamp
// window, which logs and runs them like a plug-in's.
UINT WinampCommandFor(UINT id) {
  switch (id) {
    case ID_MENU_PLAY:
      return WINAMP_BUTTON2;
    case ID_MENU_PAUSE:
      return WINAMP_BUTTON3;
    case ID_MENU_STOP:
      return WINAMP_BUTTON4;
    case ID_MENU_PREVIOUS:
      return WINAMP_BUTTON1;
    case ID_MENU_NEXT:
      return WINAMP_BUTTON5;
    case ID_MENU_OPEN_FILE:
      return WINAMP_FILE_PLAY;
    case ID_MENU_ABOUT:
      return 40041;
    case ID_MENU_EXIT:
      return WINAMP_FILE_QUIT;
    case ID_MENU_EQUALIZER:
      return WINAMP_SHOW_EQUALIZER;
    case ID_MENU_PLAYLIST:
      return WINAMP_OPTIONS_PLEDIT;
    case ID_MENU_MINIBAR:
      return WINAMP_MAIN_WINDOW;
    case ID_MENU_ELAPSED:
      return 40037;
    case ID_MENU_REMAINING:
      return 40038;
    case ID_MENU_REPEAT_TRACK:
      return WINAMP_FILE_REPEAT;
    case ID_MENU_SHUFFLE:
      return WINAMP_FILE_SHUFFLE;
    case ID_MENU_ADVANCED:
      return 40012;
    default:
      return 0;
  }
}

void Empty(HMENU menu) {
  while (GetMenuItemCount(menu) > 0) DeleteMenu(menu, 0, MF_BYPOSITION);
}

std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L'\\');
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

// The album around index: the neighbours in the same folder.
IndexRange AlbumAround(const std::vector<std::wstring>& paths, int index) {
  return AlbumRange(static_cast<int>(paths.size()), std::max(0, index), true, [&paths](int a, int b) {
    return EqualNoCase(FolderOf(paths[static_cast<size_t>(a)]), FolderOf(paths[static_cast<size_t>(b)]));
  });
}

std::wstring LoadText(UINT id, const wchar_t* fallback) {
  const wchar_t* text = nullptr;
  int n = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
  return n > 0 ? std::wstring(text, static_cast<size_t>(n)) : std::wstring(fallback);
}

}  // namespace

MainMenu::~MainMenu() { Reset(); }

void MainMenu::Attach(HWND main, HWND winamp) {
  main_ = main;
  winamp_ = winamp;
}

std::vector<std::wstring> MainMenu::Paths() const {
  PlaylistManager& list = ThePlaylist();
  auto lock = list.Lock();
  std::vector<std::wstring> paths;
  const int count = list.Count();
  paths.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) paths.push_back(list.GetPath(i));
  return paths;
}

POINT MainMenu::PointFor(MenuKind kind, POINT trayCursor) const {
  if (kind == MenuKind::TrayCursor) return trayCursor;
  POINT cursor;
  GetCursorPos(&cursor);
  if (kind == MenuKind::Cursor) return cursor;
  RECT work{}, taskbar{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
  HWND bar = FindWindowW(L"Shell_TrayWnd", nullptr);
  if (!bar || !GetWindowRect(bar, &taskbar)) return POINT{work.right, work.bottom};
  if (taskbar.right < screenW) return POINT{work.left, work.top};
  if (taskbar.left <= 0 && taskbar.bottom >= screenH) return POINT{work.right, work.bottom};
  return POINT{work.right, work.top};
}

void MainMenu::FillRecent(HMENU menu) {
  Empty(menu);
  for (UINT i = 0; i < settings_.recent.size(); ++i) {
    const std::wstring& path = settings_.recent[i];
    if (path.empty()) continue;
    AppendMenuW(menu, MF_STRING, kRecentBase + i, RecentItemText(path).c_str());
  }
}

void MainMenu::FillDrives(HMENU menu) {
  Empty(menu);
  const DWORD present = GetLogicalDrives();
  for (wchar_t letter = L'C'; letter <= L'Z'; ++letter) {
    if (!(present & (1u << (letter - L'A')))) continue;
    const wchar_t root[] = {letter, L':', L'\\', 0};
    switch (GetDriveTypeW(root)) {
      case DRIVE_REMOVABLE:
      case DRIVE_FIXED:
      case DRIVE_REMOTE:
      case DRIVE_CDROM: {
        const wchar_t name[] = {letter, 0};
        AppendMenuW(menu, MF_STRING, kDriveBase + (letter - L'C'), name);
        break;
      }
      default:
        break;
    }
  }
}

void MainMenu::Defer(HMENU menu, std::function<void(HMENU)> fill) {
  Empty(menu);
  deferred_[menu] = std::move(fill);
}

const std::vector<std::wstring>& MainMenu::MenuPaths() {
  if (!paths_) paths_ = Paths();
  return *paths_;
}

// One level of a shape becomes items; its sub-menus stay empty until they
// open themselves, so a 10000-entry playlist costs only what is looked at.
void MainMenu::Materialise(HMENU menu, const MenuShape& shape) {
  Empty(menu);
  PlaylistManager& list = ThePlaylist();
  const int mode = settings_.showingMode;
  for (const MenuShapeItem& item : shape.items) {
    UINT flags = item.columnBreak ? MF_MENUBARBREAK : 0;
    using Kind = MenuShapeItem::Kind;
    switch (item.kind) {
      case Kind::Track: {
        // The display text is computed now, for this sub-menu only.
        CachedTag entry = list.GetEntry(item.index);
        std::wstring text = entry.GetDisplayTitle(mode, false) + L"\t" + entry.GetLengthText(true);
        AppendMenuW(menu, MF_STRING | flags, static_cast<UINT_PTR>(kTrackCommandBase + item.index),
                    EscapeAmpersands(text).c_str());
        if (item.isDefault) SetMenuDefaultItem(menu, static_cast<UINT>(kTrackCommandBase + item.index), FALSE);
        break;
      }
      case Kind::Folder:
      case Kind::NextFiles: {
        HMENU sub = CreatePopupMenu();
        const std::wstring text =
            item.kind == Kind::Folder ? EscapeAmpersands(item.text) : LoadText(IDS_NEXT_FILES, L"Next files");
        AppendMenuW(menu, MF_POPUP | flags, reinterpret_cast<UINT_PTR>(sub), text.c_str());
        if (item.isDefault) SetMenuDefaultItem(menu, static_cast<UINT>(GetMenuItemCount(menu) - 1), TRUE);
        Defer(sub, [this, shape = item.sub.get()](HMENU m) { Materialise(m, *shape); });
        break;
      }
      case Kind::Filler:
        AppendMenuW(menu, MF_STRING | flags, kFillerCommand, L"");
        break;
      case Kind::Separator:
        AppendMenuW(menu, MF_SEPARATOR | flags, 0, nullptr);
        break;
      case Kind::Caption:
        AppendMenuW(menu, MF_STRING | flags, kCaptionCommand, EscapeAmpersands(item.text).c_str());
        break;
    }
  }
}

bool MainMenu::OnInitMenuPopup(HMENU menu) {
  auto found = deferred_.find(menu);
  if (found == deferred_.end()) return false;
  std::function<void(HMENU)> fill = std::move(found->second);
  deferred_.erase(found);
  try {
    fill(menu);
  } catch (const std::exception&) {  // out of memory while building: say so in place
    Empty(menu);
    AppendMenuW(menu, MF_STRING | MF_GRAYED, kCaptionCommand, LoadText(IDS_MENU_ERROR, L"Erreur").c_str());
  }
  return true;
}

void MainMenu::ApplyStates(HMENU menu) {
  auto check = [menu](UINT id, bool on) { CheckMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED)); };
  auto enable = [menu](UINT id, bool on) { EnableMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED)); };
  PlaybackController* playback = ThePlaybackController();
  const bool endFlags = playback && (playback->exitAfterEnd() || playback->turnOffAfterEnd());
  check(ID_MENU_REPEAT, settings_.repeat != 0);
  check(ID_MENU_REPEAT_TRACK, settings_.repeatTrack != 0);
  enable(ID_MENU_REPEAT, !endFlags);
  enable(ID_MENU_REPEAT_TRACK, !endFlags);
  check(ID_MENU_SHUFFLE, settings_.shuffleMode != 0);
  check(ID_MENU_RANDOM_FIRST, settings_.randomFirst != 0);
  check(ID_MENU_ALBUM_MODE, settings_.albumStop != 0);
  check(ID_MENU_EXIT_AFTER_END, playback && playback->exitAfterEnd());
  check(ID_MENU_SHUTDOWN_AFTER_END, playback && playback->turnOffAfterEnd());
  check(ID_MENU_ELAPSED, settings_.showRemainingTime == 0);
  check(ID_MENU_REMAINING, settings_.showRemainingTime == 1);
  check(ID_MENU_TOTAL_TIME, settings_.showTotalTrackTime != 0);
  check(ID_MENU_SHOW_TITLE, settings_.showingMode == 0);
  check(ID_MENU_SHOW_ARTIST_TITLE, settings_.showingMode == 1);
  check(ID_MENU_SHOW_FILENAME, settings_.showingMode == 2);
  check(ID_MENU_DOCKING, settings_.dockMinibar != 0);
  check(ID_MENU_CONSOLE, IsWindowVisible(main_) != FALSE);
  enable(ID_MENU_MP3INFO, ThePlaylist().Count() > 0);
}

UINT MainMenu::Track(HMENU popup, POINT at, UINT flags, bool foreground) {
  if (foreground) SetForegroundWindow(main_);
  open_ = true;
  const UINT chosen =
      static_cast<UINT>(TrackPopupMenu(popup, flags | TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x, at.y, 0, main_, nullptr));
  open_ = false;
  if (foreground) PostMessageW(main_, WM_NULL, 0, 0);
  return chosen;
}

void MainMenu::Reset() {
  deferred_.clear();
  paths_.reset();
  tracks_ = {};
  album_ = {};
  next_ = {};
}

void MainMenu::Open(MenuKind kind, POINT trayCursor) {
  if (open_) return;
  const POINT at = PointFor(kind, trayCursor);
  HMENU resource = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAIN_MENU));
  if (!resource) return;
  HMENU popup = GetSubMenu(resource, 0);
  PlaylistManager& list = ThePlaylist();
  const int count = list.Count();
  const int current = list.GetCurrent();
  const int tpc = std::max(1, settings_.tracksPerColumn);

  HMENU play = GetSubMenu(popup, kPosPlay);
  FillRecent(GetSubMenu(play, 5));
  Defer(GetSubMenu(play, 6), [this](HMENU m) { FillDrives(m); });

  // From the end, so the positions before stay valid. The track menus are
  // built when they open: with 10000 entries that is what keeps the menu
  // quick.
  if (settings_.menuPrevNext == 0 || count == 0) {
    DeleteMenu(popup, kPosNextSongs, MF_BYPOSITION);
  } else {
    Defer(GetSubMenu(popup, kPosNextSongs), [this, current, tpc](HMENU m) {
      const std::vector<std::wstring>& paths = MenuPaths();
      const int n = static_cast<int>(paths.size());
      if (n == 0) return;
      const IndexRange range = settings_.albumStop ? AlbumAround(paths, current) : IndexRange{0, n - 1};
      // Two back and up to five on in list order, within the range.
      int start = std::clamp(current, range.first, range.last);
      for (int steps = 0; steps < 2 && steps < n / 2; ++steps) start = start > range.first ? start - 1 : range.last;
      std::vector<int> order;
      for (int i = start; static_cast<int>(order.size()) < std::min(5, n);) {
        order.push_back(i);
        i = i < range.last ? i + 1 : range.first;
      }
      const std::wstring currentPath = current >= 0 && current < n ? paths[static_cast<size_t>(current)] : L"";
      next_ = BuildNextSongsShape(paths, order, currentPath, tpc);
      Materialise(m, next_);
    });
  }
  if (count == 0) {
    DeleteMenu(popup, kPosAlbum, MF_BYPOSITION);
    DeleteMenu(popup, kPosTracks, MF_BYPOSITION);
  } else {
    if (settings_.menuAlbum == 0) {
      DeleteMenu(popup, kPosAlbum, MF_BYPOSITION);
    } else {
      Defer(GetSubMenu(popup, kPosAlbum), [this, current, tpc](HMENU m) {
        const std::vector<std::wstring>& paths = MenuPaths();
        if (paths.empty()) return;
        const IndexRange album = AlbumAround(paths, current);
        album_ = BuildAlbumShape(paths, album.first, album.last, current, tpc);
        Materialise(m, album_);
      });
    }
    if (settings_.menuTracks == 0) {
      DeleteMenu(popup, kPosTracks, MF_BYPOSITION);
    } else {
      Defer(GetSubMenu(popup, kPosTracks), [this, current, tpc](HMENU m) {
        tracks_ = BuildTracksShape(MenuPaths(), current, tpc);
        Materialise(m, tracks_);
      });
    }
  }
  ApplyStates(popup);

  UINT flags = TPM_RIGHTALIGN;
  if (kind == MenuKind::Cursor) {
    for (UINT id = ID_MENU_PLAY; id <= ID_MENU_NEXT; ++id) DeleteMenu(popup, id, MF_BYCOMMAND);
    flags = 0;
  } else {
    if (settings_.graphicalButtons)
      for (UINT id = ID_MENU_PLAY; id <= ID_MENU_NEXT; ++id)
        ModifyMenuW(popup, id, MF_BYCOMMAND | MF_OWNERDRAW, id, nullptr);
    if (settings_.showGradientBar) {
      InsertMenuW(popup, 0, MF_BYPOSITION | MF_OWNERDRAW, kGradientBarCommand, nullptr);
      ModifyMenuW(popup, 1, MF_BYPOSITION | MF_STRING | MF_MENUBREAK, ID_MENU_EXIT, L"Exit");
    }
  }
  ZUL_LOG(L"Main menu opens with %d tracks", count);
  const UINT chosen = Track(popup, at, flags, kind != MenuKind::Cursor);
  Reset();
  DestroyMenu(resource);
  if (chosen) RunCommand(chosen);
}

void MainMenu::OpenTracks(bool album, MenuKind kind, POINT trayCursor) {
  if (open_) return;
  const std::vector<std::wstring> paths = Paths();
  if (paths.empty()) return;
  const POINT at = PointFor(kind, trayCursor);
  const int current = ThePlaylist().GetCurrent();
  const int tpc = std::max(1, settings_.tracksPerColumn);
  HMENU popup = CreatePopupMenu();
  if (album) {
    const IndexRange range = AlbumAround(paths, current);
    album_ = BuildAlbumShape(paths, range.first, range.last, current, tpc);
    Materialise(popup, album_);
  } else {
    tracks_ = BuildTracksShape(paths, current, tpc);
    Materialise(popup, tracks_);
  }
  if (GetMenuItemCount(popup) == 0)
    AppendMenuW(popup, MF_STRING, kCaptionCommand, LoadText(IDS_MENU_ERROR, L"Erreur").c_str());
  const UINT chosen = Track(popup, at, TPM_RIGHTALIGN, kind != MenuKind::Cursor);
  Reset();
  DestroyMenu(popup);
  if (chosen) RunCommand(chosen);
}

void MainMenu::RunCommand(UINT id) {
  if (OnDynamicCommand(id)) return;
  if (id == kFillerCommand || id == kCaptionCommand || id == kGradientBarCommand) return;
  const UINT winamp = WinampCommandFor(id);
  if (winamp)
    SendMessageW(winamp_, WM_COMMAND, winamp, 0);
  else
    SendMessageW(main_, WM_COMMAND, id, 0);
}

bool MainMenu::OnDynamicCommand(UINT id) {
  if (id >= kRecentBase && id < kRecentBase + 10) {
    const std::wstring path = settings_.recent[id - kRecentBase];
    if (path.empty()) return true;
    ZUL_LOG(L"Recent %u: %s", id - kRecentBase, path.c_str());
    if (path.find(L"://", 1) != std::wstring::npos) {
      if (playUrl_) playUrl_(path);
      PushRecent(settings_.recent, path);
    } else {
      // The same road as a path handed over by another instance.
      OpenRequest request;
      std::u16string p16(path.begin(), path.end());
      if (OpenRequest::Make(OpenRequest::kOpen, p16, &request)) {
        COPYDATASTRUCT data{0, sizeof request, &request};
        SendMessageW(main_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
      }
    }
    return true;
  }
  if (id >= kDriveBase && id < kDriveBase + 24) {
    const wchar_t drive[] = {static_cast<wchar_t>(L'C' + (id - kDriveBase)), L':', 0};
    ZUL_LOG(L"Scan drive %s", drive);
    SupersedeQueuedPlayback();
    LoadFolderAsync(drive, LoadOptions{.append = false, .randomFirst = settings_.randomFirst != 0, .play = false});
    return true;
  }
  if (id >= static_cast<UINT>(kTrackCommandBase) &&
      id < static_cast<UINT>(kTrackCommandBase + PlaylistManager::kMaxEntries)) {
    const int index = static_cast<int>(id) - kTrackCommandBase;
    if (index >= ThePlaylist().Count()) return true;
    ZUL_LOG(L"Track %d chosen", index);
    ThePlaylist().SetCurrent(index);
    if (SendMessageW(winamp_, WM_WA_IPC, 0, IPC_ISPLAYING) != 0) SendMessageW(winamp_, WM_COMMAND, WINAMP_BUTTON4, 0);
    SendMessageW(winamp_, WM_COMMAND, WINAMP_BUTTON2, 0);
    return true;
  }
  return false;
}

bool MainMenu::OnMeasureItem(MEASUREITEMSTRUCT* item) {
  if (item->CtlType != ODT_MENU) return false;
  const int check = GetSystemMetrics(SM_CXMENUCHECK);
  if (item->itemID == kGradientBarCommand) {
    item->itemWidth = static_cast<UINT>(std::max(1, 20 - check));
    item->itemHeight = 20;
    return true;
  }
  if (item->itemID >= ID_MENU_PLAY && item->itemID <= ID_MENU_NEXT) {
    item->itemWidth = static_cast<UINT>(std::max(1, kButtonW - 2 * check));
    item->itemHeight = kButtonH;
    return true;
  }
  return false;
}

bool MainMenu::OnDrawItem(const DRAWITEMSTRUCT* item) {
  if (item->CtlType != ODT_MENU) return false;
  HDC dc = item->hDC;
  const RECT r = item->rcItem;
  if (item->itemID == kGradientBarCommand) {
    // Over the whole menu's height: the item is the first of its column.
    RECT whole = r;
    HWND menuWindow = WindowFromDC(dc);
    RECT client{};
    if (menuWindow && GetClientRect(menuWindow, &client)) whole.bottom = client.bottom;
    const bool xp = settings_.xpLookAndFeel != 0;
    const COLORREF top = xp ? static_cast<COLORREF>(settings_.gradientEnd) : RGB(255, 255, 255);
    const COLORREF bottom = xp ? static_cast<COLORREF>(settings_.gradientStart) : RGB(0, 0, 0);
    TRIVERTEX v[2] = {{whole.left, whole.top, static_cast<COLOR16>(GetRValue(top) << 8),
                       static_cast<COLOR16>(GetGValue(top) << 8), static_cast<COLOR16>(GetBValue(top) << 8), 0},
                      {whole.right, whole.bottom, static_cast<COLOR16>(GetRValue(bottom) << 8),
                       static_cast<COLOR16>(GetGValue(bottom) << 8), static_cast<COLOR16>(GetBValue(bottom) << 8), 0}};
    GRADIENT_RECT g{0, 1};
    GradientFill(dc, v, 2, &g, 1, GRADIENT_FILL_RECT_V);
    HFONT font = CreateFontW(20, 0, 900, 900, 600, TRUE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Times");
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, xp ? static_cast<COLORREF>(settings_.gradientEnd) : RGB(255, 255, 255));
    const wchar_t text[] = L"ZUL   2009";
    TextOutW(dc, whole.left, whole.bottom - 4, text, static_cast<int>(std::size(text) - 1));
    TextOutW(dc, whole.left + 1, whole.bottom - 5, text, static_cast<int>(std::size(text) - 1));
    SelectObject(dc, old);
    DeleteObject(font);
    return true;
  }
  if (item->itemID < ID_MENU_PLAY || item->itemID > ID_MENU_NEXT) return false;
  const bool selected = (item->itemState & ODS_SELECTED) != 0;
  FillRect(dc, &r, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
  HBITMAP strip = selected ? pictures_.buttonsDown : pictures_.buttons;
  if (!strip) return true;
  HDC source = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(source, strip);
  const int srcY = kButtonH * static_cast<int>(item->itemID - ID_MENU_PLAY);
  const int w = r.right - r.left, h = r.bottom - r.top;
  int dw = kButtonW, dh = kButtonH;
  if (w > 5 * h) {
    dw = 5 * h;
    dh = h;
  }
  const int x = r.left + (w - dw) / 2, y = r.top + (h - dh) / 2;
  TransparentBlt(dc, x, y, dw, dh, source, 0, srcY, kButtonW, kButtonH, RGB(255, 0, 255));
  SelectObject(source, old);
  DeleteDC(source);
  return true;
}

namespace {

// Sub-menu placement: a sub-menu that would open entirely left of its item
// is moved so that its right edge touches the item's left edge.
HHOOK g_placementHook = nullptr;
RECT g_selectedItem{};

LRESULT CALLBACK PlacementHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    const auto* msg = reinterpret_cast<const CWPSTRUCT*>(lParam);
    wchar_t cls[16] = {};
    if ((msg->message == 0x1E5 /* MN_SELECTITEM */ || msg->message == WM_WINDOWPOSCHANGING) &&
        GetClassNameW(msg->hwnd, cls, 16) && lstrcmpW(cls, L"#32768") == 0) {
      if (msg->message == 0x1E5) {
        HMENU menu = reinterpret_cast<HMENU>(SendMessageW(msg->hwnd, 0x1E1 /* MN_GETHMENU */, 0, 0));
        const int index = static_cast<int>(msg->wParam);
        if (menu && index >= 0 && GetSubMenu(menu, index))
          GetMenuItemRect(nullptr, menu, static_cast<UINT>(index), &g_selectedItem);
      } else {
        auto* pos = reinterpret_cast<WINDOWPOS*>(msg->lParam);
        if (!(pos->flags & SWP_NOMOVE) && g_selectedItem.right > g_selectedItem.left &&
            pos->x + pos->cx <= g_selectedItem.left)
          pos->x = g_selectedItem.left - pos->cx;
      }
    }
  }
  return CallNextHookEx(g_placementHook, code, wParam, lParam);
}

}  // namespace

void MainMenu::InstallPlacementHook() {
  if (!g_placementHook)
    g_placementHook = SetWindowsHookExW(WH_CALLWNDPROC, PlacementHook, nullptr, GetCurrentThreadId());
}

void MainMenu::RemovePlacementHook() {
  if (g_placementHook) UnhookWindowsHookEx(g_placementHook);
  g_placementHook = nullptr;
}

}  // namespace zul
