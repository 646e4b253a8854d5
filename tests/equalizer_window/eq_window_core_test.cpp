#include <gtest/gtest.h>

#include <string>

#include "equalizer/window/eq_preset_file.h"
#include "equalizer/window/eq_window_text.h"

namespace zul {
namespace {

std::string Values(int first, int count = kEqValueCount) {
  std::string s;
  for (int i = 0; i < count; ++i) s += (i ? " " : "") + std::to_string(i == 0 ? first : i % 97);
  return s;
}

TEST(EqPresetFile, TwoRecordsRoundTripWithUpperFrequencyFirstOnTheLine) {
  EqPreset p;
  for (int i = 0; i < kEqValueCount; ++i) p.values[i] = (i * 7) % 97;
  p.params = {{1000, 2000, 6, 1, 0}, {50.5f, 80.25f, -3.5f, 0, 1}};
  const std::string text = FormatPresetFile(p);
  EXPECT_NE(text.find("\r\n2000 1000 6 1 0\r\n"), std::string::npos) << text;
  EqPresetFileRead r = ParsePresetFile(text);
  ASSERT_TRUE(r.preset);
  EXPECT_EQ(r.preset->values, p.values);
  ASSERT_EQ(r.preset->params.size(), 2u);
  EXPECT_EQ(r.preset->params[0].lower, 1000.f);
  EXPECT_EQ(r.preset->params[0].upper, 2000.f);
  EXPECT_EQ(r.preset->params[1].gain, -3.5f);
  EXPECT_EQ(r.preset->params[1].left, 0);
  EXPECT_EQ(r.preset->params[1].right, 1);
  // A file with LF endings and trailing empty lines reads the same.
  EXPECT_TRUE(ParsePresetFile(Values(5) + "\n2000 1000 6 1 0\n\n\n").preset);
}

TEST(EqPresetFile, MalformedFilesAreRefusedWhole) {
  const std::string good = Values(5);
  struct Case {
    const char* name;
    std::string bytes;
    int recordFields;
  } cases[] = {
      {"empty", "", 0},
      {"37 values", Values(5, 37), 0},
      {"39 values", Values(5, 39), 0},
      {"truncated in the middle of a value", good.substr(0, good.size() - 1) + "x", 0},
      {"value above 96", Values(97), 0},
      {"negative value", Values(-1), 0},
      {"huge value", Values(0).replace(0, 1, "99999999999999999999"), 0},
      {"binary garbage", std::string("\x00\x01\xff\xfe ID3\x03", 9), 0},
      {"text with a NUL after the values", good + std::string("\r\n\0", 3), 0},
      {"record of three numbers", good + "\r\n2000 1000 6\r\n", 3},
      {"record of six fields", good + "\r\n2000 1000 6 1 0 1\r\n", 6},
      {"record with flag 2", good + "\r\n2000 1000 6 2 0\r\n", 5},
      {"record with a huge frequency", good + "\r\n1e300 1000 6 1 0\r\n", 5},
      {"record with nan", good + "\r\nnan 1000 6 1 0\r\n", 5},
      {"record after an empty line", good + "\r\n\r\n2000 1000 6 1 0\r\n", 5},
      {"too large", good + std::string(kEqPresetFileMaxBytes, ' '), 0},
  };
  for (const Case& c : cases) {
    EqPresetFileRead r = ParsePresetFile(c.bytes);
    EXPECT_FALSE(r.preset) << c.name;
    EXPECT_EQ(r.recordFields, c.recordFields) << c.name;
  }
  std::string many = good;
  for (size_t i = 0; i <= kEqPresetMaxRecords; ++i) many += "\r\n2000 1000 6 1 0";
  EXPECT_FALSE(ParsePresetFile(many).preset);
}

TEST(EqWindowText, StatusTextsOfSliders) {
  const EqStatusFormats f{L"L preamp cut", L"L preamp %ddb", L"R preamp cut", L"R preamp %ddb",
                          L"L %dHz cut",   L"L %dHz %ddb",   L"R %dHz cut",   L"R %dHz %ddb"};
  EXPECT_EQ(EqStatusText(f, 0, 6), L"L preamp -6db");
  EXPECT_EQ(EqStatusText(f, 0, 96), L"L preamp cut");
  EXPECT_EQ(EqStatusText(f, 7, 96), L"L 440Hz cut");  // left band 7 is 440 Hz
  EXPECT_EQ(EqStatusText(f, 7, 12), L"L 440Hz -12db");
  EXPECT_EQ(EqStatusText(f, 19, 0), L"R preamp 0db");
  EXPECT_EQ(EqStatusText(f, 37, 3), L"R 19912Hz -3db");
  EXPECT_EQ(EqStatusText(f, 20, 96), L"R 55Hz cut");
}

TEST(EqWindowText, RecordLinesSortAndShifts) {
  EXPECT_EQ(EqRecordLine({1000, 2000, 6, 1, 0}), L"1000Hz to 2000Hz, 6dB L ");
  EXPECT_EQ(EqRecordLine({0.5f, 80, -3.5f, 0, 1}), L"0.5Hz to 80Hz, -3.5dB  R");

  std::vector<EqParam> params = {{500, 1, 1, 1, 1}, {100, 2, 2, 1, 1}, {500, 3, 3, 1, 1}, {100, 4, 4, 1, 1}};
  std::vector<size_t> order;
  SortEqRecords(params, &order);
  EXPECT_EQ(order, (std::vector<size_t>{1, 3, 0, 2}));  // equal lower frequencies keep their order
  EXPECT_EQ(params[0].upper, 2);
  EXPECT_EQ(params[3].upper, 3);

  EqPreset p;
  p.values.fill(10);
  p.values[kEqLeftPreamp] = 0;  // a preamp at 0 does not block "Up"
  EXPECT_TRUE(ShiftEqBands(p, -1));
  EXPECT_EQ(p.values[1], 9);
  EXPECT_EQ(p.values[kEqLeftPreamp], 0);
  EXPECT_EQ(p.values[kEqRightPreamp], 10);
  p.values[30] = 0;
  EqPreset before = p;
  EXPECT_FALSE(ShiftEqBands(p, -1));  // a band at 0: "Up" does nothing
  EXPECT_EQ(p.values, before.values);
  p.values[30] = 96;
  before = p;
  EXPECT_FALSE(ShiftEqBands(p, +1));  // a band at 96: "Down" does nothing
  EXPECT_EQ(p.values, before.values);
}

}  // namespace
}  // namespace zul
