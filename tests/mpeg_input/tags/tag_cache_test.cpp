#include "mpeg_input/tags/tag_cache.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <thread>

#include "tests/mpeg_input/tags/test_support.h"

namespace zul::tags {
namespace {

using namespace test;

// Files in memory, a clock the test moves, and counters of what the cache
// asked for.
class TagCacheTest : public ::testing::Test {
protected:
  TagCacheTest()
      : cache_(
            [this](const std::wstring& path, CByteSource&) -> std::optional<int> {
              ++scans_;
              auto it = lengths_.find(path);
              if (it == lengths_.end()) return std::nullopt;
              return it->second;
            },
            [this] { return now_.load(); },
            [this](const std::wstring& path) -> std::unique_ptr<CByteSource> {
              ++opens_;
              auto it = files_.find(path);
              if (it == files_.end()) return nullptr;
              return std::make_unique<CMemorySource>(it->second);
            }) {
    Add(L"a.mp3", "Alpha", "Artist A", 61000);
    Add(L"b.mp3", "Beta", "Artist B", 1000);
    files_[L"untagged.mp3"] = FakeAudio();
    lengths_[L"untagged.mp3"] = 5000;
    files_[L"noframe.mp3"] = Id3v2Builder(3).Latin1("TIT2", "No audio").Build();
  }

  void Add(const std::wstring& path, std::string_view title, std::string_view artist, int length) {
    files_[path] = Concat({Id3v2Builder(4).Latin1("TIT2", title).Latin1("TPE1", artist).Build(), FakeAudio(),
                           BuildId3v1({"v1 title", "", "", "2001", "", 9, 17})});
    lengths_[path] = length;
  }

  std::optional<std::wstring> Query(const wchar_t* file, const wchar_t* field, int priority = 0) {
    return cache_.Query(file, field, priority);
  }

  std::map<std::wstring, ByteVector> files_;
  std::map<std::wstring, int> lengths_;
  std::atomic<std::uint32_t> now_{100000};
  std::atomic<int> scans_{0};
  std::atomic<int> opens_{0};
  CTagCache cache_;
};

TEST_F(TagCacheTest, FieldNames) {
  struct Case {
    const wchar_t* field;
    std::optional<std::wstring> expected;
  };
  const Case cases[] = {
      {L"length", L"61000"},       {L"title", L"Alpha"}, {L"ARTIST", L"Artist A"},
      {L"Title", L"Alpha"},        {L"album", L""},      {L"year", L""},
      {L"comment", L""},           {L"genre", L""},      {L"track", L""},
      {L"composer", std::nullopt}, {L"", std::nullopt},  {L"bitrate", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(Query(L"a.mp3", c.field), c.expected) << c.field;
  // Another priority within the lifetime is another question.
  EXPECT_EQ(Query(L"a.mp3", L"year", 4), L"2001");
  EXPECT_EQ(Query(L"a.mp3", L"year", 0), L"");
}

TEST_F(TagCacheTest, QueriesWithinTheLifetimeReadTheFileOnce) {
  EXPECT_EQ(Query(L"a.mp3", L"title"), L"Alpha");
  now_ += 1500;
  EXPECT_EQ(Query(L"a.mp3", L"artist"), L"Artist A");
  now_ += 1500;  // 3000 ms after the read, but 1500 after the last use
  EXPECT_EQ(Query(L"a.mp3", L"length"), L"61000");
  EXPECT_EQ(scans_, 1);
  EXPECT_EQ(opens_, 1);

  now_ += CTagCache::kLifetimeMs;  // exactly 2000 ms: still fresh
  Query(L"a.mp3", L"title");
  EXPECT_EQ(opens_, 1);
  now_ += CTagCache::kLifetimeMs + 1;
  Query(L"a.mp3", L"title");
  EXPECT_EQ(opens_, 2);
}

TEST_F(TagCacheTest, ClockWrapAroundKeepsTheEntryFresh) {
  now_ = 0xFFFFFF00u;
  Query(L"a.mp3", L"title");
  now_ = 0x100u;  // 512 ms later, past the wrap
  Query(L"a.mp3", L"title");
  EXPECT_EQ(opens_, 1);
}

TEST_F(TagCacheTest, AnotherFileNameIsAnotherEntry) {
  EXPECT_EQ(Query(L"a.mp3", L"title"), L"Alpha");
  EXPECT_EQ(Query(L"b.mp3", L"title"), L"Beta");
  EXPECT_EQ(Query(L"a.mp3", L"title"), L"Alpha");
  EXPECT_EQ(opens_, 3);
  files_[L"A.MP3"] = files_[L"b.mp3"];
  lengths_[L"A.MP3"] = 1;
  EXPECT_EQ(Query(L"A.MP3", L"title"), L"Beta");  // names compare with case
}

// The playlist asks about one entry in a row: its title and length, then
// the extended fields one by one. Whatever the file holds, that is one open
// and one scan; what cannot be opened is tried again each time.
TEST_F(TagCacheTest, OneEntrysQuestionsReadTheFileOnce) {
  struct Case {
    const wchar_t* file;
    std::optional<int> length;  // what Describe finds
    std::optional<std::wstring> title;
    int opens, scans;
  };
  const Case cases[] = {
      {L"a.mp3", 61000, L"Alpha", 1, 1},
      {L"untagged.mp3", 5000, std::nullopt, 1, 1},         // scanned, but no tag kind found
      {L"noframe.mp3", std::nullopt, std::nullopt, 1, 1},  // the scan rejects it, however tagged
      {L"missing.mp3", std::nullopt, std::nullopt, 8, 0},
      {L"http://radio/a.mp3", std::nullopt, std::nullopt, 0, 0},
      {L"https://radio/a.mp3", std::nullopt, std::nullopt, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const int opens = opens_, scans = scans_;
    CTagCache::Description d = cache_.Describe(c.file, 0);
    EXPECT_EQ(d.lengthMs, c.length);
    EXPECT_EQ(d.fields.has_value(), c.title.has_value());
    if (d.fields && c.title) {
      EXPECT_EQ((*d.fields)[TagField::Title], *c.title);
    }
    for (const wchar_t* field : {L"length", L"title", L"artist", L"comment", L"album", L"year"}) {
      now_ += 100;
      std::optional<std::wstring> value = Query(c.file, field);
      EXPECT_EQ(value.has_value(), c.title.has_value()) << field;
    }
    EXPECT_EQ(Query(c.file, L"title"), c.title);
    EXPECT_EQ(opens_ - opens, c.opens);
    EXPECT_EQ(scans_ - scans, c.scans);
  }
}

TEST_F(TagCacheTest, AFileWithoutTagsNeverAnswersForThePreviousOne) {
  EXPECT_EQ(Query(L"a.mp3", L"title"), L"Alpha");
  EXPECT_EQ(Query(L"untagged.mp3", L"title"), std::nullopt);
  // Within the lifetime of a.mp3's entry: it is read again, not answered
  // with the empty fields or the length of untagged.mp3.
  EXPECT_EQ(Query(L"a.mp3", L"length"), L"61000");
  EXPECT_EQ(Query(L"a.mp3", L"title"), L"Alpha");
  EXPECT_EQ(opens_, 3);
}

TEST_F(TagCacheTest, ClearForgetsTheEntry) {
  Query(L"a.mp3", L"title");
  files_[L"a.mp3"] = Concat({Id3v2Builder(3).Latin1("TIT2", "Renamed").Build(), FakeAudio()});
  EXPECT_EQ(Query(L"a.mp3", L"title"), L"Alpha");  // still cached
  cache_.Clear();
  EXPECT_EQ(Query(L"a.mp3", L"title"), L"Renamed");
}

TEST_F(TagCacheTest, LookupGivesTheRecordAndLength) {
  std::optional<CTagCache::Entry> e = cache_.Lookup(L"b.mp3", 0);
  ASSERT_TRUE(e);
  EXPECT_EQ(e->fields[TagField::FilePath], L"b.mp3");
  EXPECT_EQ(e->fields[TagField::Title], L"Beta");
  EXPECT_EQ(e->lengthMs, 1000);
  EXPECT_FALSE(cache_.Lookup(L"untagged.mp3", 0));
}

TEST_F(TagCacheTest, ExportedBufferContract) {
  struct Case {
    const wchar_t* field;
    int size;
    int result;
    std::wstring text;
  };
  const Case cases[] = {
      {L"artist", 8, 1, L"Artist "},  // at most size - 1 characters
      {L"artist", 9, 1, L"Artist A"}, {L"title", 1, 1, L""}, {L"length", 6, 1, L"61000"},
      {L"bogus", 8, 0, L""},          {L"title", 0, 0, L""},
  };
  for (const Case& c : cases) {
    wchar_t buffer[16];
    std::wmemset(buffer, L'#', 16);
    EXPECT_EQ(cache_.GetExtendedFileInfoW(L"a.mp3", c.field, buffer, c.size, 0), c.result) << c.field << c.size;
    if (c.result) {
      EXPECT_EQ(std::wstring(buffer), c.text) << c.field << c.size;
    }
    // Nothing is written past the size given.
    for (int i = std::max(c.size, 0); i < 16; ++i) ASSERT_EQ(buffer[i], L'#') << c.field << c.size;
  }
  wchar_t buffer[8];
  EXPECT_EQ(cache_.GetExtendedFileInfoW(nullptr, L"title", buffer, 8, 0), 0);
  EXPECT_EQ(cache_.GetExtendedFileInfoW(L"a.mp3", L"title", nullptr, 8, 0), 0);

  char narrow[4];
  EXPECT_EQ(cache_.GetExtendedFileInfoA("b.mp3", "TITLE", narrow, sizeof narrow, 0), 1);
  EXPECT_STREQ(narrow, "Bet");
}

TEST_F(TagCacheTest, ConcurrentQueriesSeeWholeRecords) {
  // Workers hammer two files while the clock runs past the lifetime; every
  // answer must belong to the file asked about.
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 200; ++i) {
        bool a = (i + t) % 2 == 0;
        std::optional<std::wstring> title = Query(a ? L"a.mp3" : L"b.mp3", L"title");
        std::optional<std::wstring> length = Query(a ? L"a.mp3" : L"b.mp3", L"length");
        if (title != (a ? L"Alpha" : L"Beta") || length != (a ? L"61000" : L"1000")) ++wrong;
        now_ += 700;
      }
    });
  }
  for (auto& th : threads) th.join();
  EXPECT_EQ(wrong, 0);
}

}  // namespace
}  // namespace zul::tags
