#include "playlist/core/sort_order.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace zul {
namespace {

// The sort as the player has always done it, transcribed step by step: a
// binary insertion into an array, moving elements on every insertion.
std::vector<uint32_t> ReferenceOrder(const std::vector<std::u16string>& keys) {
  std::vector<uint32_t> sorted;  // indices into keys
  auto compare = [&](uint32_t x, uint32_t s) { return CompareSortKeys(keys[x], keys[s]); };
  for (uint32_t x = 0; x < keys.size(); ++x) {
    const int n = static_cast<int>(sorted.size());
    int pos = 0;
    if (n > 0) {
      int lo = 0, hi = n - 1;
      for (;;) {
        int a = compare(x, sorted[lo]);
        int b = compare(x, sorted[hi]);
        if (a <= 0) {
          pos = lo;
          break;
        } else if (b == 0) {
          pos = hi;
          break;
        } else if (b > 0) {
          pos = hi + 1;
          break;
        }
        int mid = (hi == lo + 2) ? lo + 1 : lo + (hi - lo) / 2;
        if (compare(x, sorted[mid]) > 0) {
          lo = (hi - lo == 1) ? hi : mid;
        } else if (compare(x, sorted[mid]) < 0) {
          hi = (hi - lo == 1) ? lo : mid;
        } else {
          pos = mid;
          break;
        }
      }
    }
    sorted.insert(sorted.begin() + pos, x);
  }
  return sorted;
}

std::vector<uint32_t> FastOrder(const std::vector<std::u16string>& keys) {
  std::vector<std::u16string_view> views(keys.begin(), keys.end());
  return SortOrder(views);
}

std::vector<std::u16string> Keys(std::initializer_list<const char16_t*> list) {
  return std::vector<std::u16string>(list.begin(), list.end());
}

std::vector<std::u16string> Apply(const std::vector<std::u16string>& keys, const std::vector<uint32_t>& order) {
  std::vector<std::u16string> out;
  for (uint32_t i : order) out.push_back(keys[i]);
  return out;
}

TEST(SortOrder, Comparisons) {
  struct Case {
    const char16_t *a, *b;
    int result;
  } cases[] = {
      {u"C:\\A\\B\\y.mp3", u"C:\\A\\a.mp3", -1},  // subfolder first
      {u"C:\\A\\a.mp3", u"C:\\A\\B\\y.mp3", 1},
      {u"C:\\Music\\x", u"C:\\Mus\\x", -1},  // a character prefix counts too
      {u"C:\\Mus\\x", u"C:\\Music\\x", 1},
      {u"C:\\A\\x", u"C:\\B\\a", -1},
      {u"C:\\a\\X.mp3", u"C:\\A\\x.MP3", 0},  // case is ignored
      {u"c:\\mus\\x", u"C:\\Music\\x", -1},   // ...but not by the prefix test
      {u"b", u"A", 1},
      {u"_", u"a", -1},  // folded to lower case, as the runtime does
      {u"", u"", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CompareSortKeys(c.a, c.b), c.result) << std::string(c.a, c.a + std::char_traits<char16_t>::length(c.a));
  }
}

TEST(SortOrder, FoldersBeforeTheirParents) {
  auto keys = Keys({u"C:\\A\\x.mp3", u"C:\\A\\B\\y.mp3", u"C:\\A\\a.mp3", u"C:\\Mus\\m.mp3", u"C:\\Music\\m.mp3"});
  EXPECT_EQ(Apply(keys, FastOrder(keys)),
            Keys({u"C:\\A\\B\\y.mp3", u"C:\\A\\a.mp3", u"C:\\A\\x.mp3", u"C:\\Music\\m.mp3", u"C:\\Mus\\m.mp3"}));
}

TEST(SortOrder, EqualKeysLandWhereTheBisectionMeetsThem) {
  // Not a stable sort: the later "b"s are inserted in front of the first.
  auto keys = Keys({u"b", u"b", u"a", u"b", u"c"});
  EXPECT_EQ(FastOrder(keys), ReferenceOrder(keys));
  EXPECT_EQ(FastOrder(keys), (std::vector<uint32_t>{2, 1, 3, 0, 4}));
}

TEST(SortOrder, MatchesTheInsertionSortOnRandomPlaylists) {
  // Few distinct folders and names, with case variants and character
  // prefixes, so that equal keys abound and the ordering is not even
  // transitive everywhere.
  const std::vector<std::u16string> folders = {u"",          u"C:",           u"C:\\Mus", u"C:\\Music", u"c:\\music",
                                               u"C:\\MUSIC", u"C:\\Music\\A", u"C:\\A",   u"C:\\a",     u"D:\\x\\y"};
  const std::vector<std::u16string> names = {u"a.mp3", u"A.MP3", u"b.mp3", u"_x", u"", u"\u00e9.mp3", u"Z"};
  std::mt19937 rng(12345);
  for (int round = 0; round < 400; ++round) {
    const size_t n = round < 350 ? rng() % 64 : 500 + rng() % 1500;
    std::vector<std::u16string> keys;
    for (size_t i = 0; i < n; ++i) {
      const std::u16string& folder = folders[rng() % folders.size()];
      const std::u16string& name = names[rng() % names.size()];
      keys.push_back(folder.empty() && rng() % 2 ? name : folder + u"\\" + name);
    }
    ASSERT_EQ(FastOrder(keys), ReferenceOrder(keys)) << "round " << round << ", " << n << " keys";
  }
}

}  // namespace
}  // namespace zul
