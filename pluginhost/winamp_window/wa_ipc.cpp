// The Winamp IPC requests (WM_USER to the Winamp window, lParam = number).
#include <cstdlib>

#include "app/console_log.h"
#include "app/main_wnd.h"
#include "app/messages.h"
#include "pluginhost/services/service_api.h"
#include "pluginhost/winamp_window/wa_emu_wnd.h"

extern "C" int uncompress(unsigned char* dest, unsigned long* destLen, const unsigned char* source,
                          unsigned long sourceLen);

namespace zul {
namespace {

int __cdecl RandomNumber() { return std::rand(); }

// Requests whose work belongs to capabilities not in this build yet: they
// are named in the log and answered 0 (nothing playing, no window, no data).
struct PendingIpc {
  int number;
  const wchar_t* name;
};
constexpr PendingIpc kPending[] = {
    {101, L"IPC_DELETE"},          {102, L"IPC_STARTPLAY"},        {1102, L"IPC_STARTPLAY"},
    {104, L"IPC_ISPLAYING"},       {105, L"IPC_GETOUTPUTTIME"},    {106, L"IPC_JUMPTOTIME"},
    {120, L"IPC_WRITEPLAYLIST"},   {121, L"IPC_SETPLAYLISTPOS"},   {123, L"IPC_SETPANNING"},
    {124, L"IPC_GETLISTLENGTH"},   {125, L"IPC_GETLISTPOS"},       {126, L"IPC_GETINFO"},
    {201, L"IPC_GETSKIN"},         {211, L"IPC_GETPLAYLISTFILE"},  {212, L"IPC_GETPLAYLISTTITLE"},
    {243, L"IPC_UPDTITLE"},        {260, L"IPC_GETWND"},           {290, L"IPC_GET_EXTENDED_FILE_INFO"},
    {292, L"IPC_GET_EXTLIST"},     {296, L"IPC_GET_EXTENDED_FILE_INFO_HOOKABLE"},
    {297, L"IPC_FORMATTITLE"},     {380, L"IPC_OPENPREFSTOPAGE"},  {500, L"IPC_GET_IVIDEOOUTPUT"},
    {501, L"IPC_IS_PLAYING_VIDEO"}, {505, L"IPC_GET_EMBEDIF"},     {630, L"IPC_IS_FULLSCREEN"},
    {632, L"IPC_SHOW_NOTIFICATION"}, {3011, L"IPC_WRITECONFIG"},
};

}  // namespace

LRESULT CWAEmuWnd::OnIpc(WPARAM data, LPARAM ipc) {
  const int number = static_cast<int>(ipc);
  const int arg = static_cast<int>(data);
  // Registered messages are tested before everything else.
  if (number >= IPC_FIRST_REGISTERED && number < IPC_FIRST_REGISTERED + static_cast<int>(ipcNames_.size())) {
    ZUL_LOG(L"IamWinamp RegisterWindowMessage %d %d\n", number, arg);
    return 1;
  }
  Settings& settings = mainWnd_.settings();
  switch (number) {
    case IPC_GETVERSION:
      ZUL_LOG(L"IamWinamp IPC_GETVERSION %d \n", arg);
      return 0x5030;
    case IPC_SETVOLUME:
      ZUL_LOG(L"IamWinamp IPC_SETVOLUME %d \n", arg);
      if (arg == -666) return volume_.Get();
      // The input plug-ins' SetVolume and the MiniBar follow with the
      // playback controller.
      volume_.Set(arg);
      return 1;
    case IPC_GETEQDATA:
      ZUL_LOG(L"IamWinamp IPC_GETEQDATA %d\n", arg);
      return (arg == 11 || arg == 12) ? 0 : 31;
    case IPC_GET_SHUFFLE:
      ZUL_LOG(L"IamWinamp IPC_GET_SHUFFLE\n");
      return settings.shuffleMode;
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
    case IPC_GET_GENSKINBITMAP:
      ZUL_LOG(L"IamWinamp IPC_GET_GENSKINBITMAP %d \n", arg);
      if (arg == 1) return reinterpret_cast<LRESULT>(L"Verdana");
      if (arg == 2) return 1;
      if (arg == 3) return 9;
      return 0;  // the generic skin bitmap arrives with the skins
    case IPC_GETLANGUAGEPACKINSTANCE:
      ZUL_LOG(L"IamWinamp IPC_GETLANGUAGEPACKINSTANCE %d\n", arg);
      return reinterpret_cast<LRESULT>(GetModuleHandleW(nullptr));
    case IPC_CB_OUTPUTCHANGED:
      ZUL_LOG(L"IamWinamp IPC_CB_OUTPUTCHANGED\n");
      return 1;
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
    case 40022:  // WINAMP_FILE_REPEAT: (0,0) -> (1,0) -> (0,1) -> (0,0)
      if (!settings.repeat && !settings.repeatTrack) settings.repeat = 1;
      else if (settings.repeat) settings.repeat = 0, settings.repeatTrack = 1;
      else settings.repeatTrack = 0;
      ZUL_LOG(L"IamWinamp WINAMP_FILE_REPEAT %d \n", arg);
      return 1;
    case 40023:  // WINAMP_FILE_SHUFFLE
      settings.shuffleMode = !settings.shuffleMode;
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
  for (const PendingIpc& p : kPending) {
    if (p.number == number) {
      ZUL_LOG(L"IamWinamp %s %d is not available in this build", p.name, arg);
      return 0;
    }
  }
  ZUL_LOG(L"Message non re\u00e7u %d %d\n", arg, number);
  return 1;
}

}  // namespace zul
