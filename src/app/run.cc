// The fixed order of a run. Every step owns its messages; a step that must end
// the run throws RunStop, and only this sequence catches it.
#include "app/run.h"

#include "config/language_file.h"
#include "config/mailer_config.h"
#include "config/main_config.h"
#include "console/run_stop.h"
#include "log/last_call_history.h"
#include "log/log_cut.h"
#include "log/log_parser.h"
#include "reports/bar_reports.h"
#include "reports/disk_report.h"
#include "reports/graphic_report.h"
#include "reports/histogram_report.h"
#include "reports/last_call_report.h"
#include "reports/links_report.h"
#include "reports/mailers_report.h"
#include "reports/report_frame.h"
#include "reports/sessions_report.h"
#include "reports/single_file.h"
#include "reports/summary_report.h"
#include "reports/sysops_report.h"
#include "support/calendar.h"
#include "support/text.h"
#include "support/version.h"
#include "template/template_engine.h"

namespace zentrak {
namespace {

void Banner(RunContext& run, const char* word) {
  run.console.ConsoleLog(kMilestone, kBannerFormat,
                         {kVersion, run.platform.PlatformWord(), kAuthor, word});
}

// Configuration file: the single argument, or zentrak.cfg beside the program.
void DecideConfigPath(RunContext& run, const std::vector<std::string>& args) {
  if (args.size() < 2) {
    run.configPath = run.programDir + kDefaultConfigName;
    return;
  }
  if (args.size() == 2 && Contains(args[1], "?")) {
    run.console.Bare("* Syntax: " + run.platform.ProgramFileName() +
                     " [config_file]   (default = zentrak.cfg)");
    StopRun(0);
  }
  run.configPath = CutTo(args[1], 255);
}

// The reports in their fixed order; each runs only when its switch is on, and
// one that fails clears its switch and lets the next one run.
void WriteReports(RunContext& run, const std::string& historyPath) {
  ReportContext ctx = run.reportContext();
  const Settings& s = run.settings;
  if (s.MAKESTAT_SESSIONS) MakeSessionsReport(ctx);
  if (s.MAKESTAT_LINKS) MakeLinksReport(ctx);
  if (s.MAKESTAT_SYSOPS) MakeSysopsReport(ctx);
  if (s.MAKESTAT_CPS) MakeCpsReport(ctx);
  if (s.MAKESTAT_TRAFFIC) MakeTrafficReport(ctx);
  if (s.MAKESTAT_TIME) MakeTimeReport(ctx);
  if (s.MAKESTAT_MAILERS) MakeMailersReport(ctx);
  if (s.MAKESTAT_HISTOGRAM) MakeHistogramReport(ctx);
  if (s.MAKESTAT_FILES) NoteFilesReportMissing(run.console);
  if (s.MAKESTAT_GRAPHIC) MakeGraphicReport(ctx);
  if (s.MAKESTAT_SUMMARY) MakeSummaryReport(ctx);
  if (s.MAKESTAT_DISK) MakeDiskReport(ctx);
  if (s.MAKESTAT_LASTCALL) MakeLastCallReport(ctx, historyPath);
}

void RunSteps(RunContext& run, const std::vector<std::string>& args) {
  Banner(run, "started");
  run.runStartSecond = run.console.secondOfDay();
  run.today = TodayOn(run.platform.LocalClock());
  run.programDir = ProgramDirOf(run.platform.ExecutablePath(args.empty() ? std::string() : args[0]),
                                run.platform.DirSeparator());
  DecideConfigPath(run, args);
  ReadMainConfig(run.configPath, run.settings, run.console, run.platform);
  std::string historyPath =
      HistoryPath(run.programDir, run.settings.HISTFILE, run.platform.DirSeparator());
  LoadLastCalls(historyPath, run.model, run.platform);
  if (!run.settings.MAILER_CFG.empty()) ReadMailerConfig(run.settings, run.console, run.platform);
  ReadLanguageFile(run.settings, run.texts, run.console, run.platform);
  CutLog(run.settings, run.today, run.console, run.platform);
  ParseLog(run.settings, run.texts, run.today, run.model, run.console, run.platform);
  WriteReports(run, historyPath);
  ReportContext ctx = run.reportContext();
  MakeSingleFiles(ctx);
}

}  // namespace

std::string ProgramDirOf(const std::string& executablePath, char separator) {
  size_t last = executablePath.rfind(separator);
  if (last == std::string::npos) return std::string();
  return CutTo(executablePath.substr(0, last + 1), 255);
}

void EndRun(RunContext& run, bool abnormal) {
  if (!abnormal) {
    int32_t now = run.console.secondOfDay();
    int32_t active = now - run.runStartSecond;
    if (now < run.runStartSecond) active += kSecondsPerDay;
    Banner(run, "ended");
    run.console.ConsoleLog(kMilestone, " Active time: %s", {ClockText(active)});
  }
  for (const std::string& entry : run.settings.AliasList) {
    run.console.Bare(entry);
    size_t equals = entry.find('=');
    std::string name = entry.substr(0, equals);
    std::string address = equals == std::string::npos ? std::string() : entry.substr(equals + 1);
    run.console.Bare(name + "   " + address);
  }
}

int Run(const std::vector<std::string>& args, Platform& platform, std::ostream& out) {
  RunContext run(platform, out);
  try {
    RunSteps(run, args);
  } catch (const RunStop& stop) {
    EndRun(run, true);
    return stop.exitStatus;
  }
  EndRun(run, false);
  return 0;
}

}  // namespace zentrak
