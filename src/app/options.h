// The command-line options a Unix user looks for (help, version, quiet, a dry
// run), taken off the front of the argument list before the configuration
// argument is looked at.
#pragma once

#include <string>
#include <vector>

namespace zentrak {

/// What the command line asks for.
struct Options {
  enum class Action { kRun, kHelp, kVersion, kBadOption, kTrends, kImport };

  Action action = Action::kRun;
  /// Only "!" lines reach the console.
  bool quiet = false;
  /// The whole run, with nothing written or changed.
  bool check = false;
  /// kTrends: the table asked for (days, months, years or top).
  std::string trendsView = "days";
  /// kTrends: JSON in place of the table.
  bool json = false;
  /// The unknown option as written (kBadOption).
  std::string badOption;
  /// The arguments that are not options, in their order: the configuration file.
  std::vector<std::string> arguments;
  /// kImport: the old logs, every argument after --import that is no option.
  std::vector<std::string> importFiles;
};

/// Reads `args` (without argument 0). An argument is an option when it begins
/// with "-", is longer than "-", holds no "?" and comes before "--"; options
/// may stand anywhere among the other arguments. The first help, version or
/// unknown option decides and ends the reading.
Options ParseOptions(const std::vector<std::string>& args);

/// True when the remaining arguments ask for the syntax line: exactly one, and
/// it holds a "?".
bool AsksForSyntax(const std::vector<std::string>& arguments);

/// The --help text for a program called `programName`; `systemConfig` is the
/// configuration used when none beside the program exists (empty: none).
std::string HelpText(const std::string& programName, const std::string& systemConfig);

}  // namespace zentrak
