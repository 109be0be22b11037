// The built-in macros and where each value comes from.
#include "template/macro_table.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <initializer_list>

#include "config/text_rules.h"
#include "log/log_dates.h"
#include "support/calendar.h"
#include "support/text.h"
#include "support/version.h"

namespace zentrak {
namespace {

constexpr uint16_t Kinds(std::initializer_list<int> kinds) {
  uint16_t mask = 0;
  for (int kind : kinds) mask |= static_cast<uint16_t>(1u << kind);
  return mask;
}

constexpr uint16_t KindRange(int first, int last) {
  uint16_t mask = 0;
  for (int kind = first; kind <= last; ++kind) mask |= static_cast<uint16_t>(1u << kind);
  return mask;
}

constexpr uint16_t kAll = KindRange(1, 15);
constexpr uint16_t kTrends = Kinds({14});
constexpr uint16_t kFailures = Kinds({15});
// The link reports: the current record is a link.
constexpr uint16_t kLinkKinds = KindRange(2, 6) | Kinds({8, 9});
constexpr uint16_t kTotalKinds = kLinkKinds | Kinds({11});

// --- Sources of the current record ---------------------------------------

const TLink& CurrentLink(const MacroSources& s) {
  static const TLink kNoLink;
  const auto& links = s.model.links;
  int32_t i = s.report.currentIndex;
  return (i >= 0 && static_cast<size_t>(i) < links.size()) ? links[i] : kNoLink;
}

const MailerEntry& CurrentMailer(const MacroSources& s) {
  static const MailerEntry kNoMailer;
  const auto& table = s.report.mailerTable;
  int32_t k = s.report.currentIndex;
  return (k >= 1 && static_cast<size_t>(k) <= table.size()) ? table[k - 1] : kNoMailer;
}

const TLastCall& CurrentLastCall(const MacroSources& s) {
  static const TLastCall kNoCall;
  const auto& calls = s.model.lastCalls;
  int32_t i = s.report.currentLastCall;
  return (i >= 0 && static_cast<size_t>(i) < calls.size()) ? calls[i] : kNoCall;
}

bool SessionReport(const MacroSources& s) { return s.report.reportKind == kSessionsReport; }
bool FilesReport(const MacroSources& s) { return s.report.reportKind == kFilesReport; }
const CurrentFileLine& FileLine(const MacroSources& s) { return s.report.fileLine; }

bool Set(std::string& out, std::string_view text) {
  out.assign(text);
  return true;
}

// The decimal text of a number, written into `out` without a string between:
// the report lines ask for one per field and record.
bool SetDecimal(std::string& out, int64_t value) {
  char digits[24];
  char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  out.assign(digits, end);
  return true;
}

std::string Percent(double share) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%.2f%%", share * 100.0);
  return buffer;
}

// A clock into `out`, without a string between for the usual day clock.
bool SetClock(std::string& out, int64_t seconds) {
  char text[8];
  if (ShortClockText(seconds, text)) {
    out.assign(text, sizeof text);
    return true;
  }
  return Set(out, ClockText(seconds));
}

// `text` after the CHANGE rules, into `out`. Most stations have none, and an
// address or speed is then written as it stands, without a string between.
bool SetChanged(std::string& out, std::string_view text, const MacroSources& s) {
  if (s.settings.ChangeTable.empty()) return Set(out, text.substr(0, 255));
  return Set(out, ApplyChanges(text, s.settings.ChangeTable));
}

// --- Bare names ----------------------------------------------------------

bool ThisStation(MacroSources& s, std::string& o) { return Set(o, s.settings.STATION); }
bool ThisSysop(MacroSources& s, std::string& o) { return Set(o, s.settings.SYSOP); }
bool Version(MacroSources&, std::string& o) { return Set(o, kVersion); }
bool GraphicStart(MacroSources& s, std::string& o) { return SetClock(o, s.settings.graphicStart); }
bool GraphicEnd(MacroSources& s, std::string& o) { return SetClock(o, s.settings.graphicEnd); }

// --- Period and mailers summary ------------------------------------------

bool TimeFrom(MacroSources& s, std::string& o) {
  return SetClock(o, s.settings.timeWindow.startTime);
}
bool DayFrom(MacroSources& s, std::string& o) { return Set(o, TwoDigits(s.model.PeriodFrom.day)); }
bool MonthFrom(MacroSources& s, std::string& o) {
  return Set(o, TwoDigits(s.model.PeriodFrom.month));
}
bool YearFrom(MacroSources& s, std::string& o) { return SetDecimal(o, s.model.PeriodFrom.year); }
bool TimeTill(MacroSources& s, std::string& o) {
  return SetClock(o, s.settings.timeWindow.endTime);
}
bool DayTill(MacroSources& s, std::string& o) { return Set(o, TwoDigits(s.model.PeriodTill.day)); }
bool MonthTill(MacroSources& s, std::string& o) {
  return Set(o, TwoDigits(s.model.PeriodTill.month));
}
bool YearTill(MacroSources& s, std::string& o) { return SetDecimal(o, s.model.PeriodTill.year); }
bool MostPopular(MacroSources& s, std::string& o) {
  const auto& table = s.report.mailerTable;
  return Set(o, table.empty() ? std::string_view() : std::string_view(table[0].name));
}
bool DifferentMailers(MacroSources& s, std::string& o) {
  return SetDecimal(o, s.report.mergedCount);
}

// --- Per record: sessions ------------------------------------------------

bool StartTime(MacroSources& s, std::string& o) {
  return SetClock(o, s.report.currentSession.startTime);
}
bool EndTime(MacroSources& s, std::string& o) {
  return SetClock(o, s.report.currentSession.endTime);
}
bool IsIn(MacroSources& s, std::string&) {
  if (FilesReport(s)) return FileLine(s).isFileLine && FileLine(s).received;
  return s.report.currentSession.incoming;
}
bool IsOut(MacroSources& s, std::string&) {
  if (FilesReport(s)) return FileLine(s).isFileLine && !FileLine(s).received;
  return !s.report.currentSession.incoming;
}
bool FileResumedOrCut(const CurrentFileLine& f) {
  return f.resumeOffset != 0 || f.abortPosition != 0;
}
bool IsComplete(MacroSources& s, std::string&) {
  if (FilesReport(s)) return !FileLine(s).isFileLine || !FileResumedOrCut(FileLine(s));
  return !s.report.currentSession.aborted;
}
bool IsAborted(MacroSources& s, std::string&) {
  if (FilesReport(s)) return FileLine(s).isFileLine && FileResumedOrCut(FileLine(s));
  return s.report.currentSession.aborted;
}
bool Connect(MacroSources& s, std::string& o) {
  int32_t speed = s.report.currentSession.connectSpeed;
  if (s.settings.ChangeTable.empty()) return SetDecimal(o, speed);
  return SetChanged(o, DecimalText(speed), s);
}
bool Zmodem(MacroSources& s, std::string&) { return s.report.currentSession.protocol == 1; }
bool Hydra(MacroSources& s, std::string&) { return s.report.currentSession.protocol == 2; }
bool Zedzap(MacroSources& s, std::string&) { return s.report.currentSession.protocol == 3; }
bool Dirzap(MacroSources& s, std::string&) { return s.report.currentSession.protocol == 4; }
bool Binkp(MacroSources& s, std::string&) {
  return s.report.currentSession.protocol == kProtocolBinkp;
}

// --- Per record: sessions or links ---------------------------------------

bool IsProtected(const MacroSources& s) {
  return SessionReport(s) ? s.report.currentSession.protectedSession : CurrentLink(s).Protected;
}
bool Protected(MacroSources& s, std::string&) { return IsProtected(s); }
bool Unprotected(MacroSources& s, std::string&) { return !IsProtected(s); }

bool Address(MacroSources& s, std::string& o) {
  switch (s.report.reportKind) {
    case kSessionsReport:
      return SetChanged(o, s.report.currentSession.address, s);
    case kLastCallReport:
      return SetChanged(o, LastCallAddress(CurrentLastCall(s)), s);
    case kFilesReport:
      // The files report shows a link's address on its first line only.
      if (s.report.fileLine.addressShown) return Set(o, "");
      s.report.fileLine.addressShown = true;
      return SetChanged(o, CurrentLink(s).Address, s);
    default:
      return SetChanged(o, CurrentLink(s).Address, s);
  }
}
bool Received(MacroSources& s, std::string& o) {
  return SetDecimal(o,
                    SessionReport(s) ? s.report.currentSession.received : CurrentLink(s).Received);
}
bool Sent(MacroSources& s, std::string& o) {
  return SetDecimal(o, SessionReport(s) ? s.report.currentSession.sent : CurrentLink(s).Sent);
}
bool Cps(MacroSources& s, std::string& o) {
  return SetDecimal(o, SessionReport(s) ? s.report.currentSession.cps : CurrentLink(s).Cps);
}

// --- Per record: links and mailers ---------------------------------------

bool Sysop(MacroSources& s, std::string& o) { return Set(o, CurrentLink(s).Sysop); }
bool LinkTraffic(MacroSources& s, std::string& o) {
  int64_t traffic = CurrentLink(s).Received + CurrentLink(s).Sent;
  uint8_t kind = s.report.reportKind;
  bool grouped = kind != kLinksReport && kind != kSysopsReport;
  return Set(o, grouped ? GroupThousands(traffic) : DecimalText(traffic));
}
bool Phone(MacroSources& s, std::string& o) { return Set(o, CurrentLink(s).Phone); }
bool System(MacroSources& s, std::string& o) { return Set(o, CurrentLink(s).System); }
bool Location(MacroSources& s, std::string& o) { return Set(o, CurrentLink(s).Location); }
bool Mailer(MacroSources& s, std::string& o) {
  if (s.report.reportKind == kMailersReport) return Set(o, CurrentMailer(s).name);
  return Set(o, CurrentLink(s).Mailer);
}
bool StatLine(MacroSources& s, std::string& o) { return Set(o, CutTo(s.report.statLine, 255)); }
bool MailersNumber(MacroSources& s, std::string& o) {
  return SetDecimal(o, CurrentMailer(s).count);
}
bool MailersPercent(MacroSources& s, std::string& o) {
  int32_t sysops = s.report.sysopCount;
  double share = sysops > 0 ? static_cast<double>(CurrentMailer(s).count) / sysops : 0.0;
  return Set(o, "    " + Percent(share));
}
bool LinkTime(MacroSources& s, std::string& o) { return SetClock(o, CurrentLink(s).OnlineTime); }

// --- Per record: a link's sessions and calls ------------------------------

// "DD.MM.YYYY" of a day number; empty for a day not seen.
bool SetDayDate(std::string& out, int32_t day, const MacroSources& s) {
  if (day == kDayNotSeen) return Set(out, "");
  CalendarDate date = DayNumberToDate(day, s.today.currentYear);
  return Set(out, TwoDigits(date.day) + "." + TwoDigits(date.month) + "." + DecimalText(date.year));
}

bool InOk(MacroSources& s, std::string& o) { return SetDecimal(o, CurrentLink(s).InOk); }
bool InFailed(MacroSources& s, std::string& o) { return SetDecimal(o, CurrentLink(s).InFailed); }
bool CallsMade(MacroSources& s, std::string& o) {
  const TLink& l = CurrentLink(s);
  return SetDecimal(o, int64_t{l.CallsOk} + l.CallsFailed + l.CallsNoConnect);
}
bool CallsConnected(MacroSources& s, std::string& o) {
  return SetDecimal(o, int64_t{CurrentLink(s).CallsOk} + CurrentLink(s).CallsFailed);
}
bool CallsOk(MacroSources& s, std::string& o) { return SetDecimal(o, CurrentLink(s).CallsOk); }
bool CallsFailed(MacroSources& s, std::string& o) {
  return SetDecimal(o, CurrentLink(s).CallsFailed);
}
bool CallsNoConnect(MacroSources& s, std::string& o) {
  return SetDecimal(o, CurrentLink(s).CallsNoConnect);
}
bool LinkUnprotected(MacroSources& s, std::string& o) {
  return SetDecimal(o, CurrentLink(s).Unprotected);
}
bool LastSessionDate(MacroSources& s, std::string& o) {
  return SetDayDate(o, CurrentLink(s).LastDay, s);
}
bool LastSessionTime(MacroSources& s, std::string& o) {
  if (CurrentLink(s).LastTime < 0) return Set(o, "");
  return SetClock(o, CurrentLink(s).LastTime);
}
bool LastOk(MacroSources& s, std::string&) {
  return CurrentLink(s).LastDay != kDayNotSeen && CurrentLink(s).LastOk;
}
bool LastFailed(MacroSources& s, std::string&) {
  return CurrentLink(s).LastDay != kDayNotSeen && !CurrentLink(s).LastOk;
}

// --- Per record: failures ---------------------------------------------------

const TFailure& CurrentFailure(const MacroSources& s) {
  static const TFailure kNoFailure;
  const auto& failures = s.model.failures;
  int32_t i = s.report.currentIndex;
  return (i >= 0 && static_cast<size_t>(i) < failures.size()) ? failures[i] : kNoFailure;
}

// Not binkd's "?": a line that begins with "?" loses it.
bool FailAddress(MacroSources& s, std::string& o) {
  if (CurrentFailure(s).Address.empty()) return Set(o, "(none)");
  return SetChanged(o, CurrentFailure(s).Address, s);
}
bool FailNoAddress(MacroSources& s, std::string&) { return CurrentFailure(s).Address.empty(); }
bool FailClaimed(MacroSources& s, std::string&) { return CurrentFailure(s).Claimed; }
bool FailReasonField(MacroSources& s, std::string& o) {
  return Set(o, FailReasonText(CurrentFailure(s).Reason));
}
bool FailText(MacroSources& s, std::string& o) { return Set(o, CurrentFailure(s).Text); }
bool FailSessions(MacroSources& s, std::string& o) {
  return SetDecimal(o, CurrentFailure(s).Sessions);
}
bool FailCalls(MacroSources& s, std::string& o) { return SetDecimal(o, CurrentFailure(s).Calls); }
bool FailCount(MacroSources& s, std::string& o) {
  return SetDecimal(o, int64_t{CurrentFailure(s).Sessions} + CurrentFailure(s).Calls);
}
bool FailLastDate(MacroSources& s, std::string& o) {
  return SetDayDate(o, CurrentFailure(s).LastDay, s);
}
bool FailLastTime(MacroSources& s, std::string& o) {
  return SetClock(o, std::max(CurrentFailure(s).LastTime, 0));
}
// The first row of an address shows it; the rows of its other reasons do not.
bool FailNewAddress(MacroSources& s, std::string&) {
  int32_t i = s.report.currentIndex;
  const auto& failures = s.model.failures;
  if (i <= 0 || static_cast<size_t>(i) >= failures.size()) return true;
  return failures[i - 1].Address != failures[i].Address;
}

// --- Per record: files ---------------------------------------------------

// Time-field codes the files report stores instead of a time.
constexpr int64_t kFileDelayed = 9999996;
constexpr int64_t kFileRefused = 9999997;
constexpr int64_t kFileSkipped = 9999998;
constexpr int64_t kFileAborted = 9999999;

bool NotFileLine(MacroSources& s, std::string&) { return !FileLine(s).isFileLine; }
bool IsFileLine(MacroSources& s, std::string&) { return FileLine(s).isFileLine; }
bool FileTimeIs(const MacroSources& s, int64_t code) {
  return FileLine(s).isFileLine && FileLine(s).timeField == code;
}
bool FileAborted(MacroSources& s, std::string&) { return FileTimeIs(s, kFileAborted); }
bool FileSkipped(MacroSources& s, std::string&) { return FileTimeIs(s, kFileSkipped); }
bool FileRefused(MacroSources& s, std::string&) { return FileTimeIs(s, kFileRefused); }
bool FileDelayed(MacroSources& s, std::string&) { return FileTimeIs(s, kFileDelayed); }
bool TimeNormal(MacroSources& s, std::string&) {
  return FileLine(s).isFileLine && FileLine(s).timeField < kFileDelayed;
}
bool NoTime(MacroSources& s, std::string&) {
  return FileLine(s).isFileLine && FileLine(s).timeField >= kFileDelayed;
}
bool IsTime(MacroSources& s, std::string&) {
  return !FileLine(s).isFileLine || FileLine(s).timeField < kFileDelayed;
}
bool FileSize(MacroSources& s, std::string& o) {
  const CurrentFileLine& f = FileLine(s);
  if (!f.isFileLine) return SetDecimal(o, f.aliasBytes);
  int64_t end = f.abortPosition != 0 ? f.abortPosition : f.size;
  // A remote system may claim an offset past the file's end: nothing came then.
  return SetDecimal(o, std::max<int64_t>(end - f.resumeOffset, 0));
}
bool FileCps(MacroSources& s, std::string& o) {
  const CurrentFileLine& f = FileLine(s);
  return SetDecimal(o, f.isFileLine ? f.cps : f.aliasCps);
}
// The files report decides: the last line of the body of a link's last record.
bool EndFiles(MacroSources& s, std::string&) {
  return FilesReport(s) && s.report.onLastBodyLine && FileLine(s).endFiles;
}

// --- Per record: graphic, disks, last calls ------------------------------

bool GraphicPercent(MacroSources& s, std::string& o) {
  switch (s.report.currentRow) {
    case 15:
      return Set(o, "100%");
    case 10:
      return Set(o, " 60%");
    case 5:
      return Set(o, " 30%");
    default:
      return Set(o, "    ");
  }
}
bool Drive(MacroSources& s, std::string& o) { return Set(o, std::string(1, s.report.diskLetter)); }
bool Label(MacroSources& s, std::string& o) { return Set(o, s.report.diskLabel); }
bool TotalSpace(MacroSources& s, std::string& o) { return Set(o, s.report.diskTotalText); }
bool FreeSpace(MacroSources& s, std::string& o) { return Set(o, s.report.diskFreeText); }
bool LastDate(MacroSources& s, std::string& o) {
  return Set(o, DateKeyText(CurrentLastCall(s).LastDate, DateOf(s.today)));
}
bool LastTime(MacroSources& s, std::string& o) { return SetClock(o, CurrentLastCall(s).LastTime); }

// --- Footer totals -------------------------------------------------------

int64_t TotalReceivedBytes(const MacroSources& s) { return RoundHalfAway(s.model.TotalReceived); }
int64_t TotalSentBytes(const MacroSources& s) { return RoundHalfAway(s.model.TotalSent); }

bool HideNull(MacroSources& s, std::string&) { return s.settings.HIDE_NULL_SESSIONS; }
bool LinkCount(MacroSources& s, std::string& o) {
  return SetDecimal(o, static_cast<int64_t>(s.model.links.size()));
}
bool TotalReceived(MacroSources& s, std::string& o) {
  return Set(o, GroupThousands(TotalReceivedBytes(s)));
}
bool TotalSent(MacroSources& s, std::string& o) {
  return Set(o, GroupThousands(TotalSentBytes(s)));
}
bool TotalTraffic(MacroSources& s, std::string& o) {
  return Set(o, GroupThousands(TotalReceivedBytes(s) + TotalSentBytes(s)));
}
bool TotalCps(MacroSources& s, std::string& o) { return SetDecimal(o, s.model.TotalCps); }
bool HistForAll(MacroSources& s, std::string&) { return s.settings.MAKE_HIST_FOR_ALL; }
bool SessionTime(MacroSources& s, std::string& o) { return SetClock(o, s.model.TotalOnlineTime); }
bool CallingTime(MacroSources& s, std::string& o) { return SetClock(o, s.model.TotalCallingTime); }
bool BbsTime(MacroSources& s, std::string& o) { return SetClock(o, s.model.TotalBbsTime); }
bool TotalTime(MacroSources& s, std::string& o) {
  const SessionModel& m = s.model;
  return SetClock(o, m.TotalOnlineTime + m.TotalCallingTime + m.TotalBbsTime + m.LeftTime);
}
bool LeftTime(MacroSources& s, std::string& o) { return SetClock(o, s.model.LeftTime); }
bool SessionCount(MacroSources& s, std::string& o) {
  return SetDecimal(o, static_cast<int64_t>(s.model.sessions.size()) - s.model.BbsSessions);
}
bool StationUsage(MacroSources& s, std::string& o) { return Set(o, s.report.stationUsage); }
// 48 cells, one a half hour from midnight: blank for none, else 1 to 9 by
// the share of the busiest half hour (any at all shows at least 1).
std::string HalfHourCells(const int64_t (&values)[HalfHours::kSlots]) {
  int64_t top = *std::max_element(std::begin(values), std::end(values));
  std::string cells(HalfHours::kSlots, ' ');
  for (int k = 0; k < HalfHours::kSlots; ++k) {
    if (values[k] <= 0) continue;
    int64_t level = (values[k] * 9 + top - 1) / top;
    cells[k] = static_cast<char>('0' + std::clamp<int64_t>(level, 1, 9));
  }
  return cells;
}
int BusiestHalfHour(const HalfHours& hours) {
  return static_cast<int>(std::max_element(std::begin(hours.sessions), std::end(hours.sessions)) -
                          std::begin(hours.sessions));
}
bool HalfHourSessions(MacroSources& s, std::string& o) {
  return Set(o, HalfHourCells(HalfHoursOf(s.model).sessions));
}
bool HalfHourBytes(MacroSources& s, std::string& o) {
  return Set(o, HalfHourCells(HalfHoursOf(s.model).bytes));
}
bool BusiestHalfHourTime(MacroSources& s, std::string& o) {
  return SetClock(o, int64_t{BusiestHalfHour(HalfHoursOf(s.model))} * 1800);
}
bool BusiestHalfHourSessions(MacroSources& s, std::string& o) {
  HalfHours hours = HalfHoursOf(s.model);
  return SetDecimal(o, hours.sessions[BusiestHalfHour(hours)]);
}
bool StationUsageSum(MacroSources& s, std::string& o) { return Set(o, s.report.stationUsageSum); }
bool UnprotectedSessions(MacroSources& s, std::string& o) {
  return SetDecimal(o, s.model.UnprotectedSessions);
}
bool NoAddressSessions(MacroSources& s, std::string& o) {
  return SetDecimal(o, s.model.AnonymousSessions);
}
int64_t FailureSum(const SessionModel& model, int32_t TFailure::*field) {
  int64_t sum = 0;
  for (const TFailure& f : model.failures) sum += f.*field;
  return sum;
}
bool FailedSessions(MacroSources& s, std::string& o) {
  return SetDecimal(o, FailureSum(s.model, &TFailure::Sessions));
}
bool FailedCalls(MacroSources& s, std::string& o) {
  return SetDecimal(o, FailureSum(s.model, &TFailure::Calls));
}
bool BbsUsage(MacroSources& s, std::string& o) { return Set(o, s.report.bbsUsage); }
bool BbsUsed(MacroSources& s, std::string&) { return s.model.BbsSessions > 0; }

// --- Trends report ---------------------------------------------------------

const TrendsRow& Trend(const MacroSources& s) { return s.report.trendsRow; }
const TrendsTotals& TrendTotals(const MacroSources& s) { return s.report.trendsTotals; }

std::string DateText(const CalendarDate& date) {
  if (date.year == 0) return "";
  std::string year = DecimalText(date.year);
  if (date.month < 1 || date.month > 12) return year;
  std::string month = std::string(kMonthNames[date.month]) + " " + year;
  return date.day == 0 ? month : TwoDigits(date.day) + "." + TwoDigits(date.month) + "." + year;
}
// Bytes over the seconds the transfers took; 0 when none took any time.
int64_t AverageCps(const TrendsLinkSums& sums) {
  if (sums.transferSeconds <= 0) return 0;
  return (sums.received + sums.sent) / sums.transferSeconds;
}
// The share of the covered time the line was busy, as the summary counts it.
std::string UsageOf(const TrendsLinkSums& links, const TrendsStationSums& station,
                    int64_t covered) {
  double busy =
      static_cast<double>(links.onlineSeconds + station.callingSeconds + station.unfinishedSeconds);
  return Percent(covered > 0 ? busy / static_cast<double>(covered) : 0.0);
}

bool TrendDate(MacroSources& s, std::string& o) { return Set(o, DateText(Trend(s).date)); }
bool TrendAddress(MacroSources& s, std::string& o) { return SetChanged(o, Trend(s).address, s); }
bool TrendRank(MacroSources& s, std::string& o) { return SetDecimal(o, Trend(s).rank); }
bool TrendHour(MacroSources& s, std::string& o) {
  int32_t hour = Trend(s).hour;
  return Set(o, hour < 0 ? std::string() : TwoDigits(hour) + ":00");
}
bool TrendReceived(MacroSources& s, std::string& o) {
  return Set(o, GroupThousands(Trend(s).links.received));
}
bool TrendSent(MacroSources& s, std::string& o) {
  return Set(o, GroupThousands(Trend(s).links.sent));
}
bool TrendTraffic(MacroSources& s, std::string& o) {
  return Set(o, GroupThousands(Trend(s).links.received + Trend(s).links.sent));
}
bool TrendCps(MacroSources& s, std::string& o) { return SetDecimal(o, AverageCps(Trend(s).links)); }
bool TrendUsage(MacroSources& s, std::string& o) {
  return Set(o, UsageOf(Trend(s).links, Trend(s).station, Trend(s).coveredSeconds));
}
bool TrendSessions(MacroSources& s, std::string& o) {
  return SetDecimal(o, Trend(s).links.sessionsIn + Trend(s).links.sessionsOut);
}
bool TrendIn(MacroSources& s, std::string& o) { return SetDecimal(o, Trend(s).links.sessionsIn); }
bool TrendOut(MacroSources& s, std::string& o) { return SetDecimal(o, Trend(s).links.sessionsOut); }
bool TrendAborted(MacroSources& s, std::string& o) { return SetDecimal(o, Trend(s).links.aborted); }
bool TrendOnline(MacroSources& s, std::string& o) {
  return SetClock(o, Trend(s).links.onlineSeconds);
}
bool TrendFilesIn(MacroSources& s, std::string& o) {
  return SetDecimal(o, Trend(s).links.filesReceived);
}
bool TrendFilesOut(MacroSources& s, std::string& o) {
  return SetDecimal(o, Trend(s).links.filesSent);
}
bool TrendFailed(MacroSources& s, std::string& o) {
  return SetDecimal(o, Trend(s).station.failedCalls);
}
bool TrendDays(MacroSources& s, std::string& o) { return SetDecimal(o, Trend(s).daysStored); }
bool TrendStored(MacroSources& s, std::string&) { return Trend(s).stored; }

bool TrendFirstDay(MacroSources& s, std::string& o) {
  return Set(o, DateText(TrendTotals(s).firstDay));
}
bool TrendLastDay(MacroSources& s, std::string& o) {
  return Set(o, DateText(TrendTotals(s).lastDay));
}
bool TrendLastMonth(MacroSources& s, std::string& o) {
  CalendarDate last = TrendTotals(s).lastDay;
  return Set(o, DateText({0, last.month, last.year}));
}
bool TrendLastYear(MacroSources& s, std::string& o) {
  int32_t year = TrendTotals(s).lastDay.year;
  return Set(o, year == 0 ? std::string() : DecimalText(year));
}
bool TrendTotalDays(MacroSources& s, std::string& o) {
  return SetDecimal(o, TrendTotals(s).daysStored);
}
bool TrendTotalLinks(MacroSources& s, std::string& o) {
  return SetDecimal(o, TrendTotals(s).linkCount);
}
bool TrendTotalReceived(MacroSources& s, std::string& o) {
  return Set(o, GroupThousands(TrendTotals(s).links.received));
}
bool TrendTotalSent(MacroSources& s, std::string& o) {
  return Set(o, GroupThousands(TrendTotals(s).links.sent));
}
bool TrendTotalTraffic(MacroSources& s, std::string& o) {
  return Set(o, GroupThousands(TrendTotals(s).links.received + TrendTotals(s).links.sent));
}
// The cards of a web page: a figure that fits its box.
bool TrendTotalReceivedShort(MacroSources& s, std::string& o) {
  return Set(o, HumanBytes(TrendTotals(s).links.received));
}
bool TrendTotalSentShort(MacroSources& s, std::string& o) {
  return Set(o, HumanBytes(TrendTotals(s).links.sent));
}
bool TrendTotalTrafficShort(MacroSources& s, std::string& o) {
  return Set(o, HumanBytes(TrendTotals(s).links.received + TrendTotals(s).links.sent));
}
bool TrendTotalCps(MacroSources& s, std::string& o) {
  return SetDecimal(o, AverageCps(TrendTotals(s).links));
}
bool TrendTotalUsage(MacroSources& s, std::string& o) {
  const TrendsTotals& t = TrendTotals(s);
  return Set(o, UsageOf(t.links, t.station, t.coveredSeconds));
}
bool TrendTotalSessions(MacroSources& s, std::string& o) {
  return SetDecimal(o, TrendTotals(s).links.sessionsIn + TrendTotals(s).links.sessionsOut);
}
bool TrendsEmpty(MacroSources& s, std::string&) { return TrendTotals(s).daysStored == 0; }

using G = MacroGroup;
using F = MacroForm;

// Row order is scan order. Bare-only rows are interleaved so that the rows
// marked bare also keep the order in which definition values are rewritten.
constexpr MacroRow kVocabulary[] = {
    {"@THISSTATION", G::kBareOnly, F::kField, kAll, true, false, ThisStation},
    {"@THISSYSOP", G::kBareOnly, F::kField, kAll, true, false, ThisSysop},
    {"@NOEND()", G::kNoEnd, F::kMarker, kAll, false, false, nullptr},
    {"@TIMEFROM", G::kPeriod, F::kField, kAll, true, false, TimeFrom},
    {"@DAYFROM", G::kPeriod, F::kField, kAll, true, false, DayFrom},
    {"@MONTHFROM", G::kPeriod, F::kField, kAll, true, false, MonthFrom},
    {"@YEARFROM", G::kPeriod, F::kField, kAll, true, false, YearFrom},
    {"@TIMETILL", G::kPeriod, F::kField, kAll, true, false, TimeTill},
    {"@DAYTILL", G::kPeriod, F::kField, kAll, true, false, DayTill},
    {"@MONTHTILL", G::kPeriod, F::kField, kAll, true, false, MonthTill},
    {"@YEARTILL", G::kPeriod, F::kField, kAll, true, false, YearTill},
    {"@VERSION", G::kBareOnly, F::kField, kAll, true, false, Version},
    {"@GRAPHICSTARTTIME", G::kBareOnly, F::kField, Kinds({10}), true, false, GraphicStart},
    {"@GRAPHICENDTIME", G::kBareOnly, F::kField, Kinds({10}), true, false, GraphicEnd},
    {"@MOSTPOPULAR", G::kMailersSummary, F::kField, Kinds({7}), false, false, MostPopular},
    {"@DIFFERENTMAILERS", G::kMailersSummary, F::kField, Kinds({7}), false, false,
     DifferentMailers},
    {"@STARTTIME", G::kPerRecord, F::kField, Kinds({1}), false, false, StartTime},
    {"@ENDTIME", G::kPerRecord, F::kField, Kinds({1}), false, false, EndTime},
    {"@?IN", G::kPerRecord, F::kCondition, Kinds({1, 8}), false, false, IsIn},
    {"@?OUT", G::kPerRecord, F::kCondition, Kinds({1, 8}), false, false, IsOut},
    {"@?COMPLETE", G::kPerRecord, F::kCondition, Kinds({1, 8}), false, false, IsComplete},
    {"@?ABORTED", G::kPerRecord, F::kCondition, Kinds({1, 8}), false, false, IsAborted},
    {"@CONNECT", G::kPerRecord, F::kField, Kinds({1}), false, false, Connect},
    {"@?ZMODEM", G::kPerRecord, F::kCondition, Kinds({1}), false, false, Zmodem},
    {"@?HYDRA", G::kPerRecord, F::kCondition, Kinds({1}), false, false, Hydra},
    {"@?ZEDZAP", G::kPerRecord, F::kCondition, Kinds({1}), false, false, Zedzap},
    {"@?DIRZAP", G::kPerRecord, F::kCondition, Kinds({1}), false, false, Dirzap},
    {"@?BINKP", G::kPerRecord, F::kCondition, Kinds({1}), false, false, Binkp},
    {"@?PROTECTED", G::kPerRecord, F::kCondition, kLinkKinds | Kinds({1}), false, false, Protected},
    {"@?UNPROTECTED", G::kPerRecord, F::kCondition, kLinkKinds | Kinds({1}), false, false,
     Unprotected},
    {"@ADDRESS", G::kPerRecord, F::kField, kLinkKinds | Kinds({1, 13}), false, false, Address},
    {"@RECEIVED", G::kPerRecord, F::kField, kLinkKinds | Kinds({1}), false, false, Received},
    {"@SENT", G::kPerRecord, F::kField, kLinkKinds | Kinds({1}), false, false, Sent},
    {"@CPS", G::kPerRecord, F::kField, kLinkKinds | Kinds({1}), false, false, Cps},
    {"@SYSOP", G::kPerRecord, F::kField, kLinkKinds, false, false, Sysop},
    {"@LINKTRAFFIC", G::kPerRecord, F::kField, kLinkKinds, false, false, LinkTraffic},
    {"@PHONE", G::kPerRecord, F::kField, kLinkKinds, false, false, Phone},
    {"@SYSTEM", G::kPerRecord, F::kField, kLinkKinds, false, false, System},
    {"@LOCATION", G::kPerRecord, F::kField, kLinkKinds, false, false, Location},
    {"@MAILER", G::kPerRecord, F::kField, KindRange(2, 9), false, false, Mailer},
    {"@STATLINE", G::kPerRecord, F::kField, Kinds({4, 5, 6, 9, 10, 12}), false, false, StatLine},
    {"@MAILERSNUMBER", G::kPerRecord, F::kField, Kinds({7}), false, false, MailersNumber},
    {"@MAILERSPROCENT", G::kPerRecord, F::kField, Kinds({7}), false, false, MailersPercent},
    {"@?TIMESPECIAL", G::kPerRecord, F::kCondition, Kinds({8}), false, false, NotFileLine},
    {"@?FILEABORTED", G::kPerRecord, F::kCondition, Kinds({8}), false, false, FileAborted},
    {"@?FILESKIPPED", G::kPerRecord, F::kCondition, Kinds({8}), false, false, FileSkipped},
    {"@?FILEREFUSED", G::kPerRecord, F::kCondition, Kinds({8}), false, false, FileRefused},
    {"@?FILEDELAYED", G::kPerRecord, F::kCondition, Kinds({8}), false, false, FileDelayed},
    {"@?TIMENORMAL", G::kPerRecord, F::kCondition, Kinds({8}), false, false, TimeNormal},
    {"@?NOTIME", G::kPerRecord, F::kCondition, Kinds({8}), false, false, NoTime},
    {"@?ISTIME", G::kPerRecord, F::kCondition, Kinds({8}), false, false, IsTime},
    {"@?NOINOUT", G::kPerRecord, F::kCondition, Kinds({8}), false, false, NotFileLine},
    {"@?FILEALIAS", G::kPerRecord, F::kCondition, Kinds({8}), false, false, NotFileLine},
    {"@?FILENAME", G::kPerRecord, F::kCondition, Kinds({8}), false, false, IsFileLine},
    {"@FILESIZE", G::kPerRecord, F::kField, Kinds({8}), false, false, FileSize},
    {"@FILECPS", G::kPerRecord, F::kField, Kinds({8}), false, false, FileCps},
    {"@?ENDFILES", G::kPerRecord, F::kCondition, kAll, false, false, EndFiles},
    {"@LINKTIME", G::kPerRecord, F::kField, kLinkKinds, false, false, LinkTime},
    {"@INOK", G::kPerRecord, F::kField, kLinkKinds, false, false, InOk},
    {"@INFAILED", G::kPerRecord, F::kField, kLinkKinds, false, false, InFailed},
    {"@CALLSMADE", G::kPerRecord, F::kField, kLinkKinds, false, false, CallsMade},
    {"@CALLSCONNECTED", G::kPerRecord, F::kField, kLinkKinds, false, false, CallsConnected},
    {"@CALLSOK", G::kPerRecord, F::kField, kLinkKinds, false, false, CallsOk},
    {"@CALLSFAILED", G::kPerRecord, F::kField, kLinkKinds, false, false, CallsFailed},
    {"@CALLSNOCONNECT", G::kPerRecord, F::kField, kLinkKinds, false, false, CallsNoConnect},
    {"@LINKUNPROTECTED", G::kPerRecord, F::kField, kLinkKinds, false, false, LinkUnprotected},
    {"@LASTSESSIONDATE", G::kPerRecord, F::kField, kLinkKinds, false, false, LastSessionDate},
    {"@LASTSESSIONTIME", G::kPerRecord, F::kField, kLinkKinds, false, false, LastSessionTime},
    {"@?LASTOK", G::kPerRecord, F::kCondition, kLinkKinds, false, false, LastOk},
    {"@?LASTFAILED", G::kPerRecord, F::kCondition, kLinkKinds, false, false, LastFailed},
    {"@FAILADDRESS", G::kPerRecord, F::kField, kFailures, false, false, FailAddress},
    {"@?FAILNOADDRESS", G::kPerRecord, F::kCondition, kFailures, false, false, FailNoAddress},
    {"@?FAILNEWADDRESS", G::kPerRecord, F::kCondition, kFailures, false, false, FailNewAddress},
    {"@?FAILCLAIMED", G::kPerRecord, F::kCondition, kFailures, false, false, FailClaimed},
    {"@FAILREASON", G::kPerRecord, F::kField, kFailures, false, false, FailReasonField},
    {"@FAILTEXT", G::kPerRecord, F::kField, kFailures, false, false, FailText},
    {"@FAILSESSIONS", G::kPerRecord, F::kField, kFailures, false, false, FailSessions},
    {"@FAILCALLS", G::kPerRecord, F::kField, kFailures, false, false, FailCalls},
    {"@FAILCOUNT", G::kPerRecord, F::kField, kFailures, false, false, FailCount},
    {"@FAILLASTDATE", G::kPerRecord, F::kField, kFailures, false, false, FailLastDate},
    {"@FAILLASTTIME", G::kPerRecord, F::kField, kFailures, false, false, FailLastTime},
    {"@PROCENT", G::kPerRecord, F::kField, Kinds({10}), false, false, GraphicPercent},
    {"@DRIVE", G::kPerRecord, F::kField, Kinds({12}), false, true, Drive},
    {"@LABEL", G::kPerRecord, F::kField, Kinds({12}), false, true, Label},
    {"@TOTALSPACE", G::kPerRecord, F::kField, Kinds({12}), false, true, TotalSpace},
    {"@FREESPACE", G::kPerRecord, F::kField, Kinds({12}), false, true, FreeSpace},
    {"@LASTDATE", G::kPerRecord, F::kField, Kinds({13}), false, true, LastDate},
    {"@LASTTIME", G::kPerRecord, F::kField, Kinds({13}), false, true, LastTime},
    {"@?HIDENULLSESSIONS", G::kTotals, F::kCondition, Kinds({1}), false, false, HideNull},
    {"@NUMBEROFLINKS", G::kTotals, F::kField, kTotalKinds, false, false, LinkCount},
    {"@TOTALRECEIVED", G::kTotals, F::kField, kTotalKinds, false, false, TotalReceived},
    {"@TOTALSENT", G::kTotals, F::kField, kTotalKinds, false, false, TotalSent},
    {"@TOTALTRAFFIC", G::kTotals, F::kField, kTotalKinds, false, false, TotalTraffic},
    {"@TOTALCPS", G::kTotals, F::kField, kTotalKinds, false, false, TotalCps},
    {"@?MAKEHISTFORALL", G::kTotals, F::kCondition, Kinds({9}), false, false, HistForAll},
    {"@TOTALSESSIONTIME", G::kTotals, F::kField, kTotalKinds, false, false, SessionTime},
    {"@TOTALCALLINGTIME", G::kTotals, F::kField, kTotalKinds, false, false, CallingTime},
    {"@TOTALBBSTIME", G::kTotals, F::kField, kTotalKinds, false, false, BbsTime},
    {"@TOTALTIME", G::kTotals, F::kField, kTotalKinds, false, false, TotalTime},
    {"@LEFTTIME", G::kTotals, F::kField, kTotalKinds, false, false, LeftTime},
    {"@NUMBEROFSESSIONS", G::kTotals, F::kField, kTotalKinds, false, false, SessionCount},
    {"@STATIONUSAGE", G::kTotals, F::kField, Kinds({11}), false, false, StationUsage},
    {"@STATIONUSAGESUM", G::kTotals, F::kField, Kinds({11}), false, false, StationUsageSum},
    {"@UNPROTECTEDSESSIONS", G::kTotals, F::kField, kTotalKinds | kFailures, false, false,
     UnprotectedSessions},
    {"@NOADDRESSSESSIONS", G::kTotals, F::kField, kTotalKinds | kFailures, false, false,
     NoAddressSessions},
    {"@FAILEDSESSIONS", G::kTotals, F::kField, kTotalKinds | kFailures, false, false,
     FailedSessions},
    {"@FAILEDCALLS", G::kTotals, F::kField, kTotalKinds | kFailures, false, false, FailedCalls},
    {"@HALFHOURSESSIONS", G::kTotals, F::kField, Kinds({9, 10}), false, false, HalfHourSessions},
    {"@HALFHOURBYTES", G::kTotals, F::kField, Kinds({9, 10}), false, false, HalfHourBytes},
    {"@BUSIESTHALFHOUR", G::kTotals, F::kField, Kinds({9, 10}), false, false, BusiestHalfHourTime},
    {"@BUSIESTSESSIONS", G::kTotals, F::kField, Kinds({9, 10}), false, false,
     BusiestHalfHourSessions},
    {"@BBSUSAGE", G::kTotals, F::kField, Kinds({11}), false, false, BbsUsage},
    {"@?BBSUSED", G::kTotals, F::kLineCondition, Kinds({11}), false, false, BbsUsed},
    {"@TRENDDATE", G::kPerRecord, F::kField, kTrends, false, false, TrendDate},
    {"@TRENDADDRESS", G::kPerRecord, F::kField, kTrends, false, false, TrendAddress},
    {"@TRENDRANK", G::kPerRecord, F::kField, kTrends, false, false, TrendRank},
    {"@TRENDHOUR", G::kPerRecord, F::kField, kTrends, false, false, TrendHour},
    {"@TRENDRECEIVED", G::kPerRecord, F::kField, kTrends, false, false, TrendReceived},
    {"@TRENDSENT", G::kPerRecord, F::kField, kTrends, false, false, TrendSent},
    {"@TRENDTRAFFIC", G::kPerRecord, F::kField, kTrends, false, false, TrendTraffic},
    {"@TRENDCPS", G::kPerRecord, F::kField, kTrends, false, false, TrendCps},
    {"@TRENDUSAGE", G::kPerRecord, F::kField, kTrends, false, false, TrendUsage},
    {"@TRENDSESSIONS", G::kPerRecord, F::kField, kTrends, false, false, TrendSessions},
    {"@TRENDIN", G::kPerRecord, F::kField, kTrends, false, false, TrendIn},
    {"@TRENDOUT", G::kPerRecord, F::kField, kTrends, false, false, TrendOut},
    {"@TRENDABORTED", G::kPerRecord, F::kField, kTrends, false, false, TrendAborted},
    {"@TRENDONLINE", G::kPerRecord, F::kField, kTrends, false, false, TrendOnline},
    {"@TRENDFILESIN", G::kPerRecord, F::kField, kTrends, false, false, TrendFilesIn},
    {"@TRENDFILESOUT", G::kPerRecord, F::kField, kTrends, false, false, TrendFilesOut},
    {"@TRENDFAILED", G::kPerRecord, F::kField, kTrends, false, false, TrendFailed},
    {"@TRENDDAYS", G::kPerRecord, F::kField, kTrends, false, false, TrendDays},
    {"@?TRENDSTORED", G::kPerRecord, F::kLineCondition, kTrends, false, false, TrendStored},
    {"@TRENDFIRSTDAY", G::kReportWide, F::kField, kTrends, false, false, TrendFirstDay},
    {"@TRENDLASTDAY", G::kReportWide, F::kField, kTrends, false, false, TrendLastDay},
    {"@TRENDLASTMONTH", G::kReportWide, F::kField, kTrends, false, false, TrendLastMonth},
    {"@TRENDLASTYEAR", G::kReportWide, F::kField, kTrends, false, false, TrendLastYear},
    {"@TRENDTOTALDAYS", G::kReportWide, F::kField, kTrends, false, false, TrendTotalDays},
    {"@TRENDTOTALLINKS", G::kReportWide, F::kField, kTrends, false, false, TrendTotalLinks},
    {"@TRENDTOTALRECEIVED", G::kReportWide, F::kField, kTrends, false, false, TrendTotalReceived},
    {"@TRENDTOTALSENT", G::kReportWide, F::kField, kTrends, false, false, TrendTotalSent},
    {"@TRENDTOTALTRAFFIC", G::kReportWide, F::kField, kTrends, false, false, TrendTotalTraffic},
    {"@TRENDTOTALRECEIVEDSHORT", G::kReportWide, F::kField, kTrends, false, false,
     TrendTotalReceivedShort},
    {"@TRENDTOTALSENTSHORT", G::kReportWide, F::kField, kTrends, false, false, TrendTotalSentShort},
    {"@TRENDTOTALTRAFFICSHORT", G::kReportWide, F::kField, kTrends, false, false,
     TrendTotalTrafficShort},
    {"@TRENDTOTALCPS", G::kReportWide, F::kField, kTrends, false, false, TrendTotalCps},
    {"@TRENDTOTALUSAGE", G::kReportWide, F::kField, kTrends, false, false, TrendTotalUsage},
    {"@TRENDTOTALSESSIONS", G::kReportWide, F::kField, kTrends, false, false, TrendTotalSessions},
    {"@?TRENDSEMPTY", G::kReportWide, F::kLineCondition, kTrends, false, false, TrendsEmpty},
};

static_assert(std::size(kVocabulary) <= kMaxVocabularyRows);

}  // namespace

std::span<const MacroRow> MacroVocabulary() { return kVocabulary; }

bool ActiveInPass(MacroGroup group, int pass) {
  switch (group) {
    case MacroGroup::kBareOnly:
      return false;
    case MacroGroup::kPerRecord:
      return pass == 2 || pass == 3;
    case MacroGroup::kTotals:
      return pass == 3;
    default:
      return true;
  }
}

std::string_view FailReasonText(FailReason reason) {
  static constexpr std::string_view kTexts[kFailReasons] = {
      "connection refused",          "timed out",    "no route",   "busy", "incorrect password",
      "not from an allowed address", "remote error", "broken off", "other"};
  auto k = static_cast<size_t>(reason);
  return k < std::size(kTexts) ? kTexts[k] : kTexts[kFailReasons - 1];
}

std::string DateKeyText(int32_t key, CalendarDate today) {
  CalendarDate date = DecodeDateKey(key, today);
  int month = (date.month >= 1 && date.month <= 12) ? date.month : 0;
  return TwoDigits(date.day) + " " + kMonthNames[month] + " " + DecimalText(date.year);
}

}  // namespace zentrak
