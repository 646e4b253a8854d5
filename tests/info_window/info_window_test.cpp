// The MP3 information window through the real program: zul.exe opens it for
// its current playlist entry (the main menu's "MP3 Info..." command), the
// user clicks "Edit Tag", types and saves with xdotool, and the file on disk
// is compared byte for byte with what it was.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "tests/info_window/x_input.h"
#include "tests/support/zul_process.h"

namespace zul::test {
namespace {

constexpr WPARAM kMenuMp3Info = 513;
constexpr DWORD kAdd = 1, kOpen = 0;
constexpr LPARAM kIpcDelete = 101, kIpcGetListLength = 124;

std::string Syncsafe(size_t n) {
  return {char((n >> 21) & 0x7F), char((n >> 14) & 0x7F), char((n >> 7) & 0x7F), char(n & 0x7F)};
}
std::string Be32(size_t n) { return {char(n >> 24), char(n >> 16), char(n >> 8), char(n)}; }
std::string Le32(size_t n) { return {char(n), char(n >> 8), char(n >> 16), char(n >> 24)}; }

std::string Id3v2(std::initializer_list<std::pair<std::string, std::string>> frames) {
  std::string body;
  for (const auto& [id, text] : frames) body += id + Be32(text.size() + 1) + std::string(2, '\0') + '\0' + text;
  body += std::string(32, '\0');  // padding
  return "ID3" + std::string{3, 0, 0} + Syncsafe(body.size()) + body;
}

std::string Ape(const std::string& key, const std::string& value) {
  std::string items = Le32(value.size()) + Le32(0) + key + '\0' + value;
  auto part = [&](bool header) {
    return "APETAGEX" + Le32(2000) + Le32(items.size() + 32) + Le32(1) +
           Le32(0x80000000u | (header ? 0x20000000u : 0)) + std::string(8, '\0');
  };
  return part(true) + items + part(false);
}

std::string Pad(std::string s, size_t n) {
  s.resize(n, ' ');
  return s;
}

std::string Tone() { return ReadFileBytes(BinDir() + L"\\info_window_fixtures\\tone.mp3"); }

class InfoWindowTest : public ::testing::Test {
protected:
  // The player starts with `first` as its last playlist: once the restored
  // list holds it, the start-up's own playlist work is over and later adds
  // are not overwritten by it.
  void StartPlayer(const std::wstring& first) {
    WriteFileBytes(box_.ini(), "[Preferences]\r\nRepeat=1\r\n");
    WriteFileBytes(box_.dir() + L"\\zul.m3u", std::string(first.begin(), first.end()) + "\r\n");
    process_ = box_.Start(L"", &pid_);
    main_ = WaitForInstance(pid_);
    ASSERT_NE(main_, nullptr);
    ASSERT_TRUE(WaitUntilRunning(main_));
    ASSERT_TRUE(WaitFor([&] { return Ipc(0, kIpcGetListLength) == 1; })) << "the last playlist was not restored";
  }
  // Makes the file the only entry and opens its information window.
  HWND OpenFor(const std::wstring& path) {
    Ipc(0, kIpcDelete);
    EXPECT_TRUE(WaitFor([&] { return Ipc(0, kIpcGetListLength) == 0; })) << "the playlist was not emptied";
    EXPECT_EQ(SendCopyData(main_, 528, kAdd, path), TRUE);
    // The entry is added by a playlist worker: the command needs it there.
    EXPECT_TRUE(WaitFor([&] { return Ipc(0, kIpcGetListLength) == 1; })) << "the entry was not added";
    // Sent, not posted: the window it opens exists once the call returns.
    SendMessageTimeoutW(main_, WM_COMMAND, kMenuMp3Info, 0, SMTO_BLOCK, 10000, nullptr);
    HWND w = WaitForWindow(pid_, L"MP3 info");
    EXPECT_NE(w, nullptr) << "no MP3 info window";
    return w;
  }
  LRESULT Ipc(WPARAM w, LPARAM l) {
    DWORD_PTR reply = 0;
    SendMessageTimeoutW(FindWinampWindow(pid_), WM_USER, w, l, SMTO_BLOCK, 10000, &reply);
    return static_cast<LRESULT>(reply);
  }
  void TearDown() override {
    if (HWND winamp = FindWinampWindow(pid_))
      SendMessageTimeoutW(winamp, WM_COMMAND, 40001, 0, SMTO_BLOCK, 10000, nullptr);
    WaitForExit(process_, 20000);
  }
  HWND Box(HWND w, int id) { return GetDlgItem(w, id); }
  // Edit Tag, then the boxes accept typing. A window just created may not
  // be on the X screen yet when the first click comes, so the click is
  // repeated (entering edit mode twice is entering it once) until it shows.
  void EnterEditMode(HWND w) {
    auto editing = [&] { return IsWindowVisible(Box(w, IDOK)) && !IsWindowVisible(Box(w, 670)); };
    for (int attempt = 0; attempt < 5 && !editing(); ++attempt) {
      ASSERT_TRUE(ClickControl(Box(w, 670)));
      WaitFor(editing, 3000);
    }
    ASSERT_TRUE(editing()) << "Edit Tag did not enter edit mode";
  }
  void TypeInto(HWND w, int id, const std::string& text, const std::wstring& expected) {
    ASSERT_TRUE(ClickControl(Box(w, id)));
    ASSERT_TRUE(PressKeys("End"));
    ASSERT_TRUE(TypeText(text));
    ASSERT_TRUE(WaitFor([&] { return ControlText(Box(w, id)) == expected; }))
        << "box " << id << " shows \"" << std::string(ControlText(Box(w, id)).begin(), ControlText(Box(w, id)).end())
        << "\"";
  }

  ZulSandbox box_{L"info-window"};
  HANDLE process_ = nullptr;
  DWORD pid_ = 0;
  HWND main_ = nullptr;
};

TEST_F(InfoWindowTest, SavingChangesOnlyTheId3v1RecordAndTheWindowFollowsThePlayingTrack) {
  const std::string original =
      Id3v2({{"TIT2", "Second title"}, {"TPE1", "Second artist"}, {"TRCK", "7/12"}, {"TCON", "(8)"}}) + Tone() +
      Ape("Title", "ape title");
  const std::wstring path = box_.dir() + L"\\tagged.mp3";
  WriteFileBytes(path, original);
  ASSERT_NO_FATAL_FAILURE(StartPlayer(path));

  HWND w = OpenFor(path);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(ControlText(Box(w, 624)), path);
  EXPECT_EQ(ControlText(Box(w, 1385)), L"Second title");
  EXPECT_EQ(ControlText(Box(w, 1386)), L"Second artist");
  EXPECT_EQ(ControlText(Box(w, 1390)), L"Jazz");
  EXPECT_EQ(ControlText(Box(w, 630)), L"");  // no ID3v1 record yet
  EXPECT_FALSE(IsWindowVisible(Box(w, IDOK)));
  Screenshot("info_window_view", w);

  ASSERT_NO_FATAL_FAILURE(EnterEditMode(w));
  ASSERT_NO_FATAL_FAILURE(TypeInto(w, 630, "Typed title", L"Typed title"));
  ASSERT_NO_FATAL_FAILURE(TypeInto(w, 629, "a comment", L"a comment"));
  ASSERT_NO_FATAL_FAILURE(TypeInto(w, 1385, " edited", L"Second title edited"));  // shown, never written
  Screenshot("info_window_edit", w);
  ASSERT_TRUE(ClickControl(Box(w, IDOK)));
  ASSERT_TRUE(WaitFor([&] { return ReadFileBytes(path).size() == original.size() + 128; })) << "nothing appended";

  const std::string now = ReadFileBytes(path);
  EXPECT_TRUE(now.compare(0, original.size(), original) == 0) << "bytes before the record changed";
  const std::string record = "TAG" + Pad("Typed title", 30) + Pad("", 30) + Pad("", 30) + Pad("", 4) +
                             Pad("a comment", 28) + std::string{0, 7} + char(8);
  EXPECT_EQ(now.substr(original.size()), record);
  EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(Box(w, 670)); })) << "still in edit mode after OK";
  EXPECT_EQ(ControlText(Box(w, 1385)), L"Second title edited");

  // Playing another file: the window (the same one) shows that file.
  const std::wstring second = box_.dir() + L"\\second.mp3";
  WriteFileBytes(second, Id3v2({{"TIT2", "Played now"}}) + Tone());
  EXPECT_EQ(SendCopyData(main_, 528, kOpen, second), TRUE);
  EXPECT_TRUE(WaitFor([&] { return ControlText(Box(w, 624)) == second; })) << "the window did not follow";
  EXPECT_EQ(ControlText(Box(w, 1385)), L"Played now");
  EXPECT_EQ(ControlText(Box(w, 630)), L"");
}

// Files that must not or cannot take the record: each gets a message and
// stays exactly as it was.
// Off in the suite for now: it passes when its executable runs alone in a
// fresh environment and fails after the rest of the win64 suite has run in
// the same prefix; the cause is not found yet. Run it with
// --gtest_also_run_disabled_tests.
TEST_F(InfoWindowTest, DISABLED_RefusedFilesGetAMessageAndStayUntouched) {
  const std::wstring placeholder = box_.dir() + L"\\placeholder.mp3";
  WriteFileBytes(placeholder, Tone());
  ASSERT_NO_FATAL_FAILURE(StartPlayer(placeholder));
  struct Case {
    const char* name;
    std::string bytes;
    bool readOnly;
    bool heldOpen;
    const wchar_t* message;
  };
  const Case cases[] = {
      {"read-only", Tone(), true, false, L"The file is read-only."},
      {"in use", Tone(), false, true, L"The file is in use by another program."},
      {"0 bytes", "", false, false, L"The file is empty"},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::wstring path = box_.dir() + L"\\refused" + std::to_wstring(++n) + L".mp3";
    WriteFileBytes(path, c.bytes);
    if (c.readOnly) SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    UniqueHandle holder;
    if (c.heldOpen)
      holder.Reset(
          CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    const DWORD attributes = GetFileAttributesW(path.c_str());

    // Each case is the only entry of the playlist, so the command opens it.
    HWND w = OpenFor(path);
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(WaitFor([&] { return ControlText(Box(w, 624)) == path; }));
    ASSERT_NO_FATAL_FAILURE(EnterEditMode(w));
    ASSERT_NO_FATAL_FAILURE(TypeInto(w, 630, "New", L"New"));
    ASSERT_TRUE(ClickControl(Box(w, IDOK)));
    HWND message = WaitForWindow(pid_, L"ZUL");
    ASSERT_NE(message, nullptr) << "no message";
    const std::wstring said = ChildTexts(message);
    EXPECT_NE(said.find(c.message), std::wstring::npos) << std::string(said.begin(), said.end());
    Screenshot(std::string("info_window_refused_") + std::to_string(n));
    ASSERT_TRUE(ClickControl(GetDlgItem(message, IDOK)));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(message); }));
    holder.Reset();
    EXPECT_EQ(ReadFileBytes(path), c.bytes);
    EXPECT_EQ(GetFileAttributesW(path.c_str()), attributes);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
}

}  // namespace
}  // namespace zul::test
