#include "services/translation/translation_text.h"

#include <cwchar>
#include <cwctype>
#include <vector>

namespace zul::translation {

std::wstring KeyFor(int id, int item, int menuIndex) {
  std::wstring key = std::to_wstring(id);
  if (menuIndex != -1) key += L"I" + std::to_wstring(item) + L"J" + std::to_wstring(menuIndex);
  return key;
}

std::wstring Escape(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (wchar_t c : text) {
    if (c == L'\n')
      out += L"\\n";
    else if (c == L'\t')
      out += L"\\t";
    else
      out += c;
  }
  return out;
}

std::wstring Unescape(std::wstring_view value) {
  std::wstring out;
  out.reserve(value.size());
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] == L'\\' && i + 1 < value.size() && (value[i + 1] == L'n' || value[i + 1] == L't')) {
      out += value[i + 1] == L'n' ? L'\n' : L'\t';
      ++i;
    } else {
      out += value[i];
    }
  }
  while (!out.empty() && std::iswspace(out.back())) out.pop_back();
  return out;
}

std::wstring LanguageOfFile(std::wstring_view fileName) {
  size_t dot = fileName.rfind(L'.');
  if (dot == std::wstring_view::npos) dot = fileName.size();
  size_t underscore = fileName.substr(0, dot).rfind(L'_');
  if (underscore == std::wstring_view::npos) return {};
  return std::wstring(fileName.substr(underscore + 1, dot - underscore - 1));
}

namespace {

// The conversions of a format, each as its flags, width, precision, length
// and conversion letter ("%-5.2ls" -> "-5.2ls"); "%%" is no conversion.
std::vector<std::wstring> Conversions(std::wstring_view f) {
  std::vector<std::wstring> out;
  for (size_t i = 0; i < f.size(); ++i) {
    if (f[i] != L'%') continue;
    size_t j = i + 1;
    if (j < f.size() && f[j] == L'%') {
      i = j;
      continue;
    }
    std::wstring spec;
    while (j < f.size() && std::wcschr(L"-+ #0123456789.*hlLqjzt", f[j])) spec += f[j++];
    if (j < f.size()) spec += f[j];
    out.push_back(spec);
    i = j;
  }
  return out;
}

}  // namespace

bool SameConversions(std::wstring_view original, std::wstring_view translated) {
  return Conversions(original) == Conversions(translated);
}

}  // namespace zul::translation
