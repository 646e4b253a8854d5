#pragma once
// Title templates: "%" and a digit stand for a property of an entry.
//   %1 artist  %2 title  %3 album  %4 year  %5 comment  %6 " mm:ss"
//   %7 file name (a URL whole)  %8 drive  %9 folder
// Replacement is plain text: every occurrence, left to right; a value is not
// scanned again within its own step, later steps do see it. A "%" followed
// by anything else stays.
//
// Threads: these functions work on the entry they are given. The ones taking
// a non-const entry may read its tags through the tag source; call them on a
// copy, never on an entry inside the playlist under the playlist lock.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "playlist/core/cached_tag.h"

namespace zul {

void ReplaceAll(std::wstring& text, std::wstring_view what, std::wstring_view with);

// The sort key, stored as the entry's formatted text: %7 %8 %9 first, the
// tag placeholders only when a "%" is left, then "\\" collapsed to "\" (so
// "%8\%9\%7" gives the plain path). Tags are read only for a tag
// placeholder actually present.
void FormatEntry(CachedTag& entry, std::wstring_view tmpl);

// %1 to %9 in order, each value asked for only when its placeholder occurs.
std::wstring ExpandPlaceholders(std::wstring text, CachedTag& entry);

// The two-character escapes "\r", "\n" and, when asked, "\t".
std::wstring ExpandEscapes(std::wstring text, bool withTab);

// Finds the album picture for the tooltip's "%A": the first file of the
// folder, in enumeration order, for which IsAlbumArtFileName holds, as a
// full path; nothing when there is none. Supplied by the Win32 side.
using AlbumArtFinder = std::function<std::optional<std::wstring>(const std::wstring& driveAndFolder)>;

// A .bmp or .jpg picture, judged by the first three characters of the
// extension: ".JPG" and ".bmpx" are, ".jpeg" (JPE) and ".jp" are not.
bool IsAlbumArtFileName(std::wstring_view name);

// Tray tooltip for the current entry (an empty entry when there is none):
// tags read, escapes with tab, %1 to %9, then "%A".
std::wstring FormatTooltipText(std::wstring_view tmpl, CachedTag& current, const AlbumArtFinder& findArt);

// Now-playing file text: %1 to %9, blanks trimmed at both ends, then "\r"
// and "\n".
std::wstring FormatNowPlayingText(std::wstring_view tmpl, CachedTag& current);

// Messenger status: %1 to %9, then "%A" is the elapsed time "mm:ss".
std::wstring FormatMessengerText(std::wstring_view tmpl, CachedTag& current, int elapsedSeconds);

// Base name for renaming a file, with its own placeholders:
//   %1 playlist position  %2 artist  %3 title  %4 album
//   %5 track number within the album block
// Numbers are "%02d". Empty tag texts give "Unknown artist", "Track" and
// the track number, "Unknown album". The extension of path is appended and
// every character a file name cannot hold becomes "_".
std::wstring FormatRenameName(std::wstring_view tmpl, int position, int trackInAlbum, std::wstring_view artist,
                              std::wstring_view title, std::wstring_view album, std::wstring_view path);

// The three name fields of an ID3v1 tag, as raw bytes of the system code
// page, each cut at its first NUL and trimmed of trailing blanks. tail is
// the last bytes of the file (at least 128 of them), fileSize its size.
struct Id3v1Names {
  std::string title;
  std::string artist;
  std::string album;
};
std::optional<Id3v1Names> ParseId3v1Names(std::string_view tail, unsigned long long fileSize);

}  // namespace zul
