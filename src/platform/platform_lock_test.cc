// Run locks against the real system: a second lock on the same file or folder
// is refused until the first is released, whichever name reaches it.
#include <gtest/gtest.h>

#include "platform/platform.h"
#include "test_support.h"

namespace zentrak {
namespace {

TEST(PlatformLockTest, OneHolderPerFileOrFolderUntilReleased) {
  testing::TempDir dir;
  Platform& platform = NativePlatform();
  testing::WriteFile(dir.File("zentrak.cfg"), "x");
  std::string folder = dir.Path().substr(0, dir.Path().size() - 1);

  LockAttempt file = platform.TryLock(dir.File("zentrak.cfg"));
  ASSERT_EQ(file.outcome, LockOutcome::kHeld);
  ASSERT_NE(file.lock, nullptr);
  EXPECT_EQ(platform.TryLock(dir.File("zentrak.cfg")).outcome, LockOutcome::kBusy);
  // Another name for the same file meets the same lock.
  EXPECT_EQ(platform.TryLock(dir.Path() + "." + platform.DirSeparator() + "zentrak.cfg").outcome,
            LockOutcome::kBusy);

  LockAttempt held = platform.TryLock(folder);
  ASSERT_EQ(held.outcome, LockOutcome::kHeld);
  EXPECT_EQ(platform.TryLock(dir.Path()).outcome, LockOutcome::kBusy);

  file.lock.reset();
  EXPECT_EQ(platform.TryLock(dir.File("zentrak.cfg")).outcome, LockOutcome::kHeld);
  EXPECT_EQ(platform.TryLock(dir.File("missing.log")).outcome, LockOutcome::kNotLockable);
}

}  // namespace
}  // namespace zentrak
