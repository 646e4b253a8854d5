// Skin files read the way the skins of users are written: INI skins with
// absent keys, text skins cut short, names relative to the skin's folder.
#include "app/skins/skin_file.h"

#include <gtest/gtest.h>

#include "base/profile_text.h"

namespace zul {
namespace {

class TextReader final : public ProfileReader {
public:
  explicit TextReader(std::wstring_view text) : text_(text) {}
  std::optional<std::wstring> Read(std::wstring_view section, std::wstring_view key) const override {
    return text_.Get(section, key);
  }

private:
  ProfileText text_;
};

TEST(SkinFile, IniSkinKeepsWhatItDoesNotName) {
  EXPECT_TRUE(IsIniSkin(L"C:\\Skins\\EMBER.SK2"));
  EXPECT_TRUE(IsIniSkin(L"ember.sk2"));
  EXPECT_FALSE(IsIniSkin(L"C:\\a.sk2\\moss.skn"));
  EXPECT_FALSE(IsIniSkin(L"NONE"));

  Settings look;
  look.gradientStart = 111;
  look.toolTipText = L"old";
  SkinNames names;
  names[kSkinStop] = L"kept.ico";
  ReadIniSkin(TextReader(L"[Skin]\r\nPlayIcon=p.ico\r\nButtons=b.bmp\r\nGradientEnd=0x102030\r\nborder_width=300\r\n"),
              names, look);
  EXPECT_EQ(names[kSkinPlay], L"p.ico");
  EXPECT_EQ(names[kSkinButtons], L"b.bmp");
  EXPECT_EQ(names[kSkinStop], L"kept.ico");
  EXPECT_EQ(look.gradientStart, 111);  // no colour key: unchanged
  EXPECT_EQ(look.gradientEnd, 0x102030);
  EXPECT_EQ(look.toolTipText, L"old");
  EXPECT_EQ(look.borderWidth, 300 & 0xFF);

  // Overlong values are cut where the file format ends them.
  ReadIniSkin(TextReader(L"[Skin]\r\nNextIcon=" + std::wstring(400, L'n') + L"\r\nToolTipText=" +
                         std::wstring(6000, L't') + L"\r\n"),
              names, look);
  EXPECT_EQ(names[kSkinNext].size(), 254u);
  EXPECT_EQ(look.toolTipText.size(), 4999u);
}

TEST(SkinFile, TextSkinLinesInOrder) {
  SkinNames three = ParseTextSkin(L"b.bmp\r\n*\r\nplay.ico");
  EXPECT_EQ(three[kSkinButtons], L"b.bmp");
  EXPECT_EQ(three[kSkinButtonsDown], L"");  // "*": built in
  EXPECT_EQ(three[kSkinPlay], L"play.ico");
  for (size_t i = kSkinPause; i < kSkinPictureCount; ++i) EXPECT_EQ(three[i], L"") << i;

  SkinNames all = ParseTextSkin(L"1\n2\n3\n4\n5\n6\n7\n8\n");
  EXPECT_EQ(all[kSkinNext], L"7");
}

TEST(SkinFile, NamesResolveAgainstTheSkinFolder) {
  EXPECT_EQ(ResolveSkinFile(L"C:\\Skins\\ember.sk2", L"play.ico"), L"C:\\Skins\\play.ico");
  EXPECT_EQ(ResolveSkinFile(L"C:\\Skins\\ember.sk2", L"D:\\Other\\play.ico"), L"D:\\Other\\play.ico");
  EXPECT_EQ(ResolveSkinFile(L"C:\\Skins\\ember.sk2", L"\\\\server\\s\\p.ico"), L"\\\\server\\s\\p.ico");
}

TEST(SkinFile, SkinsRotateOrDrawAtTrackEnds) {
  int sel = 0;
  std::vector<int> seen;
  for (int i = 0; i < 4; ++i) seen.push_back(sel = NextSkinIndex(sel, 3, false, 0));
  EXPECT_EQ(seen, (std::vector<int>{1, 2, 0, 1}));
  EXPECT_EQ(NextSkinIndex(0, 3, true, 32767), 32767 % 3);
  EXPECT_EQ(NextSkinIndex(5, 1, false, 0), 0);
}

}  // namespace
}  // namespace zul
