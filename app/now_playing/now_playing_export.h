#pragma once
// Publishing the now-playing text: to a local file (written whole to a
// temporary name and moved over the old one, so a reader never sees half
// a text), or to an FTP server on a thread of its own, one upload at a
// time, the latest text winning over any that waited; and the Messenger
// copy-data message.
//
// A server that refuses the login or vanishes costs its own thread, never
// the UI thread: Publish only hands the text over. At exit, the final
// upload is waited for at most kExitWaitMs and then abandoned; the thread
// holds what it uses.
//
// Threads: Publish, PublishExit and SendMessenger on the UI thread.
#include <windows.h>

#include <memory>
#include <string>

namespace zul {

inline constexpr DWORD kExitWaitMs = 3000;

struct FtpTarget {
  std::wstring site, user, password, path;
  bool deleteAfter = false;  // at exit with W2Fdel: the file is removed after
};

class CNowPlayingUploader {
public:
  CNowPlayingUploader();
  ~CNowPlayingUploader();
  // Queues `text` (replacing one that waits) for `target`.
  void Publish(const FtpTarget& target, const std::wstring& text);
  // Waits up to `ms` for the queue to empty; true when it did.
  bool WaitIdle(DWORD ms);
  struct Shared;

private:
  std::shared_ptr<Shared> shared_;
};

// Writes `text` (ANSI, CR LF line ends) to `path` whole; with `deleteAfter`
// the file is removed right after. False on any failure, which the caller
// ignores: the next event writes again.
bool WriteNowPlayingFile(const std::wstring& path, const std::wstring& text, bool deleteAfter);

// Sends the Messenger string to the window of class "MsnMsgrUIManager";
// true when it was sent.
bool SendMessengerText(const std::wstring& text);

}  // namespace zul
