#include "mpeg_input/stream/byte_source.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "base/text_codec.h"
#include "mpeg_input/tags/tag_reader.h"
#include "mpeg_input/tags/tag_text.h"
#include "tests/mpeg_input/tags/test_support.h"

namespace zul::tags {
namespace {

using namespace test;

TEST(CByteSource, RangesOutsideTheSourceFail) {
  ByteVector bytes = {1, 2, 3, 4};
  CMemorySource source(bytes);
  std::array<std::uint8_t, 2> two{};
  EXPECT_TRUE(source.ReadExact(2, two));
  EXPECT_EQ(two[1], 4);
  EXPECT_FALSE(source.ReadExact(3, two));
  EXPECT_FALSE(source.ReadExact(UINT64_MAX, two));
  EXPECT_TRUE(source.ReadExact(4, std::span<std::uint8_t>()));
  std::vector<std::uint8_t> out{9};
  EXPECT_FALSE(source.ReadVector(1, UINT64_MAX, out));
  EXPECT_TRUE(out.empty());
  EXPECT_FALSE(source.Contains(5, 0));
}

TEST(CByteSource, OpensFilesByWidePathAndReadsTheirTags) {
  // A name outside ASCII: the wide path must reach the file system intact.
  std::wstring name = L"t\u00EBst_";
  AppendCodePoint(name, U'\U0001F3B5');
  name += L".mp3";
  std::filesystem::path dir = std::filesystem::temp_directory_path() / "zul_tags_test";
  std::filesystem::create_directories(dir);
  std::wstring wide = dir.wstring() + L"/" + name;
  ByteVector content = Concat({FakeAudio(), BuildId3v1({"On disk", "", "", "", "", -1, 0})});
#ifdef _WIN32
  std::filesystem::path file(wide);
#else
  std::filesystem::path file(EncodeUtf8(wide));
#endif
  {
    std::ofstream out(file, std::ios::binary);
    ASSERT_TRUE(out);
    out.write(reinterpret_cast<const char*>(content.data()), static_cast<std::streamsize>(content.size()));
  }

  std::unique_ptr<CByteSource> source = OpenFileSource(wide);
  ASSERT_TRUE(source);
  EXPECT_EQ(source->Size(), content.size());
  CTagFields fields;
  EXPECT_EQ(ReadTagFields(*source, 0, fields), TagKind::Id3v1);
  EXPECT_EQ(fields[TagField::Title], L"On disk");
  std::array<std::uint8_t, 4> past{};
  EXPECT_FALSE(source->ReadExact(content.size() - 2, past));
  source.reset();
  std::filesystem::remove_all(dir);

  EXPECT_FALSE(OpenFileSource(wide));
}

// Reads go through two windows; whatever the order (head and tail taking
// turns, pieces across a window's edge, pieces larger than a window, a
// failed read in between), each must give the file's bytes.
TEST(CByteSource, FileReadsGiveTheFileBytesInAnyOrder) {
  constexpr std::uint64_t W = CFileSource::kWindowBytes;
  std::filesystem::path dir = std::filesystem::temp_directory_path() / "zul_tags_window_test";
  std::filesystem::create_directories(dir);
  for (std::uint64_t size : {3 * W + 123, W / 2}) {
    SCOPED_TRACE(size);
    ByteVector content(size);
    for (std::uint64_t i = 0; i < size; ++i) content[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    std::filesystem::path file = dir / "pattern.bin";
    {
      std::ofstream out(file, std::ios::binary);
      out.write(reinterpret_cast<const char*>(content.data()), static_cast<std::streamsize>(content.size()));
    }
    std::unique_ptr<CByteSource> source = OpenFileSource(file.wstring());
    ASSERT_TRUE(source);
    struct Read {
      std::uint64_t offset, count;
    };
    const Read reads[] = {
        {0, 10},         {size - 10, 10},
        {size - 32, 32}, {size - 160, 32},
        {size - 128, 3}, {10, 300},
        {W - 4, 8},      {0, 10},
        {size / 2, 10},  {size - 1, 1},
        {size - 10, 10}, {3, size - 3},
        {W + 1, W},      {size, 0},
        {size - 2, 4},  // fails
        {1, 2},          {size - W / 4, W / 4},
        {W - 1, 1},      {size / 3, size / 3},
    };
    for (const Read& r : reads) {
      SCOPED_TRACE(testing::Message() << r.offset << "+" << r.count);
      std::vector<std::uint8_t> got(static_cast<std::size_t>(std::min<std::uint64_t>(r.count, size + 8)));
      const bool inside = r.offset + r.count <= size;
      ASSERT_EQ(source->ReadExact(r.offset, got), inside);
      if (inside) {
        ASSERT_TRUE(std::equal(got.begin(), got.end(), content.begin() + static_cast<std::ptrdiff_t>(r.offset)));
      }
    }
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace zul::tags
