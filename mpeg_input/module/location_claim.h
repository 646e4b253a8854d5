#pragma once
// Which locations the built-in MPEG input claims, and the extension list it
// shows the host.
//
// Local files are never claimed by IsOurFile: the host matches them against
// the extension list. Hosts from version 0x5011 on ask IsOurFile about a
// stream location and, right after, about the same location as a file
// ("...mp3"); that follow-up question within 100 ms is answered no.
//
// A stream question never touches the extension list. This host asks
// IsOurFile only about "://" locations and never again about a local file,
// so a list emptied there would stay empty: local MP3 files would find no
// input, and the open dialog's filter and IPC_GET_EXTLIST would lose the
// MPEG types until the program restarts.
//
// Threads: UI thread (the module's entry points).
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace zul {

// The extension list, as the In_Module record shows it: pairs of
// NUL-terminated strings ended by an empty one.
inline constexpr char kMpegExtensions[] =
    "MP3;MP2;MP1;RMP\0MPEG Audio Files (*.MP3;*.MP2;*.MP1;*.RMP)\0m3u;pls\0Playlists (*.m3u, *.pls)\0";
inline constexpr char kNoExtensions[] = "\0";

bool IsStreamLocation(std::wstring_view name);  // "http://" or "https://", exact case

// The characters after the last "." of the last path component; empty when
// there is none.
std::wstring_view LocationExtension(std::wstring_view name);

class CLocationClaim {
public:
  using Clock = std::function<uint32_t()>;  // milliseconds, wrapping like timeGetTime

  explicit CLocationClaim(Clock clock) : clock_(std::move(clock)) {}

  void SetHostVersion(int version) { hostVersion_ = version; }
  // Enable and EnableStreaming.
  void SetEnabled(bool enable, bool enableStreaming) {
    enable_ = enable;
    streaming_ = enableStreaming;
  }

  // The decision of IsOurFile; leaves Extensions() alone.
  bool IsOurFile(std::wstring_view name);

  // The list the record shows now, as a pointer the record can keep.
  const char* Extensions() const { return showExtensions_ ? kMpegExtensions : kNoExtensions; }
  // Chooses the list from Enable again (Init, and after the pages apply).
  void RestoreExtensions() { showExtensions_ = enable_; }

private:
  bool NewHost() const { return hostVersion_ >= 0x5011; }

  Clock clock_;
  int hostVersion_ = 0;
  bool enable_ = true;
  bool streaming_ = false;
  bool showExtensions_ = true;
  bool recent_ = false;  // a stream location was considered at recentAt_
  uint32_t recentAt_ = 0;
};

}  // namespace zul
