// The import's merge: files named in any order come out as one log in time
// order, each line once, whatever overlaps and doubles there are.
#include "log/log_import.h"

#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace zentrak {
namespace {

std::string At(const char* when, const char* text) {
  return "+ " + std::string(when) + " [1] " + text + "\n";
}

TEST(LogImport, MergesFilesInAnyOrderIntoOneLogInTimeOrder) {
  testing::TempDir dir;
  std::string week1 = At("01 Dec 10:00:00", "a") + "  more of a\n" + At("02 Dec 10:00:00", "b");
  std::string week2 = At("02 Dec 09:00:00", "c") + At("02 Dec 10:00:00", "b") +  // overlaps week1
                      At("03 Dec 10:00:00", "d");
  std::string week3 = At("04 Dec 10:00:00", "e") + At("04 Dec 10:00:00", "e");  // a line twice
  testing::WriteFile(dir.File("binkd.2.gz"), testing::Gzip(week1));
  testing::WriteFile(dir.File("binkd.1"), week2);
  testing::WriteFile(dir.File("binkd"), week3);
  testing::TestConsole console;
  int calls = 0;
  std::unique_ptr<MergedLogs> merged =
      OpenImport({dir.File("binkd"), dir.File("binkd.2.gz"), dir.File("binkd.1"), dir.File("binkd"),
                  dir.File("missing"), dir.File("binkd.3.xz")},
                 testing::kTestToday, console.console, NativePlatform(),
                 [&calls](const ImportProgress&) { ++calls; });
  ASSERT_NE(merged, nullptr);
  std::string text;
  char buffer[5];
  while (size_t got = merged->Read(buffer, sizeof buffer)) text.append(buffer, got);
  EXPECT_EQ(text, At("01 Dec 10:00:00", "a") + "  more of a\n" + At("02 Dec 09:00:00", "c") +
                      At("02 Dec 10:00:00", "b") + At("03 Dec 10:00:00", "d") +
                      At("04 Dec 10:00:00", "e") + At("04 Dec 10:00:00", "e"));
  EXPECT_EQ(merged->Doubled(), 1u);
  EXPECT_GT(calls, 0);
  ASSERT_EQ(merged->Files().size(), 3u);
  EXPECT_EQ(merged->Files()[0].path, dir.File("binkd.2.gz"));
  EXPECT_EQ(merged->Files()[0].undated, 1u);
  EXPECT_EQ(merged->Files()[2].last->day, 338);
  std::string said = console.Masked();
  EXPECT_NE(said.find("! STAMP Unable to open log file (" + dir.File("missing") + ")"),
            std::string::npos);
  EXPECT_NE(said.find("binkd.3.xz is compressed as xz"), std::string::npos) << said;
  EXPECT_TRUE(console.console.AnythingUnwritten());
}

}  // namespace
}  // namespace zentrak
