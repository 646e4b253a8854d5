#pragma once
// The texts of the now-playing export: the file's text for the playback
// state, and the Messenger string with its scrolling. Portable: the file
// writing, the FTP upload and the window message are elsewhere.
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace zul {

// The current entry's values for "%1" ... "%9": artist, title, album, year,
// comment, time, file name, drive, folder.
using NowPlayingFields = std::array<std::wstring, 9>;

enum class ExportState { kStopped, kPlaying, kPaused, kExit };

struct NowPlayingTexts {
  std::wstring play, pause, stop, exit;  // W2Fplay, W2Fpause, W2Fstop, W2Fexit
};

// "%1" ... "%9" replaced by the fields (and "%A" by `elapsed` when given);
// other "%" sequences stay as they are.
std::wstring ExpandNowPlaying(std::wstring_view pattern, const NowPlayingFields& fields,
                              std::optional<std::wstring_view> elapsed = std::nullopt);

// The file's text: the state's text, expanded unless at exit, trimmed of
// white space at both ends, with the two-character sequences "\r" and "\n"
// turned into carriage return and line feed.
std::wstring NowPlayingFileText(const NowPlayingTexts& texts, ExportState state, const NowPlayingFields& fields);

// The text as written to the file: each line feed not already preceded by
// a carriage return becomes CR LF.
std::wstring WithCrLf(std::wstring_view text);

// "%02d:%02d" of minutes and seconds.
std::wstring ElapsedText(int ms);

// The Messenger scrolling: `position` advances by one modulo the text's
// length (the text having ten spaces appended); mode 1 moves left, 2 moves
// right, 0 leaves the text.
std::wstring ScrollMessengerText(std::wstring text, int mode, size_t& position);

// The Messenger string "\0Music\01\0{0}\0text\0artist\0title\0album\0" (each
// "\0" the two characters backslash and zero); nothing for an unknown
// category. Cut to fit the 256-unit buffer with its two terminators.
std::optional<std::wstring> MessengerString(int category, bool active, std::wstring_view text, std::wstring_view artist,
                                            std::wstring_view title, std::wstring_view album);

}  // namespace zul
