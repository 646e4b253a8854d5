// The handle owners release what they hold exactly once, hand it over on a
// move, and never take a "none" value for a handle.
#include "base/win32_handles.h"

#include <gtest/gtest.h>

#include <utility>

namespace zul {
namespace {

bool IsOpen(HANDLE h) {
  DWORD flags = 0;
  return GetHandleInformation(h, &flags) != 0;
}

HANDLE NewEvent() { return CreateEventW(nullptr, TRUE, FALSE, nullptr); }

TEST(Win32Handles, TheLastOwnerClosesTheHandleOnce) {
  HANDLE raw = NewEvent();
  ASSERT_NE(raw, nullptr);
  {
    UniqueHandle first(raw);
    UniqueHandle second(std::move(first));
    EXPECT_FALSE(first.Valid());
    UniqueHandle third;
    third = std::move(second);
    EXPECT_FALSE(second.Valid());
    EXPECT_EQ(third.Get(), raw);
    EXPECT_TRUE(IsOpen(raw)) << "a moved-from owner closed the handle";
  }
  EXPECT_FALSE(IsOpen(raw)) << "the last owner left the handle open";
}

TEST(Win32Handles, ResetClosesTheOldHandleAndReleaseKeepsItOpen) {
  HANDLE a = NewEvent(), b = NewEvent();
  ASSERT_TRUE(a && b);
  UniqueHandle owner(a);
  owner.Reset(b);
  EXPECT_FALSE(IsOpen(a));
  EXPECT_TRUE(IsOpen(b));
  EXPECT_EQ(owner.Release(), b);
  owner.Reset();
  EXPECT_TRUE(IsOpen(b));
  CloseHandle(b);
}

// What the API returns on failure must read as "no handle": CreateFile gives
// INVALID_HANDLE_VALUE, CreateThread and CreateEvent null, FindFirstFile
// INVALID_HANDLE_VALUE.
TEST(Win32Handles, FailureResultsHoldNothing) {
  const HANDLE failed =
      CreateFileW(L"C:\\no such folder\\no such file", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_EQ(failed, INVALID_HANDLE_VALUE);
  WIN32_FIND_DATAW found;
  const HANDLE noSearch = FindFirstFileW(L"C:\\no such folder\\*", &found);
  ASSERT_EQ(noSearch, INVALID_HANDLE_VALUE);
  for (HANDLE none : {failed, static_cast<HANDLE>(nullptr)}) {
    EXPECT_FALSE(UniqueHandle(none).Valid()) << none;
    EXPECT_FALSE(UniqueFindHandle(none).Valid()) << none;
  }
  EXPECT_FALSE(UniqueHandle().Valid());
  EXPECT_EQ(UniqueFindHandle().Get(), INVALID_HANDLE_VALUE);
}

}  // namespace
}  // namespace zul
