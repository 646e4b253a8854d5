// The equalizer window through the real program: zul.exe shows it for the
// Winamp "show equalizer" command, xdotool drags its sliders, clicks its
// buttons and types into the file dialogs, and what the window holds is read
// back from the controls, the preset files and the settings file.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "tests/info_window/x_input.h"
#include "tests/support/zul_process.h"

namespace zul::test {
namespace {

constexpr WPARAM kShowEqualizer = 40036;
// Slider ids in the order of the preset's 38 values.
constexpr std::array<int, 38> kSliders = {1453, 1434, 1436, 1437, 1438, 1439, 1440, 1441, 1442, 1443, 1444, 1445, 1446,
                                          1447, 1448, 1449, 1450, 1451, 1452, 1472, 1454, 1455, 1456, 1457, 1458, 1459,
                                          1460, 1461, 1462, 1463, 1464, 1465, 1466, 1467, 1468, 1469, 1470, 1471};
constexpr int kLeft440 = 7, kLeft1760 = 11, kLeft55 = 1, kRight55 = 20;

std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

class EqualizerWindowTest : public ::testing::Test {
protected:
  void SetUp() override {
    process_ = box_.Start(L"", &pid_);
    main_ = WaitForInstance(pid_);
    ASSERT_NE(main_, nullptr);
    ASSERT_TRUE(WaitUntilRunning(main_));
    winamp_ = FindWinampWindow(pid_);
    ASSERT_NE(winamp_, nullptr);
  }
  void TearDown() override {
    if (winamp_) SendMessageTimeoutW(winamp_, WM_COMMAND, 40001, 0, SMTO_BLOCK, 10000, nullptr);
    WaitForExit(process_, 20000);
  }
  HWND Open() {
    SendMessageTimeoutW(winamp_, WM_COMMAND, kShowEqualizer, 0, SMTO_BLOCK, 10000, nullptr);
    HWND w = WaitForWindow(pid_, L"Equalizer");
    EXPECT_NE(w, nullptr) << "no equalizer window";
    return w;
  }
  int Pos(int index) { return static_cast<int>(SendMessageW(GetDlgItem(eq_, kSliders[index]), TBM_GETPOS, 0, 0)); }
  std::array<int, 38> Positions() {
    std::array<int, 38> p{};
    for (int i = 0; i < 38; ++i) p[i] = Pos(i);
    return p;
  }
  std::string PresetLine(const std::array<int, 38>& p) {
    std::string line;
    for (int i = 0; i < 38; ++i) line += (i ? " " : "") + std::to_string(p[i]);
    return line;
  }
  // Presses the slider's thumb (at the top for a value of 0) and drags it
  // below the bottom of the track: the slider ends at 96.
  void DragToBottom(int index) {
    RECT r{};
    GetWindowRect(GetDlgItem(eq_, kSliders[index]), &r);
    const int x = (r.left + r.right) / 2;
    for (int attempt = 0; attempt < 3 && Pos(index) != 96; ++attempt) {
      ASSERT_TRUE(DragFromTo(x, r.top + 10, x, r.bottom + 40));
      WaitFor([&] { return Pos(index) == 96; }, 3000);
    }
    ASSERT_EQ(Pos(index), 96) << "slider " << index << " did not follow the drag";
  }
  // A click on the track below the thumb moves it down by a page (6), or by
  // more pages when a busy machine holds the click long enough to repeat.
  void ClickBelowThumb(int index) {
    RECT r{};
    GetWindowRect(GetDlgItem(eq_, kSliders[index]), &r);
    const int before = Pos(index);
    ASSERT_TRUE(ClickAt((r.left + r.right) / 2, (r.top + 2 * r.bottom) / 3));
    ASSERT_TRUE(WaitFor([&] { return Pos(index) > before && Pos(index) % 6 == 0; }, 5000))
        << "slider " << index << " at " << Pos(index);
  }
  std::wstring Status() { return ControlText(GetDlgItem(eq_, 1475)); }
  // The file dialog that `button` opens gets the path typed and Return.
  void UseFileDialog(int button, const wchar_t* title, const std::wstring& path) {
    ASSERT_TRUE(ClickControl(GetDlgItem(eq_, button)));
    HWND dialog = WaitForWindow(pid_, title);
    ASSERT_NE(dialog, nullptr) << "no file dialog";
    ASSERT_TRUE(TypeText(Narrow(path)));
    ASSERT_TRUE(PressKeys("Return"));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); })) << "file dialog stayed";
  }
  // The message box the window shows: its text, then it is closed with OK.
  std::wstring TakeMessage() {
    HWND message = WaitForWindow(pid_, L"ZUL");
    if (!message) return L"(no message)";
    std::wstring text = ChildTexts(message);
    EXPECT_TRUE(ClickControl(GetDlgItem(message, IDOK)));
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(message); }));
    return text;
  }

  ZulSandbox box_{L"eq-window"};
  HANDLE process_ = nullptr;
  DWORD pid_ = 0;
  HWND main_ = nullptr, winamp_ = nullptr, eq_ = nullptr;
};

TEST_F(EqualizerWindowTest, SlidersPresetsAndMalformedFilesAsAUserMeetsThem) {
  eq_ = Open();
  ASSERT_NE(eq_, nullptr);
  ASSERT_EQ(Positions(), (std::array<int, 38>{})) << "a fresh start has every slider at 0";

  ASSERT_NO_FATAL_FAILURE(DragToBottom(kLeft440));
  EXPECT_EQ(Status(), L"L 440Hz cut");
  EXPECT_EQ(Pos(kLeft440 + 19), 0) << "without Lock LR the right slider stays";
  ASSERT_NO_FATAL_FAILURE(ClickBelowThumb(kLeft1760));
  EXPECT_EQ(Status(), L"L 1760Hz -" + std::to_wstring(Pos(kLeft1760)) + L"db");

  ASSERT_TRUE(ClickControl(GetDlgItem(eq_, 1474)));  // Lock LR
  ASSERT_TRUE(WaitFor([&] { return SendMessageW(GetDlgItem(eq_, 1474), BM_GETCHECK, 0, 0) == BST_CHECKED; }));
  ASSERT_NO_FATAL_FAILURE(DragToBottom(kRight55));
  EXPECT_EQ(Status(), L"R 55Hz cut");
  EXPECT_EQ(Pos(kLeft55), 96) << "Lock LR moves the left twin";

  ASSERT_TRUE(ClickControl(GetDlgItem(eq_, 1479)));  // Enable
  ASSERT_TRUE(WaitFor([&] { return SendMessageW(GetDlgItem(eq_, 1479), BM_GETCHECK, 0, 0) == BST_CHECKED; }));
  Screenshot("equalizer_window", eq_);

  const std::array<int, 38> saved = Positions();
  const std::wstring preset = box_.dir() + L"\\mine.eq";
  ASSERT_NO_FATAL_FAILURE(UseFileDialog(1478, L"Save As", preset));
  ASSERT_TRUE(WaitFor([&] { return FileExists(preset); })) << "no preset written";
  EXPECT_EQ(ReadFileBytes(preset), PresetLine(saved) + "\r\n");

  // Another slider moves; loading the preset puts every slider back.
  ASSERT_NO_FATAL_FAILURE(ClickBelowThumb(kLeft1760));
  ASSERT_NO_FATAL_FAILURE(UseFileDialog(1477, L"Open", preset));
  EXPECT_TRUE(WaitFor([&] { return Positions() == saved; })) << "loading did not restore the sliders";

  // Malformed files: refused with a message, nothing moves.
  std::string values;
  for (int i = 0; i < 38; ++i) values += (i ? " " : "") + std::to_string(i % 50);
  const struct {
    const char* name;
    std::string bytes;
    const wchar_t* message;
  } bad[] = {
      {"truncated", values.substr(0, 40), L"Format error"},
      {"37 numbers", values.substr(0, values.rfind(' ')), L"Format error"},
      {"huge number", "99999999999999999999 " + values.substr(values.find(' ') + 1), L"Format error"},
      {"binary garbage", std::string("\x89PNG\r\n\x1a\n\x00\x00\x00\rIHDR", 16), L"Format error"},
      {"record of three numbers", values + "\r\n2000 1000 6\r\n", L"Format error 2 (3)"},
  };
  int n = 0;
  for (const auto& c : bad) {
    SCOPED_TRACE(c.name);
    const std::wstring path = box_.dir() + L"\\bad" + std::to_wstring(++n) + L".eq";
    WriteFileBytes(path, c.bytes);
    ASSERT_NO_FATAL_FAILURE(UseFileDialog(1477, L"Open", path));
    EXPECT_NE(TakeMessage().find(c.message), std::wstring::npos);
    EXPECT_EQ(Positions(), saved);
  }

  // OK keeps the state; the quit saves it with the settings.
  ASSERT_TRUE(ClickControl(GetDlgItem(eq_, IDOK)));
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(eq_); }));
  SendMessageTimeoutW(winamp_, WM_COMMAND, 40001, 0, SMTO_BLOCK, 10000, nullptr);
  ASSERT_TRUE(WaitForExit(process_, 20000));
  winamp_ = nullptr;
  const std::string ini = ReadFileBytes(box_.ini());
  EXPECT_NE(ini.find("EQ0=" + PresetLine(saved) + "\r\n"), std::string::npos) << ini;
  EXPECT_NE(ini.find("EnableEQ=1"), std::string::npos);
}

TEST_F(EqualizerWindowTest, CancelPutsBackTheStateTheWindowWasOpenedWith) {
  eq_ = Open();
  ASSERT_NE(eq_, nullptr);
  ASSERT_NO_FATAL_FAILURE(DragToBottom(kLeft440));
  ASSERT_TRUE(ClickControl(GetDlgItem(eq_, IDCANCEL)));
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(eq_); }));
  eq_ = Open();
  ASSERT_NE(eq_, nullptr);
  EXPECT_EQ(Pos(kLeft440), 0);
}

}  // namespace
}  // namespace zul::test
