#include "waveout/start_clock.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <string>

#include "base/win32_handles.h"

namespace zul {
namespace {

// QueryPerformanceCounter ticks; 0 = no measurement running.
std::atomic<long long> g_commandAt{0};
std::atomic<long long> g_outputAt{0};

const std::wstring& TimingsFile() {
  static const std::wstring file = [] {
    wchar_t path[MAX_PATH] = {};
    DWORD n = GetEnvironmentVariableW(L"ZUL_TIMINGS", path, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(path, n) : std::wstring();
  }();
  return file;
}

long long Ticks() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

double Ms(long long ticks) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

void Append(const std::wstring& file, const char* line) {
  UniqueHandle f(CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr));
  if (!f) return;
  DWORD written = 0;
  WriteFile(f.Get(), line, static_cast<DWORD>(strlen(line)), &written, nullptr);
}

}  // namespace

void MarkPlayCommand() {
  if (TimingsFile().empty()) return;
  g_outputAt.store(0);
  g_commandAt.store(Ticks());
}

void NoteOutputWrite() {
  if (g_commandAt.load(std::memory_order_relaxed) == 0 || g_outputAt.load(std::memory_order_relaxed) != 0) return;
  long long expected = 0;
  g_outputAt.compare_exchange_strong(expected, Ticks());
}

void NoteDriverWrite() {
  const long long command = g_commandAt.exchange(0);
  if (command == 0) return;
  const long long output = g_outputAt.load();
  char line[96];
  std::snprintf(line, sizeof line, "play-to-output %.3f play-to-driver %.3f\r\n", output ? Ms(output - command) : -1.0,
                Ms(Ticks() - command));
  Append(TimingsFile(), line);
}

}  // namespace zul
