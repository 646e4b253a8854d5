#pragma once
// The shapes of the main menu's track sub-menus, built from the playlist's
// paths without touching any window: the Tracks menu as a folder tree, the
// Album menu and the Next songs menu, each laid out in columns of "tracks
// per column" items with a "Next files" sub-menu after three columns. The
// menu code turns a shape into real menus one sub-menu at a time, when the
// user opens it.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zul {

inline constexpr int kTrackCommandBase = 1240;
inline constexpr int kFillerCommand = 1239;
inline constexpr int kCaptionCommand = 65535;

struct MenuShape;

struct MenuShapeItem {
  enum class Kind { Track, Folder, NextFiles, Filler, Separator, Caption };
  Kind kind = Kind::Track;
  int index = -1;     // playlist index of a track
  std::wstring text;  // folder or caption name (not yet "&"-escaped); a track's file name or path
  bool columnBreak = false;
  bool isDefault = false;  // the current track, or the way to it
  std::unique_ptr<MenuShape> sub;
};

struct MenuShape {
  std::vector<MenuShapeItem> items;
};

// Components of a path split at "\" and "/": a leading "\\" and a URL's
// scheme up to "//" are one component each. Each is given with its
// separator, so joining them gives the path back.
std::vector<std::wstring_view> PathComponents(std::wstring_view path);

// The whole playlist as a folder tree. tpc below 1 counts as 1.
MenuShape BuildTracksShape(const std::vector<std::wstring>& paths, int current, int tpc);
// The tracks first..last of the album; the caption is the album's folder.
MenuShape BuildAlbumShape(const std::vector<std::wstring>& paths, int first, int last, int current, int tpc);
// The tracks around the current one in play order: the indices as they
// would play (at most five), the third made the default item.
MenuShape BuildNextSongsShape(const std::vector<std::wstring>& paths, const std::vector<int>& order,
                              std::wstring_view currentPath, int tpc);

// The last folder name of a path's folder ("C:\Music\Album\x.mp3" gives
// "Album"); empty when the folder has no "\".
std::wstring AlbumCaption(std::wstring_view path);

// How a recent item is shown: long paths shortened around their last "\",
// and every "&" doubled so the menu shows it.
std::wstring RecentItemText(std::wstring_view path);

// "&" doubled, for any text that becomes a menu item.
std::wstring EscapeAmpersands(std::wstring_view text);

}  // namespace zul
