// The fixed order of a run. Every step owns its messages; a step that must end
// the run throws RunStop, and only this sequence catches it.
#include "app/run.h"

#include <algorithm>

#include "app/locations.h"
#include "app/options.h"
#include "app/quiet_output.h"
#include "app/trends_command.h"
#include "config/language_file.h"
#include "config/mailer_config.h"
#include "config/main_config.h"
#include "console/run_stop.h"
#include "log/last_call_history.h"
#include "log/log_cut.h"
#include "log/log_parser.h"
#include "platform/scratch_platform.h"
#include "reports/bar_reports.h"
#include "reports/disk_report.h"
#include "reports/failures_report.h"
#include "reports/files_report.h"
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
#include "reports/trends_report.h"
#include "support/calendar.h"
#include "support/temporary_path.h"
#include "support/text.h"
#include "support/version.h"
#include "template/template_engine.h"
#include "trends/trends_store.h"

namespace zentrak {
namespace {

constexpr const char* kTrendsUntouched = " Trends store %s left untouched: %s";

void Banner(RunContext& run, const char* word) {
  run.console.ConsoleLog(kMilestone, kBannerFormat,
                         {kVersion, run.platform.PlatformWord(), kAuthor, word});
}

std::string VersionLine(Platform& platform) {
  return std::string("Zentrak ") + kVersion + " /" + platform.PlatformWord();
}

std::string SystemConfigPath(Platform& platform) {
  std::optional<std::string> dir = platform.SystemConfigDir();
  return dir ? *dir + kDefaultConfigName : std::string();
}

// The second line says where "the default" is looked for, as the manual does.
void SyntaxLine(RunContext& run) {
  run.console.Bare("* Syntax: " + run.platform.ProgramFileName() +
                   " [config_file]   (default = zentrak.cfg)");
  std::string system = SystemConfigPath(run.platform);
  run.console.Bare("* Without config_file: zentrak.cfg beside the program" +
                   (system.empty() ? std::string() : ", else " + system));
}

// Configuration file: the first argument that is not an option, or the default.
void DecideConfigPath(RunContext& run, const Options& options) {
  if (options.action == Options::Action::kBadOption) {
    run.console.ConsoleLog(kError, " Unknown option (%s)", {options.badOption});
    SyntaxLine(run);
    StopRun(1);
  }
  if (options.arguments.empty()) {
    run.configPath = DefaultConfigPath(run.programDir, run.platform);
    return;
  }
  if (AsksForSyntax(options.arguments)) {
    SyntaxLine(run);
    StopRun(0);
  }
  run.configPath = CutTo(options.arguments[0], 255);
}

// Two runs that share a configuration, an output folder or a log would write
// over each other's files; the second one stops before it changes anything.
// A path that cannot be locked (missing, unreadable) is left to the step that
// reads it to report.
void LockOrStop(RunContext& run, const std::string& path, const char* what) {
  LockAttempt attempt = run.platform.TryLock(path);
  if (attempt.outcome == LockOutcome::kBusy) {
    run.console.ConsoleLog(kError, " Another run is using the %s (%s)", {what, path});
    StopRun(1);
  }
  if (attempt.lock) run.locks.push_back(std::move(attempt.lock));
}

// A relative TRENDS_DB lies where a relative HISTFILE does.
std::string TrendsPath(RunContext& run) {
  if (run.settings.TRENDS_DB.empty()) return std::string();
  return HistoryPath(HistoryBaseDir(run.programDir, run.configPath, run.platform),
                     run.settings.TRENDS_DB, run.platform.DirSeparator());
}

// An empty OUTPUT writes into the current folder.
std::string OutputFolder(const std::string& output) { return output.empty() ? "." : output; }

// The folder part of `path`, ending in a separator; "" for the current folder.
std::string FolderOf(const std::string& path, char separator) {
  size_t last = separator == '/' ? path.rfind('/') : path.find_last_of("/\\");
  return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}

// Every folder this run may put a temporary copy in: beside each report and
// joined file, the history, and where the log cut writes its copy.
std::vector<std::string> FoldersWritten(const RunContext& run, const std::string& historyPath) {
  const Settings& s = run.settings;
  char separator = run.platform.DirSeparator();
  std::vector<std::string> folders;
  auto add = [&](const std::string& folder) {
    if (std::find(folders.begin(), folders.end(), folder) == folders.end()) {
      folders.push_back(folder);
    }
  };
  for (const ReportRow& row : kReportTable) {
    if (s.*row.makeStat) add(FolderOf(s.OUTPUT + s.*row.outputName, separator));
  }
  for (const SingleFileEntry& entry : s.SingleFileTable) {
    add(FolderOf(s.OUTPUT + entry.name, separator));
  }
  if (s.MAKESTAT_LASTCALL) add(FolderOf(historyPath, separator));
  if (s.CUT_LOG || s.cutLogDays != 0) {
    add(std::string());
    add(FolderOf(s.LOG, separator));
  }
  return folders;
}

// A run that was killed leaves its temporary copies behind under its own
// process number; with every lock held, this run removes those of runs that
// no longer run, and says so.
void RemoveCopiesOfDeadRuns(RunContext& run, const std::string& historyPath) {
  for (const std::string& folder : FoldersWritten(run, historyPath)) {
    for (const DeadRunCopy& copy : RemoveDeadRunCopies(folder, run.platform)) {
      if (copy.error == 0) {
        run.console.ConsoleLog(kProgress, " Removed %s, left behind by a run that was stopped",
                               {copy.path});
      } else {
        run.console.ConsoleLog(
            kError, " Unable to remove %s, left behind by a run that was stopped", {copy.path});
        run.console.Reason(copy.error);
      }
    }
  }
}

// The reports in their fixed order; each runs only when its switch is on, and
// one that fails is marked in the run's report outcomes and lets the next one run.
void WriteReports(RunContext& run, const std::string& historyPath, bool saveHistory) {
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
  if (s.MAKESTAT_FILES) MakeFilesReport(ctx);
  if (s.MAKESTAT_GRAPHIC) MakeGraphicReport(ctx);
  if (s.MAKESTAT_SUMMARY) MakeSummaryReport(ctx);
  if (s.MAKESTAT_DISK) MakeDiskReport(ctx);
  if (s.MAKESTAT_LASTCALL) MakeLastCallReport(ctx, historyPath, saveHistory);
  if (s.MAKESTAT_TRENDS) {
    // Without a usable store the page still comes, with nothing stored on it.
    StoreTrends source(run.trends);
    MakeTrendsReport(ctx, source);
  }
  if (s.MAKESTAT_FAILURES) MakeFailuresReport(ctx);
}

// A store that cannot be used is left as it is; the reports are written all the
// same and the run ends with status 2. A check run reads it and writes nothing.
void KeepTrends(RunContext& run, const std::string& path, bool check) {
  if (path.empty()) return;
  run.trends = OpenTrendsStore(path, check ? TrendsAccess::kRead : TrendsAccess::kWrite);
  if (run.trends.IsOpen() && !check &&
      !WriteTrendsDays(run.trends, run.model, run.today.currentYear)) {
    TrendsStore failed = std::move(run.trends);
    run.trends = TrendsStore();
    run.trends.SetFault(failed.fault(), failed.why());
  }
  if (run.trends.IsOpen()) return;
  run.console.ConsoleLog(kError, kTrendsUntouched, {path, run.trends.why()});
  run.console.NoteUnwritten();
}

void RunSteps(RunContext& run, const std::vector<std::string>& args, const Options& options) {
  Banner(run, "started");
  run.runStartSecond = run.console.secondOfDay();
  run.today = TodayOn(run.platform.LocalClock());
  run.programDir = ProgramDirOf(run.platform.ExecutablePath(args.empty() ? std::string() : args[0]),
                                run.platform.DirSeparator());
  DecideConfigPath(run, options);
  LockOrStop(run, run.configPath, "config file");
  ReadMainConfig(run.configPath, run.settings, run.console, run.platform);
  LockOrStop(run, OutputFolder(run.settings.OUTPUT), "output folder");
  std::string historyPath =
      HistoryPath(HistoryBaseDir(run.programDir, run.configPath, run.platform),
                  run.settings.HISTFILE, run.platform.DirSeparator());
  std::string trendsPath = TrendsPath(run);
  if (!trendsPath.empty()) LockOrStop(run, trendsPath, "trends store");
  int historyError = LoadLastCalls(historyPath, run.model, run.platform);
  if (historyError != 0) {
    run.console.ConsoleLog(kError, " Unable to read %s (%s)", {"history file", historyPath});
    run.console.Reason(historyError);
    run.console.NoteUnwritten();
  }
  if (!run.settings.MAILER_CFG.empty()) ReadMailerConfig(run.settings, run.console, run.platform);
  LockOrStop(run, run.settings.LOG, "log file");
  RemoveCopiesOfDeadRuns(run, historyPath);
  if (run.settings.logFormat != LogFormat::kBinkd) {
    ReadLanguageFile(run.settings, run.texts, run.console, run.platform);
  }
  CutLog(run.settings, run.today, run.console, run.platform);
  ParseLog(run.settings, run.texts, run.today, run.model, run.console, run.platform);
  KeepTrends(run, trendsPath, options.check);
  WriteReports(run, historyPath, historyError == 0);
  ReportContext ctx = run.reportContext();
  MakeSingleFiles(ctx);
}

// --trends: the configuration names the store; the log is not read.
int TrendsSteps(RunContext& run, const std::vector<std::string>& args, const Options& options,
                std::ostream& out) {
  run.programDir = ProgramDirOf(run.platform.ExecutablePath(args.empty() ? std::string() : args[0]),
                                run.platform.DirSeparator());
  DecideConfigPath(run, options);
  ReadMainConfig(run.configPath, run.settings, run.console, run.platform);
  std::string path = TrendsPath(run);
  if (path.empty()) {
    run.console.ConsoleLog(kError, " No trends store in %s (TRENDS_DB)", {run.configPath});
    return 1;
  }
  TrendsStore store = OpenTrendsStore(path, TrendsAccess::kRead);
  if (!store.IsOpen()) {
    run.console.ConsoleLog(kError, kTrendsUntouched, {path, store.why()});
    return 2;
  }
  out << TrendsText(store, options.trendsView, options.json);
  return 0;
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
  Options options = ParseOptions(
      std::vector<std::string>(args.empty() ? args.end() : args.begin() + 1, args.end()));
  if (options.action == Options::Action::kHelp) {
    out << HelpText(platform.ProgramFileName(), SystemConfigPath(platform));
    return 0;
  }
  if (options.action == Options::Action::kVersion) {
    out << VersionLine(platform) << '\n';
    return 0;
  }
  // A command line that is wrong or asks for the syntax always explains itself.
  // --trends prints its table alone, so that it can be read by other tools.
  bool quiet = (options.quiet && options.action == Options::Action::kRun &&
                !AsksForSyntax(options.arguments)) ||
               options.action == Options::Action::kTrends;
  QuietOutput quietBuffer(out);
  std::ostream quietOut(&quietBuffer);
  std::optional<ScratchPlatform> scratch;
  if (options.check) scratch.emplace(platform);
  RunContext run(scratch ? *scratch : platform, quiet ? quietOut : out);
  // 2 tells a scheduler that the run went through but left something unwritten;
  // a stop for its own reason keeps its status.
  try {
    if (options.action == Options::Action::kTrends) return TrendsSteps(run, args, options, out);
    RunSteps(run, args, options);
  } catch (const RunStop& stop) {
    EndRun(run, true);
    if (stop.exitStatus != 0) return stop.exitStatus;
    return run.console.AnythingUnwritten() ? 2 : 0;
  }
  EndRun(run, false);
  return run.console.AnythingUnwritten() ? 2 : 0;
}

}  // namespace zentrak
