#include "mpeg_input/module/mpeg_in_module.h"

#include <mmsystem.h>

#include <cwchar>
#include <mutex>
#include <string>

#include "base/profile_file.h"
#include "base/program_paths.h"
#include "mpeg_input/module/file_info.h"
#include "mpeg_input/module/info_window_hook.h"
#include "mpeg_input/module/location_claim.h"
#include "mpeg_input/module/mpeg_player.h"
#include "mpeg_input/module/mpeg_settings.h"
#include "mpeg_input/module/prefs_pages.h"
#include "mpeg_input/tags/format_ex.h"

namespace zul {
namespace {

using mpegin::CMpegPlayer;

constexpr LPARAM kIpcGetVersion = 0;
constexpr LPARAM kIpcOpenPrefsToPage = 380;
constexpr size_t kTitleChars = 260;

char description[] = "Kelsor mpg123 v1.0";

InfoWindowHooks infoWindow;

std::wstring SettingsPath() { return CurrentProgramPaths().settingsFile; }

// The settings object: loaded once, on first use, and written back at Quit.
CMpegInputParam& ModuleSettings() {
  static CMpegInputParam settings;
  static std::once_flag loaded;
  std::call_once(loaded, [] { settings.Load(ProfileFileReader(SettingsPath())); });
  return settings;
}

CLocationClaim& Claim() {
  static CLocationClaim claim([] { return static_cast<uint32_t>(timeGetTime()); });
  return claim;
}

In_Module& Record();

CMpegPlayer& Player() {
  static CMpegPlayer player(Record(), ModuleSettings());
  return player;
}

void ShowExtensions() { Record().FileExtensions = const_cast<char*>(Claim().Extensions()); }

void CopyTitle(const std::wstring& text, wchar_t* title) {
  if (!title) return;
  size_t n = std::min(text.size(), kTitleChars - 1);
  std::wmemcpy(title, text.data(), n);
  title[n] = L'\0';
}

void __cdecl Config(HWND) {
  SendMessageW(Record().hMainWindow, WM_USER, reinterpret_cast<WPARAM>(mpegin::FirstPrefsPage()), kIpcOpenPrefsToPage);
}

void __cdecl About(HWND parent) {
  MessageBoxW(parent,
              L"mpg123 v1.0\n\n"
              L"MPEG audio decoding by libmpg123: Michael Hipp, Thomas Orgis and the mpg123 project.",
              L"About", MB_OK | MB_ICONINFORMATION);
}

void __cdecl Init() {
  In_Module& m = Record();
  CMpegInputParam& s = ModuleSettings();
  Player().Init();
  int version = m.hMainWindow ? static_cast<int>(SendMessageW(m.hMainWindow, WM_USER, 0, kIpcGetVersion)) : 0;
  Claim().SetHostVersion(version);
  Claim().SetEnabled(s.enable != 0, s.enableStreaming != 0);
  Claim().RestoreExtensions();
  ShowExtensions();
  mpegin::AddPrefsPages(m.hMainWindow, m.hDllInstance);
}

void __cdecl Quit() {
  Player().Quit();
  mpegin::RemovePrefsPages(Record().hMainWindow);
  std::vector<ProfileEdit> edits;
  ModuleSettings().AppendSave(edits);
  CommitProfileEdits(SettingsPath(), edits);
}

void __cdecl GetFileInfo(void* file, void* title, int* length) {
  const wchar_t* name = static_cast<const wchar_t*>(file);
  CMpegPlayer& player = Player();
  CMpegInputParam& s = ModuleSettings();
  std::wstring text;
  int ms = 0;
  if (!name || !*name || player.Location() == name) {
    const std::wstring& current = player.Location();
    if (player.Preparing()) {
      text = player.StatusText();
      player.StatusFetched();
    } else if (IsStreamLocation(current)) {
      text = player.StreamTitleText(s.titleStreamingFormat);
    } else if (!current.empty()) {
      text = DescribeFile(current, MpegTagCache(), s.formatEx, s.tagPriority).title;
    }
    ms = player.LengthMs();
  } else if (IsStreamLocation(name)) {
    ms = -1000;
  } else {
    CFileDescription d = DescribeFile(name, MpegTagCache(), s.formatEx, s.tagPriority);
    text = d.title;
    ms = d.lengthMs;
  }
  CopyTitle(text, static_cast<wchar_t*>(title));
  if (length) *length = ms;
}

int __cdecl InfoBox(void* file, HWND parent) {
  const wchar_t* name = static_cast<const wchar_t*>(file);
  if (name && IsStreamLocation(name)) {
    MessageBoxW(parent, name, L"Stream URL", MB_OK);
    return 1;
  }
  if (name && *name && infoWindow.open) infoWindow.open(name);
  return 1;
}

int __cdecl IsOurFile(void* file) {
  const wchar_t* name = static_cast<const wchar_t*>(file);
  if (!name) return 0;
  CMpegInputParam& s = ModuleSettings();
  Claim().SetEnabled(s.enable != 0, s.enableStreaming != 0);
  int claimed = Claim().IsOurFile(name) ? 1 : 0;
  ShowExtensions();
  return claimed;
}

int __cdecl Play(void* file) {
  const wchar_t* name = static_cast<const wchar_t*>(file);
  int result = Player().Play(name ? name : L"");
  if (result == 0 && name && *name && !IsStreamLocation(name) && infoWindow.follow) infoWindow.follow(name);
  return result;
}

void __cdecl Pause() { Player().Pause(); }
void __cdecl UnPause() { Player().UnPause(); }
int __cdecl IsPaused() { return Player().IsPaused() ? 1 : 0; }
void __cdecl Stop() { Player().Stop(); }
int __cdecl GetLength() { return Player().LengthMs(); }
int __cdecl GetOutputTime() { return Player().OutputTime(); }
void __cdecl SetOutputTime(int ms) { Player().SetOutputTime(ms); }

void __cdecl SetVolume(int volume) {
  ModuleSettings().moduleVolume = volume;
  Out_Module* out = Record().outMod;
  if (out && out->SetVolume) out->SetVolume(volume);
}

void __cdecl SetPan(int pan) {
  ModuleSettings().xPan = pan;
  Out_Module* out = Record().outMod;
  if (out && out->SetPan) out->SetPan(pan);
}

void __cdecl EQSet(int, char*, int) {}

In_Module& Record() {
  static In_Module module = [] {
    In_Module m{};
    m.version = 0x0F000100;
    m.description = description;
    m.FileExtensions = const_cast<char*>(kMpegExtensions);
    m.is_seekable = 1;
    m.UsesOutputPlug = 1;
    m.Config = Config;
    m.About = About;
    m.Init = Init;
    m.Quit = Quit;
    m.GetFileInfo = GetFileInfo;
    m.InfoBox = InfoBox;
    m.IsOurFile = IsOurFile;
    m.Play = Play;
    m.Pause = Pause;
    m.UnPause = UnPause;
    m.IsPaused = IsPaused;
    m.Stop = Stop;
    m.GetLength = GetLength;
    m.GetOutputTime = GetOutputTime;
    m.SetOutputTime = SetOutputTime;
    m.SetVolume = SetVolume;
    m.SetPan = SetPan;
    m.EQSet = EQSet;
    return m;
  }();
  return module;
}

}  // namespace

In_Module* MpegInModule() { return &Record(); }

void SetInfoWindowHooks(const InfoWindowHooks& hooks) { infoWindow = hooks; }

int MpegGetExtendedFileInfoW(const wchar_t* file, const wchar_t* field, wchar_t* buffer, int size) {
  return MpegTagCache().GetExtendedFileInfoW(file, field, buffer, size, ModuleSettings().tagPriority);
}

int MpegGetExtendedFileInfoA(const char* file, const char* field, char* buffer, int size) {
  return MpegTagCache().GetExtendedFileInfoA(file, field, buffer, size, ModuleSettings().tagPriority);
}

}  // namespace zul
