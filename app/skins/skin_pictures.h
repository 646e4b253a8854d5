#pragma once
// The current skin's pictures: five 16 x 16 icons (tray states and menu
// images) and the two 90 x 90 button bitmaps. Each picture comes from its
// skin file, or from the program's resources when the skin names none or
// the file cannot be loaded.
//
// Threads: UI thread.
#include <windows.h>

#include <array>
#include <string>

#include "app/skins/skin_file.h"
#include "base/settings.h"

namespace zul {

class SkinPictures {
public:
  SkinPictures() = default;
  SkinPictures(const SkinPictures&) = delete;
  SkinPictures& operator=(const SkinPictures&) = delete;
  ~SkinPictures() { Release(); }

  // Loads the skin at path into the pictures; a ".sk2" skin may also change
  // the look settings. "NONE" or an unreadable file gives the built-in set.
  void Load(const std::wstring& path, Settings& look);
  void Release();

  HICON Icon(SkinPicture p) const { return icons_[p - kSkinPlay]; }
  HBITMAP Buttons() const { return buttons_; }
  HBITMAP ButtonsDown() const { return buttonsDown_; }
  // Which pictures came from files (the others are built in).
  bool FromFile(SkinPicture p) const { return fromFile_[p]; }
  const SkinNames& Names() const { return names_; }

private:
  void LoadPictures(const std::wstring& skinPath);

  SkinNames names_;
  std::array<HICON, 5> icons_{};
  HBITMAP buttons_ = nullptr;
  HBITMAP buttonsDown_ = nullptr;
  std::array<bool, kSkinPictureCount> fromFile_{};
};

}  // namespace zul
