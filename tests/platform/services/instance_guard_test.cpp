// The guard against a second copy: its name and what creating it means.
#include <gtest/gtest.h>

#include "platform/instance_guard.h"

namespace {

TEST(InstanceGuard, IsNamedInTheGlobalNamespace) {
  EXPECT_EQ(platform::InstanceGuardName("KT3WQ8ZRMD5LXNVC"), "Global\\PrevInstance-KT3WQ8ZRMD5LXNVC");
  EXPECT_EQ(platform::InstanceGuardName("ILVOINSTALLER.EXE"), "Global\\PrevInstance-ILVOINSTALLER.EXE");
  // A backslash would name a namespace of its own.
  EXPECT_EQ(platform::InstanceGuardName("a\\b"), "Global\\PrevInstance-a_b");
}

TEST(InstanceGuard, AnotherCopyRunsWhenTheGuardExistsOrCannotBeOpened) {
  struct Case {
    bool created;
    unsigned long error;
    bool another;
  } cases[] = {
      {true, 0, false},                             // made now: the first copy
      {true, platform::kErrorAlreadyExists, true},  // opened: another copy made it
      {false, platform::kErrorAccessDenied, true},  // there, but another user's, out of reach
      {false, 8, false},                            // no guard at all (out of memory): nothing says another runs
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::AnotherCopyRuns(c.created, c.error), c.another) << c.created << " " << c.error;
  }
}

}  // namespace
