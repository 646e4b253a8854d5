// The Winamp IPC requests (WM_USER to the Winamp window, lParam = number).
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "base/console_log.h"
#include "base/settings.h"
#include "base/win32_handles.h"
#include "playlist/win32/playlist_service.h"
#include "pluginhost/host/ansi_text.h"
#include "pluginhost/host/host_callbacks.h"
#include "pluginhost/host/plugin_lists.h"
#include "pluginhost/protocol/winamp_messages.h"
#include "pluginhost/protocol/winamp_records.h"
#include "pluginhost/services/service_api.h"
#include "pluginhost/winamp_window/caller_memory.h"
#include "pluginhost/winamp_window/wa_emu_wnd.h"
#include "resources/resource.h"
#include "title_format/title_format.h"

extern "C" int uncompress(unsigned char* dest, unsigned long* destLen, const unsigned char* source,
                          unsigned long sourceLen);

namespace zul {
namespace {

constexpr size_t kAnswerBytes = 5000;

int __cdecl RandomNumber() { return std::rand(); }

// The embedding function plug-ins call carries no context: it makes its
// windows through the shell of the Winamp window that handed it out.
ShellWindows* g_embedder = nullptr;

// The published window-state record's head: me, flags, r (plug-in data
// follows).
struct EmbedStateHead {
  HWND me;
  int flags;
  RECT r;
};

// The embedding function IPC_GET_EMBEDIF answers for wParam 0: an embedded
// window sized to the record's r, position unchanged; me is not written.
HWND __cdecl EmbedWindow(void* state) {
  EmbedStateHead head{};
  if (!ReadCallerBytes(state, &head, sizeof head)) {
    LogUnusablePointer(L"embedding function", state);
    return nullptr;
  }
  HWND window = g_embedder ? g_embedder->CreateEmbeddedWindow(state) : nullptr;
  if (window)
    SetWindowPos(window, nullptr, 0, 0, head.r.right - head.r.left, head.r.bottom - head.r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  return window;
}

std::wstring Printed(const wchar_t* format, int value) {
  wchar_t text[16];
  _snwprintf(text, std::size(text), format, value);
  text[std::size(text) - 1] = L'\0';
  return text;
}

// Winamp's numbers for the state: 3, not 2, is paused.
int IsPlayingAnswer(PlayState state) {
  switch (state) {
    case PlayState::Playing:
      return 1;
    case PlayState::Paused:
      return 3;
    case PlayState::Stopped:
      break;
  }
  return 0;
}

std::u16string U16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }
std::wstring W(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

}  // namespace

const char* CWAEmuWnd::Answer(std::string& buffer, const std::wstring& text) {
  buffer.assign(kAnswerBytes, '\0');
  ToAnsiBuffer(text, buffer.data(), static_cast<int>(kAnswerBytes));
  return buffer.c_str();
}

LRESULT CWAEmuWnd::OnIpc(WPARAM data, LPARAM ipc) {
  const int number = static_cast<int>(ipc);
  const int arg = static_cast<int>(data);
  // Registered messages are tested before everything else.
  if (number >= IPC_FIRST_REGISTERED && number < IPC_FIRST_REGISTERED + static_cast<int>(ipcNames_.size())) {
    ZUL_LOG(L"IamWinamp RegisterWindowMessage %d %d\n", number, arg);
    return 1;
  }
  Settings& settings = shell_.settings();
  ShellWindows& windows = shell_.windows();
  PlaylistManager& list = ThePlaylist();
  CDllInputList& inputs = InputPlugins();
  switch (number) {
    case IPC_GETVERSION:
      ZUL_LOG(L"IamWinamp IPC_GETVERSION %d \n", arg);
      return 0x5030;
    case IPC_DELETE:
      ZUL_LOG(L"IamWinamp IPC_DELETE \n");
      SendMessageW(hwnd(), WM_COMMAND, WINAMP_BUTTON4, 0);
      ThePlaylistWorkers().ClearPlaylist();
      windows.RefreshPlaylistWindowIfVisible();
      return 1;
    case IPC_STARTPLAY:
    case IPC_STARTPLAY_ALT:
      ZUL_LOG(L"IamWinamp IPC_STARTPLAY \n");
      if (inputs.GetState() != PlayState::Playing) SendMessageW(hwnd(), WM_COMMAND, WINAMP_BUTTON2, 0);
      return 1;
    case IPC_ISPLAYING:
      return IsPlayingAnswer(shell_.PlayingState());
    case IPC_GETOUTPUTTIME:
      ZUL_LOG(L"IamWinamp IPC_GETOUTPUTTIME %d \n", arg);
      if (list.Count() == 0) return -1;
      return arg == 0 ? inputs.GetOutputTime() : inputs.GetLength() / 1000;
    case IPC_JUMPTOTIME:
      ZUL_LOG(L"IamWinamp IPC_JUMPTOTIME %d\n", arg);
      inputs.SetOutputTime(arg);
      return 1;
    case IPC_WRITEPLAYLIST:
      ZUL_LOG(L"IamWinamp IPC_WRITEPLAYLIST %d \n", arg);
      if (list.Count() > 0) shell_.SavePlaylistNow();
      return list.GetCurrent();
    case IPC_SETPLAYLISTPOS:
      ZUL_LOG(L"IamWinamp IPC_SETPLAYLISTPOS %d\n", arg);
      list.SetCurrent(arg);
      return 1;
    case IPC_SETVOLUME:
      ZUL_LOG(L"IamWinamp IPC_SETVOLUME %d \n", arg);
      if (arg == -666) return shell_.Volume();
      shell_.SetVolume(arg);
      return 1;
    case IPC_SETPANNING:
      ZUL_LOG(L"IamWinamp IPC_SETPANNING %d \n", arg);
      if (arg == -666) return pan_;
      pan_ = arg;
      inputs.SetPan(arg);
      return 1;
    case IPC_GETLISTLENGTH:
      ZUL_LOG(L"IamWinamp IPC_GETLISTLENGTH\n");
      return list.Count();
    case IPC_GETLISTPOS: {
      const int current = list.Count() > 0 ? list.GetCurrent() : 0;
      ZUL_LOG(L"IamWinamp IPC_GETLISTPOS %d\n", current);
      return current;
    }
    case IPC_GETINFO: {
      ZUL_LOG(L"IamWinamp IPC_GETINFO\n");
      const HostPlaybackInfo info = ReadHostPlaybackInfo();
      switch (arg) {
        case 0:
          return info.sampleRate;
        case 1:
          return info.bitrate;
        case 2:
          return info.channels;
        case 3: {
          const SIZE video = windows.VideoOpenSize();
          return static_cast<LRESULT>((video.cx & 0xFFFF) | ((video.cy & 0xFFFF) << 16));
        }
        case 4:
          return reinterpret_cast<LRESULT>(Answer(videoInfoAnswer_, windows.VideoInfoText()));
      }
      return 1;
    }
    case IPC_GETEQDATA:
      ZUL_LOG(L"IamWinamp IPC_GETEQDATA %d\n", arg);
      return (arg == 11 || arg == 12) ? 0 : 31;
    case IPC_GETSKIN:
      ZUL_LOG(L"IamWinamp IPC_GETSKIN \n");
      WriteGenericSkinFile();
      // Winamp's buffers for this are MAX_PATH bytes; the folder fits.
      if (auto* buffer = reinterpret_cast<char*>(data);
          buffer && !WriteCallerBytes(buffer, tempDirectory_.c_str(), tempDirectory_.size() + 1)) {
        LogUnusablePointer(L"IPC_GETSKIN", buffer);
        return 0;
      }
      return 1;
    case IPC_GETPLAYLISTFILE:
      if (arg < 0 || arg >= list.Count()) return 0;
      return reinterpret_cast<LRESULT>(Answer(playlistFileAnswer_, list.GetPath(arg)));
    case IPC_GETPLAYLISTTITLE:
      if (arg < 0 || arg >= list.Count()) return 0;
      return reinterpret_cast<LRESULT>(Answer(playlistTitleAnswer_, list.GetTitle(arg, true)));
    case IPC_UPDTITLE:
      ZUL_LOG(L"IPC_UPDTITLE %d", arg);
      UpdateTitle();
      return 1;
    case IPC_GET_SHUFFLE:
      ZUL_LOG(L"IamWinamp IPC_GET_SHUFFLE\n");
      return settings.shuffleMode;
    case IPC_GETWND:
      ZUL_LOG(L"IamWinamp IPC_GETWND %d \n", arg);
      return arg == 1 ? reinterpret_cast<LRESULT>(windows.PlaylistWindowHandle()) : 0;
    case IPC_ISWNDVISIBLE: {
      BOOL visible = IsWindowVisible(hwnd());
      ZUL_LOG(L"IamWinamp IPC_ISWNDVISIBLE %d \n", visible);
      return visible;
    }
    case 280:
      return 18;
    case IPC_GET_HMENU:
      ZUL_LOG(L"IamWinamp IPC_GET_HMENU %d\n", arg);
      return arg == 0 ? reinterpret_cast<LRESULT>(shell_.mainMenu()) : 0;
    case IPC_GET_EXTENDED_FILE_INFO:
      ZUL_LOG(L"IamWinamp IPC_GET_EXTENDED_FILE_INFO\n");
      return ExtendedFileInfo(data);
    case IPC_GET_EXTENDED_FILE_INFO_HOOKABLE:
      return ExtendedFileInfo(data);
    case IPC_GET_EXTLIST:
      ZUL_LOG(L"IPC_GET_EXTLIST %d", arg);
      return ExtensionList();
    case IPC_FORMATTITLE:
      return FormatTitleRequest(data);
    case IPC_GETUNCOMPRESSINTERFACE:
      ZUL_LOG(L"IamWinamp IPC_GETUNCOMPRESSINTERFACE %d \n", arg);
      return reinterpret_cast<LRESULT>(&uncompress);
    case IPC_ADD_PREFS_DLG:
      ZUL_LOG(L"IamWinamp IPC_ADD_PREFS_DLG \n");
      return AddPrefsPage(data);
    case IPC_REMOVE_PREFS_DLG: {
      ZUL_LOG(L"IamWinamp IPC_REMOVE_PREFS_DLG %d \n", arg);
      auto* page = reinterpret_cast<_prefsDlgRec*>(data);
      for (auto it = prefsPages_.begin(); it != prefsPages_.end(); ++it) {
        if (*it == page) {
          prefsPages_.erase(it);
          break;
        }
      }
      return 1;
    }
    case IPC_GETINIFILE:
      ZUL_LOG(L"IamWinamp IPC_GETINIFILE %d \n", arg);
      return reinterpret_cast<LRESULT>(iniFile_.c_str());
    case IPC_GETINIDIRECTORY:
      ZUL_LOG(L"IamWinamp IPC_GETINIDIRECTORY %d \n", arg);
      return reinterpret_cast<LRESULT>(iniDirectory_.c_str());
    case IPC_GETPLUGINDIRECTORY:
      ZUL_LOG(L"IamWinamp IPC_GETPLUGINDIRECTORY %d \n", arg);
      return reinterpret_cast<LRESULT>(pluginDirectory_.c_str());
    // Plug-ins built for the version we announce ask for these and read the
    // reply as wchar_t*; answering them like unknown requests (1) would hand
    // them a bogus pointer.
    case IPC_GETINIFILEW:
      ZUL_LOG(L"IamWinamp IPC_GETINIFILEW %d \n", arg);
      return reinterpret_cast<LRESULT>(iniFileW_.c_str());
    case IPC_GETINIDIRECTORYW:
      ZUL_LOG(L"IamWinamp IPC_GETINIDIRECTORYW %d \n", arg);
      return reinterpret_cast<LRESULT>(iniDirectoryW_.c_str());
    case IPC_GETPLUGINDIRECTORYW:
      ZUL_LOG(L"IamWinamp IPC_GETPLUGINDIRECTORYW %d \n", arg);
      return reinterpret_cast<LRESULT>(pluginDirectoryW_.c_str());
    case IPC_OPENPREFSTOPAGE:
      ZUL_LOG(L"IPC_OPENPREFSTOPAGE %d", arg);
      SendMessageW(hwnd(), WM_COMMAND, WINAMP_OPTIONS_PREFS, 0);
      if (data < 200) {
        windows.OpenPreferences(arg, nullptr);
      } else if (std::find(prefsPages_.begin(), prefsPages_.end(), reinterpret_cast<_prefsDlgRec*>(data)) !=
                 prefsPages_.end()) {
        windows.OpenPreferences(-1, reinterpret_cast<void*>(data));
      } else {
        // Only pages added with IPC_ADD_PREFS_DLG are ever read.
        ZUL_LOG(L"IPC_OPENPREFSTOPAGE: %p is no page a plug-in added", reinterpret_cast<void*>(data));
      }
      return 1;
    case IPC_GET_IVIDEOOUTPUT:
      ZUL_LOG(L"IamWinamp IPC_GET_IVIDEOOUTPUT\n");
      return reinterpret_cast<LRESULT>(windows.VideoOutputObject());
    case IPC_IS_PLAYING_VIDEO: {
      const int playing = windows.VideoWindowVisible() ? 2 : 0;
      ZUL_LOG(L"IamWinamp IPC_IS_PLAYING_VIDEO %d \n", playing);
      return playing;
    }
    case IPC_GET_GENSKINBITMAP:
      ZUL_LOG(L"IamWinamp IPC_GET_GENSKINBITMAP %d \n", arg);
      if (arg == 1) return reinterpret_cast<LRESULT>(L"Verdana");
      if (arg == 2) return 1;
      if (arg == 3) return 9;
      if (!genericSkin_) genericSkin_.Reset(LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_GENERIC_SKIN)));
      return reinterpret_cast<LRESULT>(genericSkin_.Get());
    case IPC_GET_EMBEDIF:
      ZUL_LOG(L"IamWinamp IPC_GET_EMBEDIF %d \n", arg);
      if (data == 0) {
        g_embedder = &windows;
        return reinterpret_cast<LRESULT>(&EmbedWindow);
      }
      return EmbedWindowRequest(data);
    case IPC_GETLANGUAGEPACKINSTANCE:
      ZUL_LOG(L"IamWinamp IPC_GETLANGUAGEPACKINSTANCE %d\n", arg);
      return reinterpret_cast<LRESULT>(GetModuleHandleW(nullptr));
    case IPC_CB_OUTPUTCHANGED:
      ZUL_LOG(L"IamWinamp IPC_CB_OUTPUTCHANGED\n");
      return 1;
    case IPC_IS_FULLSCREEN: {
      const int full = windows.VideoFullScreen() ? 1 : 0;
      ZUL_LOG(L"IamWinamp IPC_IS_FULLSCREEN %d \n", full);
      return full;
    }
    case IPC_SHOW_NOTIFICATION:
      ZUL_LOG(L"IPC_SHOW_NOTIFICATION");
      windows.ShowTrackTooltip();
      return 1;
    case IPC_WRITECONFIG:
      ZUL_LOG(L"IamWinamp IPC_WRITECONFIG %d \n", arg);
      if (arg == 0 || arg == 2) SaveSettingsNow();
      if ((arg == 1 || arg == 2) && list.Count() > 0) shell_.SavePlaylistNow();
      return list.Count() > 0 ? list.GetCurrent() : 0;
    case IPC_GET_RANDFUNC:
      ZUL_LOG(L"IamWinamp IPC_GET_RANDFUNC %d \n", arg);
      return reinterpret_cast<LRESULT>(&RandomNumber);
    case IPC_GET_DISPATCH_OBJECT:
      ZUL_LOG(L"IamWinamp IPC_GET_DISPATCH_OBJECT %d \n", arg);
      return 0;
    case IPC_GET_PROXY_STRING:
      ZUL_LOG(L"IamWinamp IPC_GET_PROXY_STRING %hs \n", "");
      return reinterpret_cast<LRESULT>("");
    case IPC_GET_API_SERVICE:
      ZUL_LOG(L"IamWinamp IPC_GET_API_SERVICE \n");
      return reinterpret_cast<LRESULT>(ApiServiceObject());
    case WINAMP_FILE_REPEAT:  // (0,0) -> (1,0) -> (0,1) -> (0,0)
      if (!settings.repeat && !settings.repeatTrack)
        settings.repeat = 1;
      else if (settings.repeat)
        settings.repeat = 0, settings.repeatTrack = 1;
      else
        settings.repeatTrack = 0;
      ZUL_LOG(L"IamWinamp WINAMP_FILE_REPEAT %d \n", arg);
      return 1;
    case WINAMP_FILE_SHUFFLE:
      settings.shuffleMode = !settings.shuffleMode;
      SyncPlaylistOptions();
      ZUL_LOG(L"IamWinamp WINAMP_FILE_SHUFFLE %d \n", arg);
      return 1;
    case IPC_REGISTER_WINAMP_IPCMESSAGE: {
      LRESULT result = RegisterIpcName(data);
      ZUL_LOG(L"IamWinamp IPC_REGISTER_WINAMP_IPCMESSAGE %d \n", static_cast<int>(result));
      return result;
    }
  }
  ZUL_LOG(L"Message non re\u00e7u %d %d\n", arg, number);
  return 1;
}

void CWAEmuWnd::UpdateTitle() {
  std::wstring title;
  int lengthMs = 0;
  InputPlugins().GetFileInfo(nullptr, title, lengthMs);
  if (title.size() > 259) title.resize(259);  // the 260-character buffer plug-ins fill
  PlaylistManager& list = ThePlaylist();
  const int current = list.GetCurrent();
  const std::wstring path = list.GetPath(current);
  if (InputPlugins().AnyClaims(path)) {
    // A stream title "Artist - Title (Show)" is split into its parts.
    std::wstring artist, comment = path;
    const size_t dash = title.find(L" - ");
    const size_t paren = title.rfind(L'(');
    if (dash != std::wstring::npos && dash > 0 && paren != std::wstring::npos && paren > dash) {
      artist = title.substr(0, dash);
      std::wstring rest = title.substr(dash + 3);
      const size_t open = rest.find(L'(');
      comment = rest.substr(open + 1);
      title = rest.substr(0, open > 0 ? open - 1 : 0);
      const size_t firstClose = comment.find(L')');
      const size_t firstOpen = comment.find(L'(');
      if (firstClose == std::wstring::npos)
        comment.clear();
      else if (firstOpen == std::wstring::npos || firstClose < firstOpen)
        comment.resize(firstClose);
      else
        comment.resize(comment.rfind(L')'));
    }
    list.SetComment(current, comment);
    list.SetArtist(current, artist);
    list.SetTitle(current, title);
    SendMessageW(hwnd(), WM_WA_IPC, 0, IPC_SHOW_NOTIFICATION);
  } else {
    list.SetTitle(current, title.empty() ? list.GetDefaultTitle(current) : title);
  }
  list.SetLength(current, lengthMs / 1000);
}

LRESULT CWAEmuWnd::AddPrefsPage(WPARAM record) {
  auto* page = reinterpret_cast<_prefsDlgRec*>(record);
  if (!page) return 1;
  // The preferences dialog reads the record as long as the page is listed:
  // one that cannot be read now is not listed.
  _prefsDlgRec copy{};
  std::string name;
  if (!ReadCallerBytes(page, &copy, sizeof copy) || (copy.name && !ReadCallerText(copy.name, kAnswerBytes, name))) {
    LogUnusablePointer(L"IPC_ADD_PREFS_DLG", page);
    return 0;
  }
  ZUL_LOG(L"IamWinamp IPC_ADD_PREFS_DLG %hs %d\n", name.c_str(), copy.dlgID);
  prefsPages_.push_back(page);
  return 1;
}

LRESULT CWAEmuWnd::EmbedWindowRequest(WPARAM record) {
  auto* state = reinterpret_cast<EmbedStateHead*>(record);
  if (!CallerMemoryUsable(state, sizeof *state, true)) {
    LogUnusablePointer(L"IPC_GET_EMBEDIF", state);
    return 0;
  }
  HWND window = shell_.windows().CreateEmbeddedWindow(state);
  if (!WriteCallerBytes(&state->me, &window, sizeof window)) {
    LogUnusablePointer(L"IPC_GET_EMBEDIF", state);
    return 0;
  }
  return reinterpret_cast<LRESULT>(window);
}

LRESULT CWAEmuWnd::ExtendedFileInfo(WPARAM record) {
  auto* caller = reinterpret_cast<extendedFileInfoStruct*>(record);
  if (!caller) return 0;
  extendedFileInfoStruct request{};
  std::string name;
  if (!ReadCallerBytes(caller, &request, sizeof request) ||
      (request.metadata && !ReadCallerText(request.metadata, kAnswerBytes, name))) {
    LogUnusablePointer(L"IPC_GET_EXTENDED_FILE_INFO", caller);
    return 0;
  }
  if (!request.metadata) return 0;
  PlaylistManager& list = ThePlaylist();
  const int current = list.GetCurrent();
  std::wstring answer;
  if (_stricmp(name.c_str(), "artist") == 0)
    answer = list.GetArtist(current);
  else if (_stricmp(name.c_str(), "title") == 0)
    answer = list.GetTitle(current);
  else if (_stricmp(name.c_str(), "filename") == 0)
    answer = list.GetFileName(current);
  else if (_stricmp(name.c_str(), "album") == 0)
    answer = list.GetAlbum(current);
  else if (_stricmp(name.c_str(), "comment") == 0)
    answer = list.GetComment(current);
  else if (_stricmp(name.c_str(), "year") == 0)
    answer = list.GetYear(current);
  else if (_stricmp(name.c_str(), "trackno") == 0)
    answer = Printed(L"%d", current);
  else if (_stricmp(name.c_str(), "tracknumber") == 0)
    answer = Printed(L"%.2d", current);
  else if (_stricmp(name.c_str(), "playcount") == 0)
    answer = L"0";
  else if (_stricmp(name.c_str(), "rating") == 0 || _stricmp(name.c_str(), "ratingstar") == 0)
    return 0;
  else
    answer = FromAnsi(name.c_str(), kAnswerBytes);
  const int room = std::min<int>(request.retlen, static_cast<int>(kAnswerBytes));
  const int length = static_cast<int>(answer.size());
  bool written = true;
  if (room > 0) {
    std::string text(static_cast<size_t>(room), '\0');
    ToAnsiBuffer(answer, text.data(), room);
    written = WriteCallerBytes(request.ret, text.data(), strnlen(text.c_str(), text.size() - 1) + 1);
  }
  if (!written || !WriteCallerBytes(&caller->retlen, &length, sizeof length)) {
    LogUnusablePointer(L"IPC_GET_EXTENDED_FILE_INFO", written ? static_cast<void*>(caller) : request.ret);
    return 0;
  }
  Answer(extendedInfoAnswer_, answer);
  return static_cast<LRESULT>(record);
}

LRESULT CWAEmuWnd::FormatTitleRequest(WPARAM record) {
  auto* caller = reinterpret_cast<waFormatTitle*>(record);
  if (!caller) return 0;
  waFormatTitle request{};
  std::string spec;
  if (!ReadCallerBytes(caller, &request, sizeof request) ||
      (request.spec && !ReadCallerText(request.spec, kAnswerBytes, spec))) {
    LogUnusablePointer(L"IPC_FORMATTITLE", caller);
    return 0;
  }
  if (!request.spec) return 0;
  const std::wstring format = FromAnsi(spec.c_str(), kAnswerBytes);
  // The tag functions are the plug-in's code: called under the guard, and
  // what they return is read as any caller's text.
  const void* failed = nullptr;
  auto lookup = [&request, &failed](std::u16string_view name) -> std::u16string {
    if (!request.TAGFUNC || failed) return {};
    std::wstring wide(name.begin(), name.end());
    std::string ansi(static_cast<size_t>(wide.size()) * 2 + 1, '\0');
    ToAnsiBuffer(wide, ansi.data(), static_cast<int>(ansi.size()));
    char* value = nullptr;
    const char* tag = ansi.c_str();
    if (Guarded([&] { value = request.TAGFUNC(tag, request.p); }).faulted) {
      failed = reinterpret_cast<const void*>(request.TAGFUNC);
      return {};
    }
    if (!value) return {};
    std::string copy;
    if (!ReadCallerText(value, kAnswerBytes, copy)) failed = value;
    if (request.TAGFREEFUNC && Guarded([&] { request.TAGFREEFUNC(value, request.p); }).faulted)
      failed = reinterpret_cast<const void*>(request.TAGFREEFUNC);
    return failed ? std::u16string() : U16(FromAnsi(copy.c_str(), kAnswerBytes));
  };
  const std::wstring result = W(FormatTitle(U16(format), lookup));
  if (failed) {
    LogUnusablePointer(L"IPC_FORMATTITLE", failed);
    return 0;
  }
  if (request.out_len > 0) {
    std::string text(static_cast<size_t>(request.out_len), '\0');
    ToAnsiBuffer(result, text.data(), request.out_len);
    if (!WriteCallerBytes(request.out, text.data(), strnlen(text.c_str(), text.size() - 1) + 1)) {
      LogUnusablePointer(L"IPC_FORMATTITLE", request.out);
      return 0;
    }
  }
  ZUL_LOG(L"IPC_FORMATTITLE %s", result.c_str());
  return 1;
}

LRESULT CWAEmuWnd::ExtensionList() {
  std::wstring text = InputPlugins().BuildExtensionList();
  CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
  auto* block = static_cast<char*>(GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, kAnswerBytes));
  if (!block) return 0;
  // One byte is kept for the empty string that ends the list.
  ToAnsiBuffer(text, block, static_cast<int>(kAnswerBytes) - 1);
  for (size_t i = 0; i < kAnswerBytes; ++i)
    if (block[i] == ';') block[i] = '\0';
  return reinterpret_cast<LRESULT>(block);
}

void CWAEmuWnd::WriteGenericSkinFile() {
  const std::string path = tempDirectory_ + "GEN.bmp";
  if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return;
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(IDR_GENERIC_SKIN_FILE), L"IMAGE");
  if (!found) return;
  HGLOBAL loaded = LoadResource(module, found);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  const DWORD size = SizeofResource(module, found);
  if (!bytes || size == 0) return;
  bool ok = false;
  {
    const UniqueHandle file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    DWORD written = 0;
    ok = WriteFile(file.Get(), bytes, size, &written, nullptr) && written == size;
  }  // closed before a failed file is deleted
  if (!ok) DeleteFileA(path.c_str());
}

}  // namespace zul
