#pragma once
// A running zul.exe for the tray tests, in a sandbox of its own, with the
// ways the tests read it back: console lines and the Winamp window's IPC.
#include <windows.h>

#include <string>

#include "tests/support/zul_process.h"
#include "tests/tray/x_input.h"

namespace zul::test {

// The built-in tray icons are discs of this blue.
inline constexpr COLORREF kBuiltInIconBlue = RGB(30, 110, 200);

inline constexpr UINT kIpcIsPlaying = 104;
inline constexpr UINT kIpcGetOutputTime = 105;
inline constexpr UINT kIpcGetListPos = 125;

inline std::wstring LongTracks() { return BinDir() + L"\\playback_fixtures\\long"; }

inline int CountLines(HWND main, const std::wstring& text) {
  int n = 0;
  for (const std::wstring& line : ConsoleLines(main)) n += line.find(text) != std::wstring::npos;
  return n;
}

// One running player on the two long tracks, started playing.
class TrayPlayer {
public:
  // args: what zul.exe is started with (the long tracks by default); a
  // playlist file, when given, is the last playlist it restores.
  TrayPlayer(const wchar_t* name, const std::string& settings, const std::string& playlist = {},
             const std::string& extraSettings = "showToolTip=0\r\n")
      : box_(name) {
    WriteFileBytes(box_.ini(), "[Preferences]\r\n" + extraSettings + settings);
    if (!playlist.empty()) WriteFileBytes(box_.dir() + L"\\zul.m3u", playlist);
    process_ = box_.Start(playlist.empty() ? L"\"" + LongTracks() + L"\"" : L"", &pid_);
    main_ = WaitForInstance(pid_);
    if (main_ && WaitUntilRunning(main_)) winamp_ = FindWinampWindow(pid_);
  }
  ~TrayPlayer() {
    if (winamp_) SendMessageW(winamp_, WM_COMMAND, 40001, 0);
    WaitForExit(process_, 20000);
  }
  bool Ready() const { return winamp_ != nullptr; }
  HWND main() const { return main_; }
  LRESULT Ipc(UINT id, WPARAM w = 0) const { return SendMessageW(winamp_, WM_USER, w, id); }
  bool WaitState(LRESULT state) const {
    return WaitFor([&] { return Ipc(kIpcIsPlaying) == state; });
  }
  // Waits for one more console line holding text than before.
  bool WaitLine(const std::wstring& text, int before) const {
    return WaitFor([&] { return CountLines(main_, text) > before; });
  }
  int Lines(const std::wstring& text) const { return CountLines(main_, text); }
  HWND winamp() const { return winamp_; }
  const ZulSandbox& box() const { return box_; }

private:
  ZulSandbox box_;
  HANDLE process_ = nullptr;
  DWORD pid_ = 0;
  HWND main_ = nullptr;
  HWND winamp_ = nullptr;
};

}  // namespace zul::test
