// The Winamp IPC requests (WM_USER to the Winamp window, lParam = number).
#include <cstdlib>
#include <cstring>

#include "app/capability_stubs.h"
#include "app/console_log.h"
#include "app/main_wnd.h"
#include "app/messages.h"
#include "mpeg_input/title_format/title_format.h"
#include "playlist/win32/playlist_service.h"
#include "pluginhost/host/ansi_text.h"
#include "pluginhost/host/host_callbacks.h"
#include "pluginhost/host/plugin_lists.h"
#include "pluginhost/records/winamp_records.h"
#include "pluginhost/services/service_api.h"
#include "pluginhost/winamp_window/wa_emu_wnd.h"
#include "resources/resource.h"

extern "C" int uncompress(unsigned char* dest, unsigned long* destLen, const unsigned char* source,
                          unsigned long sourceLen);

namespace zul {
namespace {

constexpr size_t kAnswerBytes = 5000;

int __cdecl RandomNumber() { return std::rand(); }

std::wstring Printed(const wchar_t* format, int value) {
  wchar_t text[16];
  _snwprintf(text, std::size(text), format, value);
  text[std::size(text) - 1] = L'\0';
  return text;
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
  Settings& settings = mainWnd_.settings();
  PlaybackController& playback = mainWnd_.playback();
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
      RefreshPlaylistWindowIfVisible();
      return 1;
    case IPC_STARTPLAY:
    case IPC_STARTPLAY_ALT:
      ZUL_LOG(L"IamWinamp IPC_STARTPLAY \n");
      if (inputs.GetState() != 1) SendMessageW(hwnd(), WM_COMMAND, WINAMP_BUTTON2, 0);
      return 1;
    case IPC_ISPLAYING:
      return playback.PlayingState();
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
      if (list.Count() > 0) SaveLastPlaylist(mainWnd_.playlistPath());
      return list.GetCurrent();
    case IPC_SETPLAYLISTPOS:
      ZUL_LOG(L"IamWinamp IPC_SETPLAYLISTPOS %d\n", arg);
      list.SetCurrent(arg);
      return 1;
    case IPC_SETVOLUME:
      ZUL_LOG(L"IamWinamp IPC_SETVOLUME %d \n", arg);
      if (arg == -666) return playback.Volume();
      playback.SetVolume(arg);
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
        case 0: return info.sampleRate;
        case 1: return info.bitrate;
        case 2: return info.channels;
        case 3: return 0;  // no video has been opened
        case 4: return reinterpret_cast<LRESULT>(Answer(videoInfoAnswer_, L""));
      }
      return 1;
    }
    case IPC_GETEQDATA:
      ZUL_LOG(L"IamWinamp IPC_GETEQDATA %d\n", arg);
      return (arg == 11 || arg == 12) ? 0 : 31;
    case IPC_GETSKIN:
      ZUL_LOG(L"IamWinamp IPC_GETSKIN \n");
      WriteGenericSkinFile();
      if (char* buffer = reinterpret_cast<char*>(data)) std::memcpy(buffer, tempDirectory_.c_str(), tempDirectory_.size() + 1);
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
      return arg == 1 ? reinterpret_cast<LRESULT>(PlaylistWindowHandle()) : 0;
    case IPC_ISWNDVISIBLE: {
      BOOL visible = IsWindowVisible(hwnd());
      ZUL_LOG(L"IamWinamp IPC_ISWNDVISIBLE %d \n", visible);
      return visible;
    }
    case 280:
      return 18;
    case IPC_GET_HMENU:
      ZUL_LOG(L"IamWinamp IPC_GET_HMENU %d\n", arg);
      return arg == 0 ? reinterpret_cast<LRESULT>(mainWnd_.mainMenu()) : 0;
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
    case IPC_ADD_PREFS_DLG: {
      auto* page = reinterpret_cast<_prefsDlgRec*>(data);
      ZUL_LOG(L"IamWinamp IPC_ADD_PREFS_DLG \n");
      if (!page) return 1;
      ZUL_LOG(L"IamWinamp IPC_ADD_PREFS_DLG %hs %d\n", page->name ? page->name : "", page->dlgID);
      prefsPages_.push_back(page);
      return 1;
    }
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
      if (static_cast<unsigned>(arg) < 200) OpenPreferences(arg, nullptr);
      else OpenPreferences(-1, reinterpret_cast<void*>(data));
      return 1;
    case IPC_GET_IVIDEOOUTPUT:
      ZUL_LOG(L"IamWinamp IPC_GET_IVIDEOOUTPUT\n");
      return reinterpret_cast<LRESULT>(VideoOutputObject());
    case IPC_IS_PLAYING_VIDEO: {
      const int playing = VideoWindowVisible() ? 2 : 0;
      ZUL_LOG(L"IamWinamp IPC_IS_PLAYING_VIDEO %d \n", playing);
      return playing;
    }
    case IPC_GET_GENSKINBITMAP:
      ZUL_LOG(L"IamWinamp IPC_GET_GENSKINBITMAP %d \n", arg);
      if (arg == 1) return reinterpret_cast<LRESULT>(L"Verdana");
      if (arg == 2) return 1;
      if (arg == 3) return 9;
      if (!genericSkin_)
        genericSkin_ = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_GENERIC_SKIN));
      return reinterpret_cast<LRESULT>(genericSkin_);
    case IPC_GET_EMBEDIF:
      ZUL_LOG(L"IamWinamp IPC_GET_EMBEDIF %d \n", arg);
      if (data == 0) return 0;  // the embedding function arrives with embedded windows
      return reinterpret_cast<LRESULT>(CreateEmbeddedWindow(reinterpret_cast<void*>(data)));
    case IPC_GETLANGUAGEPACKINSTANCE:
      ZUL_LOG(L"IamWinamp IPC_GETLANGUAGEPACKINSTANCE %d\n", arg);
      return reinterpret_cast<LRESULT>(GetModuleHandleW(nullptr));
    case IPC_CB_OUTPUTCHANGED:
      ZUL_LOG(L"IamWinamp IPC_CB_OUTPUTCHANGED\n");
      return 1;
    case IPC_IS_FULLSCREEN: {
      const int full = VideoFullScreen() ? 1 : 0;
      ZUL_LOG(L"IamWinamp IPC_IS_FULLSCREEN %d \n", full);
      return full;
    }
    case IPC_SHOW_NOTIFICATION:
      ZUL_LOG(L"IPC_SHOW_NOTIFICATION");
      ShowTrackTooltip();
      return 1;
    case IPC_WRITECONFIG:
      ZUL_LOG(L"IamWinamp IPC_WRITECONFIG %d \n", arg);
      if (arg == 0 || arg == 2) SaveSettingsNow();
      if ((arg == 1 || arg == 2) && list.Count() > 0) SaveLastPlaylist(mainWnd_.playlistPath());
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
      if (!settings.repeat && !settings.repeatTrack) settings.repeat = 1;
      else if (settings.repeat) settings.repeat = 0, settings.repeatTrack = 1;
      else settings.repeatTrack = 0;
      ZUL_LOG(L"IamWinamp WINAMP_FILE_REPEAT %d \n", arg);
      return 1;
    case WINAMP_FILE_SHUFFLE:
      settings.shuffleMode = !settings.shuffleMode;
      SyncPlaylistOptions();
      ZUL_LOG(L"IamWinamp WINAMP_FILE_SHUFFLE %d \n", arg);
      return 1;
    case IPC_REGISTER_WINAMP_IPCMESSAGE: {
      const char* name = reinterpret_cast<const char*>(data);
      ZUL_LOG(L"IamWinamp IPC_REGISTER_WINAMP_IPCMESSAGE %hs \n", name ? name : "");
      LRESULT result = RegisterIpcName(name);
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
      if (firstClose == std::wstring::npos) comment.clear();
      else if (firstOpen == std::wstring::npos || firstClose < firstOpen) comment.resize(firstClose);
      else comment.resize(comment.rfind(L')'));
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

LRESULT CWAEmuWnd::ExtendedFileInfo(WPARAM record) {
  auto* request = reinterpret_cast<extendedFileInfoStruct*>(record);
  if (!request || !request->metadata) return 0;
  PlaylistManager& list = ThePlaylist();
  const int current = list.GetCurrent();
  const char* name = request->metadata;
  std::wstring answer;
  if (_stricmp(name, "artist") == 0) answer = list.GetArtist(current);
  else if (_stricmp(name, "title") == 0) answer = list.GetTitle(current);
  else if (_stricmp(name, "filename") == 0) answer = list.GetFileName(current);
  else if (_stricmp(name, "album") == 0) answer = list.GetAlbum(current);
  else if (_stricmp(name, "comment") == 0) answer = list.GetComment(current);
  else if (_stricmp(name, "year") == 0) answer = list.GetYear(current);
  else if (_stricmp(name, "trackno") == 0) answer = Printed(L"%d", current);
  else if (_stricmp(name, "tracknumber") == 0) answer = Printed(L"%.2d", current);
  else if (_stricmp(name, "playcount") == 0) answer = L"0";
  else if (_stricmp(name, "rating") == 0 || _stricmp(name, "ratingstar") == 0) return 0;
  else answer = FromAnsi(name, kAnswerBytes);
  const int room = std::min<int>(request->retlen, static_cast<int>(kAnswerBytes));
  ToAnsiBuffer(answer, request->ret, room);
  Answer(extendedInfoAnswer_, answer);
  request->retlen = static_cast<int>(answer.size());
  return static_cast<LRESULT>(record);
}

LRESULT CWAEmuWnd::FormatTitleRequest(WPARAM record) {
  auto* request = reinterpret_cast<waFormatTitle*>(record);
  if (!request || !request->spec) return 0;
  const std::wstring format = FromAnsi(request->spec, kAnswerBytes);
  auto lookup = [request](std::u16string_view name) -> std::u16string {
    if (!request->TAGFUNC) return {};
    std::wstring wide(name.begin(), name.end());
    std::string ansi(static_cast<size_t>(wide.size()) * 2 + 1, '\0');
    ToAnsiBuffer(wide, ansi.data(), static_cast<int>(ansi.size()));
    char* value = request->TAGFUNC(ansi.c_str(), request->p);
    if (!value) return {};
    std::u16string text = U16(FromAnsi(value, kAnswerBytes));
    if (request->TAGFREEFUNC) request->TAGFREEFUNC(value, request->p);
    return text;
  };
  const std::wstring result = W(FormatTitle(U16(format), lookup));
  ToAnsiBuffer(result, request->out, request->out_len);
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
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes, size, &written, nullptr) && written == size;
  CloseHandle(file);
  if (!ok) DeleteFileA(path.c_str());
}

}  // namespace zul
