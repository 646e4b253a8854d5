#include "app/playback_controller.h"

#include <commdlg.h>
#include <shlobj.h>

#include <atomic>
#include <ctime>
#include <mutex>
#include <random>
#include <vector>

#include "app/messages.h"
#include "app/pending_windows.h"
#include "app/recent_list.h"
#include "app/url_dialog.h"
#include "base/console_log.h"
#include "base/text_codec.h"
#include "base/win32_handles.h"
#include "playlist/win32/playlist_service.h"
#include "playlist/win32/startup_steps.h"
#include "pluginhost/host/plugin_lists.h"
#include "pluginhost/protocol/winamp_messages.h"
#include "resources/resource.h"
#include "waveout/start_clock.h"

namespace zul {
namespace {

PlaybackController* g_controller = nullptr;

// The shuffle start is shared with playlist workers (a random-first load
// draws it on its own thread).
std::atomic<int> g_shuffleStart{-1};

int DrawIndex(int count) {
  static std::mutex mutex;
  static std::mt19937 rng(static_cast<unsigned>(std::time(nullptr)));
  std::lock_guard lock(mutex);
  return count > 0 ? static_cast<int>(rng() % static_cast<unsigned>(count)) : 0;
}

std::wstring FolderOf(const std::wstring& path) {
  size_t slash = path.find_last_of(L'\\');
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring LoadText(UINT id) {
  const wchar_t* text = nullptr;
  int n = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<wchar_t*>(&text), 0);
  return n > 0 ? std::wstring(text, static_cast<size_t>(n)) : std::wstring();
}

// Splits the multi-selection answer of the open dialog: a folder followed
// by file names, or one full path.
std::vector<std::wstring> SelectedPaths(const std::vector<wchar_t>& buffer) {
  std::vector<std::wstring> parts;
  const wchar_t* p = buffer.data();
  while (*p) {
    parts.emplace_back(p);
    p += parts.back().size() + 1;
  }
  if (parts.size() <= 1) return parts;
  std::wstring folder = parts.front();
  if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
  std::vector<std::wstring> paths;
  for (size_t i = 1; i < parts.size(); ++i) paths.push_back(folder + parts[i]);
  return paths;
}

int CALLBACK StartInFolder(HWND window, UINT msg, LPARAM, LPARAM folder) {
  if (msg == BFFM_INITIALIZED) SendMessageW(window, BFFM_SETSELECTIONW, TRUE, folder);
  return 0;
}

struct CommandName {
  UINT id;
  const wchar_t* name;
};
constexpr CommandName kControllerCommands[] = {
    {WINAMP_BUTTON1, L"WINAMP_BUTTON1 OK"},
    {WINAMP_BUTTON2, L"WINAMP_BUTTON2 OK"},
    {WINAMP_BUTTON3, L"WINAMP_BUTTON3 OK"},
    {WINAMP_BUTTON4, L"WINAMP_BUTTON4 OK"},
    {WINAMP_BUTTON5, L"WINAMP_BUTTON5 OK"},
    {WINAMP_BUTTON1_SHIFT, L"WINAMP_BUTTON1_SHIFT"},
    {WINAMP_BUTTON5_SHIFT, L"WINAMP_BUTTON5_SHIFT"},
    {WINAMP_VOLUMEUP, L"WINAMP_VOLUMEUP OK"},
    {WINAMP_VOLUMEDOWN, L"WINAMP_VOLUMEDOWN OK"},
    {WINAMP_FILE_REPEAT, L"WINAMP_FILE_REPEAT"},
    {WINAMP_FILE_SHUFFLE, L"WINAMP_FILE_SHUFFLE"},
    {WINAMP_FILE_PLAY, L"WINAMP_FILE_PLAY"},
    {WINAMP_OPTIONS_ELAPSED, L"WINAMP_OPTIONS_ELAPSED"},
    {WINAMP_OPTIONS_REMAINING, L"WINAMP_OPTIONS_REMAINING"},
};

}  // namespace

PlaybackController* ThePlaybackController() { return g_controller; }
void SetThePlaybackController(PlaybackController* controller) { g_controller = controller; }

PlaybackController::PlaybackController(Settings& settings, PendingWindows& windows)
    : settings_(settings), windows_(windows) {}

void PlaybackController::BuildShuffleOrder() {
  shuffle_ = std::make_unique<ShuffleOrder>(static_cast<uint32_t>(std::time(nullptr)));
}

void PlaybackController::OpenMixer(HWND notify) {
  mixer_.SetNotifyWindow(notify);
  lastMixerVolume_ = mixer_.Get();
}

void PlaybackController::SetWindows(HWND mainWnd, HWND winamp) {
  mainWnd_ = mainWnd;
  winamp_ = winamp;
}

void PlaybackController::InstallPlaylistHooks() {
  PlaylistPlaybackHooks hooks;
  hooks.isPlaying = [] { return InputPlugins().GetState() != PlayState::Stopped; };
  hooks.startAfterLoad = [](const std::wstring& path) {
    if (g_controller) g_controller->PlayLoadedPath(path);
  };
  hooks.pickShuffleStart = [](int count) {
    int index = DrawIndex(count);
    g_shuffleStart.store(index);
    return index;
  };
  hooks.clearShuffleStart = [] { g_shuffleStart.store(-1); };
  SetPlaylistPlaybackHooks(hooks);
}

void PlaybackController::SendPlayFileRequest(const std::wstring& path) {
  // The play-file request carrying the path, as a remote control would send
  // it (repeat track, Open File).
  COPYDATASTRUCT data{};
  data.dwData = 1100;
  data.cbData = static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t));
  data.lpData = const_cast<wchar_t*>(path.c_str());
  SendMessageW(winamp_, WM_COPYDATA, reinterpret_cast<WPARAM>(mainWnd_), reinterpret_cast<LPARAM>(&data));
}

void PlaybackController::SendWinampCommand(UINT id) { SendMessageW(winamp_, WM_COMMAND, id, 0); }

bool PlaybackController::OnWinampCommand(UINT id) {
  const wchar_t* name = nullptr;
  for (const CommandName& c : kControllerCommands)
    if (c.id == id) name = c.name;
  if (!name) return false;
  ZUL_LOG(L"Command %s", name);
  switch (id) {
    case WINAMP_BUTTON1:
      Previous();
      break;
    case WINAMP_BUTTON2:
      Play();
      break;
    case WINAMP_BUTTON3:
      Pause();
      break;
    case WINAMP_BUTTON4:
      Stop();
      break;
    case WINAMP_BUTTON5:
      Next();
      break;
    case WINAMP_BUTTON1_SHIFT:
      Seek(-5000);
      break;
    case WINAMP_BUTTON5_SHIFT:
      Seek(5000);
      break;
    case WINAMP_VOLUMEUP:
      SetVolume(std::min(Volume() + 5, 255));
      break;
    case WINAMP_VOLUMEDOWN:
      SetVolume(std::max(Volume() - 5, 0));
      break;
    case WINAMP_FILE_REPEAT:
      settings_.repeatTrack = !settings_.repeatTrack;
      if (settings_.repeatTrack) settings_.repeat = 0;
      break;
    case WINAMP_FILE_SHUFFLE:
      settings_.shuffleMode = !settings_.shuffleMode;
      SyncPlaylistOptions();
      break;
    case WINAMP_FILE_PLAY:
      OpenFileDialog(false);
      break;
    case WINAMP_OPTIONS_ELAPSED:
      settings_.showRemainingTime = 0;
      break;
    case WINAMP_OPTIONS_REMAINING:
      settings_.showRemainingTime = 1;
      break;
  }
  return true;
}

bool PlaybackController::OnMenuCommand(UINT id) {
  switch (id) {
    case ID_MENU_PLAY:
      SendWinampCommand(WINAMP_BUTTON2);
      return true;
    case ID_MENU_PAUSE:
      SendWinampCommand(WINAMP_BUTTON3);
      return true;
    case ID_MENU_STOP:
      SendWinampCommand(WINAMP_BUTTON4);
      return true;
    case ID_MENU_PREVIOUS:
      SendWinampCommand(WINAMP_BUTTON1);
      return true;
    case ID_MENU_NEXT:
      SendWinampCommand(WINAMP_BUTTON5);
      return true;
    case ID_MENU_OPEN_FILE:
      SendWinampCommand(WINAMP_FILE_PLAY);
      return true;
    case ID_MENU_REPEAT:
      settings_.repeat = !settings_.repeat;
      if (settings_.repeat) settings_.repeatTrack = 0;
      return true;
    case ID_MENU_REPEAT_TRACK:
      SendWinampCommand(WINAMP_FILE_REPEAT);
      return true;
    case ID_MENU_SHUFFLE:
      SendWinampCommand(WINAMP_FILE_SHUFFLE);
      return true;
    case ID_MENU_RANDOM_FIRST:
      settings_.randomFirst = !settings_.randomFirst;
      SyncPlaylistOptions();
      return true;
    case ID_MENU_ALBUM_MODE:
      settings_.albumStop = !settings_.albumStop;
      return true;
    case ID_MENU_EXIT_AFTER_END:
      ToggleEndAction(true);
      return true;
    case ID_MENU_SHUTDOWN_AFTER_END:
      ToggleEndAction(false);
      return true;
    case ID_MENU_OPEN_FOLDER:
      OpenFolderDialog(false);
      return true;
    case ID_MENU_ADD_FOLDER:
      OpenFolderDialog(true);
      return true;
    case ID_MENU_ADD_FILES:
      OpenFileDialog(true);
      return true;
    case ID_MENU_OPEN_URL:
      OpenUrl();
      return true;
    case ID_MENU_MP3INFO:
      FileInformation();
      return true;
  }
  return false;
}

PlayState PlaybackController::PlayingState() const { return InputPlugins().GetState(); }

IndexRange PlaybackController::CurrentRange() const {
  PlaylistManager& list = ThePlaylist();
  const int count = list.Count();
  const int current = list.GetCurrent();
  return AlbumRange(count, current, settings_.albumStop != 0, [&list](int a, int b) {
    return EqualNoCase(FolderOf(list.GetPath(a)), FolderOf(list.GetPath(b)));
  });
}

int PlaybackController::ShuffleStep(bool forward, bool randomFirst) {
  PlaylistManager& list = ThePlaylist();
  if (randomFirst) {
    list.SetCurrent(DrawIndex(list.Count()));
  } else if (g_shuffleStart.load() == -1) {
    g_shuffleStart.store(list.GetCurrent());
  }
  if (!shuffle_) BuildShuffleOrder();
  return shuffle_->Step(forward, list.GetCurrent(), CurrentRange());
}

void PlaybackController::Play() {
  CancelGap();
  PlaylistManager& list = ThePlaylist();
  CDllInputList& inputs = InputPlugins();
  if (list.Count() > 0) {
    switch (inputs.GetState()) {
      case PlayState::Playing:
        inputs.Pause();
        break;
      case PlayState::Paused:
        inputs.UnPause();
        break;
      case PlayState::Stopped: {
        const int volume = Volume();
        RefreshInputsOutput();
        inputs.SetVolumeAll(volume);
        const int current = list.GetCurrent();
        const std::wstring path = list.GetPath(current);
        if (EndsWithNoCase(path, L".m3u")) {
          // A playlist inside the playlist: its tracks join at the end.
          list.RemoveAt(current);
          LoadPlaylistFileAsync(path, {.append = true, .play = true});
          return;
        }
        MarkPlayCommand();
        const int result = inputs.PlayFile(path);
        ZUL_LOG(L"Play %s: %d", path.c_str(), result);
        SendMessageW(winamp_, WM_WA_IPC, 0, IPC_SHOW_NOTIFICATION);
        inputs.SetVolumeAll(volume);
        windows_.ShowVolumeOnMiniBar(volume);
        break;
      }
    }
  }
  windows_.UpdateNowPlayingExport();
}

void PlaybackController::Pause() {
  CDllInputList& inputs = InputPlugins();
  if (ThePlaylist().Count() > 0) {
    switch (inputs.GetState()) {
      case PlayState::Stopped:
        Play();
        return;
      case PlayState::Playing:
        inputs.Pause();
        break;
      case PlayState::Paused:
        inputs.UnPause();
        break;
    }
  }
  windows_.UpdateNowPlayingExport();
}

void PlaybackController::Stop() {
  CancelGap();  // a command during the pause replaces the step it would take
  if (ThePlaylist().Count() == 0) return;
  CDllInputList& inputs = InputPlugins();
  if (inputs.GetState() != PlayState::Stopped) inputs.Stop();
  windows_.UpdateNowPlayingExport();
}

void PlaybackController::Next() {
  Stop();
  PlaylistManager& list = ThePlaylist();
  if (settings_.shuffleMode) {
    const int next = ShuffleStep(true, false);
    if (next == g_shuffleStart.load() && !settings_.repeat) {
      EndOfPlaylist();
      return;
    }
    list.SetCurrent(next);
  } else {
    const NextChoice choice = SequentialNext(list.GetCurrent(), CurrentRange());
    list.SetCurrent(choice.index);
    if (choice.wrapped && !settings_.repeat) {
      EndOfPlaylist();
      return;
    }
  }
  Play();
  RefreshPlaylistView();
}

void PlaybackController::Previous() {
  Stop();
  PlaylistManager& list = ThePlaylist();
  if (list.Count() < 2) return;
  if (settings_.shuffleMode)
    list.SetCurrent(ShuffleStep(false, false));
  else
    list.SetCurrent(SequentialPrevious(list.GetCurrent(), CurrentRange()));
  Play();
  RefreshPlaylistView();
  windows_.UpdateNowPlayingExport();
}

void PlaybackController::Seek(int deltaMs) {
  CDllInputList& inputs = InputPlugins();
  if (ThePlaylist().Count() == 0 || !inputs.IsSeekable()) return;
  inputs.SetOutputTime(std::max(0, inputs.GetOutputTime() + deltaMs));
}

void PlaybackController::EndOfTrack() {
  InputPlugins().Stop();
  // The pause between tracks is a timer: the UI thread keeps answering the
  // tray, the hotkeys and remote controls meanwhile.
  if (settings_.gap > 0 && mainWnd_ && SetTimer(mainWnd_, TIMER_GAP, static_cast<UINT>(settings_.gap), nullptr)) {
    gapPending_ = true;
    return;
  }
  AfterEndOfTrack();
}

void PlaybackController::OnGapTimer() {
  KillTimer(mainWnd_, TIMER_GAP);
  if (!gapPending_) return;
  gapPending_ = false;
  AfterEndOfTrack();
}

void PlaybackController::CancelGap() {
  if (!gapPending_) return;
  gapPending_ = false;
  KillTimer(mainWnd_, TIMER_GAP);
}

void PlaybackController::AfterEndOfTrack() {
  CDllInputList& inputs = InputPlugins();
  if (settings_.repeatTrack) {
    if (inputs.GetState() != PlayState::Stopped) inputs.Stop();
    PlaylistManager& list = ThePlaylist();
    SendPlayFileRequest(list.GetPath(list.GetCurrent()));
  } else {
    Next();
  }
  if (settings_.changeSkinOnEachTrack && !settings_.skins.empty()) windows_.ChangeSkinAfterTrack(settings_);
}

void PlaybackController::EndOfPlaylist() {
  // The end of the last track (of the album, of the shuffle cycle) with
  // repeat off ends the program, or the computer when that was asked for.
  if (quitting_) return;
  quitting_ = true;
  ZUL_LOG(L"End of the playlist");
  if (turnOffAfterEnd_) ShutDownComputer();
  SendWinampCommand(WINAMP_FILE_QUIT);
}

void PlaybackController::ShutDownComputer() {
  OSVERSIONINFOW version{sizeof version};
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExW(&version) || version.dwPlatformId != VER_PLATFORM_WIN32_NT) return;
#pragma GCC diagnostic pop
  HANDLE opened = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &opened)) return;
  const UniqueHandle token(opened);
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  const bool enabled = LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid) &&
                       AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr) &&
                       GetLastError() == ERROR_SUCCESS;
  if (enabled)
    ExitWindowsEx(EWX_POWEROFF | EWX_FORCE, 0);
  else
    ZUL_LOG(L"The shutdown privilege was refused: the computer stays on");
}

void PlaybackController::PlayFileRequest(const std::wstring& path) {
  PlaylistManager& list = ThePlaylist();
  int index = list.IndexOf(path);
  if (index == -1) {
    list.AddPath(-1, path);
    index = list.IndexOf(path);
  }
  PlayEntry(index);
}

void PlaybackController::PlayLoadedPath(const std::wstring& path) {
  // Looked up once and not added: if a load clears the list right after the
  // lookup, Play finds an empty list or the new entries, and the load's own
  // request follows.
  const int index = ThePlaylist().IndexOf(path);
  if (index == -1) {
    ZUL_LOG(L"AfterLoad: %s is no longer in the playlist, not played", path.c_str());
    return;
  }
  ZUL_LOG(L"AfterLoad: play %s", path.c_str());
  PlayEntry(index);
}

void PlaybackController::PlayEntry(int index) {
  ThePlaylist().SetCurrent(index);
  if (SendMessageW(winamp_, WM_WA_IPC, 0, IPC_ISPLAYING) != 0) SendWinampCommand(WINAMP_BUTTON4);
  SendWinampCommand(WINAMP_BUTTON2);
}

void PlaybackController::AddOneTrack(const std::wstring& path, bool add, bool play) {
  PlaylistManager& list = ThePlaylist();
  const bool wasEmpty = list.Count() == 0;
  if (!add) {
    // As clearing the playlist does, but playback goes on until the new
    // track replaces it.
    PlaylistWorkers& workers = ThePlaylistWorkers();
    workers.StopTagReader();
    workers.StopAutomation();
    list.RemoveAll();
    list.SetCurrent(0);
  }
  CDllInputList& inputs = InputPlugins();
  if (inputs.GetState() != PlayState::Stopped && play) inputs.Stop();
  list.AddPath(-1, path);
  if (!add || wasEmpty) {
    list.SetCurrent(list.GetCurrent());  // the copy of the current entry follows the new list
    if (settings_.autoPlay || play)
      PlayFileRequest(list.GetPath(list.GetCurrent()));
    else if (inputs.GetState() == PlayState::Playing)
      SendWinampCommand(WINAMP_BUTTON4);
  }
  RefreshPlaylistView();
}

int PlaybackController::Volume() { return mixer_.Get(); }

void PlaybackController::SetVolume(int volume) {
  mixer_.Set(volume);
  InputPlugins().SetVolumeAll(volume);
  windows_.ShowVolumeOnMiniBar(volume);
}

void PlaybackController::OnMixerChange(HMIXER mixer, DWORD control) {
  if (!mixer_.Owns(mixer, control)) return;
  const int volume = mixer_.Get();
  if (volume == lastMixerVolume_) return;
  lastMixerVolume_ = volume;
  InputPlugins().SetVolumeAll(volume);
  windows_.ShowVolumeOnMiniBar(volume);
}

void PlaybackController::RefreshPlaylistView() { windows_.RefreshPlaylistWindowIfVisible(); }

void PlaybackController::ToggleEndAction(bool exit) {
  bool& flag = exit ? exitAfterEnd_ : turnOffAfterEnd_;
  bool& other = exit ? turnOffAfterEnd_ : exitAfterEnd_;
  flag = !flag;
  other = false;
  if (flag && (settings_.repeat || settings_.repeatTrack)) {
    settings_.repeat = 0;
    settings_.repeatTrack = 0;
    MessageBoxW(mainWnd_, LoadText(IDS_REPEAT_OFF_WARNING).c_str(), L"ZUL", MB_OK | MB_ICONEXCLAMATION);
  }
}

void PlaybackController::OpenFileDialog(bool addOnly) {
  if (dialogBusy_) return;
  dialogBusy_ = true;
  std::wstring filter = InputPlugins().BuildOpenFilter();
  for (wchar_t& c : filter)
    if (c == L'|') c = L'\0';
  filter.push_back(L'\0');
  std::vector<wchar_t> buffer(130000, L'\0');
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = addOnly ? mainWnd_ : nullptr;
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.lpstrInitialDir = settings_.initDir.c_str();
  ofn.lpstrDefExt = L"mp3";
  ofn.Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
  const bool chosen = GetOpenFileNameW(&ofn) != 0;
  dialogBusy_ = false;
  if (!chosen) return;
  const std::vector<std::wstring> paths = SelectedPaths(buffer);
  PlaylistManager& list = ThePlaylist();
  const bool wasEmpty = list.Count() == 0;
  bool first = true;
  for (const std::wstring& path : paths) {
    settings_.initDir = FolderOf(path) + L"\\";
    if (addOnly) {
      list.AddPath(-1, path);
    } else if (EndsWithNoCase(path, L".M3U") || EndsWithNoCase(path, L".PLS")) {
      LoadPlaylistFileAsync(path, {.append = !first, .randomFirst = settings_.randomFirst != 0});
    } else {
      AddOneTrack(path, !first, false);
    }
    if (!addOnly) PushRecent(settings_.recent, path);
    first = false;
  }
  if (addOnly && wasEmpty && list.Count() > 0) {
    if (InputPlugins().GetState() != PlayState::Stopped) SendWinampCommand(WINAMP_BUTTON4);
    int start = 0;
    if (settings_.shuffleMode) {
      start = DrawIndex(list.Count());
      g_shuffleStart.store(start);
    } else {
      g_shuffleStart.store(-1);
    }
    // The first added file (or the drawn one) is the one that plays; a
    // step forward from it would skip it.
    list.SetCurrent(start);
    if (settings_.autoPlay) SendPlayFileRequest(list.GetPath(list.GetCurrent()));
  }
  RefreshPlaylistView();
}

void PlaybackController::OpenFolderDialog(bool add) {
  if (dialogBusy_) return;
  dialogBusy_ = true;
  const std::wstring title = LoadText(IDS_SELECT_FOLDER);
  BROWSEINFOW info{};
  info.hwndOwner = mainWnd_;
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  info.lpfn = &StartInFolder;
  info.lParam = reinterpret_cast<LPARAM>(settings_.initDir.c_str());
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
  dialogBusy_ = false;
  if (!chosen) return;
  wchar_t folder[MAX_PATH] = {};
  const bool ok = SHGetPathFromIDListW(chosen, folder);
  CoTaskMemFree(chosen);
  if (!ok || !folder[0]) return;
  PushRecent(settings_.recent, folder);
  settings_.initDir = folder;
  LoadFolderAsync(folder, {.append = add, .randomFirst = !add && settings_.randomFirst != 0});
}

void PlaybackController::OpenUrl() {
  std::wstring address;
  if (!AskForUrl(mainWnd_, address)) return;
  std::wstring escaped;
  for (wchar_t c : address) {
    if (c == L' ')
      escaped += L"%20";
    else
      escaped += c;
  }
  PlaylistWorkers& workers = ThePlaylistWorkers();
  const int countBefore = ThePlaylist().Count();
  workers.ClearPlaylist();
  ThePlaylist().AddPath(-1, escaped);
  workers.AfterLoad(countBefore, {.play = true});
  PushRecent(settings_.recent, escaped);
}

void PlaybackController::FileInformation() {
  PlaylistManager& list = ThePlaylist();
  if (list.Count() == 0) return;
  InputPlugins().InfoBox(list.GetPath(list.GetCurrent()), winamp_);
}

}  // namespace zul
