#pragma once
// Skin files: ".sk2" (an INI file, section "Skin", that may also set the
// menu and tooltip look) and ".skn" (seven lines of picture file names,
// "*" for the built-in picture). This part reads the files' text; loading
// the pictures is skin_pictures'.
#include <array>
#include <string>
#include <string_view>

#include "base/settings.h"

namespace zul {

enum SkinPicture { kSkinButtons, kSkinButtonsDown, kSkinPlay, kSkinPause, kSkinStop, kSkinPrevious, kSkinNext };
inline constexpr size_t kSkinPictureCount = 7;

// Picture file names as written in the skin; empty means the built-in one.
using SkinNames = std::array<std::wstring, kSkinPictureCount>;

// ".sk2" in any case.
bool IsIniSkin(std::wstring_view path);

// Reads the "Skin" section: a key that is absent keeps what names and look
// already hold. File names are cut to 254 characters and the tooltip
// template to 4999.
void ReadIniSkin(const ProfileReader& skin, SkinNames& names, Settings& look);

// The seven lines of a text skin; "*", a blank line and a missing line all
// mean the built-in picture.
SkinNames ParseTextSkin(std::wstring_view text);

// A name with a drive ("C:...") or a network path is used as it is; any
// other is taken relative to the skin file's folder.
std::wstring ResolveSkinFile(std::wstring_view skinPath, std::wstring_view name);

// The skin after a track: the next in the list, or the random draw, modulo
// the list length (which is at least 1).
int NextSkinIndex(int current, int count, bool random, int randomDraw);

}  // namespace zul
