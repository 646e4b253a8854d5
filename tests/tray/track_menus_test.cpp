// The track sub-menus' shapes: columns, "Next files", folder tree, captions
// and the default item, on playlists laid out the way users keep them.
#include "app/main_menu/track_menus.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zul {
namespace {

using Kind = MenuShapeItem::Kind;

std::vector<std::wstring> Tracks(const std::wstring& folder, int n, int from = 0) {
  std::vector<std::wstring> paths;
  for (int i = 0; i < n; ++i) paths.push_back(folder + L"\\t" + std::to_wstring(from + i) + L".mp3");
  return paths;
}

int CountKind(const MenuShape& m, Kind k) {
  int n = 0;
  for (const auto& item : m.items) n += item.kind == k;
  return n;
}

std::vector<size_t> ColumnStarts(const MenuShape& m) {
  std::vector<size_t> starts;
  for (size_t i = 0; i < m.items.size(); ++i)
    if (m.items[i].columnBreak) starts.push_back(i);
  return starts;
}

TEST(TrackMenus, OneFolderFillsThreeColumnsThenNextFiles) {
  // 25 tracks: columns of 10, 10 and 5 tracks, then 5 empty items.
  MenuShape m = BuildTracksShape(Tracks(L"C:\\Music\\Album", 25), 0, 10);
  ASSERT_EQ(m.items.size(), 30u);
  EXPECT_EQ(CountKind(m, Kind::Track), 25);
  EXPECT_EQ(CountKind(m, Kind::Filler), 5);
  EXPECT_EQ(ColumnStarts(m), (std::vector<size_t>{10, 20}));
  EXPECT_EQ(m.items[3].index, 3);
  EXPECT_EQ(m.items[3].text, L"t3.mp3");

  // 45 tracks: 29 tracks, then "Next files" with the other 16 in two
  // columns, padded to 20.
  MenuShape big = BuildTracksShape(Tracks(L"C:\\Music\\Album", 45), 40, 10);
  ASSERT_EQ(big.items.size(), 30u);
  EXPECT_EQ(CountKind(big, Kind::Track), 29);
  const MenuShapeItem& more = big.items.back();
  ASSERT_EQ(more.kind, Kind::NextFiles);
  ASSERT_TRUE(more.sub);
  EXPECT_EQ(more.sub->items.size(), 20u);
  EXPECT_EQ(CountKind(*more.sub, Kind::Track), 16);
  EXPECT_EQ(more.sub->items[0].index, 29);
  // The current track (40) is inside "Next files": both are bold.
  EXPECT_TRUE(more.isDefault);
  EXPECT_TRUE(more.sub->items[11].isDefault);
  EXPECT_EQ(more.sub->items[11].index, 40);
}

TEST(TrackMenus, FoldersBecomeSubMenusAndTheWayToTheCurrentTrackIsBold) {
  std::vector<std::wstring> paths = Tracks(L"C:\\Music\\A & B", 3);
  for (auto& p : Tracks(L"C:\\Music\\Other", 2)) paths.push_back(p);
  paths.push_back(L"D:\\single.mp3");
  paths.push_back(L"http://radio.example/live");
  MenuShape m = BuildTracksShape(paths, 4, 10);
  // C:\ group: both albums lie directly in C:\Music, one level less, so the
  // menu shows the two album folders; then D:\ and the stream.
  ASSERT_EQ(m.items.size(), 4u);
  EXPECT_EQ(m.items[0].kind, Kind::Folder);
  EXPECT_EQ(m.items[0].text, L"A & B");
  EXPECT_EQ(m.items[0].sub->items.size(), 3u);
  EXPECT_EQ(m.items[1].text, L"Other");
  EXPECT_TRUE(m.items[1].isDefault);
  EXPECT_FALSE(m.items[0].isDefault);
  EXPECT_TRUE(m.items[1].sub->items[1].isDefault);
  // A file alone at a drive's root gets its drive as a folder; a stream
  // its scheme and host.
  EXPECT_EQ(m.items[2].text, L"D:");
  ASSERT_EQ(m.items[2].sub->items.size(), 1u);
  EXPECT_EQ(m.items[2].sub->items[0].index, 5);
  EXPECT_EQ(m.items[3].text, L"http://");
  ASSERT_EQ(m.items[3].sub->items.size(), 1u);
  EXPECT_EQ(m.items[3].sub->items[0].text, L"radio.example");
  EXPECT_EQ(m.items[3].sub->items[0].sub->items[0].index, 6);
}

TEST(TrackMenus, TenThousandEntriesStayWithinTheColumnRules) {
  std::vector<std::wstring> paths;
  for (int album = 0; album < 100; ++album)
    for (auto& p : Tracks(L"C:\\Music\\Artist" + std::to_wstring(album % 7) + L"\\Album" + std::to_wstring(album), 100))
      paths.push_back(p);
  MenuShape m = BuildTracksShape(paths, 9999, 10);
  // Every menu at every level holds at most three columns, and every track
  // appears exactly once.
  std::vector<int> seen(paths.size(), 0);
  std::vector<const MenuShape*> stack{&m};
  while (!stack.empty()) {
    const MenuShape* s = stack.back();
    stack.pop_back();
    EXPECT_LE(s->items.size(), 30u);
    for (const auto& item : s->items) {
      if (item.kind == Kind::Track) ++seen[static_cast<size_t>(item.index)];
      if (item.sub) stack.push_back(item.sub.get());
    }
  }
  for (size_t i = 0; i < seen.size(); ++i) ASSERT_EQ(seen[i], 1) << i;
}

TEST(TrackMenus, AlbumColumnsStartWithTwoHeaderRows) {
  MenuShape m = BuildAlbumShape(Tracks(L"C:\\Music\\Album", 25), 0, 24, 24, 10);
  ASSERT_EQ(m.items.size(), 30u);
  EXPECT_EQ(m.items[0].kind, Kind::Caption);
  EXPECT_EQ(m.items[0].text, L"Album");
  EXPECT_EQ(m.items[1].kind, Kind::Separator);
  EXPECT_EQ(m.items[10].kind, Kind::Filler);
  EXPECT_TRUE(m.items[10].columnBreak);
  EXPECT_EQ(m.items[11].kind, Kind::Separator);
  EXPECT_EQ(m.items[20].kind, Kind::Filler);
  EXPECT_EQ(m.items[28].index, 22);  // 8 + 8 + 7 tracks
  const MenuShapeItem& more = m.items[29];
  ASSERT_EQ(more.kind, Kind::NextFiles);
  EXPECT_EQ(more.sub->items.size(), 2u);  // fewer than a column: no padding
  EXPECT_TRUE(more.isDefault);
  EXPECT_EQ(more.sub->items[1].text, L"C:\\Music\\Album\\t24.mp3");

  // A file at a drive's root has no album caption.
  MenuShape root = BuildAlbumShape({L"C:\\a.mp3"}, 0, 0, 0, 10);
  ASSERT_EQ(root.items.size(), 1u);
  EXPECT_EQ(root.items[0].kind, Kind::Track);
}

TEST(TrackMenus, NextSongsMakesTheThirdItemBold) {
  auto paths = Tracks(L"C:\\Music\\Album", 3);
  MenuShape m = BuildNextSongsShape(paths, {0, 1, 2}, paths[1], 10);
  ASSERT_EQ(m.items.size(), 5u);
  EXPECT_EQ(m.items[0].kind, Kind::Caption);
  EXPECT_FALSE(m.items[3].isDefault);
  EXPECT_TRUE(m.items[4].isDefault);
  EXPECT_EQ(m.items[4].index, 2);
}

TEST(TrackMenus, RecentTextsAreShortenedAndAmpersandsShown) {
  const std::wstring head = L"C:\\Folder with a long name\\Ab";  // 29 characters
  const std::wstring tail = L"\\Some file name of thirty.mp3";
  const std::wstring path = head + L"x" + tail;  // last "\" at 30
  ASSERT_EQ(path.rfind(L'\\'), 30u);
  EXPECT_EQ(RecentItemText(path), path.substr(0, 18) + L"....." + path.substr(30));
  EXPECT_EQ(RecentItemText(L"C:\\Rock & Roll"), L"C:\\Rock && Roll");
  // No "\" in a long text (a URL): the dots and the whole text.
  const std::wstring url = L"http://radio.example.com/a/stream-name-that-is-long";
  EXPECT_EQ(RecentItemText(url), L"....." + url);
}

TEST(TrackMenus, PathComponentsKeepNetworkAndUrlHeads) {
  auto unc = PathComponents(L"\\\\server\\share\\a.mp3");
  ASSERT_EQ(unc.size(), 4u);
  EXPECT_EQ(unc[0], L"\\\\");
  EXPECT_EQ(unc[1], L"server\\");
  auto url = PathComponents(L"http://host/x/y.mp3");
  ASSERT_EQ(url.size(), 4u);
  EXPECT_EQ(url[0], L"http://");
  EXPECT_EQ(url[3], L"y.mp3");
}

}  // namespace
}  // namespace zul
