#include <gtest/gtest.h>

#include "app/command_line.h"
#include "app/open_request.h"

namespace zul {
namespace {

TEST(CommandLine, OptionsAndTheFirstFileArgument) {
  CommandLine cl = ParseCommandLine({L"-a", L"-unknown", L"C:\\one.mp3", L"C:\\two.mp3", L"-x"});
  EXPECT_TRUE(cl.add);
  EXPECT_TRUE(cl.exit);
  EXPECT_FALSE(cl.restart);
  EXPECT_FALSE(cl.showUsage);
  EXPECT_EQ(cl.file, L"C:\\one.mp3");
  // Options are case-sensitive: "-X" is an unknown option, not exit.
  cl = ParseCommandLine({L"-X", L"-A", L"-restart", L"-?"});
  EXPECT_FALSE(cl.exit);
  EXPECT_FALSE(cl.add);
  EXPECT_TRUE(cl.restart);
  EXPECT_TRUE(cl.showUsage);
  EXPECT_TRUE(cl.file.empty());
}

TEST(OpenRequest, PathFitsOrIsRefused) {
  OpenRequest r;
  std::u16string longest(261, u'a');
  ASSERT_TRUE(OpenRequest::Make(OpenRequest::kAdd, longest, &r));
  EXPECT_EQ(r.mode, 1u);
  EXPECT_EQ(r.Path(), longest);
  EXPECT_FALSE(OpenRequest::Make(OpenRequest::kOpen, std::u16string(262, u'a'), &r));
  // The receiver reads up to the terminator even if the field is full.
  OpenRequest full;
  for (auto& c : full.path) c = u'b';
  EXPECT_EQ(full.Path().size(), 262u);
}

}  // namespace
}  // namespace zul

#include "app/recent_list.h"

namespace zul {
namespace {

TEST(RecentList, MovesKnownPathsUpAndDropsTheOldest) {
  RecentList r;
  for (int i = 0; i < 10; ++i) r[i] = L"C:\\" + std::to_wstring(i);
  PushRecent(r, L"c:\\5");  // already there (other case): moves up, nothing dropped
  EXPECT_EQ(r[0], L"c:\\5");
  EXPECT_EQ(r[1], L"C:\\0");
  EXPECT_EQ(r[5], L"C:\\4");
  EXPECT_EQ(r[6], L"C:\\6");
  EXPECT_EQ(r[9], L"C:\\9");
  PushRecent(r, L"D:\\Music\\");  // trailing backslash removed; the tenth drops out
  EXPECT_EQ(r[0], L"D:\\Music");
  EXPECT_EQ(r[9], L"C:\\8");
  RecentList before = r;
  PushRecent(r, L"E:");  // a bare drive is not recorded
  PushRecent(r, L"E:\\");
  EXPECT_EQ(r, before);
}

}  // namespace
}  // namespace zul
