// The start-up update check: the server's base address from the settings
// file ("updateServer" in [Preferences], so tests and mirrors can point it
// elsewhere), the question and the result messages in the program's own
// windows, and the quit that lets the restarted program take over.
#include <windows.h>
#include <wininet.h>

#include "app/messages.h"
#include "app/pending_windows.h"
#include "base/profile_file.h"
#include "base/program_paths.h"
#include "base/settings.h"
#include "resources/resource.h"
#include "services/update/auto_updater.h"

namespace zul {
namespace {

constexpr wchar_t kDefaultUpdateServer[] = L"http://www.zulplayer.net/update/";

std::wstring LoadText(UINT id) {
  const wchar_t* text = nullptr;
  int n = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<wchar_t*>(&text), 0);
  return n > 0 ? std::wstring(text, static_cast<size_t>(n)) : std::wstring();
}

}  // namespace

void PendingWindows::RunUpdateCheck(HWND owner) {
  const ProgramPaths& paths = CurrentProgramPaths();
  CUpdateOptions o;
  auto server = ProfileFileReader(paths.settingsFile).Read(kPreferences, L"updateServer");
  o.baseUrl = server && !server->empty() ? *server : kDefaultUpdateServer;
  if (o.baseUrl.back() != L'/') o.baseUrl += L'/';
  o.programPath = paths.exe;
  o.ask = [](const std::wstring& question) {
    return MessageBoxW(GetActiveWindow(), question.c_str(), L"ZUL", MB_YESNO | MB_ICONQUESTION) == IDYES;
  };
  HINTERNET session = InternetOpenW(L"AutoUpdateAgent", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  const UpdateResult result = CAutoUpdater(session, o).Check();
  if (session) InternetCloseHandle(session);
  UINT text = 0;
  switch (result) {
    case UpdateResult::kUpdated:
      text = IDS_UPDATED_RESTART;
      break;
    case UpdateResult::kNoConnection:
    case UpdateResult::kRequestFailed:
    case UpdateResult::kEmptyVersion:
    case UpdateResult::kDownloadFailed:
      text = IDS_CONNECT_FAILED;
      break;
    case UpdateResult::kNoLocalVersion:
      text = IDS_VERSION_NOT_FOUND;
      break;
    case UpdateResult::kNothingToDo:
      return;
    case UpdateResult::kReplaceFailed:
      text = IDS_UPDATE_FAILED;
      break;
  }
  MessageBoxW(owner, LoadText(text).c_str(), L"ZUL", MB_OK | MB_ICONINFORMATION);
  // The restarted program waits for this one's main window to go.
  if (result == UpdateResult::kUpdated) PostMessageW(owner, WM_COMMAND, ID_MENU_EXIT, 0);
}

}  // namespace zul
