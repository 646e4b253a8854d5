#include "mpeg_input/http/http_stream.h"

#include <algorithm>
#include <vector>

#include "base/console_log.h"
#include "mpeg_input/http/icy_filter.h"
#include "mpeg_input/http/save_name.h"

namespace zul {
namespace {

constexpr wchar_t kAgent[] = L"WINAMP mpg123 v1.0";
constexpr LPARAM kIpcUpdTitle = 243;
constexpr size_t kReadPiece = 8192;
constexpr int kRoomWaitMs = 20;
constexpr int kUdpAttempts = 10;
constexpr int kUdpDatagram = 1024;
// Datagrams taken per pass of the receive loop; a flood beyond that is
// dropped by the system, not queued here.
constexpr int kUdpPerPass = 16;

int Priority(int index) {
  return index == 0 ? THREAD_PRIORITY_NORMAL : index == 1 ? THREAD_PRIORITY_ABOVE_NORMAL : THREAD_PRIORITY_HIGHEST;
}

// Server text to a wide string: UTF-8 when it is well-formed UTF-8 with
// non-ASCII characters, else the ANSI code page.
std::wstring Widen(const std::string& bytes) {
  if (bytes.empty()) return {};
  UINT page = LooksLikeUtf8(bytes) ? CP_UTF8 : CP_ACP;
  int n = MultiByteToWideChar(page, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(std::max(n, 0)), L'\0');
  if (n > 0) MultiByteToWideChar(page, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
  // Control characters would break the one-line title.
  for (auto& c : out)
    if (c < 0x20) c = L' ';
  return out;
}

std::string CustomHeader(HINTERNET request, const char* name) {
  char buffer[kMaxIcyText + 64] = {};
  lstrcpynA(buffer, name, sizeof buffer);
  DWORD size = sizeof buffer - 1;
  if (!HttpQueryInfoA(request, HTTP_QUERY_CUSTOM, buffer, &size, nullptr)) return {};
  return std::string(buffer, std::min<DWORD>(size, sizeof buffer - 1));
}

struct InternetHandle {
  HINTERNET h = nullptr;
  ~InternetHandle() {
    if (h) InternetCloseHandle(h);
  }
};

}  // namespace

CHttpStream::CHttpStream(CStreamOptions options)
    : options_(std::move(options)),
      ring_(static_cast<size_t>(std::clamp(options_.strBufKb, 16, 65536)) * 1024,
            static_cast<size_t>(std::max(std::clamp(options_.strBufKb, 16, 65536) * 1024 / 16, 16384))) {
  connected_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  aborted_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

CHttpStream::~CHttpStream() {
  if (saveFile_ != INVALID_HANDLE_VALUE) CloseHandle(saveFile_);
  if (udp_ != ~uintptr_t{0}) closesocket(static_cast<SOCKET>(udp_));
  if (connected_) CloseHandle(connected_);
  if (aborted_) CloseHandle(aborted_);
}

std::wstring CHttpStream::Status() const {
  std::lock_guard lock(lock_);
  return status_;
}

std::wstring CHttpStream::Title() const {
  std::lock_guard lock(lock_);
  return title_;
}

std::wstring CHttpStream::Station() const {
  std::lock_guard lock(lock_);
  return Widen(info_.name);
}

int CHttpStream::BitrateKbps() const {
  std::lock_guard lock(lock_);
  return info_.bitrateKbps;
}

void CHttpStream::Fail(const std::wstring& status) {
  {
    std::lock_guard lock(lock_);
    if (status_.empty()) status_ = status;
  }
  state_ = State::kFailed;
  ring_.Finish();
  SetEvent(connected_);
}

bool CHttpStream::Start() {
  if (!connected_ || !aborted_) return false;
  wchar_t host[256] = {}, path[2048] = {}, user[128] = {}, password[128] = {};
  URL_COMPONENTSW url{};
  url.dwStructSize = sizeof url;
  url.lpszHostName = host;
  url.dwHostNameLength = ARRAYSIZE(host);
  url.lpszUrlPath = path;
  url.dwUrlPathLength = ARRAYSIZE(path);
  url.lpszUserName = user;
  url.dwUserNameLength = ARRAYSIZE(user);
  url.lpszPassword = password;
  url.dwPasswordLength = ARRAYSIZE(password);
  if (!InternetCrackUrlW(options_.location.c_str(), 0, 0, &url) || !*host ||
      (url.nScheme != INTERNET_SCHEME_HTTP && url.nScheme != INTERNET_SCHEME_HTTPS)) {
    Fail(L"Parse URL error");
    return false;
  }
  host_ = host;
  path_ = *path ? path : L"/";
  user_ = user;
  password_ = password;
  scheme_ = url.nScheme;
  port_ = url.nPort;
  // The thread holds the object alive for as long as it runs.
  auto* keep = new std::shared_ptr<CHttpStream>(shared_from_this());
  HANDLE thread = CreateThread(nullptr, 0, ThreadProc, keep, CREATE_SUSPENDED, nullptr);
  if (!thread) {
    delete keep;
    Fail(L"Create session error");
    return false;
  }
  SetThreadPriority(thread, Priority(options_.receivePriority));
  ResumeThread(thread);
  CloseHandle(thread);
  return true;
}

CHttpStream::State CHttpStream::WaitConnected(HANDLE stop) {
  HANDLE events[] = {connected_, stop};
  WaitForMultipleObjects(stop ? 2 : 1, events, FALSE, INFINITE);
  return state_.load();
}

void CHttpStream::Abort() {
  ring_.Abort();
  if (aborted_) SetEvent(aborted_);
}

DWORD WINAPI CHttpStream::ThreadProc(void* param) {
  auto* keep = static_cast<std::shared_ptr<CHttpStream>*>(param);
  (*keep)->Run();
  delete keep;
  return 0;
}

void CHttpStream::Run() {
  InternetHandle session, connection, request;
  if (Connect(session.h, connection.h, request.h)) Receive(request.h);
  ring_.Finish();
}

bool CHttpStream::Connect(HINTERNET& session, HINTERNET& connection, HINTERNET& request) {
  const bool proxy = options_.enableProxy && !options_.proxy.empty();
  session = InternetOpenW(kAgent, proxy ? INTERNET_OPEN_TYPE_PROXY : INTERNET_OPEN_TYPE_DIRECT,
                          proxy ? options_.proxy.c_str() : nullptr, nullptr, 0);
  if (!session) {
    Fail(L"Create session error");
    return false;
  }
  DWORD timeout = kNetTimeoutMs;
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
    InternetSetOptionW(session, option, &timeout, sizeof timeout);
  if (WaitForSingleObject(aborted_, 0) == WAIT_OBJECT_0) return false;

  std::wstring headers = L"Accept: audio/mpeg, audio/x-mpegurl, */*\r\n";
  if (options_.titleStreaming) {
    headers += L"icy-metadata: 1\r\n";
    if (options_.useUdp) {
      OpenUdp();
      if (udpPort_ > 0) headers += L"x-audiocast-udpport: " + std::to_wstring(udpPort_) + L"\r\n";
    }
  }
  headers += L"\r\n";

  const bool secure = scheme_ == INTERNET_SCHEME_HTTPS;
  connection = InternetConnectW(session, host_.c_str(), port_, user_.empty() ? nullptr : user_.c_str(),
                                password_.empty() ? nullptr : password_.c_str(), INTERNET_SERVICE_HTTP, 0, 0);
  DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI;
  if (secure)
    flags |= INTERNET_FLAG_SECURE | INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_IGNORE_CERT_DATE_INVALID |
             INTERNET_FLAG_IGNORE_CERT_CN_INVALID;
  if (connection) request = HttpOpenRequestW(connection, L"GET", path_.c_str(), nullptr, nullptr, nullptr, flags, 0);
  if (request && secure) {
    DWORD security = 0, size = sizeof security;
    InternetQueryOptionW(request, INTERNET_OPTION_SECURITY_FLAGS, &security, &size);
    security |= SECURITY_FLAG_IGNORE_UNKNOWN_CA;
    InternetSetOptionW(request, INTERNET_OPTION_SECURITY_FLAGS, &security, sizeof security);
  }
  if (!request || !HttpSendRequestW(request, headers.c_str(), static_cast<DWORD>(headers.size()), nullptr, 0)) {
    ZUL_LOG(L"in_mpeg: %s: the request failed (%lu)", options_.location.c_str(), GetLastError());
    Fail(L"Connection failed");
    return false;
  }
  DWORD code = 0, size = sizeof code;
  if (HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &code, &size, nullptr) && code >= 300) {
    // An error page is no stream: its status line says why.
    wchar_t text[128] = {};
    DWORD bytes = sizeof text - sizeof(wchar_t);
    HttpQueryInfoW(request, HTTP_QUERY_STATUS_TEXT, text, &bytes, nullptr);
    Fail(std::to_wstring(code) + L" " + text);
    return false;
  }
  CICYInfo info;
  for (const char* name :
       {"icy-name", "icy-genre", "icy-url", "icy-metaint", "icy-pub", "icy-br", "x-audiocast-udpport"}) {
    std::string value = CustomHeader(request, name);
    if (!value.empty()) SetIcyField(info, name, value);
  }
  {
    std::lock_guard lock(lock_);
    info_ = info;
  }
  OpenSaveFile();
  state_ = State::kReceiving;
  SetEvent(connected_);
  return true;
}

void CHttpStream::Receive(HINTERNET request) {
  CIcyFilter filter(info_.metaInterval, options_.decodeText);
  std::vector<uint8_t> piece(kReadPiece), audio;
  audio.reserve(kReadPiece);
  while (!ring_.Aborted()) {
    PollUdp();
    size_t room = ring_.Room(kReadPiece);
    if (room == 0) {
      ring_.WaitForRoom(kRoomWaitMs);
      continue;
    }
    // Asks what has arrived first: a read for more than that waits until
    // the whole amount came, which a slow server would make forever.
    DWORD available = 0, got = 0;
    if (!InternetQueryDataAvailable(request, &available, 0, 0) || available == 0) break;
    if (ring_.Aborted()) break;
    if (!InternetReadFile(request, piece.data(), static_cast<DWORD>(std::min<size_t>(room, available)), &got) ||
        got == 0)
      break;
    received_ += got;
    audio.clear();
    bool ok = filter.Feed({piece.data(), got}, audio);
    if (filter.SawRawHeader()) {
      std::lock_guard lock(lock_);
      if (info_.name.empty()) info_ = filter.RawInfo();
    }
    std::string title;
    if (filter.TakeTitle(&title)) SetTitle(title);
    if (!ok) {
      Fail(Widen(filter.Status()));
      break;
    }
    if (saveFile_ != INVALID_HANDLE_VALUE && !audio.empty()) {
      DWORD written = 0;
      if (!WriteFile(saveFile_, audio.data(), static_cast<DWORD>(audio.size()), &written, nullptr) ||
          written != audio.size()) {
        ZUL_LOG(L"in_mpeg: saving the stream failed (%lu); it plays on unsaved", GetLastError());
        CloseHandle(saveFile_);
        saveFile_ = INVALID_HANDLE_VALUE;
      }
    }
    ring_.Write(audio);
  }
}

void CHttpStream::SetTitle(const std::string& bytes) {
  {
    std::lock_guard lock(lock_);
    title_ = Widen(bytes);
  }
  if (decoding_ && options_.notify) PostMessageW(options_.notify, WM_USER, 0, kIpcUpdTitle);
}

void CHttpStream::OpenUdp() {
  WSADATA wsa;
  if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0) return;
  SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (s == INVALID_SOCKET) return;
  u_long nonBlocking = 1;
  ioctlsocket(s, FIONBIO, &nonBlocking);
  for (int i = 0; i < kUdpAttempts; ++i) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_ANY);
    a.sin_port = htons(static_cast<u_short>(port_ + i));
    if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
      udp_ = static_cast<uintptr_t>(s);
      udpPort_ = port_ + i;
      return;
    }
  }
  closesocket(s);
}

void CHttpStream::PollUdp() {
  if (udp_ == ~uintptr_t{0}) return;
  constexpr std::string_view kPrefix = "x-audiocast-streamtitle: ";
  char datagram[kUdpDatagram];
  for (int i = 0; i < kUdpPerPass; ++i) {
    int n = recv(static_cast<SOCKET>(udp_), datagram, sizeof datagram, 0);
    // An oversized datagram arrives cut (WSAEMSGSIZE) and is dropped whole.
    if (n == SOCKET_ERROR && WSAGetLastError() == WSAEMSGSIZE) continue;
    if (n <= 0) return;
    std::string_view text(datagram, static_cast<size_t>(n));
    if (text.starts_with(kPrefix)) {
      std::string title(text.substr(kPrefix.size()));
      title = title.substr(0, title.find_first_of(std::string_view("\r\n\0", 3)));
      SetTitle(title);
    }
  }
}

void CHttpStream::OpenSaveFile() {
  if (!options_.saveStream) return;
  std::wstring target = SaveStreamTarget(options_.saveStreamFile, options_.location, [](const std::wstring& name) {
    return GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES;
  });
  if (target.empty()) return;
  // CREATE_NEW: another program may have taken the name meanwhile.
  saveFile_ =
      CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (saveFile_ == INVALID_HANDLE_VALUE)
    ZUL_LOG(L"in_mpeg: the stream cannot be saved to %s (%lu)", target.c_str(), GetLastError());
}

}  // namespace zul
