// Both cut algorithms on CR LF and LF logs, the paths where no line qualifies,
// and failures that must leave the log untouched.
#include "log/log_cut.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "console/run_stop.h"
#include "log_test_texts.h"
#include "test_support.h"

namespace zentrak {
namespace {

using testing::LogLine;

// Runs in a temporary current directory, where the cut writes its temporary file.
class LogCutTest : public ::testing::Test {
 protected:
  LogCutTest() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir_.Path());
    settings_.LOG = dir_.File("mailer.log");
  }
  ~LogCutTest() override { std::filesystem::current_path(previous_); }

  // Cuts and returns the exit status of a stopped run, -1 when the run went on.
  int Cut(bool newAlgorithm) {
    try {
      if (newAlgorithm) {
        CutLogNew(settings_, testing::kTestToday, console_.console, platform_);
      } else {
        CutLogOld(settings_, testing::kTestToday, console_.console, platform_);
      }
    } catch (const RunStop& stop) {
      return stop.exitStatus;
    }
    return -1;
  }
  std::string Log() const { return testing::ReadFile(settings_.LOG); }

  testing::TempDir dir_;
  std::filesystem::path previous_;
  Settings settings_ = SetDefaults();
  testing::TestConsole console_;
  testing::TestPlatform platform_;
};

// The system's own words for a file that cannot be created at `path`.
std::string WhyNotCreated(const std::string& path) {
  errno = 0;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file != nullptr) std::fclose(file);
  return std::strerror(errno);
}

// 01..06 Dec, one line a day, with the given line break; the clock says 07 Dec.
std::string DaysLog(const std::string& lineBreak) {
  std::string log;
  for (const char* day : {"01", "02", "03", "04", "05", "06"}) {
    log += LogLine(std::string(day) + " Dec", "10:00:00", "Incoming call") + lineBreak;
  }
  return log;
}

TEST_F(LogCutTest, NewAlgorithmKeepsTheTailFromTheLineBreakBeforeTheCutPoint) {
  for (std::string lineBreak : {"\r\n", "\n"}) {
    std::string log = DaysLog(lineBreak);
    testing::WriteFile(settings_.LOG, log);
    settings_.CUT_LOG = true;
    settings_.cutLogDays = 3;  // threshold: 04 Dec
    console_.Clear();
    EXPECT_EQ(Cut(true), -1);
    size_t cutLine = log.find("* 04 Dec");
    size_t offset = cutLine - lineBreak.size();
    EXPECT_EQ(Log(), log.substr(offset));
    EXPECT_EQ(console_.Masked(), "% STAMP Cutting log time according to cfg..\nLogFilePos=" +
                                     std::to_string(offset) + "\n");
    EXPECT_FALSE(testing::FileExists(dir_.File(CutLogTempName(platform_))));
  }
}

TEST_F(LogCutTest, NewAlgorithmEdgeCases) {
  settings_.CUT_LOG = true;
  settings_.cutLogDays = 30;
  // Every line newer than the threshold: the whole log, from offset 0.
  std::string log = DaysLog("\r\n");
  testing::WriteFile(settings_.LOG, log);
  EXPECT_EQ(Cut(true), -1);
  EXPECT_EQ(Log(), log);
  EXPECT_NE(console_.Text().find("LogFilePos=0\n"), std::string::npos);

  // Empty and undated lines before the cut point are passed over.
  log = "\r\n\r\ngarbage\r\n" + DaysLog("\r\n");
  testing::WriteFile(settings_.LOG, log);
  EXPECT_EQ(Cut(true), -1);
  EXPECT_EQ(Log(), log.substr(log.find("* 01") - 2));
}

TEST_F(LogCutTest, NewAlgorithmReadsEachLinesOwnDate) {
  settings_.CUT_LOG = true;
  settings_.cutLogDays = 3;  // threshold: 04 Dec
  // Runs of lines with the same date columns, broken by a line too short for
  // the usual layout that still carries a date, and by a day that differs in
  // one column only.
  for (std::string cutLine : {std::string("* 04 Dec"), LogLine("04 Dec", "00:00:01", "Hello")}) {
    std::string log;
    for (int i = 0; i < 3; ++i) log += LogLine("03 Dec", "10:00:00", "Incoming call") + "\n";
    log += "* 3\n" + cutLine + "\n" + LogLine("03 Dec", "10:00:01", "Late") + "\n";
    testing::WriteFile(settings_.LOG, log);
    EXPECT_EQ(Cut(true), -1) << cutLine;
    EXPECT_EQ(Log(), log.substr(log.find(cutLine) - 1)) << cutLine;
  }
}

// A writer that opened the log before the rename writes into the old file
// while another one appends to the cut log by name (at pause 2): the old
// file's lines follow whole, each once, until the first writer lets go of it,
// or the cut says that it never did.
TEST_F(LogCutTest, LinesWrittenIntoTheOldLogFollowIntoTheCutLog) {
  if (!platform_.ReplacesOpenFiles()) GTEST_SKIP() << "an open log cannot be renamed over here";
  settings_.CUT_LOG = true;
  settings_.cutLogDays = 3;
  std::string log = DaysLog("\n");
  std::string kept = log.substr(log.find("* 04") - 1);
  struct Case {
    std::vector<std::string> held;  // what the held writer writes at pause 1, 2, ...
    bool letsGo;                    // closes the log after its last piece, or repeats it
    std::string tail;               // what the cut log then ends with
  };
  for (const Case& c : std::vector<Case>{
           {{"* late\n"}, true, "* late\n* by name\n"},
           // A line half written when the other writer comes; one never ended.
           {{"* ha", "lf\n* un"}, true, "* by name\n* half\n* un"},
           {{"* 1\n", "* 2\n", "* 3\n"}, true, "* 1\n* by name\n* 2\n* 3\n"},
           {{"* on\n"}, false, "* on\n* by name\n* on\n* on\n"},
       }) {
    testing::WriteFile(settings_.LOG, log);
    std::FILE* held = std::fopen(settings_.LOG.c_str(), "ab");
    ASSERT_NE(held, nullptr);
    platform_.pauses = 0;
    platform_.onPause = [&](int pause) {
      if (pause == 2)
        std::ofstream(settings_.LOG, std::ios::binary | std::ios::app) << "* by name\n";
      size_t piece = c.letsGo ? static_cast<size_t>(pause - 1) : 0;
      if (held == nullptr || piece >= c.held.size()) return;
      std::fputs(c.held[piece].c_str(), held);
      std::fflush(held);
      if (c.letsGo && piece + 1 == c.held.size()) {
        std::fclose(held);
        held = nullptr;
      }
    };
    console_.Clear();
    EXPECT_EQ(Cut(true), -1);
    platform_.onPause = nullptr;
    if (held != nullptr) std::fclose(held);
    std::string cut = Log();
    bool warned = console_.Masked().find(
                      "! STAMP A writer still holds the log as it was before the cut; what it "
                      "writes there now is lost\n") != std::string::npos;
    EXPECT_EQ(warned, !c.letsGo) << c.tail;
    EXPECT_EQ(console_.console.AnythingUnwritten(), !c.letsGo) << c.tail;
    EXPECT_EQ(c.letsGo ? cut : cut.substr(0, kept.size() + c.tail.size()), kept + c.tail);
  }
}

TEST_F(LogCutTest, NewAlgorithmStopsWhenNoLineQualifies) {
  std::string log = DaysLog("\n");
  testing::WriteFile(settings_.LOG, log);
  settings_.CUT_LOG = true;
  settings_.cutLogDays = 0;  // threshold: today, 07 Dec = 341
  EXPECT_EQ(Cut(true), 1);
  EXPECT_EQ(console_.Masked(),
            "% STAMP Cutting log time according to cfg..\n"
            "end of file reached... strange... quitting!\nfromdate=341\nday_from_log=340\n"
            "! STAMP Every line of the log is older than the cut keeps and the window asks for: "
            "the log is left as it was and the run stops\n");
  EXPECT_EQ(Log(), log);
}

TEST_F(LogCutTest, OldAlgorithmWritesAnEmptyLineThenTheTail) {
  for (std::string lineBreak : {"\r\n", "\n"}) {
    // Lines without a level character are no cut points but are kept after one.
    std::string log =
        LogLine("02 Dec", "10:00:00", "old") + lineBreak + " 05 Dec 10:00:00 P001 no level" +
        lineBreak + LogLine("05 Dec", "10:00:01", std::string(300, 'x')) + lineBreak +
        "continuation" + lineBreak + LogLine("06 Dec", "10:00:00", "last") + lineBreak;
    testing::WriteFile(settings_.LOG, log);
    settings_.CUT_LOG = true;
    settings_.cutLogDays = 3;
    console_.Clear();
    EXPECT_EQ(Cut(false), -1);
    EXPECT_EQ(Log(), lineBreak + log.substr(log.find("* 05 Dec")));
    EXPECT_EQ(console_.Masked(), "% STAMP Cutting log time according to cfg..\n");
  }
}

TEST_F(LogCutTest, OldAlgorithmUsesTheReportPeriodWithoutCutLog) {
  std::string log = DaysLog("\r\n") + "tail\r\n";
  testing::WriteFile(settings_.LOG, log);
  settings_.CUT_LOG = false;
  settings_.cutLogDays = 9;
  settings_.timeWindow = TimeWindow{2, 12 * 3600, 0, 0};  // from 05 Dec 12:00
  EXPECT_EQ(Cut(false), -1);
  // The last line before the window stays: the next run sees the log go on before it.
  EXPECT_EQ(Log(), "\r\n" + log.substr(log.find("* 05 Dec")));
}

TEST_F(LogCutTest, OldAlgorithmLeavesTheLogWhenNoUsableLineQualifies) {
  settings_.CUT_LOG = true;
  settings_.cutLogDays = 1;  // threshold: 06 Dec
  const std::string logs[] = {
      LogLine("01 Dec", "10:00:00", "old") + "\r\n",
      // The only qualifying line is the last one: read together with the end of the file.
      LogLine("01 Dec", "10:00:00", "old") + "\r\n" + LogLine("06 Dec", "10:00:00", "new") + "\r\n",
      LogLine("01 Dec", "10:00:00", "old") + "\n" + LogLine("06 Dec", "10:00:00", "new"),
  };
  for (const std::string& log : logs) {
    testing::WriteFile(settings_.LOG, log);
    EXPECT_EQ(Cut(false), -1);
    EXPECT_EQ(Log(), log);
  }
}

TEST_F(LogCutTest, FailuresLeaveTheLogUntouched) {
  std::string log = DaysLog("\r\n");
  settings_.CUT_LOG = true;
  settings_.cutLogDays = 3;
  const char* kCutting = "% STAMP Cutting log time according to cfg..\n";
  for (bool newAlgorithm : {true, false}) {
    std::string position =
        newAlgorithm ? "LogFilePos=" + std::to_string(log.find("* 04") - 2) + "\n" : "";
    // The temporary file cannot be created.
    testing::WriteFile(settings_.LOG, log);
    std::filesystem::create_directory(dir_.File(CutLogTempName(platform_)));
    console_.Clear();
    EXPECT_EQ(Cut(newAlgorithm), -1);
    EXPECT_EQ(console_.Masked(), std::string(kCutting) + position +
                                     "! STAMP Unable to create temp file (" +
                                     CutLogTempName(platform_) + ")\n! STAMP " +
                                     WhyNotCreated(dir_.File(CutLogTempName(platform_))) + "\n");
    EXPECT_EQ(Log(), log);
    std::filesystem::remove(dir_.File(CutLogTempName(platform_)));

    // The disk fills up, the copy cannot be synced, the rename fails: each
    // time the copy is removed again, and the system's reason follows.
    for (int fault = 0; fault < 3; ++fault) {
      if (fault == 0) platform_.faults.writeLimit = 40;
      if (fault == 1) platform_.faults.failSync = true;
      if (fault == 2) platform_.failReplace = true;
      console_.Clear();
      EXPECT_EQ(Cut(newAlgorithm), -1);
      EXPECT_EQ(console_.Masked(), std::string(kCutting) + position +
                                       "! STAMP Unable to cut log file.. I/O Problem..\n"
                                       "! STAMP " +
                                       std::strerror(fault == 0 ? ENOSPC : EIO) + "\n");
      EXPECT_EQ(Log(), log);
      EXPECT_FALSE(testing::FileExists(dir_.File(CutLogTempName(platform_))));
      platform_.faults = {};
      platform_.failReplace = false;
    }

    // The rename fails and the copy cannot be removed either.
    platform_.failReplace = platform_.failRemove = true;
    console_.Clear();
    EXPECT_EQ(Cut(newAlgorithm), -1);
    EXPECT_EQ(console_.Masked(), std::string(kCutting) + position +
                                     "! STAMP Unable to cut log file.. I/O Problem..\n"
                                     "! STAMP " +
                                     std::strerror(EIO) +
                                     "\n"
                                     "! STAMP Some shit is on your disk ;)\n");
    EXPECT_EQ(Log(), log);
    platform_.failReplace = platform_.failRemove = false;
    std::filesystem::remove(dir_.File(CutLogTempName(platform_)));
  }
}

// Offsets past 4 GiB, where 32-bit seeking wraps: old lines, a hole the file
// system need not store, then the recent lines the cut keeps.
TEST_F(LogCutTest, NewAlgorithmCutsALogPastFourGiB) {
  const uint64_t kHole = (uint64_t{1} << 32) + 4096;
  std::string recent = DaysLog("\n").substr(DaysLog("\n").find("* 05 Dec"));
  testing::WriteFile(settings_.LOG, LogLine("01 Dec", "10:00:00", "old") + "\n");
  std::error_code error;
  std::filesystem::resize_file(settings_.LOG, kHole, error);
  if (error) GTEST_SKIP() << "no room for a sparse file of 4 GiB: " << error.message();
  {
    std::ofstream tail(settings_.LOG, std::ios::binary | std::ios::app);
    tail << "\n" << recent;
  }
  settings_.CUT_LOG = true;
  settings_.cutLogDays = 2;  // threshold: 05 Dec
  EXPECT_EQ(Cut(true), -1);
  EXPECT_EQ(Log(), "\n" + recent);
  EXPECT_NE(console_.Text().find("LogFilePos=" + std::to_string(kHole) + "\n"), std::string::npos)
      << console_.Text();
}

TEST_F(LogCutTest, MissingLogEndsTheRun) {
  settings_.CUT_LOG = true;
  for (bool newAlgorithm : {true, false}) {
    console_.Clear();
    EXPECT_EQ(Cut(newAlgorithm), 1);
    EXPECT_EQ(console_.Masked(), "! STAMP Unable to open log file (" + settings_.LOG +
                                     ")\n! STAMP No such file or directory\n");
  }
}

TEST_F(LogCutTest, CutLogChoosesTheAlgorithmOrNothing) {
  std::string log = DaysLog("\n");
  testing::WriteFile(settings_.LOG, log);
  settings_.CUT_LOG = false;
  settings_.cutLogDays = 0;
  CutLog(settings_, testing::kTestToday, console_.console, platform_);
  EXPECT_EQ(console_.Text(), "");
  settings_.cutLogDays = 2;
  settings_.CUT_LOG_NEWALG = true;
  CutLog(settings_, testing::kTestToday, console_.console, platform_);
  EXPECT_EQ(Log(), log.substr(log.find("* 05") - 1));
}

}  // namespace
}  // namespace zentrak
