#include "mpeg_input/http/save_name.h"

#include <algorithm>
#include <array>
#include <cwctype>

namespace zul {
namespace {

constexpr size_t kMaxNameChars = 120;

bool Refused(wchar_t c) { return c < 0x20 || std::wstring_view(L"<>:\"/\\|?*").find(c) != std::wstring_view::npos; }

// CON, PRN, AUX, NUL, COM1-9 and LPT1-9, alone or with any extension, name
// devices wherever they appear.
bool IsDeviceName(std::wstring_view name) {
  std::wstring stem(name.substr(0, name.find(L'.')));
  while (!stem.empty() && stem.back() == L' ') stem.pop_back();
  for (auto& c : stem) c = static_cast<wchar_t>(std::towupper(c));
  static constexpr std::array<std::wstring_view, 4> kPlain = {L"CON", L"PRN", L"AUX", L"NUL"};
  if (std::find(kPlain.begin(), kPlain.end(), stem) != kPlain.end()) return true;
  return stem.size() == 4 && (stem.starts_with(L"COM") || stem.starts_with(L"LPT")) && stem[3] >= L'0' &&
         stem[3] <= L'9';
}

}  // namespace

std::wstring SafeStreamFileName(std::wstring_view location) {
  location = location.substr(0, location.find_first_of(L"?#"));
  size_t scheme = location.find(L"://");
  if (scheme != std::wstring_view::npos) {
    location.remove_prefix(scheme + 3);
    size_t slash = location.find(L'/');
    location = slash == std::wstring_view::npos ? std::wstring_view() : location.substr(slash);
  }
  // Both separators count: a "\" in a URL path is a folder on Windows.
  size_t cut = location.find_last_of(L"/\\");
  std::wstring name(cut == std::wstring_view::npos ? location : location.substr(cut + 1));
  for (auto& c : name)
    if (Refused(c)) c = L'_';
  // Leading dots would make "..", a hidden name or an empty stem.
  name.erase(0, name.find_first_not_of(L". "));
  while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) name.pop_back();
  if (name.size() > kMaxNameChars) name.resize(kMaxNameChars);
  if (name.empty()) name = L"stream";
  if (IsDeviceName(name)) name.insert(0, L"_");
  return name;
}

std::wstring SaveStreamTarget(std::wstring_view pattern, std::wstring_view location,
                              const std::function<bool(const std::wstring&)>& exists) {
  if (pattern.empty()) return {};
  const std::wstring name = SafeStreamFileName(location);
  auto fill = [&](const std::wstring& part) {
    std::wstring out(pattern);
    for (size_t at = out.find(L"%1"); at != std::wstring::npos; at = out.find(L"%1", at + part.size()))
      out.replace(at, 2, part);
    return out;
  };
  std::wstring target = fill(name);
  if (!exists(target)) return target;
  for (unsigned n = 0; n < kMaxSaveNumber; ++n) {
    std::wstring number = std::to_wstring(n);
    if (n < 10) number.insert(0, L"0");
    target = fill(number + L"_" + name);
    if (!exists(target)) return target;
  }
  return {};
}

}  // namespace zul
