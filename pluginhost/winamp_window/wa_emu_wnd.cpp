#include "pluginhost/winamp_window/wa_emu_wnd.h"

#include "base/console_log.h"
#include "base/program_paths.h"
#include "playlist/win32/playlist_service.h"
#include "pluginhost/host/ansi_text.h"
#include "pluginhost/host/plugin_lists.h"
#include "pluginhost/protocol/winamp_messages.h"
#include "pluginhost/winamp_window/caller_memory.h"

namespace zul {
namespace {

// Paths of play requests are taken up to this length, as the answer buffers.
constexpr size_t kMaxPathChars = 5000;
constexpr size_t kMaxNameChars = 5000;
// Keeps the title in step with what the playlist and the tag reader change
// outside the requests (the display timer's period).
constexpr UINT_PTR kTitleTimer = 0x5A55;
constexpr UINT kTitlePeriodMs = 250;

std::string Ansi(const std::wstring& text) {
  int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace

CWAEmuWnd::CWAEmuWnd(WinampShell& shell) : shell_(shell) {
  const ProgramPaths& paths = CurrentProgramPaths();
  iniFileW_ = paths.settingsFile;
  iniDirectoryW_ = paths.folder;
  pluginDirectoryW_ = paths.pluginFolder;
  char temp[MAX_PATH + 1] = {};
  DWORD tempLength = GetTempPathA(MAX_PATH + 1, temp);
  tempDirectory_.assign(temp, tempLength <= MAX_PATH ? tempLength : 0);
  iniFile_ = Ansi(iniFileW_);
  iniDirectory_ = Ansi(iniDirectoryW_);
  pluginDirectory_ = Ansi(pluginDirectoryW_);
}

CWAEmuWnd::~CWAEmuWnd() = default;

bool CWAEmuWnd::RegisterWindowClass() {
  WNDCLASSEXW wc{sizeof wc};
  wc.lpfnWndProc = &WindowBase::StaticProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kWinampClass;
  return RegisterClassExW(&wc) != 0;
}

void CWAEmuWnd::UnregisterWindowClass() { UnregisterClassW(kWinampClass, GetModuleHandleW(nullptr)); }

bool CWAEmuWnd::CreateHidden() {
  if (!Create(0, kWinampClass, L" - Winamp", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 275, 116, nullptr,
              nullptr))
    return false;
  return true;
}

void CWAEmuWnd::RunTitleTimer(bool run) {
  if (run == titleTimer_) return;
  titleTimer_ = run;
  if (run)
    SetTimer(hwnd(), kTitleTimer, kTitlePeriodMs, nullptr);
  else
    KillTimer(hwnd(), kTitleTimer);
}

LRESULT CWAEmuWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND: {
      const bool handled = OnCommand(LOWORD(wParam));
      RefreshTitle();
      if (handled) return 0;
      break;
    }
    case WM_WA_IPC: {
      const LRESULT result = OnIpc(wParam, lParam);
      RefreshTitle();
      return result;
    }
    case WM_COPYDATA: {
      const BOOL result = OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
      RefreshTitle();
      return result;
    }
    case IPC_PLAYFILE:
    case IPC_PLAYFILEW: {
      const LRESULT result = OnPlayFileMessage(msg, lParam);
      RefreshTitle();
      return result;
    }
    case WM_WA_MPEG_EOF:
      ZUL_LOG(L"WM_WA_MPEG_EOF\n");
      shell_.EndOfTrack();
      RefreshTitle();
      return 0;
    case WM_TIMER:
      if (wParam != kTitleTimer) break;
      // From what the playlist holds: the tag reader fills it. Reading tags
      // here would read files on the UI thread four times a second, and a
      // track whose tags do not stay read costs a whole core that way.
      RefreshTitle(false);
      return 0;
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
      RefreshTitle();
      break;
    case WM_CLOSE:
      // Remote controls end Winamp this way. The default handling would
      // destroy the window and leave every later command, the end-of-track
      // message and the quit command itself without a receiver; the quit
      // sequence ends the program and its window.
      ZUL_LOG(L"WM_CLOSE");
      OnCommand(WINAMP_FILE_QUIT);
      return 0;
    case WM_NCDESTROY:
      KillTimer(hwnd(), kTitleTimer);
      ZUL_LOG(L"PostNcDestroy");
      break;
  }
  return CallDefault(msg, wParam, lParam);
}

BOOL CWAEmuWnd::OnCopyData(const COPYDATASTRUCT* data) {
  ZUL_LOG(L"OnCopyData");
  if (!data || !data->lpData) return TRUE;
  // The sender's buffer is only borrowed: the path is copied, and never
  // read beyond cbData even when its terminator is missing.
  switch (data->dwData) {
    case IPC_PLAYFILEW: {
      const size_t chars = data->cbData / sizeof(wchar_t);
      std::wstring path(static_cast<const wchar_t*>(data->lpData), chars);
      path.resize(wcsnlen(path.c_str(), std::min(path.size(), kMaxPathChars)));
      ZUL_LOG(L"IamWinamp IPC_PLAYFILEW %s\n", path.c_str());
      PlayFileRequest(path);
      break;
    }
    case IPC_PLAYFILE:
    case IPC_JUMPTOTIME: {
      std::string ansi(static_cast<const char*>(data->lpData), data->cbData);
      ansi.resize(strnlen(ansi.c_str(), ansi.size()));
      std::wstring path = FromAnsi(ansi.c_str(), kMaxPathChars);
      if (data->dwData == IPC_PLAYFILE) {
        ZUL_LOG(L"IamWinamp IPC_PLAYFILE %s\n", path.c_str());
        PlayFileRequest(path);
      } else {
        AddOrRefreshEntry(path);
      }
      break;
    }
  }
  return TRUE;
}

LRESULT CWAEmuWnd::OnPlayFileMessage(UINT msg, LPARAM record) {
  const wchar_t* name = msg == IPC_PLAYFILEW ? L"IPC_PLAYFILEW" : L"IPC_PLAYFILE";
  if (!record) return 0;
  const void* text = nullptr;
  if (!ReadCallerBytes(reinterpret_cast<const void*>(record), &text, sizeof text)) {
    LogUnusablePointer(name, reinterpret_cast<const void*>(record));
    return 0;
  }
  if (!text) return 0;
  std::wstring path;
  bool ok;
  if (msg == IPC_PLAYFILEW) {
    ok = ReadCallerText(static_cast<const wchar_t*>(text), kMaxPathChars, path);
  } else {
    std::string ansi;
    ok = ReadCallerText(static_cast<const char*>(text), kMaxPathChars, ansi);
    if (ok) path = FromAnsi(ansi.c_str(), kMaxPathChars);
  }
  if (!ok) {
    LogUnusablePointer(name, text);
    return 0;
  }
  PlayFileRequest(path);
  return 0;
}

void CWAEmuWnd::PlayFileRequest(const std::wstring& path) { shell_.PlayFileRequest(path); }

void CWAEmuWnd::AddOrRefreshEntry(const std::wstring& path) {
  PlaylistManager& list = ThePlaylist();
  std::wstring title;
  int lengthMs = 0;
  InputPlugins().GetFileInfo(&path, title, lengthMs);
  CachedTag entry(path);
  entry.SetTitle(title.empty() ? path : title);
  entry.length = lengthMs / 1000;
  list.SetOrAdd(list.IndexOf(path), entry);
}

LRESULT CWAEmuWnd::RegisterIpcName(WPARAM pointer) {
  const auto* text = reinterpret_cast<const char*>(pointer);
  std::string name;
  if (text && !ReadCallerText(text, kMaxNameChars, name)) {
    LogUnusablePointer(L"IPC_REGISTER_WINAMP_IPCMESSAGE", text);
    return 0;
  }
  ZUL_LOG(L"IamWinamp IPC_REGISTER_WINAMP_IPCMESSAGE %hs \n", name.c_str());
  if (!text) return 0;
  for (size_t i = 0; i < ipcNames_.size(); ++i)
    if (ipcNames_[i] == name) return static_cast<LRESULT>(IPC_FIRST_REGISTERED + i);
  ipcNames_.emplace_back(name);
  return static_cast<LRESULT>(IPC_FIRST_REGISTERED - 1 + ipcNames_.size());
}

}  // namespace zul
