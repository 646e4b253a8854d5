// The now-playing export's texts: state texts with placeholders and line
// sequences, and the Messenger string with its scrolling.
#include <gtest/gtest.h>

#include "app/now_playing/now_playing_text.h"

namespace zul {
namespace {

const NowPlayingFields kFields = {L"Artist", L"Title",    L"Album", L"2001",       L"Note",
                                  L"3:05",   L"song.mp3", L"C:",    L"C:\\Music\\"};

TEST(NowPlayingText, StateTextsPlaceholdersAndLines) {
  NowPlayingTexts t{L"  Now playing: \\n%7  ", L"Paused: %1 - %2", L"Stopped", L"Gone %1"};
  struct Case {
    ExportState state;
    const wchar_t* text;
  } cases[] = {
      {ExportState::kPlaying, L"Now playing: \nsong.mp3"},  // trimmed, two lines
      {ExportState::kPaused, L"Paused: Artist - Title"},
      {ExportState::kStopped, L"Stopped"},
      {ExportState::kExit, L"Gone %1"},  // not expanded at exit
  };
  for (const Case& c : cases) EXPECT_EQ(NowPlayingFileText(t, c.state, kFields), c.text);
  EXPECT_EQ(NowPlayingFileText({L"%9%8%3%4%5%6 %0 %", L"", L"", L""}, ExportState::kPlaying, kFields),
            L"C:\\Music\\C:Album2001Note3:05 %0 %");
  EXPECT_EQ(NowPlayingFileText({L" \\r\\n ", L"", L"", L""}, ExportState::kPlaying, kFields), L"\r\n");
  EXPECT_EQ(WithCrLf(L"a\nb\r\nc\n"), L"a\r\nb\r\nc\r\n");
}

TEST(NowPlayingText, MessengerScrollsOneCharacterPerTick) {
  const std::wstring text = ExpandNowPlaying(L"%1 - %2", kFields, ElapsedText(65000));
  ASSERT_EQ(text, L"Artist - Title");
  size_t position = 0;
  // Left: each tick starts one character further, with ten spaces between
  // the end and the start.
  EXPECT_EQ(ScrollMessengerText(text, 1, position), L"rtist - Title          A");
  EXPECT_EQ(ScrollMessengerText(text, 1, position), L"tist - Title          Ar");
  position = 0;
  EXPECT_EQ(ScrollMessengerText(text, 2, position), L" Artist - Title         ");
  position = 0;
  EXPECT_EQ(ScrollMessengerText(text, 0, position), L"Artist - Title          ");
  // The position wraps at the text's length (24).
  position = 23;
  EXPECT_EQ(ScrollMessengerText(text, 1, position), L"Artist - Title          ");
  EXPECT_EQ(ElapsedText(65000), L"01:05");
  EXPECT_EQ(ExpandNowPlaying(L"%A", kFields, ElapsedText(3599000)), L"59:59");
}

TEST(NowPlayingText, MessengerStringAndItsLimit) {
  EXPECT_EQ(*MessengerString(1, true, L"Artist - Title", L"Artist", L"Title", L"Album"),
            L"\\0Music\\01\\0{0}\\0Artist - Title\\0Artist\\0Title\\0Album\\0");
  EXPECT_EQ(*MessengerString(0, false, L"", L"", L"", L""), L"\\0Games\\00\\0{0}\\0\\0\\0\\0\\0");
  EXPECT_FALSE(MessengerString(3, true, L"x", L"", L"", L""));
  EXPECT_EQ(MessengerString(2, true, std::wstring(400, L'x'), L"", L"", L"")->size(), 254u);
}

}  // namespace
}  // namespace zul
