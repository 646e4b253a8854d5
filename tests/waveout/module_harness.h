#pragma once
// What the Wine tests of the output module play host and input plug-in
// with: a stand-in for the player's Winamp window that answers the volume
// query and keeps the IPC messages it gets, and writing PCM through an
// Out_Module the way an input plug-in's decode thread does.
#include <windows.h>

#include <string>
#include <vector>

#include "pluginhost/protocol/winamp_records.h"

namespace zul::test {

class CFakeHost {
public:
  struct Ipc {
    WPARAM data;
    LPARAM ipc;
  };

  explicit CFakeHost(int volume);
  ~CFakeHost();
  HWND hwnd() const { return hwnd_; }

  int volume;  // the answer to IPC_SETVOLUME(-666)
  std::vector<Ipc> calls;

private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  HWND hwnd_ = nullptr;
};

// The module's record with the host's members filled, then Init.
Out_Module* StartModule(CFakeHost& host);
// Close, Quit, and the module's settings back to none stored.
void StopModule(Out_Module* out);

// Writes all bytes in pieces of `piece` bytes, each once CanWrite has room
// for it (as input plug-ins do), then waits until IsPlaying turns 0. False
// when the module stopped taking data or playing for 10 s.
bool PlayAll(Out_Module* out, const std::string& bytes, int piece);
bool WriteAll(Out_Module* out, const std::string& bytes, int piece);
bool WaitUntilPlayed(Out_Module* out);

std::string Bytes(const std::vector<int16_t>& samples);

}  // namespace zul::test
