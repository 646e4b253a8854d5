#include "mpeg_input/tags/tag_platform.h"

#include <climits>

#ifdef _WIN32
#include <windows.h>
#endif

#include "base/text_codec.h"
#include "mpeg_input/tags/tag_text.h"

namespace zul::tags {

#ifdef _WIN32

std::wstring WideFromAnsi(std::string_view text) {
  if (text.empty() || text.size() > INT_MAX) return {};
  int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (n <= 0) return {};
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

std::string AnsiFromWide(std::wstring_view text) {
  if (text.empty() || text.size() > INT_MAX) return {};
  int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

#else

std::wstring WideFromAnsi(std::string_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (char c : text) out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
  return out;
}

std::string AnsiFromWide(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (wchar_t c : text) out.push_back(static_cast<std::uint32_t>(c) <= 0xFF ? static_cast<char>(c) : '?');
  return out;
}

#endif

}  // namespace zul::tags
