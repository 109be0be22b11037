// The parser under hostile log text: byte counts at the edge of what a log can
// state, and remote-chosen texts that look like macros or format directives.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "console/run_stop.h"
#include "log/log_parser.h"
#include "log_test_texts.h"
#include "test_support.h"

namespace zentrak {
namespace {

using testing::LogLine;

// One incoming session of 2:5020/12 at hour `hour` of 06 Dec with `traffic`.
std::string Session(int hour, const std::string& traffic, const std::string& sysop = "Ann") {
  char time[16];
  std::snprintf(time, sizeof time, "%02d:00:", hour);
  std::string t(time);
  return LogLine("06 Dec", t + "00", "Incoming call") + "\n" +
         LogLine("06 Dec", t + "01", "Address: 2:5020/12@fidonet") + "\n" +
         LogLine("06 Dec", t + "01", "Sysop: " + sysop) + "\n" +
         LogLine("06 Dec", t + "02", "ZModem transfer") + "\n" +
         LogLine("06 Dec", t + "40", "End of session, in/out: " + traffic + " bytes") + "\n";
}

SessionModel Parse(const std::string& log) {
  testing::TestConsole console;
  Settings settings = SetDefaults();
  settings.timeWindow = TimeWindow{30, 0, 0, 86399};
  SessionModel model;
  LineReader reader(log);
  try {
    ParseLogLines(reader, settings, testing::EnglishTexts(), testing::kTestToday, model,
                  console.console);
  } catch (const RunStop&) {
  }
  return model;
}

TEST(LogParserHostileTest, HugeByteCountsNeverWrapALinkSum) {
  const std::string kLargest = "2882303761517117439";  // the most a count can read as
  struct Row {
    int sessions;
    std::string traffic;
    int64_t wantReceivedAtLeast;
  } rows[] = {
      {1, "2147483648/4294967296", 2147483648},
      {1, "abc/-5", 0},
      {4, kLargest + "/" + kLargest, INT64_MAX / 4},
      {20, kLargest + "/" + kLargest, INT64_MAX / 4},
  };
  for (const Row& row : rows) {
    std::string log;
    for (int k = 0; k < row.sessions; ++k) log += Session(k, row.traffic);
    SessionModel model = Parse(log);
    ASSERT_EQ(model.links.size(), 1u) << row.traffic;
    const TLink& link = model.links[0];
    EXPECT_GE(link.Received, row.wantReceivedAtLeast) << row.traffic;
    EXPECT_GE(link.Sent, 0) << row.traffic;
    EXPECT_LE(link.Received, INT64_MAX / 2 - link.Sent) << row.traffic;
    EXPECT_GE(link.Cps, 0) << row.traffic;
    EXPECT_GE(model.TotalReceived, 0) << row.traffic;
  }
}

TEST(LogParserHostileTest, RoundingAndCpsSaturateOutsideTheRange) {
  struct Row {
    double value;
    int64_t rounded;
  } rows[] = {
      {9.3e18, INT64_MAX}, {1e300, INT64_MAX}, {-1e300, INT64_MIN}, {2.5, 3}, {-2.5, -3},
  };
  for (const Row& row : rows) EXPECT_EQ(RoundHalfAway(row.value), row.rounded) << row.value;
  // Found by fuzzing: 2.3e18 bytes in one second.
  EXPECT_EQ(CpsOf(2.3e19, 1), 9999);
  EXPECT_EQ(CpsOf(1e300, 1e-300), 9999);
}

TEST(LogParserHostileTest, RemoteTextsAreKeptAsTheyAre) {
  const char* sysops[] = {"@SYSOP(LEFT,*)", "@?BBSUSED=@X(LEFT,5)", "%s%n%d%x", "%TITLE=\"x\""};
  for (const char* sysop : sysops) {
    SessionModel model = Parse(Session(1, "10/20", sysop));
    ASSERT_EQ(model.sessions.size(), 1u) << sysop;
    EXPECT_EQ(model.Text(model.sessions[0].Sysop), sysop);
  }
}

}  // namespace
}  // namespace zentrak
