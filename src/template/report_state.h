// What the report generators publish for the macro expander: the report being
// written, its current record and the values it computed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "trends/trends_store.h"

namespace zentrak {

/// Report kinds, as the macro vocabulary's validity sets count them.
enum ReportKind : uint8_t {
  kNoReport = 0,
  kSessionsReport = 1,
  kLinksReport = 2,
  kSysopsReport = 3,
  kCpsReport = 4,
  kTrafficReport = 5,
  kTimeReport = 6,
  kMailersReport = 7,
  kFilesReport = 8,
  kHistogramReport = 9,
  kGraphicReport = 10,
  kSummaryReport = 11,
  kDiskReport = 12,
  kLastCallReport = 13,
  kTrendsReport = 14,
  kFailuresReport = 15,
};

/// Which loop of the trends report a row belongs to.
enum class TrendsLoop : uint8_t { kDays, kMonths, kYears, kTopMonth, kTopYear, kHours, kTopDays };

/// The trends report's current row: a day, month or year of the store, or a
/// link of a top list.
struct TrendsRow {
  TrendsLoop loop = TrendsLoop::kDays;
  CalendarDate date;  // of the row, or of the top list's month or year
  bool stored = false;
  int32_t daysStored = 0;
  int64_t coveredSeconds = 0;
  TrendsLinkSums links;
  TrendsStationSums station;
  std::string address;  // top lists
  int32_t rank = 0;     // top lists, from 1
  int32_t hour = -1;    // the hours loop: 0-23
};

/// The sessions report's copy of the session being listed.
struct CurrentSession {
  int32_t startTime = -1;
  int32_t endTime = -1;
  bool incoming = false;
  bool aborted = false;
  int32_t connectSpeed = -1;
  int32_t protocol = -1;
  bool protectedSession = false;
  std::string address;
  int64_t received = -1;
  int64_t sent = -1;
  int32_t cps = 0;
};

/// One entry of the mailers report's table.
struct MailerEntry {
  std::string name;
  int32_t count = 0;
};

/// The files report's current line: a file, or an alias line (not a file line).
struct CurrentFileLine {
  bool isFileLine = false;
  bool received = false;
  int64_t timeField = 0;
  int64_t resumeOffset = 0;
  int64_t abortPosition = 0;
  int64_t size = 0;
  int32_t cps = 0;
  int64_t aliasBytes = 0;
  int32_t aliasCps = 0;
  bool addressShown = false;
  /// The record is the last of its link: "@?ENDFILES" holds on the body's last line.
  bool endFiles = false;
};

/// Index of the graphic symbols in `ReportState::graphicSymbols`.
enum GraphicSymbol { kGraphicIn = 0, kGraphicOut = 1, kGraphicBbs = 2, kGraphicCall = 3 };

struct ReportState {
  uint8_t reportKind = kNoReport;
  int32_t currentIndex = 0;
  int32_t lineLength = -1;
  int32_t barLength = 0;
  std::string statLine;
  /// Set by the template engine while it writes the last line of the loop body.
  bool onLastBodyLine = false;

  CurrentSession currentSession;

  // Mailers report.
  std::vector<MailerEntry> mailerTable;  // entry k is mailerTable[k - 1]
  int32_t sysopCount = 0;
  int32_t mailerCount = 0;
  int32_t mergedCount = 0;

  // Files report.
  CurrentFileLine fileLine;

  // Graphic report: the row being emitted, 15 (top) down to 1.
  int32_t currentRow = 0;

  // Summary report.
  std::string stationUsage;     // the union of the busy time
  std::string stationUsageSum;  // the sum of the busy spans, parallel ones each
  std::string bbsUsage;

  // Disk usage report.
  char diskLetter = ' ';
  std::string diskLabel;
  std::string diskTotalText;
  std::string diskFreeText;

  // Last call report: index into the last-call collection.
  int32_t currentLastCall = 0;

  // Trends report: the row being written and the store's totals.
  TrendsRow trendsRow;
  TrendsTotals trendsTotals;

  // Drawing symbols, set by definitions in a template ("@DRAWSYMBOL",
  // "@BACKGROUND", "@GRAPHIC...SYMBOL"). They outlive the report whose template
  // set them: a report that sets none draws with what an earlier one left.
  char cpsDrawSymbol = ' ';
  char histBackgroundSymbol = ' ';
  char graphicSymbols[4] = {' ', ' ', ' ', ' '};  // in, out, BBS, call
};

}  // namespace zentrak
