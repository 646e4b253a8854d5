#include "services/update/archive_names.h"

#include <algorithm>
#include <array>
#include <cwctype>

#include "base/text_codec.h"

namespace zul {
namespace {

std::wstring Upper(std::wstring_view s) {
  std::wstring out(s);
  for (auto& c : out) c = static_cast<wchar_t>(std::towupper(c));
  return out;
}

bool IsDevice(std::wstring_view name) {
  std::wstring stem = Upper(name.substr(0, name.find(L'.')));
  static constexpr std::array<std::wstring_view, 6> kPlain = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
  if (std::find(kPlain.begin(), kPlain.end(), stem) != kPlain.end()) return true;
  return stem.size() == 4 && (stem.starts_with(L"COM") || stem.starts_with(L"LPT")) && std::iswdigit(stem[3]);
}

}  // namespace

bool IsPlainFileName(std::wstring_view name) {
  if (name.empty() || name.size() > 200) return false;
  for (wchar_t c : name)
    if (c < 0x20 || std::wstring_view(L"<>:\"/\\|?*").find(c) != std::wstring_view::npos) return false;
  // "." and ".." and names Windows would silently change (trailing dots
  // and blanks) are refused, as are device names.
  if (name.front() == L'.' || name.back() == L'.' || name.back() == L' ' || name.front() == L' ') return false;
  return !IsDevice(name);
}

bool IsExpectedUpdateEntry(std::wstring_view name, std::wstring_view programFile) {
  if (!IsPlainFileName(name)) return false;
  if (EqualNoCase(name, programFile)) return true;
  std::wstring_view base = programFile.substr(0, programFile.rfind(L'.'));
  std::wstring upper = Upper(name), prefix = Upper(base) + L"_";
  return upper.size() > prefix.size() + 4 && upper.starts_with(prefix) && upper.ends_with(L".INI");
}

}  // namespace zul
