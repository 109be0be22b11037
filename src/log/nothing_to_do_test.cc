#include "log/nothing_to_do.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace zentrak {
namespace {

TEST(NothingToDo, LinesThatLookDatedWithoutAReadableMonth) {
  struct Row {
    const char* line;
    bool looksDated;
  } rows[] = {
      {"+ 06 Dez 03:12:01 [4711] call to 2:5020/52@fidonet", true},
      {"* 06 Okt 03:12:01 Z001 Incoming call", true},
      {"+ 06 \xD0\xB4\xD0\xB5\xD0\xBA 03:12:01 [1] done", true},  // a UTF-8 name, six bytes
      {"  continuation line without a date", false},
      {"+ 6 Dez 03:12:01 [1]", false},
      {"+ 06 Dez 3:12:01 [1]", false},
      {"+ 06 Dezember-und-mehr 03:12:01", false},
      {"+ 06 Dez", false},
  };
  for (const Row& row : rows) EXPECT_EQ(UnreadableDate(row.line), row.looksDated) << row.line;
}

// The log's span never ends before it starts, and the lines of months that
// are not read are counted where the sysop looks for the reason.
TEST(NothingToDo, SpanAndUnreadableDates) {
  const RunCalendar today{2026, 12, 7};
  const LogPeriod period{340, 340, 0, 86400};
  Settings settings = SetDefaults();
  settings.logFormat = LogFormat::kBinkd;
  LogOutline outline;
  outline.lines = 40;
  outline.datedLines = 30;
  outline.timed = true;
  outline.firstDay = 319;  // 15 Nov, of last year: the log ends on 10 Feb
  outline.lastDay = 41;
  outline.unreadableDates = 10;
  testing::TestConsole tc;
  EXPECT_EQ(ExplainNothingToDo(outline, period, today, settings, tc.console), 0);
  EXPECT_EQ(tc.Masked(),
            "! STAMP No line of the log falls in the period 06 Dec 2026 00:00:00 - 06 Dec 2026 "
            "24:00:00 (the log runs from 15 Nov 2025 to 10 Feb 2026)\n"
            "! STAMP Lines with a date Zentrak cannot read: 10 of 40 (month names must be "
            "English, as in \"06 Dec\")\n");
  tc.Clear();
  outline.inPeriod = 5;
  outline.firstDay = 300;
  outline.lastDay = 340;
  ExplainNothingToDo(outline, period, today, settings, tc.console);
  EXPECT_NE(tc.Masked().find("Lines with a date Zentrak cannot read: 10 of 40"), std::string::npos)
      << tc.Masked();
}

}  // namespace
}  // namespace zentrak
