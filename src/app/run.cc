// The fixed order of a run. Every step owns its messages; a step that must end
// the run throws RunStop, and only this sequence catches it.
#include "app/run.h"

#include <algorithm>
#include <ctime>
#include <sstream>

#include "app/locations.h"
#include "app/options.h"
#include "app/quiet_output.h"
#include "app/trends_command.h"
#include "config/config_lines.h"
#include "config/language_file.h"
#include "config/mailer_config.h"
#include "config/main_config.h"
#include "console/run_stop.h"
#include "log/binkd_parser.h"
#include "log/block_pipeline.h"
#include "log/last_call_history.h"
#include "log/log_cut.h"
#include "log/log_import.h"
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
#include "support/atomic_file.h"
#include "support/calendar.h"
#include "support/temporary_path.h"
#include "support/text.h"
#include "support/version.h"
#include "support/work_threads.h"
#include "template/template_engine.h"
#include "trends/trends_metrics.h"
#include "trends/trends_store.h"

namespace zentrak {
namespace {

constexpr const char* kTrendsUntouched = " Trends store %s left untouched: %s";
constexpr const char* kTrendsStoppedRun =
    " Trends store %s: a stopped run's journal waits for the next run to roll it back";

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

// TRENDS_METRICS lies where TRENDS_DB does.
std::string MetricsPath(RunContext& run) {
  if (run.settings.TRENDS_METRICS.empty()) return std::string();
  return HistoryPath(HistoryBaseDir(run.programDir, run.configPath, run.platform),
                     run.settings.TRENDS_METRICS, run.platform.DirSeparator());
}

// The station the configuration describes: whose store this run may write.
TrendsStation StationOf(const Settings& settings) {
  TrendsStation station;
  if (!settings.ADDRESS.empty()) station.addresses.push_back(settings.ADDRESS);
  station.name = settings.STATION;
  return station;
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
std::vector<std::string> FoldersWritten(const RunContext& run, const std::string& historyPath,
                                        const std::string& metricsPath) {
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
  if (!metricsPath.empty()) add(FolderOf(metricsPath, separator));
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
  for (const std::string& folder : FoldersWritten(run, historyPath, MetricsPath(run))) {
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
// same and the run ends with status 2. A check run reads it, writes nothing and
// says what the run would.
// Returns the number of days the run wrote into the store.
int KeepTrends(RunContext& run, const std::string& path, bool check) {
  if (path.empty()) return 0;
  TrendsStation station = StationOf(run.settings);
  run.trends = OpenTrendsStore(path, check ? TrendsAccess::kRead : TrendsAccess::kWrite, station);
  int written = 0;
  if (check && run.trends.IsOpen()) {
    if (run.trends.stoppedRun()) run.console.ConsoleLog(kProgress, kTrendsStoppedRun, {path});
    if (run.trends.foreign()) {
      std::string why = TrendsForeignText(run.trends.station());
      run.trends = TrendsStore();
      run.trends.SetFault(TrendsFault::kForeign, why);
    }
  } else if (run.trends.IsOpen()) {
    written = WriteTrendsRunDays(run.trends, GatherTrendsDays(run.model, run.today.currentYear));
    if (written < 0) {
      TrendsStore failed = std::move(run.trends);
      run.trends = TrendsStore();
      run.trends.SetFault(failed.fault(), failed.why());
    }
  }
  if (run.trends.IsOpen()) return written;
  run.console.ConsoleLog(kError, kTrendsUntouched, {path, run.trends.why()});
  run.console.NoteUnwritten();
  return 0;
}

// Seconds since 1970 of the run's local clock, as the system's time zone has it.
int64_t EpochOf(const LocalTime& now) {
  std::tm tm{};
  tm.tm_year = now.year - 1900;
  tm.tm_mon = now.month - 1;
  tm.tm_mday = now.day;
  tm.tm_hour = now.hour;
  tm.tm_min = now.minute;
  tm.tm_sec = now.second;
  tm.tm_isdst = -1;
  return static_cast<int64_t>(std::mktime(&tm));
}

// After a run that changed the store, the metrics file tells a monitoring system.
void WriteTrendsMetrics(RunContext& run, const std::string& path) {
  if (path.empty() || !run.trends.IsOpen()) return;
  std::vector<TrendsLinkName> names;
  for (const TLink& link : run.model.links) {
    if (!link.System.empty() || !link.Sysop.empty()) {
      names.push_back({link.Address, link.System, link.Sysop});
    }
  }
  std::string text = TrendsMetricsText(run.trends, StationOf(run.settings), names,
                                       EpochOf(run.platform.LocalClock().Now()));
  AtomicFile file(run.platform, path);
  if (file.IsOpen() && file.Write(text) && file.Commit()) return;
  run.console.ConsoleLog(kError, " Unable to write %s (%s)", {"trends metrics", path});
  run.console.Reason(file.Error());
  run.console.NoteUnwritten();
}

// The start both a run and an import make: the banner, the clock, the
// configuration and its lock.
void StartRun(RunContext& run, const std::vector<std::string>& args, const Options& options) {
  Banner(run, "started");
  run.runStartSecond = run.console.secondOfDay();
  run.today = TodayOn(run.platform.LocalClock());
  run.programDir = ProgramDirOf(run.platform.ExecutablePath(args.empty() ? std::string() : args[0]),
                                run.platform.DirSeparator());
  DecideConfigPath(run, options);
  LockOrStop(run, run.configPath, "config file");
  ReadMainConfig(run.configPath, run.settings, run.console, run.platform);
}

void RunSteps(RunContext& run, const std::vector<std::string>& args, const Options& options) {
  StartRun(run, args, options);
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
  CompleteShortAliases(run.settings, run.console);
  LockOrStop(run, run.settings.LOG, "log file");
  RemoveCopiesOfDeadRuns(run, historyPath);
  if (run.settings.logFormat != LogFormat::kBinkd) {
    ReadLanguageFile(run.settings, run.texts, run.console, run.platform);
  }
  CutLog(run.settings, run.today, run.console, run.platform);
  ParseLog(run.settings, run.texts, run.today, run.model, run.console, run.platform);
  int trendsWritten = KeepTrends(run, trendsPath, options.check);
  WriteReports(run, historyPath, historyError == 0);
  ReportContext ctx = run.reportContext();
  MakeSingleFiles(ctx);
  if (trendsWritten > 0) WriteTrendsMetrics(run, MetricsPath(run));
}

// How far an import has come, on one line of a terminal that is rewritten.
void ShowImportProgress(Console& console, const ImportProgress& now, int32_t firstDay) {
  constexpr int kWidth = 20;
  int filled = now.files == 0 ? 0 : static_cast<int>(kWidth * now.filesDone / now.files);
  int64_t days = now.at ? int64_t{now.at->day} - firstDay + 1 : 0;
  std::string bar(static_cast<size_t>(filled), '#');
  bar.append(static_cast<size_t>(kWidth - filled), '.');
  console.Write("\r Importing [" + bar + "] " + std::to_string(now.filesDone) + "/" +
                std::to_string(now.files) + " files, " +
                std::to_string(std::max<int64_t>(days, 0)) + " days, " +
                std::to_string(now.bytes >> 20) + " MiB ");
}

// The days of an import, one transaction for each file's days.
void WriteImportedDays(RunContext& run, const std::vector<TrendsRunDay>& days,
                       const std::vector<ImportFile>& files, TrendsWriteCounts& counts) {
  size_t next = 0;
  auto writeUpTo = [&](int64_t lastOrder) {
    std::vector<TrendsRunDay> part;
    while (next < days.size() && DateOrder(days[next].date) <= lastOrder)
      part.push_back(days[next++]);
    if (part.empty() || !run.trends.IsOpen()) return;
    if (WriteTrendsRunDays(run.trends, part, &counts, true) < 0) {
      TrendsStore failed = std::move(run.trends);
      run.trends = TrendsStore();
      run.trends.SetFault(failed.fault(), failed.why());
    }
  };
  for (const ImportFile& file : files) {
    if (file.last) writeUpTo(DateOrder(DayNumberToDate(file.last->day, run.today.currentYear)));
  }
  writeUpTo(INT64_MAX);
}

// --import: old logs into the trends store, counted once as nightly runs count
// them; no report, no cut, no history.
void ImportSteps(RunContext& run, const std::vector<std::string>& args, const Options& options) {
  StartRun(run, args, options);
  std::string trendsPath = TrendsPath(run);
  if (trendsPath.empty()) {
    run.console.ConsoleLog(kError, " No trends store in %s (TRENDS_DB)", {run.configPath});
    StopRun(1);
  }
  if (options.importFiles.empty()) {
    run.console.ConsoleLog(kError, " No log file to import: --import FILE...");
    StopRun(1);
  }
  LockOrStop(run, trendsPath, "trends store");
  if (!run.settings.MAILER_CFG.empty()) ReadMailerConfig(run.settings, run.console, run.platform);
  CompleteShortAliases(run.settings, run.console);
  if (run.settings.logFormat != LogFormat::kBinkd) {
    ReadLanguageFile(run.settings, run.texts, run.console, run.platform);
  }
  // The store is opened first: one that cannot take the days is not worth the read.
  run.trends = OpenTrendsStore(trendsPath, TrendsAccess::kWrite, StationOf(run.settings));
  if (!run.trends.IsOpen()) {
    run.console.ConsoleLog(kError, kTrendsUntouched, {trendsPath, run.trends.why()});
    StopRun(2);
  }
  bool progress = !options.quiet && run.platform.OutputIsTerminal();
  int32_t firstDay = 0;
  std::unique_ptr<MergedLogs> merged = OpenImport(
      options.importFiles, run.today, run.console, run.platform, [&](const ImportProgress& now) {
        if (progress) ShowImportProgress(run.console, now, firstDay);
      });
  if (!merged) {
    run.console.ConsoleLog(kError, " No log file to import could be read");
    StopRun(run.console.AnythingUnwritten() ? 2 : 1);
  }
  // The window reaches from the first file's first day to midnight, as the
  // nightly window does: today is the next nightly run's.
  int32_t today = DayOfYear(run.today.currentDay, run.today.currentMonth, run.today.currentYear);
  firstDay = today;
  for (const ImportFile& file : merged->Files()) {
    if (file.first) firstDay = std::min(firstDay, file.first->day);
  }
  run.settings.timeWindow = TimeWindow{today - firstDay, 0, 0, 0};
  LogBlockReader reader(*merged, kLogBlockSize);
  reader.SetEndReport([&merged, progress](Console& out) {
    if (progress) out.Write("\r" + std::string(70, ' ') + "\r");
    merged->ReportCompressed(out);
  });
  if (run.settings.logFormat == LogFormat::kBinkd) {
    ParseBinkdLogBlocks(reader, run.settings, run.today, run.model, run.console, WorkThreads());
  } else {
    ParseLogBlocks(reader, run.settings, run.texts, run.today, run.model, run.console,
                   WorkThreads());
  }
  for (const ImportFile& file : merged->Files()) {
    if (file.undated > 0) {
      run.console.ConsoleLog(kNotice, " Lines without a date Zentrak reads in %s, passed over: %d",
                             {file.path, static_cast<int64_t>(file.undated)});
    }
  }
  if (merged->Doubled() > 0) {
    run.console.ConsoleLog(kNotice, " Lines that another file held too, read once: %d",
                           {static_cast<int64_t>(merged->Doubled())});
  }
  TrendsWriteCounts counts;
  WriteImportedDays(run, GatherTrendsDays(run.model, run.today.currentYear), merged->Files(),
                    counts);
  if (!run.trends.IsOpen()) {
    run.console.ConsoleLog(kError, kTrendsUntouched, {trendsPath, run.trends.why()});
    run.console.NoteUnwritten();
  }
  run.console.ConsoleLog(kMilestone,
                         " Imported into %s: %d days added, %d replaced, %d left as they were",
                         {trendsPath, counts.added, counts.replaced, counts.kept});
  if (counts.added + counts.replaced > 0) WriteTrendsMetrics(run, MetricsPath(run));
}

// The mailer's configuration gives the station's address, whose store it is.
// --trends reads it quietly: one that cannot be read leaves the station
// unknown, and the tables do not need it.
void ReadStationQuietly(RunContext& run) {
  if (run.settings.MAILER_CFG.empty()) return;
  std::ostringstream discarded;
  Console quiet(discarded, run.platform.LocalClock());
  try {
    ReadMailerConfig(run.settings, quiet, run.platform);
  } catch (const RunStop&) {
  }
}

// --trends: the configuration names the store; the log is not read.
int TrendsSteps(RunContext& run, const std::vector<std::string>& args, const Options& options,
                std::ostream& out) {
  run.programDir = ProgramDirOf(run.platform.ExecutablePath(args.empty() ? std::string() : args[0]),
                                run.platform.DirSeparator());
  DecideConfigPath(run, options);
  ReadMainConfig(run.configPath, run.settings, run.console, run.platform);
  ReadStationQuietly(run);
  std::string path = TrendsPath(run);
  if (path.empty()) {
    run.console.ConsoleLog(kError, " No trends store in %s (TRENDS_DB)", {run.configPath});
    return 1;
  }
  TrendsStore store = OpenTrendsStore(path, TrendsAccess::kRead, StationOf(run.settings));
  if (!store.IsOpen()) {
    run.console.ConsoleLog(kError, kTrendsUntouched, {path, store.why()});
    return 2;
  }
  // Whose store it is, when it is not this station's; the JSON stays one object.
  if (store.foreign() && !options.json) {
    out << " Trends store of another station: " << TrendsStationText(store.station()) << "\n\n";
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
    if (options.action == Options::Action::kImport) {
      ImportSteps(run, args, options);
    } else {
      RunSteps(run, args, options);
    }
  } catch (const RunStop& stop) {
    EndRun(run, true);
    if (stop.exitStatus != 0) return stop.exitStatus;
    return run.console.AnythingUnwritten() ? 2 : 0;
  }
  EndRun(run, false);
  return run.console.AnythingUnwritten() ? 2 : 0;
}

}  // namespace zentrak
