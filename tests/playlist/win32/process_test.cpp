// zul.exe as a real process: a folder or a playlist file given on the
// command line becomes the playlist, is saved as zul.m3u at the quit and is
// restored at the next start; its entries carry the files' tags.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <utility>
#include <vector>

#include "base/win32_handles.h"
#include "tests/support/zul_process.h"

namespace zul::test {
namespace {

struct Running {
  HANDLE process = nullptr;
  DWORD pid = 0;
  HWND main = nullptr;
};

Running Start(ZulSandbox& box, const std::wstring& args) {
  Running r;
  r.process = box.Start(args, &r.pid);
  EXPECT_NE(r.process, nullptr);
  r.main = WaitForInstance(r.pid);
  EXPECT_NE(r.main, nullptr);
  if (r.main) {
    EXPECT_TRUE(WaitUntilRunning(r.main));
  }
  return r;
}

// The console line holding `text`, once it appears.
std::wstring WaitForLine(HWND main, const std::wstring& text, DWORD timeoutMs = 30000) {
  const DWORD start = GetTickCount();
  do {
    for (const auto& line : ConsoleLines(main))
      if (line.find(text) != std::wstring::npos) return line;
    Sleep(50);
  } while (GetTickCount() - start < timeoutMs);
  // What the program said instead, for the failure that follows.
  const std::vector<std::wstring> lines = ConsoleLines(main);
  for (size_t i = lines.size() > 40 ? lines.size() - 40 : 0; i < lines.size(); ++i)
    std::printf("[ CONSOLE  ] %ls\n", lines[i].c_str());
  return L"";
}

// A line holding `text` that comes after the line holding `anchor`.
bool WaitForLineAfter(HWND main, const std::wstring& anchor, const std::wstring& text, DWORD timeoutMs = 30000) {
  const DWORD start = GetTickCount();
  do {
    bool seenAnchor = false;
    for (const auto& line : ConsoleLines(main)) {
      if (line.find(anchor) != std::wstring::npos)
        seenAnchor = true;
      else if (seenAnchor && line.find(text) != std::wstring::npos)
        return true;
    }
    Sleep(50);
  } while (GetTickCount() - start < timeoutMs);
  return false;
}

int CountLines(HWND main, const std::wstring& text) {
  int n = 0;
  for (const auto& line : ConsoleLines(main))
    if (line.find(text) != std::wstring::npos) ++n;
  return n;
}

bool WaitForCount(HWND main, const std::wstring& text, int count, DWORD timeoutMs = 30000) {
  const DWORD start = GetTickCount();
  do {
    if (CountLines(main, text) >= count) return true;
    Sleep(50);
  } while (GetTickCount() - start < timeoutMs);
  return false;
}

void Quit(ZulSandbox& box, const Running& r) {
  EXPECT_EQ(box.RunToEnd(L"-x"), 0u);
  EXPECT_TRUE(WaitForExit(r.process, 30000)) << "-x did not end the instance";
}

std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

// The tracks are real: a restored or loaded list starts playing, and a
// list of files that cannot be played would run to its end, which ends the
// program. A 12-second track outlasts each test.
void MakeMusicFolder(const ZulSandbox& box) {
  const std::wstring music = box.dir() + L"\\Music";
  CreateDirectoryW(music.c_str(), nullptr);
  CreateDirectoryW((music + L"\\Sub").c_str(), nullptr);
  const std::string track = ReadFileBytes(BinDir() + L"\\playback_fixtures\\long\\l1.mp3");
  ASSERT_FALSE(track.empty());
  WriteFileBytes(music + L"\\b.mp3", track);
  WriteFileBytes(music + L"\\a.mp3", track);
  WriteFileBytes(music + L"\\Sub\\c.mp2", track);
  WriteFileBytes(music + L"\\notes.txt", "x");
  WriteFileBytes(music + L"\\empty.mp3", "");
}

// An ID3v2.3 tag of ISO-8859-1 text frames ("TIT2", "TPE1", ...).
std::string Id3v2(const std::vector<std::pair<std::string, std::string>>& frames) {
  std::string body;
  for (const auto& [id, text] : frames) {
    const uint32_t size = static_cast<uint32_t>(text.size() + 1);
    body += id;
    for (int shift = 24; shift >= 0; shift -= 8) body += static_cast<char>((size >> shift) & 0xFF);
    body += std::string(3, '\0');  // flags, then the text encoding ISO-8859-1
    body += text;
  }
  std::string tag = "ID3";
  tag += std::string("\x03\x00\x00", 3);
  const uint32_t n = static_cast<uint32_t>(body.size());
  for (int shift = 21; shift >= 0; shift -= 7) tag += static_cast<char>((n >> shift) & 0x7F);
  return tag + body;
}

// The fixture track's MPEG frames without the tags the encoder wrote.
std::string UntaggedTrack() {
  std::string mp3 = ReadFileBytes(BinDir() + L"\\playback_fixtures\\long\\l1.mp3");
  if (mp3.size() > 10 && mp3.compare(0, 3, "ID3") == 0) {
    size_t size = 10;
    for (int i = 6; i < 10; ++i)
      size += static_cast<size_t>(static_cast<unsigned char>(mp3[i]) & 0x7F) << (7 * (9 - i));
    if (mp3[5] & 0x10) size += 10;  // footer
    mp3.erase(0, size);
  }
  if (mp3.size() > 128 && mp3.compare(mp3.size() - 128, 3, "TAG") == 0) mp3.resize(mp3.size() - 128);
  return mp3;
}

// The ANSI text an IPC answer points to inside zul.exe.
std::string RemoteText(DWORD pid, DWORD_PTR at) {
  std::string text(MAX_PATH, '\0');
  UniqueHandle memory(OpenProcess(PROCESS_VM_READ, FALSE, pid));
  SIZE_T got = 0;
  if (memory && at) ReadProcessMemory(memory.Get(), reinterpret_cast<void*>(at), text.data(), text.size() - 1, &got);
  return text.c_str();
}

// Tagged MP3 files: the entries get their tags through the built-in input,
// so the playlist file and plug-ins asking over IPC see the tag titles
// ("Artist - Title" in display mode 1), not the file names.
TEST(PlaylistProcess, TaggedFilesOfAFolderCarryTheirTagTitles) {
  ZulSandbox box(L"plist_tags");
  const std::wstring music = box.dir() + L"\\Tagged";
  CreateDirectoryW(music.c_str(), nullptr);
  const std::string track = UntaggedTrack();
  ASSERT_GT(track.size(), 100000u);
  WriteFileBytes(music + L"\\a.mp3",
                 Id3v2({{"TPE1", "Ann Artist"}, {"TIT2", "Morning Song"}, {"TALB", "First"}}) + track);
  WriteFileBytes(music + L"\\b.mp3", Id3v2({{"TIT2", "Nobody's Song"}}) + track);
  WriteFileBytes(music + L"\\c.mp3", track);  // no tags: the file name
  WriteFileBytes(box.ini(), "[Preferences]\r\nExtPlaylistFormat=1\r\nShowingMode=1\r\n");

  Running r = Start(box, L"\"" + music + L"\"");
  ASSERT_NE(r.main, nullptr);
  const std::wstring loaded = WaitForLine(r.main, L"files added");
  EXPECT_NE(loaded.find(L"3 files added"), std::wstring::npos) << Narrow(loaded);
  ASSERT_TRUE(WaitForLineAfter(r.main, L"files added", L"Fin ReadAllTagsThread"));
  HWND winamp = FindWinampWindow(r.pid);
  ASSERT_NE(winamp, nullptr);
  std::vector<std::string> titles;  // "<file name>: <title>" in list order
  DWORD_PTR count = 0;
  SendMessageTimeoutW(winamp, WM_USER, 0, 124, SMTO_BLOCK, 10000, &count);
  for (DWORD_PTR i = 0; i < count; ++i) {
    DWORD_PTR file = 0, title = 0;
    SendMessageTimeoutW(winamp, WM_USER, i, 211, SMTO_BLOCK, 10000, &file);
    SendMessageTimeoutW(winamp, WM_USER, i, 212, SMTO_BLOCK, 10000, &title);
    const std::string path = RemoteText(r.pid, file);
    titles.push_back(path.substr(path.find_last_of('\\') + 1) + ": " + RemoteText(r.pid, title));
  }
  EXPECT_EQ(titles, (std::vector<std::string>{"a.mp3: Morning Song", "b.mp3: Nobody's Song", "c.mp3: c"}));
  Quit(box, r);
  // Twelve seconds of sound each.
  EXPECT_EQ(ReadFileBytes(box.dir() + L"\\zul.m3u"),
            "#EXTM3U\r\n"
            "Tagged\\a.mp3\r\n#EXTINF:12,Ann Artist - Morning Song\r\n"
            "Tagged\\b.mp3\r\n#EXTINF:12,Nobody's Song\r\n"
            "Tagged\\c.mp3\r\n#EXTINF:12,c\r\n");
}

TEST(PlaylistProcess, AFolderOnTheCommandLineIsLoadedSavedAndRestored) {
  ZulSandbox box(L"plist_folder");
  MakeMusicFolder(box);
  const std::wstring playlist = box.dir() + L"\\zul.m3u";

  Running first = Start(box, L"\"" + box.dir() + L"\\Music\"");
  ASSERT_NE(first.main, nullptr);
  const std::wstring loaded = WaitForLine(first.main, L"files added");
  EXPECT_NE(loaded.find(L"3 files added"), std::wstring::npos) << Narrow(loaded);
  // The load's sort is done once its tag reader has started.
  EXPECT_TRUE(WaitForLineAfter(first.main, L"files added", L"Fin QuickSort"));
  Quit(box, first);
  // Sorted by the default template (sub-folder first), relative to zul.exe.
  const std::string expected = "Music\\Sub\\c.mp2\r\nMusic\\a.mp3\r\nMusic\\b.mp3\r\n";
  EXPECT_EQ(ReadFileBytes(playlist), expected);
  EXPECT_FALSE(FileExists(playlist + L".tmp"));

  Running second = Start(box, L"");
  ASSERT_NE(second.main, nullptr);
  const std::wstring restored = WaitForLine(second.main, L"entries added");
  EXPECT_NE(restored.find(L"3 of 3 entries added"), std::wstring::npos) << Narrow(restored);
  Quit(box, second);
  EXPECT_EQ(ReadFileBytes(playlist), expected);
  EXPECT_NE(ReadFileBytes(box.ini()).find("CurrentInPlaylist=0"), std::string::npos);
}

TEST(PlaylistProcess, APlaylistFileOnTheCommandLineReplacesTheList) {
  ZulSandbox box(L"plist_file");
  MakeMusicFolder(box);
  const std::wstring playlist = box.dir() + L"\\zul.m3u";
  WriteFileBytes(playlist, "Music\\a.mp3\r\n");
  WriteFileBytes(box.dir() + L"\\Music\\mine.m3u",
                 "#EXTM3U\r\n#EXTINF:61,Some One - A Song\r\nb.mp3\r\ngone.mp3\r\nhttp://radio.example:8000/x\r\n");

  Running r = Start(box, L"\"" + box.dir() + L"\\Music\\mine.m3u\"");
  ASSERT_NE(r.main, nullptr);
  const std::wstring loaded = WaitForLine(r.main, L"mine.m3u: ");
  EXPECT_NE(loaded.find(L"2 of 3 entries added"), std::wstring::npos) << Narrow(loaded);
  EXPECT_TRUE(WaitForLineAfter(r.main, L"mine.m3u: ", L"Fin QuickSort"));
  Quit(box, r);
  EXPECT_EQ(ReadFileBytes(playlist), "Music\\b.mp3\r\nhttp://radio.example:8000/x\r\n");
}

TEST(PlaylistProcess, AutomationRunsAtStartAndOnPerformNow) {
  ZulSandbox box(L"plist_automation");
  MakeMusicFolder(box);
  const std::wstring music = box.dir() + L"\\Music\\";
  std::wstring ini =
      L"[Preferences]\r\nAutOnStart=1\r\nAutSaveset=1\r\nAutRemove=1\r\nAutRescan=1\r\n"
      L"AutDirsCnt=1\r\nAutDir1=" +
      music + L"\r\n";
  WriteFileBytes(box.ini(), Narrow(ini));
  WriteFileBytes(box.dir() + L"\\zul.m3u", "Music\\a.mp3\r\n");

  Running r = Start(box, L"");
  ASSERT_NE(r.main, nullptr);
  // At start-up: the restored list, then the folder rescan adds the rest.
  ASSERT_TRUE(WaitForCount(r.main, L"End PerformAutomationThread", 1));
  EXPECT_EQ(CountLines(r.main, L"Rescan folders " + music), 1);
  ASSERT_TRUE(WaitForCount(r.main, L"Fin Removene", 1));

  // A file goes, another comes; "Perform Now" removes and adds them.
  DeleteFileW((music + L"b.mp3").c_str());
  WriteFileBytes(music + L"new.mp3", "x");
  SendMessageW(r.main, WM_COMMAND, 564, 0);
  ASSERT_TRUE(WaitForCount(r.main, L"End PerformAutomationThread", 2));
  ASSERT_TRUE(WaitForCount(r.main, L"Fin Removene", 2));
  // AutSaveset: the whole settings section was written, not only our keys.
  const std::string saved = ReadFileBytes(box.ini());
  EXPECT_NE(saved.find("ShowingMode="), std::string::npos);
  EXPECT_NE(saved.find("AutOnStart=1"), std::string::npos);

  Quit(box, r);
  EXPECT_EQ(ReadFileBytes(box.dir() + L"\\zul.m3u"), "Music\\Sub\\c.mp2\r\nMusic\\a.mp3\r\nMusic\\new.mp3\r\n");
}

// An empty playlist filled by the start-up rescan: the first entry after the
// sort is current, so Play plays it and not the one after it.
TEST(PlaylistProcess, RescanOfAnEmptyListMakesTheFirstEntryCurrent) {
  ZulSandbox box(L"plist_rescan_first");
  MakeMusicFolder(box);
  const std::wstring music = box.dir() + L"\\Music\\";
  WriteFileBytes(box.ini(), Narrow(L"[Preferences]\r\nAutOnStart=1\r\nAutRescan=1\r\nAutDirsCnt=1\r\nAutDir1=" + music +
                                   L"\r\nsortTemplate=%7\r\n"));

  Running r = Start(box, L"");
  ASSERT_NE(r.main, nullptr);
  ASSERT_TRUE(WaitForCount(r.main, L"End PerformAutomationThread", 1));
  HWND winamp = FindWinampWindow(r.pid);
  ASSERT_NE(winamp, nullptr);
  // Sorted by file name: a.mp3, b.mp3, c.mp2.
  EXPECT_EQ(SendMessageW(winamp, WM_USER, 0, 124), 3);  // IPC_GETLISTLENGTH
  EXPECT_EQ(SendMessageW(winamp, WM_USER, 0, 125), 0);  // IPC_GETLISTPOS
  Quit(box, r);
}

}  // namespace
}  // namespace zul::test
