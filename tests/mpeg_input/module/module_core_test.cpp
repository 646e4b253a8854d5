// The portable parts of the module: the settings table and the location
// claims with their extension list.
#include <gtest/gtest.h>

#include <limits>

#include "base/profile_text.h"
#include "mpeg_input/module/block_render.h"
#include "mpeg_input/module/location_claim.h"
#include "mpeg_input/module/mpeg_settings.h"

namespace zul {
namespace {

class TextReader : public ProfileReader {
public:
  explicit TextReader(std::wstring_view text) : text_(text) {}
  std::optional<std::wstring> Read(std::wstring_view section, std::wstring_view key) const override {
    return text_.Get(section, key);
  }

private:
  ProfileText text_;
};

TEST(MpegSettings, DefaultsLoadedValuesAndTheSaveOrder) {
  CMpegInputParam s;
  s.Load(
      TextReader(L"[Kelsor mpg123]\nOutputFormat=64\nSupZero=7\nTagPriority=3\nReverseLR=1\n"
                 L"FormatEx=" +
                 std::wstring(300, L'x') + L"\n[Other]\nEnable=0\n"));
  EXPECT_EQ(s.enable, 1);          // another section's key is not ours
  EXPECT_EQ(s.outputFormat, -64);  // a stored 64 is the 64-bit float format
  EXPECT_EQ(s.supZero, 1);         // booleans are stored as 1
  EXPECT_EQ(s.tagPriority, 3);
  EXPECT_EQ(s.formatEx.size(), kMpegSettingChars);
  EXPECT_TRUE(s.channelProcessing);
  EXPECT_EQ(s.titleStreamingFormat, L"%1 (%2)");

  std::vector<ProfileEdit> edits;
  s.AppendSave(edits);
  ASSERT_EQ(edits.size(), 30u);
  EXPECT_EQ(edits.front().key, L"Enable");
  EXPECT_EQ(edits.back().key, L"TagPriority");
  for (const ProfileEdit& e : edits) EXPECT_EQ(e.section, L"Kelsor mpg123");
  // What is saved reads back the same.
  ProfileText written;
  for (const ProfileEdit& e : edits) written.Set(e.section, e.key, e.value);
  CMpegInputParam again;
  std::vector<ProfileEdit> second;
  struct Reader : ProfileReader {
    const ProfileText& t;
    explicit Reader(const ProfileText& text) : t(text) {}
    std::optional<std::wstring> Read(std::wstring_view s, std::wstring_view k) const override { return t.Get(s, k); }
  };
  again.Load(Reader(written));
  again.AppendSave(second);
  for (size_t i = 0; i < edits.size(); ++i) EXPECT_EQ(second[i].value, edits[i].value) << edits[i].key;
}

TEST(LocationClaim, StreamsFilesAndTheExtensionList) {
  uint32_t now = 1000;
  CLocationClaim c([&] { return now; });
  c.SetHostVersion(0x5030);
  c.SetEnabled(true, true);
  c.RestoreExtensions();
  EXPECT_STREQ(c.Extensions(), "MP3;MP2;MP1;RMP");

  struct Case {
    const wchar_t* name;
    bool claimed;
  };
  const Case cases[] = {
      {L"http://host/live", true},       {L"https://host/x.MP3?", true},  // the extension is "MP3?": no follow-up rule
      {L"http://host/radio.ogg", false}, {L"mms://host/x", false},       {L"C:\\music\\a.mp3", false},
  };
  // Whatever is asked, the MPEG types stay listed: local files are matched
  // against this list and never asked about again.
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << k.name);
    now += 1000;
    EXPECT_EQ(c.IsOurFile(k.name), k.claimed);
    EXPECT_STREQ(c.Extensions(), "MP3;MP2;MP1;RMP");
  }

  // The host asks about a stream, then within 100 ms about the same name as
  // a file: refused once.
  EXPECT_TRUE(c.IsOurFile(L"http://host/song.mp3"));
  now += 50;
  EXPECT_FALSE(c.IsOurFile(L"http://host/song.mp3"));
  EXPECT_STREQ(c.Extensions(), "MP3;MP2;MP1;RMP");
  now += 10;
  EXPECT_TRUE(c.IsOurFile(L"http://host/song.mp3"));

  c.SetEnabled(true, false);
  EXPECT_FALSE(c.IsOurFile(L"http://host/live"));
  EXPECT_STREQ(c.Extensions(), "MP3;MP2;MP1;RMP");
  // Enable off empties the list when the module chooses it again (Init, the
  // settings pages), not on a question.
  c.SetEnabled(false, true);
  now += 1000;
  EXPECT_FALSE(c.IsOurFile(L"http://host/live"));
  EXPECT_STREQ(c.Extensions(), "MP3;MP2;MP1;RMP");
  c.RestoreExtensions();
  EXPECT_STREQ(c.Extensions(), "");

  // Older hosts: no follow-up rule.
  CLocationClaim old([&] { return now; });
  old.SetHostVersion(0x2000);
  old.SetEnabled(true, true);
  EXPECT_TRUE(old.IsOurFile(L"http://host/song.mp3"));
  EXPECT_TRUE(old.IsOurFile(L"http://host/song.mp3"));
  EXPECT_STREQ(old.Extensions(), "MP3;MP2;MP1;RMP");
}

TEST(LocationClaim, ExtensionOfTheLastComponent) {
  EXPECT_EQ(LocationExtension(L"C:\\a.b\\file"), L"");
  EXPECT_EQ(LocationExtension(L"C:\\a\\file.Mp3"), L"Mp3");
  EXPECT_EQ(LocationExtension(L"http://h/x/y.aacp"), L"aacp");
}

}  // namespace
}  // namespace zul

namespace zul {
namespace {

// The fast 16-bit conversion must give what ConvertSamples gives, for ties,
// the edges of the range, beyond it, non-finite values and odd lengths.
TEST(BlockRender, FastSixteenBitConversionMatchesConvertSamples) {
  std::vector<double> in = {0.0,
                            -0.0,
                            1.0,
                            -1.0,
                            1.2,
                            -1.2,
                            0.5 / 32767,
                            1.5 / 32767,
                            2.5 / 32767,
                            -2.5 / 32767,
                            32766.5 / 32767,
                            -32767.5 / 32767,
                            -32768.5 / 32767,
                            1e300,
                            -1e300,
                            std::numeric_limits<double>::infinity(),
                            -std::numeric_limits<double>::infinity(),
                            std::numeric_limits<double>::quiet_NaN(),
                            0x1p-60};
  uint32_t seed = 12345;
  for (int i = 0; i < 10001; ++i) {
    seed = seed * 1664525u + 1013904223u;
    in.push_back((static_cast<int32_t>(seed) / 2147483648.0) * 1.1);
    in.push_back((static_cast<int32_t>(seed >> 8) + 0.5) / 32767.0);  // exact ties
  }
  std::vector<uint8_t> fast(in.size() * 2 + 1), reference(in.size() * 2 + 1);
  for (size_t offset : {0, 1}) {  // output at an odd address too
    ConvertToInt16(in.data(), in.size(), fast.data() + offset);
    ConvertSamples(in.data(), in.size(), SampleFormat::kInt16, reference.data() + offset);
    EXPECT_TRUE(std::equal(fast.begin() + offset, fast.end() - 1 + offset, reference.begin() + offset));
  }
}

}  // namespace
}  // namespace zul
