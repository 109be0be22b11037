#include "platform/scratch_platform.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "test_support.h"

namespace zentrak {
namespace {

std::string ReadThrough(Platform& platform, const std::string& path) {
  std::unique_ptr<File> file = platform.OpenFile(path, FileMode::kRead);
  if (file == nullptr) return "<none>";
  std::string text;
  char buffer[256];
  size_t got;
  while ((got = file->Read(buffer, sizeof(buffer))) > 0) text.append(buffer, got);
  return text;
}

bool WriteThrough(Platform& platform, const std::string& path, const std::string& text) {
  std::unique_ptr<File> file = platform.OpenFile(path, FileMode::kWrite);
  if (file == nullptr) return false;
  return file->Write(text) && file->Close();
}

// The run's own moves: write a temporary file, put it over the real one,
// delete another; the run sees the result, the disk keeps the old state.
TEST(ScratchPlatform, TheRunSeesItsChangesTheDiskKeepsItsFiles) {
  testing::TempDir dir;
  testing::WriteFile(dir.File("report.out"), "old report");
  testing::WriteFile(dir.File("erase.out"), "to erase");
  std::string scratchDir;
  {
    ScratchPlatform platform(NativePlatform());
    ASSERT_TRUE(WriteThrough(platform, dir.File("report.out.$$$"), "new report"));
    EXPECT_TRUE(platform.FileExists(dir.File("report.out.$$$")));
    EXPECT_FALSE(testing::FileExists(dir.File("report.out.$$$")));
    ASSERT_TRUE(platform.ReplaceFile(dir.File("report.out.$$$"), dir.File("report.out")));
    EXPECT_FALSE(platform.FileExists(dir.File("report.out.$$$")));
    EXPECT_EQ(ReadThrough(platform, dir.File("report.out")), "new report");
    EXPECT_EQ(platform.FileSize(dir.File("report.out")), 10u);

    EXPECT_TRUE(platform.RemoveFile(dir.File("erase.out")));
    EXPECT_FALSE(platform.FileExists(dir.File("erase.out")));
    EXPECT_EQ(ReadThrough(platform, dir.File("erase.out")), "<none>");
    EXPECT_FALSE(platform.RemoveFile(dir.File("erase.out")));

    // A real file moved over another: the copy carries its bytes.
    testing::WriteFile(dir.File("cut.log"), "tail");
    ASSERT_TRUE(platform.ReplaceFile(dir.File("cut.log"), dir.File("mailer.log")));
    EXPECT_EQ(ReadThrough(platform, dir.File("mailer.log")), "tail");
    EXPECT_FALSE(platform.FileExists(dir.File("cut.log")));
    scratchDir = platform.ScratchDir();
    EXPECT_FALSE(scratchDir.empty());
  }
  EXPECT_EQ(testing::ReadFile(dir.File("report.out")), "old report");
  EXPECT_EQ(testing::ReadFile(dir.File("erase.out")), "to erase");
  EXPECT_EQ(testing::ReadFile(dir.File("cut.log")), "tail");
  EXPECT_FALSE(testing::FileExists(dir.File("mailer.log")));
  EXPECT_FALSE(std::filesystem::exists(scratchDir));
}

// A check must fail where the run would: no folder, no file.
// A real platform that answers CopyAccess as a run without the right to set
// the group would be answered, and says which files it was asked about.
class NoGroup : public testing::TestPlatform {
 public:
  std::string original, copy;
  AccessKept CopyAccess(const std::string& from, const std::string& to) override {
    original = from;
    copy = to;
    return AccessKept::kNotGroup;
  }
};

// A check tries the owner and group on its own scratch copy, so it warns as the
// real run would; a folder listing leaves out what the check removed.
TEST(ScratchPlatform, AsksAboutItsOwnCopyAndListsWhatIsLeft) {
  testing::TempDir dir;
  testing::WriteFile(dir.File("mailer.log"), "log");
  testing::WriteFile(dir.File("old.1.$$$"), "left");
  NoGroup real;
  ScratchPlatform platform(real);
  ASSERT_TRUE(WriteThrough(platform, dir.File("cut.tmp"), "tail"));
  EXPECT_EQ(platform.CopyAccess(dir.File("mailer.log"), dir.File("cut.tmp")),
            AccessKept::kNotGroup);
  EXPECT_EQ(real.original, dir.File("mailer.log"));
  EXPECT_EQ(real.copy.rfind(platform.ScratchDir(), 0), 0u) << real.copy;
  EXPECT_EQ(platform.CopyAccess(dir.File("mailer.log"), dir.File("none")), AccessKept::kNothing);
  ASSERT_TRUE(platform.RemoveFile(dir.File("old.1.$$$")));
  EXPECT_EQ(*platform.FilesIn(dir.Path()), std::vector<std::string>{"mailer.log"});
  EXPECT_TRUE(testing::FileExists(dir.File("old.1.$$$")));
}

TEST(ScratchPlatform, RefusesWhatTheRealRunCouldNotDo) {
  testing::TempDir dir;
  ScratchPlatform platform(NativePlatform());
  EXPECT_FALSE(WriteThrough(platform, dir.File("missing/report.out"), "x"));
  EXPECT_FALSE(platform.ReplaceFile(dir.File("nothing.$$$"), dir.File("report.out")));
  EXPECT_FALSE(platform.RemoveFile(dir.File("nothing")));
  EXPECT_TRUE(platform.ScratchDir().empty());
}

}  // namespace
}  // namespace zentrak
