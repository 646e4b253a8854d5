#include "pluginhost/host/ansi_text.h"

#include <cstring>

namespace zul {
namespace {

int AnsiBytes(const wchar_t* text, int chars) {
  return chars == 0 ? 0 : WideCharToMultiByte(CP_ACP, 0, text, chars, nullptr, 0, nullptr, nullptr);
}

}  // namespace

int ToAnsiBuffer(const std::wstring& text, char* out, int size) {
  if (!out || size <= 0) return 0;
  const int maxBytes = size - 1;
  int chars = static_cast<int>(text.size());
  // Most texts fit at once; a longer one is shortened a character at a time
  // from the first length that can fit (one byte per character at least).
  if (chars > maxBytes && AnsiBytes(text.c_str(), chars) > maxBytes) chars = maxBytes;
  while (chars > 0 && AnsiBytes(text.c_str(), chars) > maxBytes) --chars;
  if (chars > 0 && IS_HIGH_SURROGATE(text[chars - 1]) && chars < static_cast<int>(text.size())) --chars;
  int bytes = chars ? WideCharToMultiByte(CP_ACP, 0, text.c_str(), chars, out, maxBytes, nullptr, nullptr) : 0;
  if (bytes < 0) bytes = 0;
  out[bytes] = '\0';
  return bytes;
}

std::wstring FromAnsi(const char* text, size_t maxBytes) {
  const size_t bytes = strnlen(text, maxBytes);
  if (bytes == 0) return {};
  int chars = MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(bytes), nullptr, 0);
  std::wstring wide(static_cast<size_t>(chars), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(bytes), wide.data(), chars);
  return wide;
}

}  // namespace zul
