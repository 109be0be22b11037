// The shared parts of the log generators.
#include "tools/log_generator_parts.h"

#include "support/calendar.h"

namespace zentrak::generator {
namespace {

const char* const kBundleDays[] = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};
const char* const kFileEchoNames[] = {"NODEDIFF", "NODELIST", "PNTLIST", "FIDONEWS",
                                      "ELIST",    "WEATHER",  "AVIRUS",  "SNDLIST"};
const char* const kOddNames[] = {"Holiday photos 2026.zip", "READ ME FIRST.TXT",
                                 "report(final).rar", "a", "@SYSOP(LEFT,*) 100%.zip"};

}  // namespace

int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  return zentrak::DaysFromCivil(
      {static_cast<int32_t>(d), static_cast<int32_t>(m), static_cast<int32_t>(y)});
}

void CivilFromDays(int64_t z, int* month, int* day, int* year) {
  zentrak::CalendarDate date = zentrak::CivilFromDays(z);
  *day = date.day;
  *month = date.month;
  if (year != nullptr) *year = date.year;
}

std::string DateTimeText(int64_t day, int64_t second) {
  int month = 1, dayOfMonth = 1;
  CivilFromDays(day, &month, &dayOfMonth);
  char text[24];
  std::snprintf(text, sizeof text, "%02d %s %02d:%02d:%02d", dayOfMonth, kMonthNames[month],
                static_cast<int>(second / 3600), static_cast<int>(second / 60 % 60),
                static_cast<int>(second % 60));
  return text;
}

std::string FileName(Random& random, uint32_t bundle, int64_t day) {
  double kind = random.Unit();
  if (kind < 0.45) {
    char stem[16];
    std::snprintf(stem, sizeof stem, "%08X.", static_cast<unsigned>(bundle));
    return stem + std::string(kBundleDays[(day % 7 + 7) % 7]) + NumberText(random.Below(10));
  }
  if (kind < 0.70) {
    char name[16];
    std::snprintf(name, sizeof name, "%08X.PKT", static_cast<unsigned>(random.Next()));
    return name;
  }
  if (kind < 0.80) {
    char name[16];
    std::snprintf(name, sizeof name, "%08X.TIC", static_cast<unsigned>(random.Next()));
    return name;
  }
  if (kind < 0.98) {
    int64_t week = day / 7 % 1000;
    std::string echo = random.Pick(kFileEchoNames);
    return echo + "." + (random.Chance(0.5) ? "Z" : "A") + TwoDigitText(week % 100);
  }
  return random.Pick(kOddNames);
}

}  // namespace zentrak::generator
