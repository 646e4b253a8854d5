#include "mpeg_input/tags/byte_source.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "mpeg_input/tags/tag_reader.h"
#include "mpeg_input/tags/tag_text.h"
#include "tests/mpeg_input/tags/test_support.h"

namespace zul::tags {
namespace {

using namespace test;

TEST(ByteSource, RangesOutsideTheSourceFail) {
  ByteVector bytes = {1, 2, 3, 4};
  MemorySource source(bytes);
  std::array<std::uint8_t, 2> two{};
  EXPECT_TRUE(source.ReadAt(2, two));
  EXPECT_EQ(two[1], 4);
  EXPECT_FALSE(source.ReadAt(3, two));
  EXPECT_FALSE(source.ReadAt(UINT64_MAX, two));
  EXPECT_TRUE(source.ReadAt(4, std::span<std::uint8_t>()));
  std::vector<std::uint8_t> out{9};
  EXPECT_FALSE(source.ReadVector(1, UINT64_MAX, out));
  EXPECT_TRUE(out.empty());
  EXPECT_FALSE(source.Contains(5, 0));
}

TEST(ByteSource, OpensFilesByWidePathAndReadsTheirTags) {
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
  std::filesystem::path file(Utf8FromWide(wide));
#endif
  {
    std::ofstream out(file, std::ios::binary);
    ASSERT_TRUE(out);
    out.write(reinterpret_cast<const char*>(content.data()), static_cast<std::streamsize>(content.size()));
  }

  std::unique_ptr<ByteSource> source = OpenFileSource(wide);
  ASSERT_TRUE(source);
  EXPECT_EQ(source->Size(), content.size());
  CTagFields fields;
  EXPECT_EQ(ReadTagFields(*source, 0, fields), TagKind::Id3v1);
  EXPECT_EQ(fields[TagField::Title], L"On disk");
  std::array<std::uint8_t, 4> past{};
  EXPECT_FALSE(source->ReadAt(content.size() - 2, past));
  source.reset();
  std::filesystem::remove_all(dir);

  EXPECT_FALSE(OpenFileSource(wide));
}

}  // namespace
}  // namespace zul::tags
