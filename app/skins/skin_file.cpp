#include "app/skins/skin_file.h"

#include <cwchar>
#include <cwctype>

#include "base/text_codec.h"

namespace zul {
namespace {

constexpr size_t kNameMax = 254;
constexpr size_t kTemplateMax = 4999;

void ReadInt(const ProfileReader& r, const wchar_t* key, int& value) {
  auto text = r.Read(L"Skin", key);
  if (!text) return;
  wchar_t* end = nullptr;
  const long v = std::wcstol(text->c_str(), &end, 0);
  if (end != text->c_str()) value = static_cast<int>(v);
}

}  // namespace

bool IsIniSkin(std::wstring_view path) {
  const size_t dot = path.rfind(L'.');
  const size_t slash = path.find_last_of(L"\\/");
  if (dot == std::wstring_view::npos || (slash != std::wstring_view::npos && dot < slash)) return false;
  return EqualNoCase(path.substr(dot), L".sk2");
}

void ReadIniSkin(const ProfileReader& skin, SkinNames& names, Settings& look) {
  static constexpr const wchar_t* kKeys[kSkinPictureCount] = {L"Buttons",  L"ButtonsDn", L"PlayIcon", L"PauseIcon",
                                                              L"StopIcon", L"PrevIcon",  L"NextIcon"};
  for (size_t i = 0; i < kSkinPictureCount; ++i) {
    if (auto name = skin.Read(L"Skin", kKeys[i])) names[i] = name->substr(0, kNameMax);
  }
  ReadInt(skin, L"GradientStart", look.gradientStart);
  ReadInt(skin, L"GradientEnd", look.gradientEnd);
  ReadInt(skin, L"border_color", look.borderColor);
  ReadInt(skin, L"end_bk", look.endBk);
  ReadInt(skin, L"mid_bk", look.midBk);
  ReadInt(skin, L"start_bk", look.startBk);
  if (auto text = skin.Read(L"Skin", L"ToolTipText")) look.toolTipText = text->substr(0, kTemplateMax);
  ReadInt(skin, L"Theme", look.theme);
  ReadInt(skin, L"effect_bk", look.effectBk);
  ReadInt(skin, L"granularity", look.granularity);
  ReadInt(skin, L"border", look.border);
  ReadInt(skin, L"custom_border", look.customBorder);
  ReadInt(skin, L"border_width", look.borderWidth);
  ReadInt(skin, L"border_height", look.borderHeight);
  ReadInt(skin, L"transparency", look.transparency);
  // The byte-sized look values stay within a byte whatever the file says.
  look.granularity &= 0xFF;
  look.borderWidth &= 0xFF;
  look.borderHeight &= 0xFF;
  look.transparency &= 0xFF;
}

SkinNames ParseTextSkin(std::wstring_view text) {
  SkinNames names;
  size_t line = 0, pos = 0;
  while (line < kSkinPictureCount && pos <= text.size()) {
    size_t end = text.find(L'\n', pos);
    if (end == std::wstring_view::npos) end = text.size();
    std::wstring_view value = text.substr(pos, end - pos);
    while (!value.empty() && (value.back() == L'\r' || value.back() == L' ' || value.back() == L'\t'))
      value.remove_suffix(1);
    if (value != L"*") names[line] = std::wstring(value.substr(0, kNameMax));
    ++line;
    if (end == text.size()) break;
    pos = end + 1;
  }
  return names;
}

std::wstring ResolveSkinFile(std::wstring_view skinPath, std::wstring_view name) {
  if ((name.size() >= 2 && name[1] == L':') || name.substr(0, 2) == L"\\\\") return std::wstring(name);
  const size_t slash = skinPath.find_last_of(L"\\/");
  std::wstring folder = slash == std::wstring_view::npos ? std::wstring() : std::wstring(skinPath.substr(0, slash + 1));
  return folder + std::wstring(name);
}

int NextSkinIndex(int current, int count, bool random, int randomDraw) {
  if (count < 1) return 0;
  const long long next = random ? static_cast<long long>(randomDraw) : static_cast<long long>(current) + 1;
  const long long m = next % count;
  return static_cast<int>(m < 0 ? m + count : m);
}

}  // namespace zul
