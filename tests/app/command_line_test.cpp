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
