#pragma once
// One HTTP or ICY stream being received: the connection through WinInet,
// the ICY headers, the receive thread that filters the body into the ring,
// the UDP title socket and the save file.
//
// The connection and the receive loop run on one thread of their own that
// holds the shared state, so that Stop never waits for a server: Abort
// wakes every reader of the ring at once and the thread ends by itself when
// its current WinInet call returns (each bounded by kNetTimeoutMs), closing
// what it opened. Nothing it touches belongs to the caller.
//
// Threads: Start, Abort and the accessors on any thread; the fields behind
// lock_ are written by the receive thread.
#include <winsock2.h>
#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "mpeg_input/http/icy_info.h"
#include "mpeg_input/http/stream_ring.h"

namespace zul {

inline constexpr DWORD kNetTimeoutMs = 10000;

struct CStreamOptions {
  std::wstring location;
  bool titleStreaming = true;
  bool useUdp = false;
  bool decodeText = true;
  bool enableProxy = false;
  std::wstring proxy;
  int receivePriority = 2;
  int strBufKb = 256;
  bool saveStream = false;
  std::wstring saveStreamFile;
  HWND notify = nullptr;  // gets IPC_UPDTITLE when the title changes
};

class CHttpStream : public std::enable_shared_from_this<CHttpStream> {
public:
  enum class State { kConnecting, kReceiving, kFailed };

  // The ring of the options' size; nothing starts yet.
  explicit CHttpStream(CStreamOptions options);
  ~CHttpStream();

  // Starts the receive thread; false (with Status set) when the location
  // cannot be parsed or the thread cannot start.
  bool Start();
  // Waits until connected, failed, or `stop` is set.
  State WaitConnected(HANDLE stop);
  void Abort();

  CStreamRing& Ring() { return ring_; }
  std::wstring Host() const { return host_; }
  std::wstring Status() const;
  std::wstring Title() const;
  std::wstring Station() const;
  int BitrateKbps() const;
  // While the decode thread runs, title changes are announced to the host.
  void SetDecoding(bool on) { decoding_ = on; }
  // Test and log counters.
  int64_t Received() const { return received_.load(); }

private:
  static DWORD WINAPI ThreadProc(void* self);
  void Run();
  bool Connect(HINTERNET& session, HINTERNET& connection, HINTERNET& request);
  void Receive(HINTERNET request);
  void Fail(const std::wstring& status);
  void SetTitle(const std::string& bytes);
  void OpenUdp();
  void PollUdp();
  void OpenSaveFile();

  const CStreamOptions options_;
  CStreamRing ring_;
  std::wstring host_, path_, user_, password_;
  INTERNET_SCHEME scheme_ = INTERNET_SCHEME_HTTP;
  INTERNET_PORT port_ = 80;
  HANDLE connected_ = nullptr;  // manual: connected or failed
  HANDLE aborted_ = nullptr;    // manual
  std::atomic<State> state_{State::kConnecting};
  std::atomic<bool> decoding_{false};
  std::atomic<int64_t> received_{0};

  mutable std::mutex lock_;
  std::wstring status_;
  std::wstring title_;
  CICYInfo info_;

  // Receive thread only.
  uintptr_t udp_ = ~uintptr_t{0};
  int udpPort_ = -1;
  HANDLE saveFile_ = INVALID_HANDLE_VALUE;
};

}  // namespace zul
