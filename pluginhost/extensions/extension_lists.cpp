#include "pluginhost/extensions/extension_lists.h"

namespace zul::extensions {
namespace {

wchar_t FoldAscii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool EndsWithFolded(std::wstring_view text, std::wstring_view tail) {
  if (tail.size() > text.size()) return false;
  const size_t offset = text.size() - tail.size();
  for (size_t i = 0; i < tail.size(); ++i)
    if (FoldAscii(text[offset + i]) != FoldAscii(tail[i])) return false;
  return true;
}

// Reads one NUL-terminated string at pos; an unterminated one ends with the
// bytes. Returns false when no byte is left.
bool NextString(std::string_view bytes, size_t& pos, std::string& out) {
  if (pos >= bytes.size()) return false;
  size_t end = bytes.find('\0', pos);
  if (end == std::string_view::npos) end = bytes.size();
  out.assign(bytes.substr(pos, end - pos));
  pos = end + 1;
  return true;
}

void DropTrailingSemicolon(std::wstring& s) {
  if (!s.empty() && s.back() == L';') s.pop_back();
}

}  // namespace

std::vector<RawExtensionPair> SplitExtensionPairs(std::string_view bytes) {
  std::vector<RawExtensionPair> pairs;
  size_t pos = 0;
  RawExtensionPair pair;
  while (NextString(bytes, pos, pair.extensions) && !pair.extensions.empty()) {
    if (!NextString(bytes, pos, pair.description)) pair.description.clear();
    pairs.push_back(pair);
  }
  return pairs;
}

std::wstring ExtensionText(const std::vector<ExtensionPair>& pairs) {
  std::wstring text;
  for (const ExtensionPair& p : pairs) {
    text += p.extensions;
    text += L';';
    if (text.size() >= kMaxExtensionText) break;
  }
  if (text.size() > kMaxExtensionText) text.resize(kMaxExtensionText);
  return text;
}

std::vector<std::wstring> ExtensionPieces(std::wstring_view text) {
  std::vector<std::wstring> pieces;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(L';', start);
    if (end == std::wstring_view::npos) end = text.size();
    if (end > start) pieces.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return pieces;
}

bool MatchesExtensionText(std::wstring_view location, std::wstring_view extensionText) {
  size_t start = 0;
  while (start <= extensionText.size()) {
    size_t end = extensionText.find(L';', start);
    if (end == std::wstring_view::npos) end = extensionText.size();
    if (end > start && EndsWithFolded(location, extensionText.substr(start, end - start))) return true;
    start = end + 1;
  }
  return false;
}

bool IsStreamLocation(std::wstring_view location) { return location.find(L"://") != std::wstring_view::npos; }

std::wstring BuildOpenFilter(const std::vector<std::vector<ExtensionPair>>& plugins) {
  std::wstring all = L"All supported files|";
  std::wstring rest;
  for (const auto& pairs : plugins) {
    for (const ExtensionPair& pair : pairs) {
      if (pair.extensions.empty()) break;
      std::wstring pending = pair.description;
      for (const std::wstring& piece : ExtensionPieces(pair.extensions)) {
        all += L"*." + piece + L";";
        if (!pending.empty()) {
          DropTrailingSemicolon(rest);
          rest += L"|" + pending + L"|*." + piece + L";";
          pending.clear();
        } else if (!rest.empty()) {
          // A pair without description extends the previous pattern, whose
          // ";" was dropped when its pair ended: "*.ogg*.oga" would be one
          // broken pattern.
          if (rest.back() != L';') rest += L';';
          rest += L"*." + piece + L";";
        }
      }
      DropTrailingSemicolon(rest);
    }
  }
  return all + rest + L"|";
}

std::wstring BuildExtensionList(const std::vector<std::wstring>& extensionTexts) {
  std::wstring list;
  for (const std::wstring& text : extensionTexts) {
    if (text.empty()) continue;
    list += text;
    if (list.back() != L';') list += L';';
  }
  return list;
}

}  // namespace zul::extensions
