#include "app/now_playing/now_playing_text.h"

#include <cstdio>

namespace zul {

std::wstring ExpandNowPlaying(std::wstring_view pattern, const NowPlayingFields& fields,
                              std::optional<std::wstring_view> elapsed) {
  std::wstring out;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == L'%' && i + 1 < pattern.size()) {
      wchar_t c = pattern[i + 1];
      if (c >= L'1' && c <= L'9') {
        out += fields[static_cast<size_t>(c - L'1')];
        ++i;
        continue;
      }
      if (c == L'A' && elapsed) {
        out += *elapsed;
        ++i;
        continue;
      }
    }
    out += pattern[i];
  }
  return out;
}

std::wstring NowPlayingFileText(const NowPlayingTexts& texts, ExportState state, const NowPlayingFields& fields) {
  const std::wstring* chosen = &texts.stop;
  if (state == ExportState::kExit) chosen = &texts.exit;
  if (state == ExportState::kPlaying) chosen = &texts.play;
  if (state == ExportState::kPaused) chosen = &texts.pause;
  std::wstring text = state == ExportState::kExit ? *chosen : ExpandNowPlaying(*chosen, fields);
  const wchar_t* blank = L" \t\r\n";
  size_t first = text.find_first_not_of(blank);
  if (first == std::wstring::npos) return {};
  text = text.substr(first, text.find_last_not_of(blank) - first + 1);
  std::wstring out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\\' && i + 1 < text.size() && (text[i + 1] == L'r' || text[i + 1] == L'n')) {
      out += text[i + 1] == L'r' ? L'\r' : L'\n';
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::wstring WithCrLf(std::wstring_view text) {
  std::wstring out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r')) out += L'\r';
    out += text[i];
  }
  return out;
}

std::wstring ElapsedText(int ms) {
  if (ms < 0) ms = 0;
  wchar_t text[32];
  std::swprintf(text, 32, L"%02d:%02d", ms / 60000, ms / 1000 % 60);
  return text;
}

std::wstring ScrollMessengerText(std::wstring text, int mode, size_t& position) {
  text += L"          ";
  position = (position + 1) % text.size();
  if (mode == 1) return text.substr(position) + text.substr(0, position);
  if (mode == 2) return text.substr(text.size() - position) + text.substr(0, text.size() - position);
  return text;
}

std::optional<std::wstring> MessengerString(int category, bool active, std::wstring_view text, std::wstring_view artist,
                                            std::wstring_view title, std::wstring_view album) {
  static constexpr const wchar_t* kCategories[] = {L"Games", L"Music", L"Office"};
  if (category < 0 || category > 2) return std::nullopt;
  std::wstring s = std::wstring(L"\\0") + kCategories[category] + L"\\0" + (active ? L"1" : L"0") + L"\\0{0}\\0";
  s.append(text).append(L"\\0").append(artist).append(L"\\0").append(title).append(L"\\0").append(album).append(L"\\0");
  // 256 units hold the string, its terminator and one more zero unit.
  if (s.size() > 254) s.resize(254);
  return s;
}

}  // namespace zul
