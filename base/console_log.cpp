#include "base/console_log.h"

#include <atomic>
#include <cstdarg>
#include <cwchar>

namespace zul {
namespace {

std::atomic<HWND> g_console{nullptr};
std::atomic<DWORD> g_consoleThread{0};

const char* BaseName(const char* path) {
  const char* name = path;
  for (const char* p = path; *p; ++p)
    if (*p == '/' || *p == '\\') name = p + 1;
  return name;
}

}  // namespace

void SetConsoleWindow(HWND list) {
  g_consoleThread = list ? GetWindowThreadProcessId(list, nullptr) : 0;
  g_console = list;
}

void AppendConsoleLine(HWND list, const std::wstring& line) {
  LRESULT before = SendMessageW(list, LB_GETCOUNT, 0, 0);
  SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  if (before >= kConsoleMaxLines) SendMessageW(list, LB_DELETESTRING, 0, 0);
}

void LogLine(const char* sourceFile, int line, const wchar_t* format, ...) {
  HWND list = g_console;
  if (!list) return;
  wchar_t message[2048];
  va_list args;
  va_start(args, format);
  int n = _vsnwprintf(message, std::size(message) - 1, format, args);
  va_end(args);
  message[std::size(message) - 1] = 0;
  if (n < 0) message[std::size(message) - 2] = 0;

  wchar_t source[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, BaseName(sourceFile), -1, source, MAX_PATH);
  std::wstring text = source;
  text += L" (" + std::to_wstring(line) + L"): " + message;
  if (text.empty() || text.back() != L'\n') text += L'\n';

  if (GetCurrentThreadId() == g_consoleThread) {
    AppendConsoleLine(list, text);
  } else {
    auto* copy = new std::wstring(std::move(text));
    if (!PostMessageW(list, WM_ZUL_LOG, 0, reinterpret_cast<LPARAM>(copy))) delete copy;
  }
}

}  // namespace zul
