// Day numbers, times, the period filter and the numeric address order.
#include "log/log_dates.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <string>

#include "log/session_model.h"

namespace zentrak {
namespace {

const RunCalendar kDec2026{2026, 12, 7};
const RunCalendar kMar2028{2028, 3, 15};  // a leap year
const RunCalendar kMar2027{2027, 3, 15};

TEST(LogDates, DayNumberOfLine) {
  struct Row {
    const char* line;
    RunCalendar calendar;
    int32_t day;  // -999: no valid date
  } rows[] = {
      {"* 07 Dec 10:43:08 P001 x", kDec2026, 341},
      {"* 01 Jan 00:00:00 P001 x", kDec2026, 1},
      {"* 1 Feb 00:00:00", kDec2026, 32},   // one-digit day
      {"*  1 Feb 00:00:00", kDec2026, 32},  // blank-padded day
      {"* 01 Mar 00:00:00", kMar2028, 61},  // leap day counted
      {"* 01 Mar 00:00:00", kMar2027, 60},
      {"* 20 Dec 00:00:00", kMar2027, 354 - 365},  // later month: last year
      {"* 08 Mar 00:00:00", kMar2027, 67},
      {"* 07 Foo 10:43:08", kDec2026, -999},
      {"* 00 Dec 10:43:08", kDec2026, -999},
      {"* 32 Dec 10:43:08", kDec2026, -999},
      {"* xx Dec 10:43:08", kDec2026, -999},
      {"* 07", kDec2026, -999},
      {"", kDec2026, -999},
      {"JanFebMarApr", kDec2026, -999},  // months but no day
  };
  for (const Row& row : rows) {
    std::optional<int32_t> day = LineDayNumber(row.line, row.calendar);
    EXPECT_EQ(day.value_or(-999), row.day) << row.line;
  }
}

// Across the new year: last year's days run on from its own length, leap day
// included, so every day number turns back into the date it came from.
TEST(LogDates, DayNumbersAcrossTheNewYear) {
  struct Row {
    RunCalendar today;
    int32_t day, month;
    int32_t number, year;
  } rows[] = {
      // A common year after a leap year.
      {{2025, 1, 2}, 1, 1, 1, 2025},
      {{2025, 1, 2}, 28, 2, 59 - 366, 2024},
      {{2025, 1, 2}, 29, 2, 60 - 366, 2024},
      {{2025, 1, 2}, 1, 3, 61 - 366, 2024},
      {{2025, 1, 2}, 30, 12, -1, 2024},
      {{2025, 1, 2}, 31, 12, 0, 2024},
      {{2025, 12, 31}, 28, 2, 59, 2025},
      {{2025, 12, 31}, 1, 3, 60, 2025},
      {{2025, 12, 31}, 30, 12, 364, 2025},
      {{2025, 12, 31}, 31, 12, 365, 2025},
      // A leap year after a common year.
      {{2024, 1, 3}, 1, 1, 1, 2024},
      {{2024, 1, 3}, 28, 2, 59 - 365, 2023},
      {{2024, 1, 3}, 1, 3, 60 - 365, 2023},
      {{2024, 1, 3}, 30, 12, -1, 2023},
      {{2024, 1, 3}, 31, 12, 0, 2023},
      {{2024, 12, 31}, 28, 2, 59, 2024},
      {{2024, 12, 31}, 29, 2, 60, 2024},
      {{2024, 12, 31}, 1, 3, 61, 2024},
      {{2024, 12, 31}, 30, 12, 365, 2024},
      {{2024, 12, 31}, 31, 12, 366, 2024},
      // A common year after a common year.
      {{2027, 1, 2}, 1, 1, 1, 2027},
      {{2027, 1, 2}, 28, 2, 59 - 365, 2026},
      {{2027, 1, 2}, 1, 3, 60 - 365, 2026},
      {{2027, 1, 2}, 30, 12, -1, 2026},
      {{2027, 1, 2}, 31, 12, 0, 2026},
      {{2027, 12, 31}, 28, 2, 59, 2027},
      {{2027, 12, 31}, 1, 3, 60, 2027},
      {{2027, 12, 31}, 30, 12, 364, 2027},
      {{2027, 12, 31}, 31, 12, 365, 2027},
  };
  for (const Row& row : rows) {
    std::string where = std::to_string(row.day) + "." + std::to_string(row.month) + " seen in " +
                        std::to_string(row.today.currentYear) + "-" +
                        std::to_string(row.today.currentMonth);
    int32_t number = DayNumberOf(row.day, row.month, row.today);
    EXPECT_EQ(number, row.number) << where;
    EXPECT_NE(number, kDayNotSeen) << where;
    CalendarDate date = DayNumberToDate(number, row.today.currentYear);
    EXPECT_EQ(date.day, row.day) << where;
    EXPECT_EQ(date.month, row.month) << where;
    EXPECT_EQ(date.year, row.year) << where;
  }
}

TEST(LogDates, TimeOfLine) {
  struct Row {
    const char* line;
    int32_t time;
  } rows[] = {
      {"* 07 Dec 10:43:08 P001", 38588}, {"* 07 Dec 00:00:00", 0},  {"* 07 Dec 23:59:59", 86399},
      {"* 07 Dec 24:00:00", -1},         {"* 07 Dec 10:60:00", -1}, {"* 07 Dec 1:43:08 ", -1},
      {"* 07 Dec 10:43:0", -1},          {"* 07 Dec 10-43-08", -1},
  };
  for (const Row& row : rows) EXPECT_EQ(LineTime(row.line), row.time) << row.line;
}

TEST(LogDates, DaysBackAtTheEndsOfTheRangeStayInRange) {
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
  EXPECT_EQ(DaysBefore(341, 3), 338);
  EXPECT_EQ(DaysBefore(341, -3), 344);
  EXPECT_EQ(DaysBefore(341, kMin), kMax);
  EXPECT_EQ(DaysBefore(-5, kMax), kMin);
  EXPECT_EQ(DaysBefore(341, kMax), 341 - kMax);
  LogPeriod period = PeriodOf(kMax, 0, kMin, 86400, kDec2026);
  EXPECT_EQ(period.firstDay, 341 - kMax);
  EXPECT_EQ(period.lastDay, kMax);
}

TEST(LogDates, InPeriodBoundsAreInclusive) {
  // TIME 1.08:00-0.12:00 on 07 Dec: from 06 Dec 08:00:00 to 07 Dec 12:00:00.
  LogPeriod period = PeriodOf(1, 8 * 3600, 0, 12 * 3600, kDec2026);
  EXPECT_EQ(period.firstDay, 340);
  EXPECT_EQ(period.lastDay, 341);
  struct Row {
    const char* line;
    bool in;
  } rows[] = {
      {"* 06 Dec 07:59:59 P001 x", false},
      {"* 06 Dec 08:00:00 P001 x", true},
      {"* 06 Dec 23:59:59 P001 x", true},
      {"* 07 Dec 00:00:00 P001 x", true},
      {"* 07 Dec 12:00:00 P001 x", true},
      {"* 07 Dec 12:00:01 P001 x", false},
      {"* 05 Dec 12:00:00 P001 x", false},
      {"* 08 Dec 00:00:00 P001 x", false},
      {"* 06 Jan 12:00:00 P001 x", false},
      {"* 06 Dec 1x:00:00 P001 x", false},
      {"", false},
  };
  for (const Row& row : rows) EXPECT_EQ(InPeriod(row.line, period, kDec2026), row.in) << row.line;
}

TEST(LogDates, DateKeyUsesThePreviousYearForLaterMonths) {
  EXPECT_EQ(LineDateKey("* 07 Dec 10:00:00", kDec2026), 2026 * 365 + 12 * 31 + 7);
  EXPECT_EQ(LineDateKey("* 20 Dec 10:00:00", kMar2027), 2026 * 365 + 12 * 31 + 20);
  EXPECT_FALSE(LineDateKey("* 20 Xyz 10:00:00", kMar2027).has_value());
}

TEST(LogDates, AddressOrderIsNumeric) {
  struct Row {
    const char* a;
    const char* b;
    int order;
  } rows[] = {
      {"2:5020/9", "2:5020/10", -1},
      {"1:1/1.5", "1:1/1", 1},
      {"1:1/1.0", "1:1/1", 0},
      {"2:5020/10", "2:5020/10", 0},
      {"3:1/1", "2:9999/9999.9", 1},
      {"2:5020/100@fidonet", "2:5020/100", 0},
      {"2:99999999999999999999/1", "2:1/1", 1},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(CompareAddresses(row.a, row.b), row.order) << row.a << " " << row.b;
    EXPECT_EQ(CompareAddresses(row.b, row.a), -row.order) << row.b << " " << row.a;
  }
}

TEST(LogDates, SixteenBitAddressParts) {
  using Parts = std::array<uint16_t, 4>;
  EXPECT_EQ(AddressParts16("2:5020/100"), (Parts{2, 5020, 100, 0}));
  EXPECT_EQ(AddressParts16("2:5020/100.7@fidonet"), (Parts{2, 5020, 100, 7}));
  EXPECT_EQ(AddressParts16("65535:65535/65535.65535"), (Parts{65535, 65535, 65535, 65535}));
  EXPECT_EQ(AddressParts16("2:5020/00100@a@b"), (Parts{2, 5020, 100, 0}));
  for (const char* bad :
       {"2:65536/1", "2:5020", "2:5020/", "x:1/1", "2:1/1.2.3", "", "2:1/1 ", "2:5020/0000001",
        "2:5020/@fidonet", "2:5020@x/1", "2:5020/1.", "2/1:1", "99999:1/1", "2:5020/1x"}) {
    EXPECT_FALSE(AddressParts16(bad).has_value()) << bad;
  }
}

// The inline fast path for the usual layout must agree with the general reading.
TEST(LogDates, FastPathAgreesWithTheGeneralReading) {
  const char chars[] = {'0', '1', '3', '9', ' ', 'x', ':', 'D'};
  const char* months[] = {"Dec", "Jan", "May", "Dex", "dec", "1 D", "ecD"};
  std::mt19937 random(99);
  auto some = [&] { return chars[random() % std::size(chars)]; };
  for (int round = 0; round < 50000; ++round) {
    std::string line = "* ";
    line += some();
    line += some();
    line += random() % 4 == 0 ? some() : ' ';
    line += months[random() % std::size(months)];
    line += random() % 4 == 0 ? some() : ' ';
    line += some();
    line += "0:00:00 P001 x";
    std::optional<LineDate> fast = LineDayAndMonth(line);
    std::optional<LineDate> general = log_dates_detail::AnyLayoutDayAndMonth(line);
    ASSERT_EQ(fast.has_value(), general.has_value()) << line;
    if (fast) {
      ASSERT_EQ(fast->day, general->day) << line;
      ASSERT_EQ(fast->month, general->month) << line;
    }
  }
}

}  // namespace
}  // namespace zentrak
