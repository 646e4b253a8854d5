// The now-playing export through the real program: the file written at
// start-up and at exit, locally and on a loopback FTP server, a server that
// refuses the login, and the Messenger message received by a window of the
// class Messenger listens with.
#include <windows.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/zul_process.h"

namespace zul {
namespace {

bool WaitFor(const std::function<bool()>& done, int timeoutMs = 60000) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  return true;
}

std::string Ascii(const std::wstring& w) { return std::string(w.begin(), w.end()); }

struct Running {
  HANDLE process = nullptr;
  HWND main = nullptr;
};

Running Start(test::ZulSandbox& box, const std::string& preferences) {
  test::WriteFileBytes(box.ini(), "[Preferences]\r\n" + preferences);
  Running r;
  DWORD pid = 0;
  r.process = box.Start(L"", &pid);
  if (r.process) r.main = test::WaitForInstance(pid);
  if (r.main) test::WaitUntilRunning(r.main);
  return r;
}

void Quit(const Running& r) {
  PostMessageW(r.main, WM_COMMAND, 507, 0);
  EXPECT_TRUE(test::WaitForExit(r.process, 60000));
}

TEST(NowPlayingExport, LocalFileAtStartAndAtExit) {
  for (bool deleteAtExit : {false, true}) {
    SCOPED_TRACE(deleteAtExit);
    test::ZulSandbox box(L"np-local");
    const std::wstring file = box.dir() + L"\\np.txt";
    Running r =
        Start(box, "W2Fenabled=1\r\nW2Ffile=" + Ascii(file) +
                       "\r\nW2Fstop=  Stopped\\nnothing %7 \r\nW2Fexit=Closed\r\nW2Fdel=" + (deleteAtExit ? "1" : "0") +
                       "\r\n");
    ASSERT_TRUE(r.main);
    // The timer writes the stopped text, trimmed, with its two lines.
    EXPECT_TRUE(WaitFor([&] { return test::ReadFileBytes(file) == "Stopped\r\nnothing"; }))
        << test::ReadFileBytes(file);
    Quit(r);
    if (deleteAtExit)
      EXPECT_FALSE(test::FileExists(file));
    else
      EXPECT_EQ(test::ReadFileBytes(file), "Closed");
    EXPECT_FALSE(test::FileExists(file + L".tmp"));
  }
}

std::wstring FtpFile(const wchar_t* name) {
  const char* home = std::getenv("ZUL_TEST_FTP_HOME");
  std::wstring path = L"Z:" + std::wstring(home, home + std::strlen(home)) + L"/" + name;
  for (auto& c : path)
    if (c == L'/') c = L'\\';
  return path;
}

std::string FtpSite() {
  const char* port = std::getenv("ZUL_TEST_FTP_PORT");
  return std::string("127.0.0.1:") + (port ? port : "1");
}

TEST(NowPlayingExport, FtpUploadAtStartAndExitAndARefusedLogin) {
  {
    test::ZulSandbox box(L"np-ftp");
    Running r = Start(box, "W2Fenabled=1\r\nW2FFtp=1\r\nW2FSite=" + FtpSite() +
                               "\r\nW2FUser=np\r\nW2FPassword=secret\r\nW2Ffile=np.txt\r\nW2Fstop=Stopped\r\n"
                               "W2Fexit=Closed\r\n");
    ASSERT_TRUE(r.main);
    EXPECT_TRUE(WaitFor([&] { return test::ReadFileBytes(FtpFile(L"np.txt")) == "Stopped"; }))
        << test::ReadFileBytes(FtpFile(L"np.txt"));
    EXPECT_FALSE(test::FileExists(box.dir() + L"\\np.txt"));  // no local file besides
    Quit(r);
    EXPECT_EQ(test::ReadFileBytes(FtpFile(L"np.txt")), "Closed");
  }
  {
    // A wrong password: nothing arrives, and the program answers its
    // messages all along (the uploads run on their own thread).
    test::ZulSandbox box(L"np-ftp-refused");
    Running r = Start(box, "W2Fenabled=1\r\nW2FFtp=1\r\nW2FSite=" + FtpSite() +
                               "\r\nW2FUser=np\r\nW2FPassword=wrong\r\nW2Ffile=refused.txt\r\nW2Fstop=Stopped\r\n");
    ASSERT_TRUE(r.main);
    for (int i = 0; i < 20; ++i) {
      DWORD_PTR result = 0;
      EXPECT_TRUE(SendMessageTimeoutW(r.main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 10000, &result)) << i;
      Sleep(100);
    }
    EXPECT_FALSE(test::FileExists(FtpFile(L"refused.txt")));
    Quit(r);
  }
}

std::vector<std::wstring> received;
std::vector<DWORD> sizes, kinds;

LRESULT CALLBACK MessengerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_COPYDATA) {
    auto* cds = reinterpret_cast<COPYDATASTRUCT*>(lParam);
    kinds.push_back(static_cast<DWORD>(cds->dwData));
    sizes.push_back(cds->cbData);
    received.emplace_back(static_cast<const wchar_t*>(cds->lpData));
    return TRUE;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

TEST(NowPlayingExport, MessengerReceivesTheScrollingText) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = MessengerProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"MsnMsgrUIManager";
  ASSERT_TRUE(RegisterClassW(&wc));
  HWND messenger =
      CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_TRUE(messenger);
  test::ZulSandbox box(L"np-messenger");
  Running r = Start(box, "activateWindowsMessenger=1\r\nwmTitle=%1 - %2\r\nwmIcon=1\r\nscrollMode=1\r\n");
  ASSERT_TRUE(r.main);
  ASSERT_TRUE(WaitFor([] { return received.size() >= 3; }));
  Quit(r);
  DestroyWindow(messenger);
  // With nothing in the list the template gives " - ", ten spaces follow,
  // and each tick starts one character further to the left.
  const std::wstring text = L" -           ";
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(kinds[i], 0x547u);
    EXPECT_EQ(sizes[i], (received[i].size() + 1) * 2 + 2);
    std::wstring expected = L"\\0Music\\01\\0{0}\\0" + text.substr(i + 1) + text.substr(0, i + 1) + L"\\0\\0\\0\\0";
    EXPECT_EQ(received[i], expected) << i;
  }
}

}  // namespace
}  // namespace zul
