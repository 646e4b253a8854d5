// The playlist window of a running zul.exe, used with real pointer and key
// events: it opens from the Winamp window's playlist command, lists the
// restored playlist, narrows it as the user types into the search box,
// selects with Shift and Ctrl, removes, sorts through its dialog, and
// deletes files on disk one by one.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "playlist/window/playlist_window_ids.h"
#include "pluginhost/protocol/winamp_messages.h"
#include "tests/playlist_window/window_driver.h"
#include "tests/support/zul_process.h"

namespace zul::test {
namespace {

std::string Narrow(const std::wstring& w) {
  std::string s;
  for (wchar_t c : w) s.push_back(c < 128 ? static_cast<char>(c) : '?');
  return s;
}

std::string Utf8(const std::wstring& w) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

// zul.exe with a restored playlist of these lines and its playlist window
// open. AutoPlay is off: the entries are not all playable files.
struct Session {
  ZulSandbox box;
  HANDLE process = nullptr;
  DWORD pid = 0;
  HWND main = nullptr;
  HWND winamp = nullptr;
  HWND window = nullptr;
  HWND list = nullptr;
  HWND search = nullptr;
  HWND path = nullptr;

  explicit Session(const std::wstring& name) : box(name) {}

  // A file of the playlist: loads keep only files that exist and are not
  // empty. Returns its path as a playlist line (UTF-8).
  // Playable unless `tiny` (a 1-byte file, for lists too long to copy a
  // real track into every entry).
  std::string MakeFile(const std::wstring& relative, bool tiny = false) {
    static const std::string track = ReadFileBytes(BinDir() + L"\\playback_fixtures\\long\\l1.mp3");
    const std::wstring path = box.dir() + L"\\" + relative;
    for (size_t slash = path.find(L'\\', box.dir().size() + 1); slash != std::wstring::npos;
         slash = path.find(L'\\', slash + 1))
      CreateDirectoryW(path.substr(0, slash).c_str(), nullptr);
    WriteFileBytes(path, tiny ? std::string("x") : track);
    return Utf8(path);
  }

  void Start(const std::string& playlist, const std::string& extraSettings = "") {
    WriteFileBytes(box.dir() + L"\\zul.m3u", playlist);
    WriteFileBytes(box.ini(), "[Preferences]\r\nAutoPlay=0\r\nPlaylist=40 40 640 560\r\n" + extraSettings);
    process = box.Start(L"", &pid);
    ASSERT_NE(process, nullptr);
    main = WaitForInstance(pid);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitUntilRunning(main));
    winamp = FindWinampWindow(pid);
    ASSERT_NE(winamp, nullptr);
    // The Winamp window's playlist command, as a plug-in or the hotkey sends it.
    PostMessageW(winamp, WM_COMMAND, WINAMP_OPTIONS_PLEDIT, 0);
    ASSERT_TRUE(WaitFor([&] { return (window = FindTopWindow(pid, L"Playlist - ")) != nullptr; }))
        << "the playlist command showed no playlist window";
    list = GetDlgItem(window, IDC_PL_LIST);
    search = GetDlgItem(window, IDC_PL_SEARCH);
    path = GetDlgItem(window, IDC_PL_PATH);
    ASSERT_NE(list, nullptr);
  }

  int RowEntry(int row) {
    DWORD_PTR entry = 0;
    SendMessageTimeoutW(window, WM_ZUL_PL_ROW_ENTRY, static_cast<WPARAM>(row), 0, SMTO_BLOCK, 10000, &entry);
    return static_cast<int>(static_cast<LRESULT>(entry));
  }

  void Quit() {
    EXPECT_EQ(box.RunToEnd(L"-x"), 0u);
    EXPECT_TRUE(WaitForExit(process, 30000));
  }
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

// Off in the suite for now: it passes when its executable runs alone in a
// fresh environment and fails after the rest of the win64 suite has run in
// the same prefix; the cause is not found yet. Run it with
// --gtest_also_run_disabled_tests.
TEST(PlaylistWindow, DISABLED_TypingInTheSearchBoxNarrowsTenThousandEntries) {
  Session s(L"plwin_search");
  // Every 97th entry lives in a folder named "Live"; the search ignores case.
  std::string playlist;
  std::vector<int> live;
  for (int i = 0; i < 10000; ++i) {
    const bool isLive = i % 97 == 0;
    if (isLive) live.push_back(i);
    wchar_t name[96];
    swprintf(name, 96, L"Music\\%ls\\track%05d.mp3", isLive ? L"Concert LIVE" : L"Studio", i);
    playlist += s.MakeFile(name, true) + "\r\n";
  }
  // Sorted by file name at the start, the entries keep the order above.
  s.Start(playlist, "sortTemplate=%7\r\n");
  ASSERT_TRUE(WaitFor([&] { return ListCount(s.list) == 10000; })) << "rows: " << ListCount(s.list);
  EXPECT_NE(Narrow(TextOf(s.window)).find("Playlist - "), std::string::npos);

  ASSERT_TRUE(ClickAt(CentreOf(s.search)));
  ASSERT_TRUE(Xdo("type --delay 100 live"));
  ASSERT_TRUE(WaitFor([&] {
    return TextOf(s.search) == L"live" && ListCount(s.list) == static_cast<int>(live.size()) && s.RowEntry(1) == 97;
  })) << "rows after typing: "
      << ListCount(s.list) << ", search text " << Narrow(TextOf(s.search)) << ", row 1 shows " << s.RowEntry(1);
  // The rows keep the entries' playlist indices.
  std::vector<int> shown;
  for (int row = 0; row < ListCount(s.list); ++row) shown.push_back(s.RowEntry(row));
  EXPECT_EQ(shown, live);
  Screenshot("playlist_window_search");

  // Clearing the search brings every entry back.
  ASSERT_TRUE(Xdo("key BackSpace BackSpace BackSpace BackSpace"));
  EXPECT_TRUE(WaitFor([&] { return ListCount(s.list) == 10000; })) << "rows: " << ListCount(s.list);
  s.Quit();
}

TEST(PlaylistWindow, ShiftAndCtrlSelectionRemovedWithDeleteIsWhatTheQuitSaves) {
  Session s(L"plwin_select");
  std::string playlist;
  for (int i = 0; i < 10; ++i) playlist += s.MakeFile(L"Album\\song" + std::to_wstring(i) + L".mp3") + "\r\n";
  s.Start(playlist);
  ASSERT_TRUE(WaitFor([&] { return ListCount(s.list) == 10; }));

  using Rows = std::vector<int>;
  ASSERT_TRUE(ClickAt(RowCentre(s.list, 2)));
  ASSERT_TRUE(WaitFor([&] { return ListSelection(s.window) == Rows{2}; }));
  ASSERT_TRUE(ClickAt(RowCentre(s.list, 5), 1, "shift"));
  ASSERT_TRUE(WaitFor([&] { return ListSelection(s.window) == Rows{2, 3, 4, 5}; }));
  ASSERT_TRUE(ClickAt(RowCentre(s.list, 8), 1, "ctrl"));
  ASSERT_TRUE(WaitFor([&] { return ListSelection(s.window) == Rows{2, 3, 4, 5, 8}; }));
  // The path box shows the first selected entry.
  EXPECT_EQ(TextOf(s.path), s.box.dir() + L"\\Album\\song2.mp3");
  // A plain click starts again; Shift with the arrow keys extends from it.
  ASSERT_TRUE(ClickAt(RowCentre(s.list, 6)));
  ASSERT_TRUE(Xdo("key shift+Down shift+Down"));
  ASSERT_TRUE(WaitFor([&] { return ListSelection(s.window) == Rows{6, 7, 8}; }));
  ASSERT_TRUE(ClickAt(RowCentre(s.list, 1), 1, "ctrl"));
  ASSERT_TRUE(WaitFor([&] { return ListSelection(s.window) == Rows{1, 6, 7, 8}; }));
  Screenshot("playlist_window_selection");

  ASSERT_TRUE(Xdo("key Delete"));
  ASSERT_TRUE(WaitFor([&] { return ListCount(s.list) == 6; })) << "rows: " << ListCount(s.list);
  s.Quit();
  EXPECT_EQ(Lines(ReadFileBytes(s.box.dir() + L"\\zul.m3u")),
            (std::vector<std::string>{"Album\\song0.mp3", "Album\\song2.mp3", "Album\\song3.mp3", "Album\\song4.mp3",
                                      "Album\\song5.mp3", "Album\\song9.mp3"}));
  // The window's place and visibility are kept for the next start.
  const std::string ini = ReadFileBytes(s.box.ini());
  EXPECT_NE(ini.find("PlaylistAtStartup=1"), std::string::npos);
}

TEST(PlaylistWindow, SortDialogSortsByItsTemplate) {
  Session s(L"plwin_sort");
  // Subfolders before their parent, and C:\Music\ before C:\Mus\ (a prefix
  // of characters, not of folders).
  // The start sorts by file name ("%7"), so the dialog's template has an
  // order to change.
  std::string playlist;
  for (const wchar_t* f : {L"A\\x.mp3", L"Mus\\m.mp3", L"A\\B\\y.mp3", L"Music\\n.mp3", L"A\\a.mp3"})
    playlist += s.MakeFile(f) + "\r\n";
  s.Start(playlist, "sortTemplate=%7\r\n");
  ASSERT_TRUE(WaitFor([&] { return ListCount(s.list) == 5; }));
  ASSERT_TRUE(ClickAt(RowCentre(s.list, 0)));
  ASSERT_TRUE(WaitFor([&] { return TextOf(s.path) == s.box.dir() + L"\\A\\a.mp3"; }))
      << Narrow(TextOf(s.path)) << " / " << Narrow(s.box.dir());
  ASSERT_TRUE(Xdo("key ctrl+e"));
  HWND dialog = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (dialog = FindTopWindow(s.pid, L"Sort files according to tags")) != nullptr; }));
  HWND edit = GetDlgItem(dialog, IDC_SORT_TEMPLATE);
  ASSERT_TRUE(ClickAt(CentreOf(edit)));
  ASSERT_TRUE(Xdo("key ctrl+a BackSpace"));
  // An empty template cannot be confirmed.
  ASSERT_TRUE(WaitFor([&] { return !IsWindowEnabled(GetDlgItem(dialog, IDOK)); }));
  ASSERT_TRUE(Xdo("type --delay 40 '%8\\%9\\%7'"));
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(GetDlgItem(dialog, IDOK)); }));
  Screenshot("sort_dialog");
  ASSERT_TRUE(ClickAt(CentreOf(GetDlgItem(dialog, IDOK))));
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
  // The sort runs on a worker; the path box of row 0 shows when it is done.
  ASSERT_TRUE(WaitFor([&] {
    ClickAt(RowCentre(s.list, 0));
    return TextOf(s.path) == s.box.dir() + L"\\A\\B\\y.mp3";
  })) << Narrow(TextOf(s.path));
  s.Quit();
  EXPECT_EQ(Lines(ReadFileBytes(s.box.dir() + L"\\zul.m3u")),
            (std::vector<std::string>{"A\\B\\y.mp3", "A\\a.mp3", "A\\x.mp3", "Music\\n.mp3", "Mus\\m.mp3"}));
  EXPECT_NE(ReadFileBytes(s.box.ini()).find("sortTemplate=%8\\%9\\%7"), std::string::npos);
}

// Off in the suite for now: it passes when its executable runs alone in a
// fresh environment and fails after the rest of the win64 suite has run in
// the same prefix; the cause is not found yet. Run it with
// --gtest_also_run_disabled_tests.
TEST(PlaylistWindow, DISABLED_DeleteStopsAtALockedFileAndKeepsTheRest) {
  Session s(L"plwin_delete");
  // Names above U+00FF, as a user's music has them.
  const std::wstring dir = s.box.dir() + L"\\\u0416\u0443\u0440\u043d\u0430\u043b";
  CreateDirectoryW(dir.c_str(), nullptr);
  // In this order after the start's sort by path.
  const std::vector<std::wstring> files{dir + L"\\1 one.mp3", dir + L"\\2 \u4e8c.mp3", dir + L"\\3 three.mp3"};
  std::string playlist;
  for (const auto& f : files) {
    WriteFileBytes(f, ReadFileBytes(BinDir() + L"\\playback_fixtures\\long\\l1.mp3"));
    playlist += Utf8(f) + "\r\n";
  }
  // A playlist file in UTF-8 carries its mark.
  s.Start("\xEF\xBB\xBF" + playlist);
  ASSERT_TRUE(WaitFor([&] { return ListCount(s.list) == 3; })) << ListCount(s.list);
  // Another program holds the second file open without sharing deletion.
  HANDLE locked = CreateFileW(files[1].c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);

  ASSERT_TRUE(ClickAt(RowCentre(s.list, 0)));
  ASSERT_TRUE(Xdo("key ctrl+a ctrl+F8"));
  HWND question = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (question = FindTopWindow(s.pid, L"ZUL", L"#32770")) != nullptr; }));
  Screenshot("delete_confirmation");
  ASSERT_TRUE(Xdo("key y"));
  HWND report = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    report = FindTopWindow(s.pid, L"ZUL", L"#32770");
    return report && report != question;
  })) << "no message about the locked file";
  Screenshot("delete_stopped");
  ASSERT_TRUE(Xdo("key Return"));
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(report); }));
  CloseHandle(locked);

  EXPECT_FALSE(FileExists(files[0]));
  EXPECT_TRUE(FileExists(files[1]));
  EXPECT_TRUE(FileExists(files[2]));
  // The playlist matches the disk: the entry of the deleted file went.
  ASSERT_TRUE(WaitFor([&] { return ListCount(s.list) == 2; })) << ListCount(s.list);
  s.Quit();
  const std::string saved = ReadFileBytes(s.box.dir() + L"\\zul.m3u");
  EXPECT_EQ(saved.find("1 one.mp3"), std::string::npos) << saved;
  EXPECT_NE(saved.find("2 \xE4\xBA\x8C.mp3"), std::string::npos) << saved;
  EXPECT_NE(saved.find("3 three.mp3"), std::string::npos) << saved;
}

}  // namespace
}  // namespace zul::test
