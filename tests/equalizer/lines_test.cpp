#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "equalizer/eq_lines.h"

namespace zul {
namespace {

std::wstring Values(int count, int first = 0) {
  std::wstring s;
  for (int i = 0; i < count; ++i) s += (i ? L" " : L"") + std::to_wstring(first + i);
  return s;
}

TEST(EqLines, SaveAndLoadRestoreValuesAndRecords) {
  EqPreset preset;
  for (int i = 0; i < kEqValueCount; ++i) preset.values[i] = (i * 7) % 97;
  preset.params = {{1000, 2000, 6, 1, 0}, {0.1f, 30.5f, -12.25f, 0, 1}};
  const std::vector<std::wstring> lines = MakeEqualizerLines(preset);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], L"2000 1000 6 1 0");  // upper before lower
  EXPECT_EQ(lines[2], L"30.5 0.10000000149011611938 -12.25 0 1");

  EqPreset loaded;
  loaded.params = {{5, 6, 7, 1, 1}};  // replaced, not appended to
  const EqLoadReport report = LoadEqualizerLines(lines, loaded);
  EXPECT_FALSE(report.valuesIncomplete);
  EXPECT_EQ(report.recordFields, 0);
  EXPECT_EQ(loaded.values, preset.values);
  ASSERT_EQ(loaded.params.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(loaded.params[i].lower, preset.params[i].lower);
    EXPECT_EQ(loaded.params[i].upper, preset.params[i].upper);
    EXPECT_EQ(loaded.params[i].gain, preset.params[i].gain);
    EXPECT_EQ(loaded.params[i].left, preset.params[i].left);
    EXPECT_EQ(loaded.params[i].right, preset.params[i].right);
  }
}

TEST(EqLines, ShortFirstLineKeepsTheValuesNotRead) {
  EqPreset preset;
  preset.values.fill(50);
  const std::vector<std::wstring> lines = {Values(37, 1)};
  const EqLoadReport report = LoadEqualizerLines(lines, preset);
  EXPECT_TRUE(report.valuesIncomplete);
  EXPECT_EQ(preset.values[36], 37);
  EXPECT_EQ(preset.values[37], 50);

  const std::vector<std::wstring> garbage = {L"  \t", L"1 2 3 4 5"};
  EXPECT_TRUE(LoadEqualizerLines(garbage, preset).valuesIncomplete);
  EXPECT_EQ(preset.values[0], 1);
  EXPECT_EQ(preset.params.size(), 1u);
}

TEST(EqLines, ValuesAreLimitedToTheSliderRange) {
  EqPreset preset;
  const std::vector<std::wstring> lines = {L"120 -5 +7 99999999999999999999 " + Values(34)};
  EXPECT_FALSE(LoadEqualizerLines(lines, preset).valuesIncomplete);
  EXPECT_EQ(preset.values[0], 96);
  EXPECT_EQ(preset.values[1], 0);
  EXPECT_EQ(preset.values[2], 7);
  EXPECT_EQ(preset.values[3], 96);
}

TEST(EqLines, RecordListEndsAtTheFirstEmptyOrMalformedLine) {
  const struct {
    const char* name;
    std::vector<std::wstring> records;
    size_t kept;
    int recordFields;
  } cases[] = {
      {"three fields", {L"2000 1000 6 1 1", L"300 200 1", L"9 8 7 1 1"}, 1, 3},
      {"four fields, text after", {L"2000 1000 6 1 x"}, 0, 4},
      {"empty line ends the list", {L"2000 1000 6 1 1", L"", L"9 8 7 1 1"}, 1, 0},
      {"no number ends silently", {L"2000 1000 6 1 1", L"abc 1 2 3 4"}, 1, 0},
      {"extra text after five fields", {L"  2000\t1000 6 1 1 trailing"}, 1, 0},
      {"non-ASCII stops a number", {L"20\u00e900 1000 6 1 1"}, 0, 1},
      {"overflowing floats", {L"1e999 -1e999 1e-999 1 1"}, 1, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::wstring> lines = {L""};
    lines.insert(lines.end(), c.records.begin(), c.records.end());
    EqPreset preset;
    preset.values.fill(3);
    const EqLoadReport report = LoadEqualizerLines(lines, preset);
    EXPECT_FALSE(report.valuesIncomplete) << "an empty first line is skipped";
    EXPECT_EQ(preset.values[0], 3);
    EXPECT_EQ(preset.params.size(), c.kept);
    EXPECT_EQ(report.recordFields, c.recordFields);
  }
}

TEST(EqLines, OverflowingFloatsBecomeInfinityOrZero) {
  EqPreset preset;
  const std::vector<std::wstring> lines = {L"",
                                           L"1e999 -1e999 0.0000000000000000000000000000000000000000000000001 1 1"};
  LoadEqualizerLines(lines, preset);
  ASSERT_EQ(preset.params.size(), 1u);
  EXPECT_EQ(preset.params[0].upper, INFINITY);
  EXPECT_EQ(preset.params[0].lower, -INFINITY);
  EXPECT_EQ(preset.params[0].gain, 0.0f);
}

TEST(EqLines, NoLinesChangeNothing) {
  EqPreset preset;
  preset.values.fill(9);
  preset.params = {{1, 2, 3, 1, 1}};
  const EqLoadReport report = LoadEqualizerLines({}, preset);
  EXPECT_FALSE(report.valuesIncomplete);
  EXPECT_EQ(preset.values[5], 9);
  EXPECT_EQ(preset.params.size(), 1u);
}

}  // namespace
}  // namespace zul
