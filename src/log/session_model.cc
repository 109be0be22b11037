// Session model helpers.
#include "log/session_model.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace zentrak {

void TSession::Clear() {
  int32_t keepCps = Cps;
  *this = TSession{};
  Cps = keepCps;
}

int64_t RoundHalfAway(double value) {
  double rounded = value < 0 ? -std::floor(-value + 0.5) : std::floor(value + 0.5);
  // Sums of hostile byte counts may lie past the 64-bit range: saturate there.
  if (std::isnan(rounded)) return 0;
  if (rounded >= 0x1p63) return INT64_MAX;
  if (rounded < -0x1p63) return INT64_MIN;
  return static_cast<int64_t>(rounded);
}

int32_t CpsOf(double bytes, double seconds) {
  if (seconds == 0) return 0;
  double cps = static_cast<double>(RoundHalfAway(bytes / seconds));
  if (cps > 9999) return 9999;
  return static_cast<int32_t>(cps);
}

FailReason FailReasonOfText(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  auto has = [&lower](std::string_view part) { return lower.find(part) != std::string::npos; };
  if (has("refused")) return FailReason::kRefused;
  if (has("timed out")) return FailReason::kTimeout;
  if (has("no route") || has("unreachable")) return FailReason::kNoRoute;
  if (has("busy")) return FailReason::kBusy;
  return FailReason::kOther;
}

int64_t BinkpCpsOf(int64_t bytes, int64_t seconds, int64_t cap) {
  if (seconds <= 0 || bytes <= 0) return 0;
  return std::min(bytes / seconds, cap);
}

HalfHours HalfHoursOf(const SessionModel& model) {
  HalfHours hours;
  for (const TSession& s : model.sessions) {
    if (s.EndDay == kDayNotSeen || s.Bbs || s.StartTime < 0) continue;
    int slot = std::min(s.StartTime / 1800, HalfHours::kSlots - 1);
    ++hours.sessions[slot];
    hours.bytes[slot] += std::max<int64_t>(s.Received, 0) + std::max<int64_t>(s.Sent, 0);
  }
  return hours;
}

// Spans as seconds from day 0, sorted by start and merged once: parallel
// sessions of a busy binkd node overlap, one line's never do.
int64_t BusySeconds(const SessionModel& model) {
  std::vector<std::pair<int64_t, int64_t>> spans;
  spans.reserve(model.events.size() + model.LeftSpans.size());
  auto add = [&spans](const TEvent& e) {
    int64_t start = int64_t{e.StartDay} * kSecondsPerDay + e.StartTime;
    int64_t end = int64_t{e.EndDay} * kSecondsPerDay + e.EndTime;
    // An end dated before its start (a clock set back) spans nothing.
    spans.emplace_back(start, std::max(start, end));
  };
  for (const TEvent& e : model.events) {
    if (e.Kind != kEventBbs) add(e);
  }
  int64_t spanned = 0;
  for (const TEvent& e : model.LeftSpans) {
    add(e);
    spanned += std::max<int64_t>(
        0, int64_t{e.EndDay - e.StartDay} * kSecondsPerDay + e.EndTime - e.StartTime);
  }
  std::sort(spans.begin(), spans.end());
  int64_t busy = 0;
  int64_t reach = INT64_MIN;
  for (const auto& [start, end] : spans) {
    int64_t from = std::max(start, reach);
    if (end > from) busy += end - from;
    reach = std::max(reach, end);
  }
  return busy + std::max<int64_t>(model.LeftTime - spanned, 0);
}

namespace {
bool LeapYear(int32_t year) { return year % 4 == 0; }
}  // namespace

std::string LastCallAddress(const TLastCall& record) {
  std::string text = std::to_string(record.Zone) + ":" + std::to_string(record.Net) + "/" +
                     std::to_string(record.Node);
  if (record.Point != 0) text += "." + std::to_string(record.Point);
  return text;
}

CalendarDate DayNumberToDate(int32_t dayNumber, int32_t currentYear) {
  static const int kMonthStarts[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  int32_t year = currentYear;
  int64_t d = dayNumber;
  while (d < 1) {
    --year;
    d += LeapYear(year) ? 366 : 365;
  }
  // A day number past the end of its year rolls into the next one.
  while (d > (LeapYear(year) ? 366 : 365)) {
    d -= LeapYear(year) ? 366 : 365;
    ++year;
  }
  int month = 12;
  for (int m = 11; m >= 0; --m) {
    int start = kMonthStarts[m] + ((LeapYear(year) && m >= 2) ? 1 : 0);
    if (d > start) {
      month = m + 1;
      d -= start;
      break;
    }
  }
  return CalendarDate{static_cast<int32_t>(d), month, year};
}

}  // namespace zentrak
