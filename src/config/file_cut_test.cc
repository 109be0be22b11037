#include "config/file_cut.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "support/temporary_path.h"
#include "test_support.h"

namespace zentrak {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::TestConsole;
using testing::TestPlatform;
using testing::WriteFile;

// Lines of `width` bytes each ("LLL...\n"), numbered so that a lost or shifted
// block shows up as a changed byte.
std::string NumberedLines(size_t count, size_t width) {
  std::string text;
  for (size_t i = 0; i < count; ++i) {
    std::string line = std::to_string(i) + ":";
    line.resize(width - 1, static_cast<char>('a' + i % 26));
    text += line + "\n";
  }
  return text;
}

// The tail that a cut keeping `keep` bytes must leave: from the first line
// break inside the last `keep` bytes to the end.
std::string ExpectedTail(const std::string& text, size_t keep) {
  size_t start = keep >= text.size() ? 0 : text.size() - keep;
  size_t brk = text.find_first_of("\r\n", start);
  return brk == std::string::npos ? std::string() : text.substr(brk);
}

struct CutRun {
  void Cut(const std::string& value) { CutFile(value, 12, tc.console, platform); }
  TempDir dir;
  TestConsole tc;
  TestPlatform platform;
};

TEST(CutFile, WrongWordCountIsAConfigError) {
  for (const char* value :
       {"one", "a 1 2 3", "a 10 -5", "a 10MB", "a ten 5", "a 10 5k", "a 10 -"}) {
    CutRun run;
    run.Cut(value);
    EXPECT_EQ(run.tc.Masked(), "! STAMP Config file error in line 12\n") << value;
  }
}

TEST(CutFile, LeavesMissingAndSmallFilesAlone) {
  CutRun run;
  std::string path = run.dir.File("small.log");
  run.Cut(run.dir.File("missing.log") + " 10");
  WriteFile(path, std::string(999, 'x'));
  run.Cut(path + " 1000 300");
  run.Cut(path + "   1000");
  EXPECT_EQ(run.tc.Masked(), "");
  EXPECT_EQ(ReadFile(path).size(), 999u);
}

TEST(CutFile, DeletesAFileAtItsLimitWithoutAKeepCount) {
  for (const char* keep : {"", " -1"}) {
    CutRun run;
    std::string path = run.dir.File("big.log");
    WriteFile(path, NumberedLines(120, 10));
    run.Cut(path + " 1000" + keep);
    EXPECT_FALSE(testing::FileExists(path));
    EXPECT_EQ(run.tc.Masked(), ". STAMP Cutting file " + path + " (1200) to -1\n");
  }
}

TEST(CutFile, KeepsTheTailFromItsFirstLineBreak) {
  struct Row {
    std::string text;
    std::string limit;
    size_t keep;
  };
  std::string crlf;
  for (int i = 0; i < 40; ++i) crlf += "line " + std::to_string(i) + "\r\n";
  const Row rows[] = {
      {NumberedLines(100, 10), "1000", 300},  // size equal to the limit
      {NumberedLines(100, 10), "10", 305},    // cut in the middle of a line
      {NumberedLines(100, 10), "10", 0},      // nothing kept
      {NumberedLines(10, 10), "10", 5000},    // more to keep than the file holds
      {crlf, "10", 100},                      // CR LF: the tail begins with an empty line
      {std::string(5000, 'x'), "10", 100},    // no line break at all
  };
  for (const Row& row : rows) {
    CutRun run;
    std::string path = run.dir.File("cut.log");
    WriteFile(path, row.text);
    run.Cut(path + " " + row.limit + " " + std::to_string(row.keep));
    EXPECT_EQ(ReadFile(path), ExpectedTail(row.text, row.keep)) << row.keep;
    EXPECT_FALSE(testing::FileExists(path + ".$$$"));
    EXPECT_EQ(run.tc.Masked(), ". STAMP Cutting file " + path + " (" +
                                   std::to_string(row.text.size()) + ") to " +
                                   std::to_string(row.keep) + "\n");
  }
}

TEST(CutFile, TailsLongerThanTheBufferSurviveWhole) {
  const std::string text = NumberedLines(30000, 37);  // 1,110,000 bytes
  for (size_t keep : {kCutBufferSize - 1, kCutBufferSize, kCutBufferSize + 1,
                      2 * kCutBufferSize + 17, size_t{900000}}) {
    CutRun run;
    std::string path = run.dir.File("big.log");
    WriteFile(path, text);
    run.Cut(path + " 1000 " + std::to_string(keep));
    std::string kept = ReadFile(path);
    EXPECT_EQ(kept.size(), ExpectedTail(text, keep).size()) << keep;
    EXPECT_TRUE(kept == ExpectedTail(text, keep)) << keep;
  }
}

// A first block without any line break is dropped whole; the tail still
// begins at a line boundary.
TEST(CutFile, FindsTheFirstLineBreakBeyondTheFirstBlock) {
  CutRun run;
  std::string path = run.dir.File("long-line.log");
  std::string text = std::string(kCutBufferSize + 1000, 'x') + "\nlast line\n";
  WriteFile(path, text);
  run.Cut(path + " 10 " + std::to_string(text.size() - 5));
  EXPECT_EQ(ReadFile(path), "\nlast line\n");
}

// Each failure names the file, then the system's reason, and makes the run end
// with status 2.
TEST(CutFile, FailuresLeaveTheOriginalIntact) {
  const std::string text = NumberedLines(100, 10);
  {
    CutRun run;
    std::string path = run.dir.File("blocked.log");
    WriteFile(path, text);
    // The temporary file cannot be created.
    std::filesystem::create_directory(TemporaryPathFor(path, run.platform));
    run.Cut(path + " 10 300");
    EXPECT_EQ(ReadFile(path), text);
    std::string console = run.tc.Masked();
    std::string head = ". STAMP Cutting file " + path + " (1000) to 300\n" +
                       "! STAMP Unable to cut file " + path + "\n! STAMP ";
    EXPECT_EQ(console.substr(0, head.size()), head);
    EXPECT_EQ(std::count(console.begin(), console.end(), '\n'), 3) << console;
    EXPECT_TRUE(run.tc.console.AnythingUnwritten());
  }
  {
    CutRun run;
    run.platform.failReplace = true;
    std::string path = run.dir.File("stuck.log");
    WriteFile(path, text);
    run.Cut(path + " 10 300");
    EXPECT_EQ(ReadFile(path), text);
    EXPECT_FALSE(testing::FileExists(TemporaryPathFor(path, run.platform)));
    EXPECT_TRUE(run.tc.console.AnythingUnwritten());
  }
  {
    CutRun run;
    run.platform.failRemove = true;
    std::string path = run.dir.File("kept.log");
    WriteFile(path, text);
    run.Cut(path + " 10");
    EXPECT_EQ(ReadFile(path), text);
    EXPECT_EQ(run.tc.Masked(), ". STAMP Cutting file " + path + " (1000) to -1\n" +
                                   "! STAMP Unable to cut file " + path + "\n! STAMP " +
                                   std::strerror(EIO) + "\n");
  }
  {
    CutRun run;
    std::string path = run.dir.File("fine.log");
    WriteFile(path, text);
    run.Cut(path + " 10 300");
    EXPECT_FALSE(run.tc.console.AnythingUnwritten());
  }
}

// A platform whose copies keep only what `kept` says.
class Keeps : public testing::TestPlatform {
 public:
  AccessKept kept = AccessKept::kAll;
  AccessKept CopyAccess(const std::string&, const std::string&) override {
    errno = EPERM;
    return kept;
  }
};

// The warning names exactly what the cut copy could not keep.
TEST(KeepAccess, NamesWhatWasNotKept) {
  const std::pair<AccessKept, const char*> rows[] = {
      {AccessKept::kAll, ""},
      {AccessKept::kNotOwner, "! STAMP Unable to keep the owner of log\n"},
      {AccessKept::kNotGroup, "! STAMP Unable to keep the group of log\n"},
      {AccessKept::kNotOwnerNorGroup, "! STAMP Unable to keep the owner and group of log\n"},
      {AccessKept::kNothing, "! STAMP Unable to keep the permissions of log\n"},
  };
  for (const auto& [kept, line] : rows) {
    TestConsole tc;
    Keeps platform;
    platform.kept = kept;
    KeepAccess("log", "copy", tc.console, platform);
    std::string reason = *line == '\0' ? "" : "! STAMP " + std::string(std::strerror(EPERM)) + "\n";
    EXPECT_EQ(tc.Masked(), line + reason);
  }
}

}  // namespace
}  // namespace zentrak
