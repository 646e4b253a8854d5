#pragma once
// What the playlist asks the input plug-in host: the file-information calls
// that fill an entry's tags, and the extensions the input plug-ins claim
// (for folder scans).
//
// The plug-in host (pluginhost/) registers its implementation once, on the
// UI thread, after the input plug-ins are loaded and before any playlist
// worker starts: RegisterInputHostInfo(&host). Until then tag reads give
// nothing (entries keep their file names as titles and get no length) and
// folder scans accept what the built-in MPEG input claims by default.
//
// Threads: the calls come from the UI thread and from playlist workers at
// the lowest priority, never under the playlist lock. The implementation
// makes its own plug-in calls safe from those threads.
#include <string>

namespace zul {

class InputHostInfo {
public:
  virtual ~InputHostInfo() = default;
  // The host's basic file information: title, and length in milliseconds
  // (negative when unknown).
  virtual void GetFileInfo(const std::wstring& path, std::wstring* title, int* lengthMs) = 0;
  // One extended field ("length", "title", "artist", "comment", "album",
  // "year") into at most 260 characters; false when no plug-in answers.
  virtual bool GetExtendedFileInfo(const std::wstring& path, const char* field, std::wstring* value) = 0;
  // Every input plug-in's extensions, ";"-separated ("MP3;MP2;MP1;RMP").
  virtual std::wstring ExtensionList() = 0;
};

// Also makes the host the playlist's tag source. nullptr goes back to
// nothing registered.
void RegisterInputHostInfo(InputHostInfo* host);

// The registered host's list, or the built-in MPEG input's default one.
std::wstring InputExtensionList();

}  // namespace zul
