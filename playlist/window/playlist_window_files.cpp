// The playlist window's commands that work on files: playlist files, adding
// files and folders, drops, tags, and renaming, copying, moving and
// deleting the selected files on disk.
#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdlib>

#include "base/console_log.h"
#include "base/settings.h"
#include "playlist/core/title_template.h"
#include "playlist/files/playlist_files.h"
#include "playlist/win32/playlist_service.h"
#include "playlist/win32/startup_steps.h"
#include "playlist/win32/win32_file_system.h"
#include "playlist/window/file_operations.h"
#include "playlist/window/playlist_dialogs.h"
#include "playlist/window/playlist_window.h"
#include "playlist/window/playlist_window_ids.h"
#include "pluginhost/host/plugin_lists.h"
#include "pluginhost/protocol/winamp_messages.h"

namespace zul {
namespace {

constexpr wchar_t kCaption[] = L"ZUL";

std::vector<std::wstring> ChosenFiles(const std::vector<wchar_t>& buffer) {
  std::vector<std::wstring> parts;
  const wchar_t* p = buffer.data();
  while (*p) {
    parts.emplace_back(p);
    p += parts.back().size() + 1;
  }
  if (parts.size() <= 1) return parts;
  std::wstring folder = parts[0];
  if (folder.back() != L'\\') folder.push_back(L'\\');
  std::vector<std::wstring> paths;
  for (size_t i = 1; i < parts.size(); ++i) paths.push_back(folder + parts[i]);
  return paths;
}

bool EndsWithNoCase(const std::wstring& text, const wchar_t* tail) {
  const size_t n = wcslen(tail);
  return text.size() >= n && CompareStringOrdinal(text.c_str() + text.size() - n, static_cast<int>(n), tail,
                                                  static_cast<int>(n), TRUE) == CSTR_EQUAL;
}

std::wstring DialogFilter(std::wstring text) {
  for (wchar_t& c : text)
    if (c == L'|') c = L'\0';
  text.push_back(L'\0');
  return text;
}

bool IsFolder(const std::wstring& path) {
  const DWORD a = GetFileAttributesW(LongPathForm(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring FromCodePage(const std::string& bytes) {
  if (bytes.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
  return text;
}

// The ID3v1 name fields of a file; false when it cannot be opened.
bool ReadId3v1Names(const std::wstring& path, Id3v1Names* names) {
  HANDLE file = CreateFileW(LongPathForm(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  GetFileSizeEx(file, &size);
  std::string tail;
  if (size.QuadPart >= 128) {
    LARGE_INTEGER at;
    at.QuadPart = size.QuadPart - 128;
    tail.resize(128);
    DWORD got = 0;
    if (!SetFilePointerEx(file, at, nullptr, FILE_BEGIN) || !ReadFile(file, tail.data(), 128, &got, nullptr)) got = 0;
    tail.resize(got);
  }
  CloseHandle(file);
  auto parsed = ParseId3v1Names(tail, static_cast<unsigned long long>(size.QuadPart));
  *names = parsed ? *parsed : Id3v1Names{};
  return true;
}

INT_PTR CALLBACK PassiveDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// A small modeless progress window over the playlist window.
class Progress {
public:
  Progress(HWND owner, int total) {
    dialog_ =
        CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_FILE_PROGRESS), owner, PassiveDialog, 0);
    if (!dialog_) return;
    RECT o, d;
    GetWindowRect(owner, &o);
    GetWindowRect(dialog_, &d);
    SetWindowPos(dialog_, nullptr, o.left + ((o.right - o.left) - (d.right - d.left)) / 2,
                 o.top + ((o.bottom - o.top) - (d.bottom - d.top)) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SendDlgItemMessageW(dialog_, IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, total);
    SendDlgItemMessageW(dialog_, IDC_PROGRESS_BAR, PBM_SETSTEP, 1, 0);
    ShowWindow(dialog_, SW_SHOWNOACTIVATE);
  }
  ~Progress() {
    if (dialog_) DestroyWindow(dialog_);
  }
  void Name(const std::wstring& name) {
    if (dialog_) SetDlgItemTextW(dialog_, IDC_PROGRESS_TEXT, name.c_str());
    Pump();
  }
  void Step() {
    if (dialog_) SendDlgItemMessageW(dialog_, IDC_PROGRESS_BAR, PBM_STEPIT, 0, 0);
    Pump();
  }

private:
  void Pump() {
    MSG msg;
    while (dialog_ && PeekMessageW(&msg, dialog_, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  HWND dialog_ = nullptr;
};

}  // namespace

void PlaylistWindow::AfterAddingToEmpty() {
  // The start steps of a drop onto an empty playlist.
  PlaylistManager& list = ThePlaylist();
  const int count = list.Count();
  if (count == 0) return;
  StopIfPlaying();
  // The chosen entry itself becomes current, as with the main menu's "Add
  // files": a step past it would skip the first file added.
  const int current = settings_.shuffleMode ? std::rand() % count : 0;
  list.SetCurrent(current);
  if (settings_.autoPlay) {
    const std::wstring path = list.GetPath(current);
    COPYDATASTRUCT data{};
    data.dwData = IPC_PLAYFILEW;
    data.cbData = static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t));
    data.lpData = const_cast<wchar_t*>(path.c_str());
    SendMessageW(winamp_, WM_COPYDATA, reinterpret_cast<WPARAM>(hwnd_), reinterpret_cast<LPARAM>(&data));
  } else {
    StopIfPlaying();
  }
}

std::wstring PlaylistWindow::AskOpenFile(bool mustExist, bool save) {
  const std::wstring filter = DialogFilter(LoadResourceText(IDS_PLAYLIST_FILTER));
  std::vector<wchar_t> buffer(32768, L'\0');
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = hwnd_;
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.lpstrInitialDir = folder_.c_str();
  ofn.lpstrDefExt = L"m3u";
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | (mustExist ? OFN_FILEMUSTEXIST : 0) | (save ? OFN_OVERWRITEPROMPT : 0);
  const BOOL chosen = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
  if (!chosen) return {};
  std::wstring path = buffer.data();
  folder_ = FolderOf(path);
  return path;
}

void PlaylistWindow::OpenPlaylist(bool append) {
  const std::wstring file = AskOpenFile(true, false);
  if (file.empty()) return;
  LoadPlaylistFileAsync(file, {.append = append});
}

void PlaylistWindow::SavePlaylist(bool selectedOnly) {
  std::vector<int> indices = selectedOnly ? SelectedEntries() : rows_;
  if (ThePlaylist().Count() == 0 || indices.empty()) return;
  const std::wstring file = AskOpenFile(false, true);
  if (file.empty()) return;
  Win32PlaylistFileSystem fs;
  if (!SavePlaylistRows(fs, file, ThePlaylist(), indices, settings_.extPlaylistFormat != 0)) {
    MessageBoxW(hwnd_, LoadResourceText(IDS_CANT_OPEN_FILE).c_str(), kCaption, MB_OK | MB_ICONERROR);
    return;
  }
}

void PlaylistWindow::AddToExisting() {
  const std::vector<int> entries = SelectedEntries();
  if (entries.empty()) return;
  const std::wstring file = AskOpenFile(true, false);
  if (file.empty()) return;
  std::vector<std::wstring> paths;
  for (int e : entries) paths.push_back(snapshot_[static_cast<size_t>(e)].GetPath());
  Win32PlaylistFileSystem fs;
  if (!AddToExistingPlaylist(fs, file, paths))
    MessageBoxW(hwnd_, LoadResourceText(IDS_CANT_OPEN_FILE).c_str(), kCaption, MB_OK | MB_ICONERROR);
  Refresh();
}

void PlaylistWindow::AddFiles() {
  const std::wstring filter = DialogFilter(InputPlugins().BuildOpenFilter());
  std::vector<wchar_t> buffer(130000, L'\0');
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = hwnd_;
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.lpstrInitialDir = folder_.c_str();
  ofn.lpstrDefExt = L"mp3";
  ofn.Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
  if (!GetOpenFileNameW(&ofn)) return;
  const std::vector<std::wstring> paths = ChosenFiles(buffer);
  PlaylistManager& list = ThePlaylist();
  const bool wasEmpty = list.Count() == 0;
  for (const std::wstring& path : paths) {
    list.AddPath(-1, path);
    folder_ = FolderOf(path);
  }
  Refresh();
  if (wasEmpty) AfterAddingToEmpty();
}

void PlaylistWindow::AddFolder() {
  const std::wstring folder = BrowseForFolder(hwnd_, 14, folder_);
  if (folder.empty()) return;
  folder_ = folder;
  LoadFolderAsync(folder, {.append = true, .randomFirst = settings_.randomFirst != 0});
}

void PlaylistWindow::DropFiles(HDROP drop) {
  PlaylistManager& list = ThePlaylist();
  const int countBefore = list.Count();
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileW(drop, i, nullptr, 0);
    std::wstring path(length + 1, L'\0');
    path.resize(DragQueryFileW(drop, i, path.data(), length + 1));
    if (path.empty()) continue;
    if (IsFolder(path)) {
      if (path.back() != L'\\') path.push_back(L'\\');
      ThePlaylistWorkers().LoadFolder(path, {.append = true});
    } else if (EndsWithNoCase(path, L".M3U") || EndsWithNoCase(path, L".PLS")) {
      LoadPlaylistFileAsync(path, {});
    } else {
      list.AddPath(-1, path);
    }
  }
  DragFinish(drop);
  // The end steps of an appending load: sort, choose and play when the list
  // was empty, refresh, read tags.
  SyncPlaylistOptions();
  ThePlaylistWorkers().AfterLoad(countBefore, {.append = true});
  const int current = list.GetCurrent();
  if (current >= 0 && !list.IsInfoRead(current)) list.ReadTagsAt(current, false);
  Refresh();
}

void PlaylistWindow::EditTags() {
  PlaylistManager& list = ThePlaylist();
  for (int e : SelectedEntries()) {
    const std::wstring path = snapshot_[static_cast<size_t>(e)].GetPath();
    if (!snapshot_[static_cast<size_t>(e)].IsUrl() && !FileUsable(path)) continue;
    InputPlugins().InfoBox(path, hwnd_);
    if (list.GetPath(e) != path) continue;
    list.AddPath(e, path);
    list.ReadTagsAt(e, true);
    snapshot_[static_cast<size_t>(e)] = list.GetEntry(e);
  }
  InvalidateRect(list_, nullptr, FALSE);
}

// Each operation below walks the selection in order and stops at the first
// file it cannot handle, with a message naming it: the files before it are
// done and their entries follow them, it and the files after it are as
// they were.

void PlaylistWindow::DeleteFiles() {
  const std::vector<int> entries = SelectedEntries();
  if (entries.empty()) return;
  if (MessageBoxW(hwnd_, LoadResourceText(IDS_CONFIRM_DELETE).c_str(), kCaption,
                  MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
    return;
  PlaylistManager& list = ThePlaylist();
  std::vector<int> deleted;
  std::wstring failedPath;
  DWORD failedError = 0;
  for (int e : entries) {
    const std::wstring path = snapshot_[static_cast<size_t>(e)].GetPath();
    if (snapshot_[static_cast<size_t>(e)].IsUrl()) {
      deleted.push_back(e);  // nothing on disk; the entry goes as by Remove
      continue;
    }
    if (e == list.GetCurrent()) StopIfPlaying();  // a playing file is held open
    FileOpResult r = DeleteOneFile(path);
    if (!r.ok) {
      failedPath = path;
      failedError = r.error;
      break;
    }
    deleted.push_back(e);
  }
  // Only the entries whose files went leave the playlist.
  SendMessageW(list_, LB_SETSEL, FALSE, -1);
  for (size_t row = 0; row < rows_.size(); ++row)
    if (std::find(deleted.begin(), deleted.end(), rows_[row]) != deleted.end())
      SendMessageW(list_, LB_SETSEL, TRUE, static_cast<LPARAM>(row));
  RemoveSelected();
  if (!failedPath.empty()) {
    ZUL_LOG(L"Delete stopped at %s: %s", failedPath.c_str(), ErrorText(failedError).c_str());
    MessageBoxW(hwnd_,
                (LoadResourceText(IDS_FILE_OP_FAILED) + L"\n" + failedPath + L"\n" + ErrorText(failedError)).c_str(),
                kCaption, MB_OK | MB_ICONERROR);
  }
}

void PlaylistWindow::CopyOrMoveFiles(bool move) {
  const std::vector<int> entries = SelectedEntries();
  if (entries.empty()) return;
  const std::wstring target = BrowseForFolder(hwnd_, IDS_SELECT_TARGET, folder_);
  if (target.empty()) return;
  folder_ = target;
  PlaylistManager& list = ThePlaylist();
  std::wstring failedPath;
  DWORD failedError = 0;
  {
    Progress progress(hwnd_, static_cast<int>(entries.size()));
    for (int e : entries) {
      const std::wstring from = snapshot_[static_cast<size_t>(e)].GetPath();
      const std::wstring to = target + NameOf(from);
      progress.Name(NameOf(from));
      if (snapshot_[static_cast<size_t>(e)].IsUrl() ||
          CompareStringOrdinal(from.c_str(), -1, to.c_str(), -1, TRUE) == CSTR_EQUAL) {
        progress.Step();
        continue;
      }
      if (FileUsable(to)) {
        const std::wstring question = LoadResourceText(IDS_OVERWRITE) + L"\n" + to + L"?";
        if (MessageBoxW(hwnd_, question.c_str(), kCaption, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
          progress.Step();
          continue;
        }
        FileOpResult removed = RemoveOneFile(to);
        if (!removed.ok) {
          failedPath = to;
          failedError = removed.error;
          break;
        }
      }
      if (!move) {
        FileOpResult r = CopyOneFile(from, to);
        if (!r.ok) {
          failedPath = from;
          failedError = r.error;
          break;
        }
      } else {
        const bool isCurrent = e == list.GetCurrent();
        const bool wasPlaying = isCurrent && InputPlugins().GetState() != PlayState::Stopped;
        const bool wasPaused = isCurrent && InputPlugins().GetState() == PlayState::Paused;
        if (wasPlaying) StopIfPlaying();
        FileOpResult r = MoveOneFile(from, to);
        if (!r.ok) {
          failedPath = from;
          failedError = r.error;
          if (wasPlaying) PlayEntry(e);
          break;
        }
        if (list.GetPath(e) == from) list.AddPath(e, to);
        snapshot_[static_cast<size_t>(e)] = list.GetEntry(e);
        if (isCurrent) list.SetCurrent(e);
        if (wasPlaying) {
          PlayEntry(e);
          if (wasPaused) SendMessageW(winamp_, WM_COMMAND, WINAMP_BUTTON3, 0);
        }
      }
      progress.Step();
    }
  }
  Refresh();
  if (!failedPath.empty()) {
    ZUL_LOG(L"%s stopped at %s: %s", move ? L"Move" : L"Copy", failedPath.c_str(), ErrorText(failedError).c_str());
    MessageBoxW(hwnd_,
                (LoadResourceText(IDS_FILE_OP_FAILED) + L"\n" + failedPath + L"\n" + ErrorText(failedError)).c_str(),
                kCaption, MB_OK | MB_ICONERROR);
  }
}

void PlaylistWindow::RenameFiles() {
  const std::vector<int> entries = SelectedEntries();
  if (entries.empty()) return;
  if (!RunRenameDialog(hwnd_, settings_)) return;
  PlaylistManager& list = ThePlaylist();
  std::wstring failedPath;
  DWORD failedError = 0;
  for (int e : entries) {
    const std::wstring from = snapshot_[static_cast<size_t>(e)].GetPath();
    Id3v1Names names;
    if (snapshot_[static_cast<size_t>(e)].IsUrl() || !ReadId3v1Names(from, &names)) continue;
    // The album block: neighbours in the same folder.
    int blockStart = e;
    const std::wstring folder = FolderOf(from);
    while (blockStart > 0 &&
           CompareStringOrdinal(FolderOf(snapshot_[static_cast<size_t>(blockStart - 1)].GetPath()).c_str(), -1,
                                folder.c_str(), -1, TRUE) == CSTR_EQUAL)
      --blockStart;
    const std::wstring name =
        FormatRenameName(settings_.renameTemplate, e + 1, e - blockStart + 1, FromCodePage(names.artist),
                         FromCodePage(names.title), FromCodePage(names.album), from);
    const std::wstring to = folder + name;
    if (to == from) continue;
    const bool isCurrent = e == list.GetCurrent();
    const bool wasPlaying = isCurrent && InputPlugins().GetState() != PlayState::Stopped;
    const bool wasPaused = isCurrent && InputPlugins().GetState() == PlayState::Paused;
    if (wasPlaying) StopIfPlaying();
    // A rename never replaces another file: a taken name stops here.
    FileOpResult r = MoveOneFile(from, to);
    if (!r.ok) {
      failedPath = from;
      failedError = r.error;
      if (wasPlaying) PlayEntry(e);
      break;
    }
    if (list.GetPath(e) == from) list.AddPath(e, to);
    snapshot_[static_cast<size_t>(e)] = list.GetEntry(e);
    if (isCurrent) list.SetCurrent(e);
    if (wasPlaying) {
      PlayEntry(e);
      if (wasPaused) SendMessageW(winamp_, WM_COMMAND, WINAMP_BUTTON3, 0);
    }
  }
  InvalidateRect(list_, nullptr, FALSE);
  UpdatePathAndTitle();
  if (!failedPath.empty()) {
    ZUL_LOG(L"Rename stopped at %s: %s", failedPath.c_str(), ErrorText(failedError).c_str());
    MessageBoxW(hwnd_,
                (LoadResourceText(IDS_FILE_OP_FAILED) + L"\n" + failedPath + L"\n" + ErrorText(failedError)).c_str(),
                kCaption, MB_OK | MB_ICONERROR);
  }
}

}  // namespace zul
