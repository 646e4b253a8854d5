#include "playlist/win32/playlist_service.h"

#include <atomic>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <random>

#include "base/console_log.h"
#include "base/profile_file.h"
#include "base/settings.h"
#include "playlist/core/tag_source.h"
#include "playlist/win32/playlist_messages.h"
#include "playlist/win32/win32_file_system.h"
#include "pluginhost/protocol/winamp_messages.h"
#include "ui/window_base.h"

namespace zul {
namespace {

constexpr wchar_t kHelperClass[] = L"ZULPlaylistHelper";

enum Task : WPARAM {
  kListChanging = 1,
  kListChanged,
  kTagsRead,
  kRepaint,
  kStopIfPlaying,
  kStartPlayback,  // lParam: path
  kClearShuffleStart,
  kStoreSortTemplate,  // lParam: template
};

void LowerThisThread() { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST); }

// The stand-in shuffle generator: the C runtime's rand() keeps its state
// per thread and would give every worker the same first number.
int RandomStart(int count) {
  static std::mutex mutex;
  static std::minstd_rand rng(static_cast<unsigned>(GetTickCount()));
  std::lock_guard lock(mutex);
  return count > 0 ? static_cast<int>(rng() % static_cast<unsigned>(count)) : 0;
}

class Win32PlaylistPlatform : public PlaylistPlatform, public WindowBase {
public:
  void Bind(Settings& settings, HWND winamp, const std::wstring& profilePath) {
    settings_ = &settings;
    winamp_ = winamp;
    profilePath_ = profilePath;
    uiThread_ = GetCurrentThreadId();
    Sync();
    if (!hwnd()) {
      WNDCLASSEXW wc{sizeof wc};
      wc.lpfnWndProc = WindowBase::StaticProc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = kHelperClass;
      RegisterClassExW(&wc);
      Create(0, kHelperClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr);
    }
  }
  bool Bound() const { return settings_ != nullptr; }
  bool OnUiThread() const { return GetCurrentThreadId() == uiThread_; }

  void Sync() {
    if (!settings_ || !OnUiThread()) return;
    const Settings& s = *settings_;
    PlaylistOptions o;
    o.sortTemplate = s.sortTemplate;
    o.randomFirst = s.randomFirst != 0;
    o.shuffleMode = s.shuffleMode != 0;
    o.autoPlay = s.autoPlay != 0;
    o.savedIndex = s.currentInPlaylist;
    o.autSort = s.autSort != 0;
    o.autRemove = s.autRemove != 0;
    o.autRemoveDuplicates = s.autRemoveDuplicates != 0;
    o.autRescan = s.autRescan != 0;
    o.autDirs = s.autDirs;
    std::lock_guard lock(mutex_);
    options_ = std::move(o);
  }

  Settings* settings() { return settings_; }
  const std::wstring& profilePath() const { return profilePath_; }

  void SetPlaylistWindow(HWND window, HWND list) {
    playlistWnd_.store(window);
    playlistList_.store(list);
  }
  void SupersedeQueuedPlayback() { ++decisionRound_; }
  void SetHooks(const PlaylistPlaybackHooks& hooks) {
    std::lock_guard lock(mutex_);
    hooks_ = hooks;
  }

  // ---- PlaylistPlatform ----
  PlaylistFileSystem& Files() override { return files_; }
  void Log(const char* sourceFile, int line, const std::wstring& text) override {
    LogLine(sourceFile, line, L"%s", text.c_str());
  }
  PlaylistOptions Options() override {
    std::lock_guard lock(mutex_);
    return options_;
  }
  void StoreSortTemplate(const std::wstring& tmpl) override {
    {
      std::lock_guard lock(mutex_);
      options_.sortTemplate = tmpl;
    }
    if (OnUiThread()) {
      if (settings_) settings_->sortTemplate = tmpl;
    } else {
      Post(kStoreSortTemplate, &tmpl);
    }
  }
  std::wstring ExtensionList() override { return InputExtensionList(); }
  bool PlaylistWindowVisible() override {
    HWND w = playlistWnd_.load();
    return w && IsWindowVisible(w);
  }
  void ListChanging() override { Post(kListChanging); }
  void ListChanged() override { Post(kListChanged); }
  void TagsRead() override { Post(kTagsRead); }
  void RepaintList() override { Post(kRepaint); }
  void StopIfPlaying() override { Post(kStopIfPlaying); }
  void StartPlaybackAfterLoad(const std::wstring& path) override { Post(kStartPlayback, &path); }
  int PickShuffleStart(int count) override {
    int (*pick)(int) = nullptr;
    {
      std::lock_guard lock(mutex_);
      pick = hooks_.pickShuffleStart;
    }
    return pick ? pick(count) : RandomStart(count);
  }
  void ClearShuffleStart() override { Post(kClearShuffleStart); }
  void WhileWaiting() override {
    // Dispatches messages other threads sent to this thread's windows (a
    // plug-in asked for tags on a worker may be sending one); posted
    // messages stay queued.
    if (!OnUiThread()) return;
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }

private:
  struct Payload {
    std::wstring text;
    unsigned decisionRound;
  };

  void Post(Task task, const std::wstring* text = nullptr) {
    HWND target = hwnd();
    if (!target) return;
    auto* payload = new Payload{text ? *text : std::wstring(), decisionRound_.load()};
    if (!PostMessageW(target, WM_ZUL_PLAYLIST_TASK, task, reinterpret_cast<LPARAM>(payload))) delete payload;
  }

  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg != WM_ZUL_PLAYLIST_TASK) return CallDefault(msg, wParam, lParam);
    std::unique_ptr<Payload> payload(reinterpret_cast<Payload*>(lParam));
    const std::wstring* text = payload ? &payload->text : nullptr;
    // A load's stop and play requests still queued when an open request
    // took over playback are dropped: that request decides.
    if ((wParam == kStopIfPlaying || wParam == kStartPlayback) && payload &&
        payload->decisionRound != decisionRound_.load()) {
      if (wParam == kStartPlayback)
        ZUL_LOG(L"AfterLoad: %s not played, a later open request decides", payload->text.c_str());
      return 0;
    }
    PlaylistPlaybackHooks hooks;
    {
      std::lock_guard lock(mutex_);
      hooks = hooks_;
    }
    HWND window = playlistWnd_.load();
    HWND list = playlistList_.load();
    const bool visible = window && IsWindowVisible(window);
    switch (wParam) {
      case kListChanging:
        if (visible && list) SendMessageW(list, WM_SETREDRAW, FALSE, 0);
        break;
      case kListChanged:
        if (visible) SendMessageW(window, WM_COMMAND, ID_PLAYLIST_REFRESH, 0);
        break;
      case kTagsRead:
        if (visible) SendMessageW(window, WM_ZUL_PLAYLIST_TAGS_READ, 0, 0);
        break;
      case kRepaint:
        if (visible && list) InvalidateRect(list, nullptr, TRUE);
        break;
      case kStopIfPlaying:
        if (hooks.isPlaying && hooks.isPlaying() && winamp_) SendMessageW(winamp_, WM_COMMAND, WINAMP_BUTTON4, 0);
        break;
      case kStartPlayback:
        if (hooks.startAfterLoad) {
          hooks.startAfterLoad(text ? *text : std::wstring());
        } else {
          ZUL_LOG(L"AfterLoad: %s would start now; playback is not part of this build yet", text ? text->c_str() : L"");
        }
        break;
      case kClearShuffleStart:
        if (hooks.clearShuffleStart) hooks.clearShuffleStart();
        break;
      case kStoreSortTemplate:
        if (settings_ && text) settings_->sortTemplate = *text;
        break;
    }
    return 0;
  }

  Win32PlaylistFileSystem files_;
  Settings* settings_ = nullptr;  // UI thread only
  HWND winamp_ = nullptr;
  std::wstring profilePath_;
  DWORD uiThread_ = 0;
  std::atomic<HWND> playlistWnd_{nullptr};
  std::atomic<HWND> playlistList_{nullptr};
  std::mutex mutex_;  // options_ and hooks_
  PlaylistOptions options_;
  PlaylistPlaybackHooks hooks_;
  std::atomic<unsigned> decisionRound_{0};
};

Win32PlaylistPlatform& Platform() {
  static auto* platform = new Win32PlaylistPlatform;
  return *platform;
}

}  // namespace

PlaylistManager& ThePlaylist() {
  static auto* playlist = new PlaylistManager;
  return *playlist;
}

PlaylistWorkers& ThePlaylistWorkers() {
  static auto* workers = new PlaylistWorkers(ThePlaylist(), Platform());
  return *workers;
}

void StartPlaylistService(Settings& settings, HWND winamp, const std::wstring& profilePath) {
  SetWorkerThreadStartHook(&LowerThisThread);
  Platform().Bind(settings, winamp, profilePath);
  ThePlaylist().SetDisplayMode(settings.showingMode);
  ThePlaylistWorkers();
}

bool PlaylistServiceStarted() { return Platform().Bound(); }

void SyncPlaylistOptions() { Platform().Sync(); }

void SetPlaylistWindow(HWND window, HWND list) { Platform().SetPlaylistWindow(window, list); }

void SetPlaylistPlaybackHooks(const PlaylistPlaybackHooks& hooks) { Platform().SetHooks(hooks); }

void SupersedeQueuedPlayback() { Platform().SupersedeQueuedPlayback(); }

bool SaveSettingsNow() {
  Settings* s = Platform().settings();
  if (!s) return false;
  std::vector<ProfileEdit> edits;
  AppendSaveAll(*s, edits);
  return CommitProfileEdits(Platform().profilePath(), edits);
}

void PerformAutomationNow() {
  if (!PlaylistServiceStarted()) return;
  SyncPlaylistOptions();
  ThePlaylistWorkers().PerformAutomation();
  Settings* s = Platform().settings();
  if (s && s->autSaveSettings) SaveSettingsNow();
}

void StartSortCommand(const std::wstring& tmpl) {
  if (!PlaylistServiceStarted()) return;
  SyncPlaylistOptions();
  ThePlaylistWorkers().StartSortWorker(tmpl);
}

void ShufflePlaylistCommand() {
  if (!PlaylistServiceStarted()) return;
  SyncPlaylistOptions();
  ThePlaylistWorkers().ShufflePlaylist([] { return std::rand(); });
}

}  // namespace zul
