// The playlist's Win32 file system: replacing a file survives a writer that
// fails or is killed mid-write; scans and loads over real folders.
#include <windows.h>
#include <gtest/gtest.h>

#include "base/win32_handles.h"
#include "playlist/files/folder_scan.h"
#include "playlist/files/playlist_files.h"
#include "playlist/win32/win32_file_system.h"
#include "tests/support/zul_process.h"

namespace zul::test {
namespace {

class TempFolder {
public:
  explicit TempFolder(const std::wstring& name) {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    path_ = std::wstring(base) + L"zul_plist_" + name + L"_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~TempFolder() { Remove(path_); }
  const std::wstring& path() const { return path_; }
  std::wstring operator/(const std::wstring& name) const { return path_ + name; }

private:
  static void Remove(const std::wstring& folder) {
    WIN32_FIND_DATAW f;
    UniqueFindHandle h(FindFirstFileW((folder + L"*").c_str(), &f));
    if (h) {
      do {
        std::wstring name = f.cFileName;
        if (name == L"." || name == L"..") continue;
        if (f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
          Remove(folder + name + L"\\");
        else
          DeleteFileW((folder + name).c_str());
      } while (FindNextFileW(h.Get(), &f));
    }
    RemoveDirectoryW(folder.c_str());
  }
  std::wstring path_;
};

TEST(ReplacingFileWriter, ReplacesInOneStepAndCleansUpAfterAFailure) {
  TempFolder dir(L"replace");
  const std::wstring file = dir / L"zul.m3u";
  WriteFileBytes(file, "old\r\n");
  Win32PlaylistFileSystem fs;
  ASSERT_TRUE(fs.ReplaceFile(file, "new\r\n"));
  EXPECT_EQ(ReadFileBytes(file), "new\r\n");
  EXPECT_FALSE(FileExists(file + L".tmp"));

  {
    // Abandoned without Commit, as an error in the middle would leave it.
    ReplacingFileWriter writer(file);
    ASSERT_TRUE(writer.Open());
    ASSERT_TRUE(writer.Write("half of some"));
    EXPECT_TRUE(FileExists(writer.TempPath()));
  }
  EXPECT_EQ(ReadFileBytes(file), "new\r\n");
  EXPECT_FALSE(FileExists(file + L".tmp"));

  // A folder that does not exist: refused, nothing created.
  EXPECT_FALSE(fs.ReplaceFile(dir / L"no\\such\\x.m3u", "x"));
}

TEST(ReplacingFileWriter, AWriterKilledMidWriteLeavesTheOldFileWhole) {
  TempFolder dir(L"kill");
  const std::wstring file = dir / L"zul.m3u";
  const std::string old = "C:\\Music\\a.mp3\r\nC:\\Music\\b.mp3\r\n";
  WriteFileBytes(file, old);

  const std::wstring eventName = L"zul_plist_halfway_" + std::to_wstring(GetCurrentProcessId());
  UniqueHandle halfway(CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
  ASSERT_TRUE(halfway);
  std::wstring cmd = L"\"" + BinDir() + L"\\playlist_write_child.exe\" \"" + file + L"\" " + eventName;
  STARTUPINFOW si{sizeof si};
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  UniqueHandle process(pi.hProcess), thread(pi.hThread);
  const DWORD signalled = WaitForSingleObject(halfway.Get(), 30000);
  DWORD exitCode = 0;
  GetExitCodeProcess(pi.hProcess, &exitCode);
  ASSERT_EQ(signalled, WAIT_OBJECT_0) << "the writer did not get halfway, exit code " << exitCode;
  ASSERT_TRUE(TerminateProcess(pi.hProcess, 9));
  WaitForSingleObject(pi.hProcess, 10000);

  EXPECT_EQ(ReadFileBytes(file), old);
  EXPECT_GT(ReadFileBytes(file + L".tmp").size(), 0u);  // it was killed while writing
  // The next save goes through despite the leftover.
  Win32PlaylistFileSystem fs;
  ASSERT_TRUE(fs.ReplaceFile(file, "C:\\Music\\c.mp3\r\n"));
  EXPECT_EQ(ReadFileBytes(file), "C:\\Music\\c.mp3\r\n");
  EXPECT_FALSE(FileExists(file + L".tmp"));
}

TEST(Win32PlaylistFiles, ScanAndLoadOverRealFolders) {
  TempFolder dir(L"scan");
  CreateDirectoryW((dir / L"Sub").c_str(), nullptr);
  WriteFileBytes(dir / L"a.mp3", "x");
  WriteFileBytes(dir / L"b.flac", "x");
  WriteFileBytes(dir / L"c.mp3", "");
  WriteFileBytes(dir / L"Sub\\d.MP2", "x");
  WriteFileBytes(dir / L"e.mp3x", "x");
  Win32PlaylistFileSystem fs;
  EXPECT_TRUE(fs.IsUsableFile(dir / L"a.mp3"));
  EXPECT_FALSE(fs.IsUsableFile(dir / L"c.mp3"));
  EXPECT_FALSE(fs.IsUsableFile(dir / L"Sub"));
  EXPECT_FALSE(fs.IsUsableFile(dir / L"none.mp3"));

  PlaylistManager playlist;
  std::wstring folder = dir.path();
  folder.pop_back();  // the scan adds the backslash
  EXPECT_EQ(ScanFolder(fs, playlist, folder, FolderScan{ExtensionSet(L"MP3;MP2"), true, nullptr}), 3);
  playlist.QuickSort(L"%8%9%7");
  ASSERT_EQ(playlist.Count(), 3);
  EXPECT_EQ(playlist.GetPath(0), dir / L"Sub\\d.MP2");
  EXPECT_EQ(playlist.GetPath(1), dir / L"a.mp3");
  EXPECT_EQ(playlist.GetPath(2), dir / L"e.mp3x");

  // Saved beside the files and read back: relative lines, the same paths.
  ASSERT_TRUE(SaveCurrentPlaylist(fs, dir / L"list.m3u", playlist, false));
  EXPECT_EQ(ReadFileBytes(dir / L"list.m3u"), "Sub\\d.MP2\r\na.mp3\r\ne.mp3x\r\n");
  ParsedPlaylist parsed;
  ASSERT_TRUE(ReadPlaylistFile(fs, dir / L"list.m3u", &parsed));
  ASSERT_EQ(parsed.entries.size(), 3u);
  EXPECT_EQ(parsed.entries[1].path, dir / L"a.mp3");
}

}  // namespace
}  // namespace zul::test
