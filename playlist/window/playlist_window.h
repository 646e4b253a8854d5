#pragma once
// The playlist window: an owner-drawn multi-selection list of the playlist
// with a search box above it and the selected entry's path below it, the
// menus of playlist and file commands, and file drops.
//
// The list box holds no texts: each row stands for its place in rows_,
// which maps it to a playlist index of the snapshot taken at the last
// refresh; only the rows in view are drawn, each from the snapshot.
//
// Threads: UI thread. Workers reach it only through the playlist service's
// refresh command (1507), which the service sends on this thread.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "playlist/core/cached_tag.h"

namespace zul {

struct Settings;

class PlaylistWindow {
public:
  PlaylistWindow(Settings& settings, HWND winamp);
  ~PlaylistWindow();
  PlaylistWindow(const PlaylistWindow&) = delete;
  PlaylistWindow& operator=(const PlaylistWindow&) = delete;

  // Creates the window hidden at its saved place. False when it failed.
  bool Create(HWND owner);
  HWND hwnd() const { return hwnd_; }
  bool Visible() const { return hwnd_ && IsWindowVisible(hwnd_); }
  void Toggle();
  void Show();
  void Hide();
  void Refresh();
  // Keeps the rectangle and visibility in the settings (at quit).
  void StoreState();

private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  bool OnListKey(WPARAM key);
  void OnInit();
  void OnCommand(UINT id, UINT code, HWND control);
  void Layout();
  void DrawRow(const DRAWITEMSTRUCT& item);
  void UpdatePathAndTitle();
  void InitMenuPopup(HMENU menu);
  void ContextMenu(POINT at);

  std::vector<int> SelectedRows() const;
  std::vector<int> SelectedEntries() const;
  int RowEntry(int row) const;
  void SelectRow(int row, bool only);
  void SelectAll();
  void InvertSelection();
  void RemoveSelected();
  void PlayEntry(int index);
  void StopIfPlaying();
  void ApplyTopmost();
  void DropFiles(HDROP drop);
  void AfterAddingToEmpty();

  // Commands with dialogs.
  std::wstring AskOpenFile(bool mustExist, bool save);
  void OpenPlaylist(bool append);
  void SavePlaylist(bool selectedOnly);
  void AddToExisting();
  void AddFiles();
  void AddFolder();
  void EditTags();
  void DeleteFiles();
  void CopyOrMoveFiles(bool move);
  void RenameFiles();

  Settings& settings_;
  HWND winamp_;
  HWND hwnd_ = nullptr;
  HWND list_ = nullptr;
  HWND search_ = nullptr;
  HWND path_ = nullptr;
  HWND group_ = nullptr;
  WNDPROC listProc_ = nullptr;
  HMENU context_ = nullptr;
  HFONT font_ = nullptr;
  std::vector<CachedTag> snapshot_;
  std::vector<int> rows_;  // row -> entry index
  int numberWidth_ = 8;    // one digit
  bool refreshing_ = false;
  std::wstring folder_;  // the folder last used by this window's dialogs
};

}  // namespace zul
