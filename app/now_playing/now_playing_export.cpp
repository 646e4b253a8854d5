#include "app/now_playing/now_playing_export.h"

#include <wininet.h>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "app/now_playing/now_playing_text.h"
#include "base/console_log.h"

namespace zul {
namespace {

constexpr DWORD kFtpTimeoutMs = 5000;

std::string ToAnsi(const std::wstring& text) {
  if (text.empty()) return {};
  int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(std::max(n, 0)), '\0');
  if (n > 0)
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

struct InternetHandle {
  HINTERNET h = nullptr;
  ~InternetHandle() {
    if (h) InternetCloseHandle(h);
  }
};

bool Upload(const FtpTarget& target, const std::string& bytes) {
  InternetHandle session{InternetOpenW(L"W2FileAgent", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0)};
  if (!session.h) return false;
  DWORD timeout = kFtpTimeoutMs;
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
    InternetSetOptionW(session.h, option, &timeout, sizeof timeout);
  // "host:port" reaches a server on another port than 21.
  std::wstring host = target.site;
  INTERNET_PORT port = INTERNET_DEFAULT_FTP_PORT;
  size_t colon = host.rfind(L':');
  if (colon != std::wstring::npos && host.find(L':') == colon) {
    port = static_cast<INTERNET_PORT>(_wtoi(host.c_str() + colon + 1));
    host.resize(colon);
  }
  InternetHandle connection{InternetConnectW(session.h, host.c_str(), port, target.user.c_str(),
                                             target.password.c_str(), INTERNET_SERVICE_FTP, 0, 0)};
  if (!connection.h) return false;
  bool ok = false;
  {
    InternetHandle file{FtpOpenFileW(connection.h, target.path.c_str(), GENERIC_WRITE,
                                     FTP_TRANSFER_TYPE_ASCII | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0)};
    if (file.h) {
      DWORD written = 0;
      ok = bytes.empty() || (InternetWriteFile(file.h, bytes.data(), static_cast<DWORD>(bytes.size()), &written) &&
                             written == bytes.size());
    }
  }
  if (ok && target.deleteAfter) FtpDeleteFileW(connection.h, target.path.c_str());
  return ok;
}

}  // namespace

struct CNowPlayingUploader::Shared {
  std::mutex lock;
  std::condition_variable changed;
  std::optional<std::pair<FtpTarget, std::string>> pending;
  bool busy = false;
  bool running = false;
};

CNowPlayingUploader::CNowPlayingUploader() : shared_(std::make_shared<Shared>()) {}
CNowPlayingUploader::~CNowPlayingUploader() = default;

void CNowPlayingUploader::Publish(const FtpTarget& target, const std::wstring& text) {
  std::lock_guard lock(shared_->lock);
  shared_->pending.emplace(target, ToAnsi(WithCrLf(text)));
  shared_->changed.notify_all();
  if (shared_->running) return;
  // One worker at a time; it ends when nothing waits, so an idle program
  // holds no thread.
  shared_->running = true;
  std::thread([shared = shared_] {
    std::unique_lock lock(shared->lock);
    while (shared->pending) {
      auto job = std::move(*shared->pending);
      shared->pending.reset();
      shared->busy = true;
      lock.unlock();
      if (!Upload(job.first, job.second))
        ZUL_LOG(L"now playing: the upload to %s failed (%lu)", job.first.site.c_str(), GetLastError());
      lock.lock();
      shared->busy = false;
      shared->changed.notify_all();
    }
    shared->running = false;
    shared->changed.notify_all();
  }).detach();
}

bool CNowPlayingUploader::WaitIdle(DWORD ms) {
  std::unique_lock lock(shared_->lock);
  return shared_->changed.wait_for(lock, std::chrono::milliseconds(ms), [&] { return !shared_->running; });
}

bool WriteNowPlayingFile(const std::wstring& path, const std::wstring& text, bool deleteAfter) {
  if (path.empty()) return false;
  const std::string bytes = ToAnsi(WithCrLf(text));
  const std::wstring temp = path + L".tmp";
  HANDLE f = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = bytes.empty() || (WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                              written == bytes.size());
  ok = CloseHandle(f) && ok;
  if (!ok || !MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    DeleteFileW(temp.c_str());
    return false;
  }
  if (deleteAfter) DeleteFileW(path.c_str());
  return true;
}

bool SendMessengerText(const std::wstring& text) {
  HWND messenger = FindWindowExW(nullptr, nullptr, L"MsnMsgrUIManager", nullptr);
  if (!messenger) return false;
  // Through the ANSI code page and back, as the message always carried it.
  std::string ansi = ToAnsi(text);
  wchar_t buffer[256] = {};
  int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), buffer, 254);
  COPYDATASTRUCT cds{};
  cds.dwData = 0x547;
  cds.lpData = buffer;
  cds.cbData = static_cast<DWORD>((n + 1) * 2 + 2);
  // A hung listener does not hang the program.
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(messenger, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds), SMTO_ABORTIFHUNG, 1000,
                             &result) != 0;
}

}  // namespace zul
