#include "app/skins/skin_pictures.h"

#include "base/console_log.h"
#include "base/profile_file.h"
#include "base/whole_file.h"
#include "resources/tray_resource.h"

namespace zul {
namespace {

constexpr unsigned long long kTextSkinMaxBytes = 64 * 1024;

constexpr int kBuiltIn[kSkinPictureCount] = {IDB_MENU_BUTTONS, IDB_MENU_BUTTONS_DOWN, IDI_TRAY_PLAY, IDI_TRAY_PAUSE,
                                             IDI_TRAY_STOP,    IDI_TRAY_PREVIOUS,     IDI_TRAY_NEXT};

std::wstring FromAnsi(const std::string& bytes) {
  if (bytes.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
  return text;
}

}  // namespace

void SkinPictures::Release() {
  for (HICON& icon : icons_) {
    if (icon) DestroyIcon(icon);
    icon = nullptr;
  }
  if (buttons_) DeleteObject(buttons_);
  if (buttonsDown_) DeleteObject(buttonsDown_);
  buttons_ = buttonsDown_ = nullptr;
  fromFile_ = {};
}

void SkinPictures::Load(const std::wstring& path, Settings& look) {
  if (IsIniSkin(path)) {
    ReadIniSkin(ProfileFileReader(path), names_, look);
  } else {
    std::string bytes;
    if (path != L"NONE" && !path.empty() && ReadWholeFile(path, kTextSkinMaxBytes, &bytes))
      names_ = ParseTextSkin(FromAnsi(bytes));
    else
      names_ = SkinNames{};
  }
  LoadPictures(path);
}

void SkinPictures::LoadPictures(const std::wstring& skinPath) {
  Release();
  HINSTANCE self = GetModuleHandleW(nullptr);
  std::wstring builtIn;
  for (size_t i = 0; i < kSkinPictureCount; ++i) {
    const bool icon = i >= kSkinPlay;
    const int w = icon ? 16 : 90, h = icon ? 16 : 90;
    const UINT type = icon ? IMAGE_ICON : IMAGE_BITMAP;
    HANDLE loaded = nullptr;
    if (!names_[i].empty())
      loaded = LoadImageW(nullptr, ResolveSkinFile(skinPath, names_[i]).c_str(), type, w, h, LR_LOADFROMFILE);
    fromFile_[i] = loaded != nullptr;
    if (!loaded) {
      loaded = LoadImageW(self, MAKEINTRESOURCEW(kBuiltIn[i]), type, w, h, LR_CREATEDIBSECTION);
      builtIn += builtIn.empty() ? L"" : L" ";
      builtIn += std::to_wstring(i);
    }
    if (icon)
      icons_[i - kSkinPlay] = static_cast<HICON>(loaded);
    else if (i == kSkinButtons)
      buttons_ = static_cast<HBITMAP>(loaded);
    else
      buttonsDown_ = static_cast<HBITMAP>(loaded);
  }
  ZUL_LOG(L"Skin %s: built-in pictures: %s", skinPath.empty() ? L"(none)" : skinPath.c_str(),
          builtIn.empty() ? L"none" : builtIn.c_str());
}

}  // namespace zul
