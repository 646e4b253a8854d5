#include "app/main_wnd.h"

#include <shellapi.h>
#include <windowsx.h>

#include <cstring>

#include "app/hotkeys.h"
#include "app/messages.h"
#include "app/open_request.h"
#include "app/quit_watchdog.h"
#include "app/recent_list.h"
#include "base/console_log.h"
#include "base/profile_file.h"
#include "base/text_codec.h"
#include "equalizer/eq_startup.h"
#include "playlist/win32/playlist_service.h"
#include "playlist/win32/startup_steps.h"
#include "pluginhost/host/plugin_lists.h"
#include "pluginhost/host/plugin_startup.h"
#include "pluginhost/protocol/winamp_messages.h"
#include "resources/resource.h"

namespace zul {
namespace {

// How long the quit may take from its start before the watchdog ends the
// process: a plug-in's Stop that waits 5 s for its thread, and the playlist
// workers' own 10 s, still end within it.
constexpr DWORD kQuitPatienceMs = 20000;

bool HasExtension(const std::wstring& path, const wchar_t* ext) {
  size_t dot = path.rfind(L'.');
  return dot != std::wstring::npos && EqualNoCase(std::wstring_view(path).substr(dot + 1), ext);
}

}  // namespace

CMainWnd::CMainWnd(const ProgramPaths& paths, UINT instanceMessage)
    : paths_(paths), instanceMessage_(instanceMessage), tray_(settings_, WM_ZUL_TRAY) {
  windows_.AttachTray(&tray_);
}

CMainWnd::~CMainWnd() {
  if (ThePlaybackController() == &playback_) SetThePlaybackController(nullptr);
  SetConsoleWindow(nullptr);
}

void CMainWnd::SetWinampWindow(HWND winamp) {
  winamp_ = winamp;
  playback_.SetWindows(hwnd(), winamp);
  tray_.SetWinampWindow(winamp);
  windows_.AttachPreferences(hwnd(), winamp, settings_, paths_);
}

bool CMainWnd::CreateConsoleWindow() {
  // A list box as a top-level frame: the console is the window itself.
  return CreateSubclassed(0, L"LISTBOX", L"ZUL",
                          WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOSEL,
                          CW_USEDEFAULT, CW_USEDEFAULT, 600, 400, nullptr, nullptr) != nullptr;
}

LRESULT CMainWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == instanceMessage_ && instanceMessage_ != 0) return instanceMessage_;
  if (LRESULT handled = 0; (msg != WM_TIMER || running_) && tray_.HandleMessage(msg, wParam, lParam, &handled))
    return handled;
  switch (msg) {
    case WM_CREATE: {
      LRESULT result = CallDefault(msg, wParam, lParam);
      if (result == -1) return -1;
      FirstStage();
      return result;
    }
    case WM_COPYDATA:
      return OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case WM_QUERYENDSESSION:
      ZUL_LOG(L"Command WM_QUERYENDSESSION");
      SendQuitCommand();
      return TRUE;
    case WM_ENDSESSION: {
      LRESULT result = CallDefault(msg, wParam, lParam);
      if (wParam) SendQuitCommand();
      return result;
    }
    case WM_CLOSE:
      ShowConsole(false);
      return 0;
    case WM_CONTEXTMENU: {
      POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      if (at.x == -1 && at.y == -1) GetCursorPos(&at);
      ShowConsoleMenu(at);
      return 0;
    }
    case WM_COMMAND:
      if (lParam == 0) {
        OnCommand(LOWORD(wParam));
        return 0;
      }
      break;
    case WM_TIMER:
      if (!running_) return 0;
      if (wParam == TIMER_DISPLAY)
        windows_.OnDisplayTimer();
      else if (wParam == TIMER_EXPORT)
        windows_.OnExportTimer();
      else if (wParam == TIMER_AUTOMATION)
        OnAutomationTimer(Modules());
      else if (wParam == TIMER_GAP)
        playback_.OnGapTimer();
      return 0;
    case WM_ZUL_LOG: {
      auto* line = reinterpret_cast<std::wstring*>(lParam);
      AppendConsoleLine(hwnd(), *line);
      delete line;
      return 0;
    }
    case WM_WA_MPEG_EOF:
      playback_.EndOfTrack();
      return 0;
    case MM_MIXM_CONTROL_CHANGE:
      playback_.OnMixerChange(reinterpret_cast<HMIXER>(wParam), static_cast<DWORD>(lParam));
      return 0;
    case WM_HOTKEY:
      OnHotkey(static_cast<int>(wParam));
      return 0;
    case WM_ZUL_TRAY:
      tray_.face().OnTrayMessage(static_cast<UINT>(lParam), wParam);
      return 0;
    case WM_DESTROY:
      SetConsoleWindow(nullptr);
      break;
  }
  return CallDefault(msg, wParam, lParam);
}

void CMainWnd::FirstStage() {
  SetConsoleWindow(hwnd());
  windows_.InstallMenuHook();
  windows_.CreateTrayTooltip(hwnd());
  HINSTANCE instance = GetModuleHandleW(nullptr);
  mainMenu_.Reset(LoadMenuW(instance, MAKEINTRESOURCEW(IDR_MAIN_MENU)));
  consoleMenu_.Reset(LoadMenuW(instance, MAKEINTRESOURCEW(IDR_CONSOLE_MENU)));

  // Settings are read in one pass; the initialisation below follows the
  // start-up order.
  LoadSettings(ProfileFileReader(paths_.settingsFile), settings_);
  icon32_ = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_ZUL), IMAGE_ICON, 32, 32, LR_SHARED));
  icon16_ = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_ZUL), IMAGE_ICON, 16, 16, LR_SHARED));
  SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon32_));
  SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon16_));
  if (!settings_.skins.empty()) settings_.currentSkinSel %= static_cast<int>(settings_.skins.size());
  windows_.ApplySkin(settings_);
  startTick_ = GetTickCount();
  SetThePlaybackController(&playback_);
  playback_.BuildShuffleOrder();
  playback_.OpenMixer(hwnd());
  RegisterHotkeys(hwnd(), settings_);
  tray_.RegisterMediaKeys();
  windows_.CreateToolWindows(hwnd());
  tray_.face().Add();
  // The display timer (tray tip and position, 250 ms) and the export timer
  // (1 s) are started only while they have something to show or export: a
  // timer that wakes the program for nothing costs a wineserver round trip
  // per tick under Wine, hours on end.
  SetTimer(hwnd(), TIMER_AUTOMATION, static_cast<UINT>(settings_.autPeriod > 0 ? settings_.autPeriod : 1) * 60000u,
           nullptr);

  font_.Reset(CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH, L"Verdana"));
  SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
  ZUL_LOG(L"ZUL started, settings from %s", paths_.settingsFile.c_str());
}

void CMainWnd::SecondStage() {
  LoadInputPlugins(Modules());
  InitEqualizer(settings_);
  LoadOutputPlugins(Modules());
  LoadGeneralPlugins(Modules());
  StartGeneralPlugins();
  playback_.InstallPlaylistHooks();
  RestoreLastPlaylist(Modules());
  RunStartupAutomation(Modules());
  windows_.ShowStartupWindows(winamp_, settings_);
  running_ = true;
  tray_.face().WakeDisplay();
  windows_.AttachNowPlaying(*this, hwnd());
  if (settings_.autoUpdate) windows_.RunUpdateCheck(hwnd());
  const SavedRect& r = settings_.consoleRect;
  if (r.right != SavedRect::kNotSaved && r.bottom != SavedRect::kNotSaved)
    SetWindowPos(hwnd(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
  if (settings_.displayConsole) {
    ShowConsole(true);
    if (settings_.displayConsoleAOT) SetConsoleTopmost(!ConsoleTopmost());
  } else {
    ShowConsole(false);
  }
  fullyStarted_ = true;
  ZUL_LOG(L"ZUL running after %lu ms", GetTickCount() - startTick_);
}

BOOL CMainWnd::OnCopyData(const COPYDATASTRUCT* data) {
  ZUL_LOG(L"OnCopyData ");
  if (!running_ || !data || data->cbData != sizeof(OpenRequest) || !data->lpData) return FALSE;
  OpenRequest request;
  std::memcpy(&request, data->lpData, sizeof request);
  const bool adding = request.mode == OpenRequest::kAdd;
  std::u16string p16 = request.Path();
  std::wstring path(p16.begin(), p16.end());
  ZUL_LOG(L"OnCopyData %s %s", adding ? L"add" : L"open", path.c_str());
  const LoadOptions load{.append = adding, .randomFirst = settings_.randomFirst != 0, .play = !adding};

  if (path.size() == 3 && path[1] == L':') {
    if (!adding) SupersedeQueuedPlayback();
    LoadFolderAsync(path.substr(0, 2), load);
    return TRUE;
  }
  // A folder given with a trailing separator is still that folder.
  std::wstring lookup = path;
  if (lookup.size() > 3 && (lookup.back() == L'\\' || lookup.back() == L'/')) lookup.pop_back();
  WIN32_FIND_DATAW found;
  if (!UniqueFindHandle(FindFirstFileW(lookup.c_str(), &found))) {
    ZUL_LOG(L"OnCopyData %s not found, ignored", path.c_str());
    return TRUE;
  }
  if (!adding) SupersedeQueuedPlayback();
  if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
    LoadFolderAsync(lookup, load);
  else if (HasExtension(lookup, L"M3U") || HasExtension(lookup, L"PLS"))
    LoadPlaylistFileAsync(lookup, load);
  else
    playback_.AddOneTrack(lookup, adding, !adding);
  PushRecent(settings_.recent, lookup);
  return TRUE;
}

void CMainWnd::OpenUrlDialog() { playback_.OnMenuCommand(ID_MENU_OPEN_URL); }

void CMainWnd::SavePlaylistNow() { SaveLastPlaylist(Modules()); }

void CMainWnd::SendQuitCommand() { SendMessageW(winamp_, WM_COMMAND, WINAMP_FILE_QUIT, 0); }

void CMainWnd::OnCommand(UINT id) {
  switch (id) {
    case ID_MENU_EXIT:
      SendQuitCommand();
      return;
    case ID_MENU_CONSOLE:
    case ID_CONSOLE_CLOSE:
      ShowConsole(id == ID_MENU_CONSOLE && !IsWindowVisible(hwnd()));
      return;
    case ID_CONSOLE_COPY:
      CopyConsoleToClipboard();
      return;
    case ID_CONSOLE_CLEAR:
      SendMessageW(hwnd(), LB_RESETCONTENT, 0, 0);
      return;
    case ID_CONSOLE_TOPMOST:
      SetConsoleTopmost(!ConsoleTopmost());
      return;
    case ID_MENU_AUTOMATION_NOW:
      PerformAutomationNow();
      return;
    case ID_MENU_ADVANCED:
      SendMessageW(winamp_, WM_COMMAND, WINAMP_OPTIONS_PREFS, 0);
      return;
    case ID_MENU_SORT_NAME:
      StartSortCommand(L"%8\\%9\\%7");
      return;
    case ID_MENU_SORT_FILENAME:
      StartSortCommand(L"%7");
      return;
    case ID_MENU_SORT_TEMPLATE:
      windows_.ShowSortTemplateDialog();
      return;
    case ID_MENU_AUTOMATION_SETUP:
      windows_.ShowAutomationDialog();
      return;
    default:
      if (tray_.menu().OnDynamicCommand(id)) return;
      if (!playback_.OnMenuCommand(id)) ZUL_LOG(L"Command %u is not available in this build", id);
  }
}

void CMainWnd::ShowConsole(bool show) { ShowWindow(hwnd(), show ? SW_SHOWNOACTIVATE : SW_HIDE); }

bool CMainWnd::ConsoleTopmost() const { return (GetWindowLongW(hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

void CMainWnd::SetConsoleTopmost(bool topmost) {
  SetWindowPos(hwnd(), topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void CMainWnd::ShowConsoleMenu(POINT at) {
  HMENU popup = GetSubMenu(consoleMenu_.Get(), 0);
  CheckMenuItem(popup, ID_CONSOLE_TOPMOST, MF_BYCOMMAND | (ConsoleTopmost() ? MF_CHECKED : MF_UNCHECKED));
  TrackPopupMenu(popup, TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd(), nullptr);
}

void CMainWnd::CopyConsoleToClipboard() {
  std::wstring all;
  LRESULT count = SendMessageW(hwnd(), LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    LRESULT len = SendMessageW(hwnd(), LB_GETTEXTLEN, i, 0);
    if (len <= 0) continue;
    std::wstring line(static_cast<size_t>(len) + 1, L'\0');
    SendMessageW(hwnd(), LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()));
    line.resize(static_cast<size_t>(len));
    all += line;
  }
  int bytes = WideCharToMultiByte(CP_ACP, 0, all.c_str(), -1, nullptr, 0, nullptr, nullptr);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(bytes));
  if (!memory) return;
  WideCharToMultiByte(CP_ACP, 0, all.c_str(), -1, static_cast<char*>(GlobalLock(memory)), bytes, nullptr, nullptr);
  GlobalUnlock(memory);
  if (OpenClipboard(hwnd())) {
    EmptyClipboard();
    if (!SetClipboardData(CF_TEXT, memory)) GlobalFree(memory);
    CloseClipboard();
  } else {
    GlobalFree(memory);
  }
}

void CMainWnd::OnHotkey(int id) {
  ZUL_LOG(L"WM_HOTKEY %d", id);
  const std::optional<Hotkey> key = HotkeyForId(id);
  if (!key) return;
  auto command = [this](UINT c) { SendMessageW(winamp_, WM_COMMAND, c, 0); };
  auto foreground = [this] { SetForegroundWindow(hwnd()); };
  switch (*key) {
    case Hotkey::Play:
      command(WINAMP_BUTTON2);
      break;
    case Hotkey::Stop:
      command(WINAMP_BUTTON4);
      break;
    case Hotkey::Prev:
      command(WINAMP_BUTTON1);
      break;
    case Hotkey::Next:
      command(WINAMP_BUTTON5);
      break;
    case Hotkey::VolumeUp:
    case Hotkey::VolumeDown:
      UnregisterHotKey(hwnd(), id);
      command(*key == Hotkey::VolumeUp ? WINAMP_VOLUMEUP : WINAMP_VOLUMEDOWN);
      RegisterHotkey(hwnd(), settings_, id);
      break;
    case Hotkey::OpenFile:
      foreground();
      command(WINAMP_FILE_PLAY);
      break;
    case Hotkey::OpenFolder:
      foreground();
      playback_.OnMenuCommand(ID_MENU_OPEN_FOLDER);
      break;
    case Hotkey::OpenUrl:
      playback_.OnMenuCommand(ID_MENU_OPEN_URL);
      break;
    case Hotkey::Shuffle:
      command(WINAMP_FILE_SHUFFLE);
      break;
    case Hotkey::Minibar:
      foreground();
      command(WINAMP_MAIN_WINDOW);
      break;
    case Hotkey::Equalizer:
      foreground();
      command(WINAMP_SHOW_EQUALIZER);
      break;
    case Hotkey::Repeat:
      command(WINAMP_FILE_REPEAT);
      break;
    case Hotkey::Playlist:
      foreground();
      command(WINAMP_OPTIONS_PLEDIT);
      break;
    case Hotkey::Mp3Info:
      if (ThePlaylist().Count() > 0) {
        foreground();
        playback_.OnMenuCommand(ID_MENU_MP3INFO);
      }
      break;
    case Hotkey::Exit:
      SendQuitCommand();
      break;
    case Hotkey::NowPlaying:
      windows_.CopyNowPlayingToClipboard();
      break;
    case Hotkey::Forward:
      command(WINAMP_BUTTON5_SHIFT);
      break;
    case Hotkey::Back:
      command(WINAMP_BUTTON1_SHIFT);
      break;
    case Hotkey::TrayIcon:
      tray_.face().Toggle();
      break;
    case Hotkey::Menu:
      command(WINAMP_MAINMENU);
      break;
    case Hotkey::Tracks:
      windows_.ShowTracksMenuAtCursor(false);
      break;
    case Hotkey::Album:
      windows_.ShowTracksMenuAtCursor(true);
      break;
    case Hotkey::AlbumMode:
      playback_.OnMenuCommand(ID_MENU_ALBUM_MODE);
      break;
    case Hotkey::Automation:
      PerformAutomationNow();
      break;
    case Hotkey::Count:
      break;
  }
}

void CMainWnd::SaveEverything(std::vector<ProfileEdit>& edits) {
  // The new section replaces the old one in a single file replacement, so a
  // crash at any point keeps the previous complete file.
  edits.push_back(ProfileEdit{kPreferences, L"", L"", true});
  settings_.displayConsole = IsWindowVisible(hwnd()) ? 1 : 0;
  settings_.displayConsoleAOT = ConsoleTopmost() ? 1 : 0;
  StorePluginListNames(settings_);  // the plug-ins actually loaded, in list order
  AppendSaveAll(settings_, edits);
  // The MiniBar, playlist, video and equalizer windows keep their saved
  // state until they exist; the console reports where it is.
  WINDOWPLACEMENT placement{sizeof placement};
  if (GetWindowPlacement(hwnd(), &placement)) {
    const RECT& r = placement.rcNormalPosition;
    settings_.consoleRect = SavedRect{r.left, r.top, r.right, r.bottom};
  }
  AppendStartupWindowKeys(settings_, edits);
}

// The plug-ins are unloaded after the message loop. A playing plug-in's
// decode thread runs code of its DLL until its Stop has returned (Quit does
// not promise to end it), so playback stops here, waiting for Stop.
void CMainWnd::StopPlaybackForQuit() {
  CDllInputList& inputs = InputPlugins();
  if (inputs.GetState() == PlayState::Stopped) return;
  SendMessageW(winamp_, WM_COMMAND, WINAMP_BUTTON4, 0);
  // The stop command does nothing on an empty playlist.
  if (inputs.GetState() != PlayState::Stopped) inputs.Stop();
}

void CMainWnd::RunQuitSequence() {
  if (!running_) return;
  running_ = false;
  ArmQuitWatchdog(kQuitPatienceMs);
  StopPlaylistWorkers();
  windows_.FinishPlaylistWindow();
  std::vector<ProfileEdit> edits;
  if (fullyStarted_) {
    fullyStarted_ = false;
    SaveLastPlaylist(Modules());
    SaveEverything(edits);
    if (settings_.w2fEnabled) windows_.WriteNowPlayingExit();
  }
  StopPlaybackForQuit();
  edits.push_back(ProfileEdit{kPreferences, L"CurrentInPlaylist", std::to_wstring(settings_.currentInPlaylist)});
  if (!CommitProfileEdits(paths_.settingsFile, edits))
    ZUL_LOG(L"Settings could not be written to %s", paths_.settingsFile.c_str());
  if (tray_.face().Shown()) trayRemoval_.Start(hwnd(), kTrayIconId);
  tray_.face().MarkRemoved();
  windows_.ReleaseSkinPictures();
  windows_.ClosePreferences();
  windows_.DestroyToolWindows();
  windows_.RemoveMenuHook();
  ZUL_LOG(L"ZUL quits");
  PostQuitMessage(0);
}

}  // namespace zul
