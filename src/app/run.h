// The run sequence: one straight pass from the defaults to the end banner.
#pragma once

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "config/recognition_texts.h"
#include "config/settings.h"
#include "console/console_log.h"
#include "console/run_calendar.h"
#include "log/session_model.h"
#include "platform/platform.h"
#include "reports/report_frame.h"
#include "template/report_state.h"
#include "template/template_engine.h"
#include "trends/trends_store.h"

namespace zentrak {

inline constexpr const char* kAuthor = "Quillorn";
inline constexpr const char* kBannerFormat = " Zentrak %s /%s by %s %s";
inline constexpr const char* kDefaultConfigName = "zentrak.cfg";

/// Everything one run owns.
struct RunContext {
  RunContext(Platform& platformIn, std::ostream& out)
      : platform(platformIn), console(out, platformIn.LocalClock()) {}

  Platform& platform;
  Console console;
  Settings settings = SetDefaults();
  RecognitionTexts texts;
  SessionModel model;
  ReportState report;
  ReportOutcomes reportOutcomes;
  /// Read once, right after the start banner; every step dates by it.
  RunCalendar today;
  TemplateEngine engine{MacroSources{settings, model, report, console, today}};
  std::string programDir;
  std::string configPath;
  int32_t runStartSecond = 0;
  /// The trends store, open from the parse to the end when TRENDS_DB names one
  /// and it could be used.
  TrendsStore trends;
  /// What this run keeps other runs away from, held to its end.
  std::vector<std::unique_ptr<HeldLock>> locks;

  /// The view of the run that report generators work on.
  ReportContext reportContext() {
    return ReportContext{settings, model, report, engine, console, platform, reportOutcomes};
  }
};

/// Runs the whole program; `args` holds argument 0 and the command-line arguments.
/// Returns the exit status.
int Run(const std::vector<std::string>& args, Platform& platform, std::ostream& out);

/// Prints the end of the run (banner and active time only for a normal end) and
/// the alias dump.
void EndRun(RunContext& run, bool abnormal);

/// The directory part of an executable path, ending in the separator.
std::string ProgramDirOf(const std::string& executablePath, char separator);

}  // namespace zentrak
