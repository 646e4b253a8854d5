#pragma once
// What the playlist workers need from the rest of the program: the file
// system, the console, a snapshot of the settings they use, the playlist
// window and the playback controller. The Win32 build implements it in
// playlist/win32; tests bring a recording fake.
//
// Threads: every method is called from worker threads as well as from the
// UI thread. The window and playback methods must not block on the UI
// thread (the Win32 implementation posts them to a window of the UI
// thread), because the UI thread may be waiting for the calling worker.
#include <string>
#include <vector>

#include "playlist/files/playlist_file_system.h"

namespace zul {

// The settings the workers read, copied when a worker starts.
struct PlaylistOptions {
  std::wstring sortTemplate = L"%8%9%7";
  bool randomFirst = false;
  bool shuffleMode = false;
  bool autoPlay = true;
  int savedIndex = 0;  // CurrentInPlaylist
  bool autSort = false;
  bool autRemove = false;
  bool autRemoveDuplicates = false;
  bool autRescan = false;
  std::vector<std::wstring> autDirs;
};

class PlaylistPlatform {
public:
  virtual ~PlaylistPlatform() = default;

  virtual PlaylistFileSystem& Files() = 0;
  virtual void Log(const char* sourceFile, int line, const std::wstring& text) = 0;

  virtual PlaylistOptions Options() = 0;
  // The sort commands and the shuffle change the persisted sort template.
  virtual void StoreSortTemplate(const std::wstring& tmpl) = 0;
  // The input plug-ins' extensions, ";"-separated.
  virtual std::wstring ExtensionList() = 0;

  // The playlist window; each does nothing while it is hidden.
  virtual bool PlaylistWindowVisible() = 0;
  virtual void ListChanging() = 0;  // the list stops redrawing
  virtual void ListChanged() = 0;   // refresh command 1507
  virtual void TagsRead() = 0;      // total time and the list redrawn
  virtual void RepaintList() = 0;

  // The playback controller.
  virtual void StopIfPlaying() = 0;  // Winamp stop command when an input plug-in plays
  // After a load chose a new current entry and play was asked or AutoPlay
  // is on: start that entry.
  virtual void StartPlaybackAfterLoad(const std::wstring& path) = 0;
  // The shuffle generator picks the first entry (0..count-1), which also
  // becomes the shuffle start.
  virtual int PickShuffleStart(int count) = 0;
  virtual void ClearShuffleStart() = 0;

  // Called while a thread waits for a worker to end; the UI thread answers
  // messages sent to its windows there.
  virtual void WhileWaiting() = 0;
};

}  // namespace zul

// A console line with this source file and line.
#define ZUL_PLAYLIST_LOG(platform, text) (platform).Log(__FILE__, __LINE__, (text))
