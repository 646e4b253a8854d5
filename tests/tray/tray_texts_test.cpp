#include "app/tray/tray_texts.h"

#include <gtest/gtest.h>

namespace zul {
namespace {

TEST(TrayTexts, TimeTextsOfTheDisplayTimer) {
  struct {
    int position, length;
    bool remaining, total;
    const wchar_t* expected;
  } cases[] = {
      {65, 200, false, false, L"01:05"},           {65, 200, true, false, L"02:15"},
      {65, 200, false, true, L"01:05/03:20"},      {65, 200, true, true, L"02:15/03:20"},
      {500, 200, false, false, L"03:20"},  // position beyond the end is the end
      {0, 0, true, true, L"00:01/00:01"},  // a length of 0 counts as 1 s
      {6000, 7200, false, true, L"100:00/120:00"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatTrayTime(c.position, c.length, c.remaining, c.total), c.expected) << c.position << "/" << c.length;
}

TEST(TrayTexts, PlainTipIsCutToTheRecord) {
  EXPECT_EQ(FormatPlainTip(L"Song", L"01:00"), L"Song - 01:00");
  const std::wstring title(200, L'x');
  const std::wstring tip = FormatPlainTip(title, L"01:00");
  EXPECT_EQ(tip.size(), 127u);
  EXPECT_EQ(tip, title.substr(0, 127));
}

}  // namespace
}  // namespace zul
