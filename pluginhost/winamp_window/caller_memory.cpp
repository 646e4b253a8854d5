#include "pluginhost/winamp_window/caller_memory.h"

#include <cstdint>
#include <cstring>

#include "base/console_log.h"
#include "pluginhost/host/plugin_guard.h"

namespace zul {
namespace {

constexpr DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                            PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
constexpr DWORD kWritable = PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;

size_t PageSize() {
  static const size_t size = [] {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return static_cast<size_t>(info.dwPageSize);
  }();
  return size;
}

// The guarded copy; no objects with destructors inside the guard.
bool GuardedCopy(void* to, const void* from, size_t bytes) {
  return !Guarded([&] { std::memcpy(to, from, bytes); }).faulted;
}

template <class Char>
bool ReadText(const Char* from, size_t maxChars, std::basic_string<Char>& text) {
  text.clear();
  if (!from) return false;
  std::basic_string<Char> buffer(maxChars, Char{});
  size_t got = 0;
  const auto at = reinterpret_cast<uintptr_t>(from);
  while (got < maxChars) {
    // Up to the end of the page, so each piece is checked on its own (a
    // character that straddles two pages is checked across both).
    const size_t pageLeft = PageSize() - (at + got * sizeof(Char)) % PageSize();
    const size_t chars = std::min(maxChars - got, std::max<size_t>(pageLeft / sizeof(Char), 1));
    const Char* piece = from + got;
    if (!CallerMemoryUsable(piece, chars * sizeof(Char), false)) return false;
    if (!GuardedCopy(buffer.data() + got, piece, chars * sizeof(Char))) return false;
    for (size_t i = got; i < got + chars; ++i) {
      if (buffer[i] == Char{}) {
        text.assign(buffer.data(), i);
        return true;
      }
    }
    got += chars;
  }
  text.assign(buffer.data(), maxChars);
  return true;
}

}  // namespace

bool CallerMemoryUsable(const void* at, size_t bytes, bool write) {
  const auto start = reinterpret_cast<uintptr_t>(at);
  if (!at || start + bytes < start) return false;
  const uintptr_t end = start + bytes;
  for (uintptr_t p = start; p < end || (bytes == 0 && p == start);) {
    MEMORY_BASIC_INFORMATION info{};
    if (VirtualQuery(reinterpret_cast<const void*>(p), &info, sizeof info) == 0) return false;
    if (info.State != MEM_COMMIT || (info.Protect & (PAGE_GUARD | PAGE_NOACCESS))) return false;
    if (!(info.Protect & (write ? kWritable : kReadable))) return false;
    const uintptr_t regionEnd = reinterpret_cast<uintptr_t>(info.BaseAddress) + info.RegionSize;
    if (regionEnd <= p) return false;
    if (bytes == 0) break;
    p = regionEnd;
  }
  return true;
}

bool ReadCallerBytes(const void* from, void* to, size_t bytes) {
  return CallerMemoryUsable(from, bytes, false) && GuardedCopy(to, from, bytes);
}

bool WriteCallerBytes(void* to, const void* from, size_t bytes) {
  return CallerMemoryUsable(to, bytes, true) && GuardedCopy(to, from, bytes);
}

bool ReadCallerText(const char* from, size_t maxChars, std::string& text) { return ReadText(from, maxChars, text); }

bool ReadCallerText(const wchar_t* from, size_t maxChars, std::wstring& text) { return ReadText(from, maxChars, text); }

void LogUnusablePointer(const wchar_t* request, const void* pointer) {
  ZUL_LOG(L"IamWinamp %s: %p is not usable memory of this process, refused", request, pointer);
}

}  // namespace zul
