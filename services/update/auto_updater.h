#pragma once
// The update check: fetches the version file from the server, compares it
// with the program's own version, asks, downloads the archive and its
// detached signature, verifies the signature against the public key built
// into the program, extracts the expected files only, replaces them keeping
// backups (and puts every backup back when any step fails), and starts the
// new program with "-restart".
//
// Nothing from the server is trusted before the signature holds: the
// archive is verified as a whole before it is opened, its entry names must
// be plain expected file names, and no archive or entry may pass
// kMaxUpdateBytes.
//
// Threads: the caller's (the UI thread, which it blocks while it works).
#include <windows.h>
#include <wininet.h>

#include <cstdint>
#include <functional>
#include <string>

namespace zul {

enum class UpdateResult : int {
  kUpdated = 0,         // the new program was started
  kNoConnection = 1,    // no session or no Internet connection
  kRequestFailed = 2,   // a request could not be opened
  kEmptyVersion = 3,    // the version file was empty
  kDownloadFailed = 4,  // the archive or its signature could not be downloaded
  kNoLocalVersion = 5,  // the program's own version could not be read
  kNothingToDo = 6,     // no newer version, or the user declined
  kReplaceFailed = 7,   // refused archive, or replacing files failed: nothing changed
};

inline constexpr uint64_t kMaxUpdateBytes = 32u << 20;

struct CUpdateOptions {
  std::wstring baseUrl;      // ends with "/"
  std::wstring programPath;  // the program file to replace
  std::wstring tempFolder;   // ends with "\"; the system's temporary folder when empty
  // Shows the question; true for "Yes".
  std::function<bool(const std::wstring& question)> ask;
};

class CAutoUpdater {
public:
  CAutoUpdater(HINTERNET session, CUpdateOptions options) : session_(session), options_(std::move(options)) {}
  UpdateResult Check();

private:
  HINTERNET OpenUrl(const std::wstring& url);
  bool Download(const std::wstring& url, const std::wstring& file, uint64_t limit);
  bool Extract(const std::wstring& archive, const std::wstring& folder);
  bool ReplaceAll(const std::wstring& folder);

  HINTERNET session_;
  CUpdateOptions options_;
};

// The fixed file version of `path` as "%d.%d.%d.%d" (or "%d.%d"); empty
// when it has none.
std::wstring ProgramVersion(const std::wstring& path);

}  // namespace zul
