#include "console/console_log.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace zentrak {
namespace {

TEST(ClockText, FormatsHoursMinutesSeconds) {
  EXPECT_EQ(ClockText(0), "00:00:00");
  EXPECT_EQ(ClockText(86399), "23:59:59");
  EXPECT_EQ(ClockText(3725), "01:02:05");
  EXPECT_EQ(ClockText(100 * 3600), "100:00:00");
  EXPECT_EQ(ClockText(99 * 3600 + 3599), "99:59:59");
  // A negative time (a clock that went back) keeps its signs where they fall.
  EXPECT_EQ(ClockText(-3725), "-1:-2:-5");
  EXPECT_EQ(ClockText(-5), "00:00:-5");
  // The short form writes the same bytes where it takes the clock at all.
  char text[8];
  for (int64_t seconds = -3601; seconds <= 100 * 3600 + 1; seconds += 7) {
    if (ShortClockText(seconds, text)) {
      EXPECT_EQ(std::string(text, 8), ClockText(seconds)) << seconds;
    } else {
      EXPECT_TRUE(seconds < 0 || seconds >= 100 * 3600) << seconds;
    }
  }
}

TEST(FormatMessage, FillsArgumentsAndCutsAt255) {
  EXPECT_EQ(FormatMessage(" Reading %s (%s)", {"config file", "a.cfg"}),
            " Reading config file (a.cfg)");
  EXPECT_EQ(FormatMessage(" line %d", {42}), " line 42");
  // File text is an argument: its own % signs are never formats.
  EXPECT_EQ(FormatMessage(" (%s)", {"%s%n%d"}), " (%s%n%d)");
  EXPECT_EQ(FormatMessage(" %s", {std::string(300, 'x')}).size(), 255u);
}

TEST(Console, StampsEveryLine) {
  testing::TestConsole t;
  t.clock.Set(LocalTime{2026, 3, 5, 9, 8, 7});
  t.console.ConsoleLog(kError, " Unable to open %s (%s)", {"config file", "zentrak.cfg"});
  EXPECT_EQ(t.Text(), "! 05 Mar 09:08:07 Unable to open config file (zentrak.cfg)\n");
}

TEST(Console, RefreshesTheDayAfterMidnight) {
  testing::TestConsole t;
  t.clock.Set(LocalTime{2026, 12, 7, 23, 59, 59});
  t.console.ConsoleLog(kProgress, " a");
  t.clock.Set(LocalTime{2026, 12, 8, 0, 0, 1});
  t.console.ConsoleLog(kProgress, " b");
  EXPECT_EQ(t.Text(), ". 07 Dec 23:59:59 a\n. 08 Dec 00:00:01 b\n");
}

}  // namespace
}  // namespace zentrak
