// Which leftovers a run may take for a dead run's copies: only names of this
// program's own making, only of processes that no longer run.
#include "support/temporary_path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "test_support.h"

namespace zentrak {
namespace {

TEST(TemporaryPath, OwnerComesOnlyFromThisProgramsOwnNames) {
  const std::pair<const char*, std::optional<uint32_t>> rows[] = {
      {"files.out.9803.$$$", 9803},
      {"a.b.c.4294967295.$$$", 4294967295u},
      {"$cutlog$.77.tmp", 77},
      {"files.out.$$$", std::nullopt},       // a CUTFILE name of old, or the user's
      {"files.out.0.$$$", std::nullopt},     // no process is numbered 0
      {"files.out.0123.$$$", std::nullopt},  // never written with a leading zero
      {"files.out.4294967296.$$$", std::nullopt},
      {"files.out.12a.$$$", std::nullopt},
      {".9803.$$$", std::nullopt},  // a copy of no file
      {"files.out.9803.$$$.bak", std::nullopt},
      {"$cutlog$.tmp", std::nullopt},
      {"$cutlog$.77.$$$", 77},  // the copy of a file named "$cutlog$"
      {"notes.txt", std::nullopt},
  };
  for (const auto& [name, owner] : rows) EXPECT_EQ(TemporaryCopyOwner(name), owner) << name;
}

// A platform on which only the listed processes run.
class Processes : public testing::TestPlatform {
 public:
  std::set<uint32_t> running;
  bool ProcessRunning(uint32_t id) override { return running.count(id) != 0; }
};

TEST(TemporaryPath, ASweepRemovesOnlyDeadRunsCopies) {
  testing::TempDir dir;
  Processes platform;
  platform.running = {500};
  std::string own = "sessions.out." + std::to_string(platform.ProcessId()) + ".$$$";
  for (const std::string name : {"files.out.9803.$$$", "$cutlog$.9804.tmp", "link.out.500.$$$",
                                 own.c_str(), "files.out.$$$", "files.out"}) {
    testing::WriteFile(dir.File(name), "x");
  }
  std::vector<DeadRunCopy> removed = RemoveDeadRunCopies(dir.Path(), platform);
  ASSERT_EQ(removed.size(), 2u);
  EXPECT_EQ(removed[0].path, dir.File("$cutlog$.9804.tmp"));
  EXPECT_EQ(removed[1].path, dir.File("files.out.9803.$$$"));
  EXPECT_EQ(removed[0].error + removed[1].error, 0);
  std::vector<std::string> left = *platform.FilesIn(dir.Path());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left,
            (std::vector<std::string>{"files.out", "files.out.$$$", "link.out.500.$$$", own}));
  // A copy that cannot be removed is named with the reason.
  testing::WriteFile(dir.File("x.9805.$$$"), "x");
  platform.failRemove = true;
  removed = RemoveDeadRunCopies(dir.Path(), platform);
  ASSERT_EQ(removed.size(), 1u);
  EXPECT_NE(removed[0].error, 0);
}

}  // namespace
}  // namespace zentrak
