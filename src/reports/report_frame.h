// The frame every report generator runs in: the table of the reports,
// the steps from creating the output to the footer with their clean-up on
// failure, the statistic bar, and the exchange sort of the shared link list.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "config/settings.h"
#include "console/console_log.h"
#include "log/session_model.h"
#include "platform/platform.h"
#include "support/exchange_sort.h"
#include "template/report_state.h"
#include "template/template_engine.h"

namespace zentrak {

/// The run's record of the reports that failed. A report that fails is marked
/// here, and its switch keeps the configured value: the single files read this
/// record to leave out what was not written.
class ReportOutcomes {
 public:
  void MarkFailed(ReportKind kind) { failed_.at(kind) = true; }
  bool Failed(ReportKind kind) const { return failed_.at(kind); }

 private:
  std::array<bool, kFailuresReport + 1> failed_{};
};

/// Everything a report generator reads and writes.
struct ReportContext {
  const Settings& settings;
  SessionModel& model;
  ReportState& report;
  TemplateEngine& engine;
  Console& console;
  Platform& platform;
  ReportOutcomes& outcomes;
};

/// One row of the report table.
struct ReportRow {
  ReportKind kind;
  std::string_view word;  // passed to TemplateHeader and quoted in template messages
  std::string_view noun;  // quoted when the output cannot be created
  bool Settings::*makeStat;
  std::string Settings::*templateName;
  std::string Settings::*outputName;
  bool lineLengthRequired;
};

/// The reports, in kind order (row k - 1 is kind k).
inline constexpr std::array<ReportRow, 15> kReportTable = {{
    {kSessionsReport, "sessions", "sessions stat file", &Settings::MAKESTAT_SESSIONS,
     &Settings::SESSIONS_TEMPLATE, &Settings::SESSIONS_FILE, false},
    {kLinksReport, "links", "links stat file", &Settings::MAKESTAT_LINKS, &Settings::LINKS_TEMPLATE,
     &Settings::LINKS_FILE, false},
    {kSysopsReport, "sysops", "sysops stat file", &Settings::MAKESTAT_SYSOPS,
     &Settings::SYSOPS_TEMPLATE, &Settings::SYSOPS_FILE, false},
    {kCpsReport, "cps", "cps stat file", &Settings::MAKESTAT_CPS, &Settings::CPS_TEMPLATE,
     &Settings::CPS_FILE, true},
    {kTrafficReport, "traffic", "traffic stat file", &Settings::MAKESTAT_TRAFFIC,
     &Settings::TRAFFIC_TEMPLATE, &Settings::TRAFFIC_FILE, true},
    {kTimeReport, "time", "time stat file", &Settings::MAKESTAT_TIME, &Settings::TIME_TEMPLATE,
     &Settings::TIME_FILE, true},
    {kMailersReport, "mailers", "mailers stat file", &Settings::MAKESTAT_MAILERS,
     &Settings::MAILERS_TEMPLATE, &Settings::MAILERS_FILE, false},
    {kFilesReport, "files", "files stat file", &Settings::MAKESTAT_FILES, &Settings::FILES_TEMPLATE,
     &Settings::FILES_FILE, false},
    {kHistogramReport, "histogram", "hist stat file", &Settings::MAKESTAT_HISTOGRAM,
     &Settings::HISTOGRAM_TEMPLATE, &Settings::HISTOGRAM_FILE, true},
    {kGraphicReport, "graphic", "grafic stat file", &Settings::MAKESTAT_GRAPHIC,
     &Settings::GRAPHIC_TEMPLATE, &Settings::GRAPHIC_FILE, true},
    {kSummaryReport, "summary", "summary stat file", &Settings::MAKESTAT_SUMMARY,
     &Settings::SUMMARY_TEMPLATE, &Settings::SUMMARY_FILE, false},
    {kDiskReport, "disk usage", "disk usage stat file", &Settings::MAKESTAT_DISK,
     &Settings::DISK_TEMPLATE, &Settings::DISK_FILE, true},
    {kLastCallReport, "last call", "last call stat file", &Settings::MAKESTAT_LASTCALL,
     &Settings::LASTCALL_TEMPLATE, &Settings::LASTCALL_FILE, false},
    {kTrendsReport, "trends", "trends stat file", &Settings::MAKESTAT_TRENDS,
     &Settings::TRENDS_TEMPLATE, &Settings::TRENDS_FILE, false},
    {kFailuresReport, "failures", "failures stat file", &Settings::MAKESTAT_FAILURES,
     &Settings::FAILURES_TEMPLATE, &Settings::FAILURES_FILE, false},
}};

/// The table row of a report kind (1..15).
const ReportRow& ReportRowOf(ReportKind kind);

/// True when the report is switched on and has not failed in this run.
bool ReportMade(const ReportContext& ctx, const ReportRow& row);

/// What a report adds to the frame. Every hook may be left empty.
struct ReportSteps {
  /// Preparation that needs no template (sorts, tables); runs after " Processing".
  std::function<void()> prepare;
  /// Publishes each record and calls TemplateBody. Returns false when the report
  /// already ended itself (the engine closed both files) and no footer follows.
  std::function<bool()> records;
  /// Runs after the records and before the footer, only when the records ran.
  std::function<void()> cleanUp;
  /// The charts a template may place on a line of their own ("@CHART(NAME)").
  ChartSource chart;
};

/// Runs the frame for one report: output, progress message, preparation,
/// template, header, records, clean-up, footer. On failure it leaves no output
/// file behind and marks the report failed. Returns true when the footer ran.
bool RunReportFrame(ReportContext& ctx, ReportKind kind, const ReportSteps& steps);

/// `length` copies of `symbol`; only the low 8 bits of `length` count.
std::string BarText(int32_t length, char symbol);

/// The bar of a record whose value is `value` when the first (largest) value is
/// `first`: sets barLength and statLine. Returns false (statLine empty) when the
/// record must be left out.
bool PublishBar(ReportState& report, double value, double first, char symbol);

/// True when link `a` must come after link `b`; strict, and a strict weak order.
using LinkAfter = std::function<bool(const TLink& a, const TLink& b)>;

/// Re-orders the links in place exactly as the exchange sort does: for each
/// position i, scan j from the end down to i + 1 and exchange when the link at
/// i must come after the link at j. Ties come out in the order that procedure
/// gives, which is not their previous relative order.
void SortLinks(std::vector<TLink>& links, const LinkAfter& after);

/// Sysop ascending, by byte value (sysops and mailers reports).
bool SysopAfter(const TLink& a, const TLink& b);
/// Cps descending.
bool CpsAfter(const TLink& a, const TLink& b);
/// Received + Sent descending.
bool TrafficAfter(const TLink& a, const TLink& b);
/// OnlineTime descending.
bool TimeAfter(const TLink& a, const TLink& b);

/// Address ascending, by its numbers (histogram and files reports).
bool AddressAfter(const TLink& a, const TLink& b);

/// Received + Sent of a link, as a 64-bit sum.
int64_t LinkTraffic(const TLink& link);

}  // namespace zentrak
