// Option table and the --help text.
#include "app/options.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace zentrak {
namespace {

enum class OptionKind { kHelp, kVersion, kQuiet, kCheck, kTrends, kJson, kImport };

struct OptionRow {
  std::string_view longName;
  std::string_view shortName;  // empty when the option has none
  OptionKind kind;
};

constexpr std::array<OptionRow, 7> kOptionTable{{
    {"--help", "-h", OptionKind::kHelp},
    {"--version", "-V", OptionKind::kVersion},
    {"--quiet", "-q", OptionKind::kQuiet},
    {"--check", "", OptionKind::kCheck},
    {"--trends", "", OptionKind::kTrends},
    {"--json", "", OptionKind::kJson},
    {"--import", "", OptionKind::kImport},
}};

constexpr std::string_view kTrendsViews[] = {"days",  "months",  "years",  "top",
                                             "hours", "topdays", "oneline"};

bool IsTrendsView(const std::string& arg) {
  return std::find(std::begin(kTrendsViews), std::end(kTrendsViews), arg) != std::end(kTrendsViews);
}

// "-?" and "/?" have always asked for the syntax line; they stay arguments.
bool LooksLikeOption(const std::string& arg) {
  return arg.size() > 1 && arg[0] == '-' && arg.find('?') == std::string::npos;
}

const OptionRow* FindOption(std::string_view arg) {
  for (const OptionRow& row : kOptionTable) {
    if (arg == row.longName || (!row.shortName.empty() && arg == row.shortName)) return &row;
  }
  return nullptr;
}

}  // namespace

Options ParseOptions(const std::vector<std::string>& args) {
  Options options;
  bool optionsEnded = false;
  bool importing = false;  // the arguments after --import are the logs to import
  for (size_t k = 0; k < args.size(); ++k) {
    const std::string& arg = args[k];
    if (optionsEnded || !LooksLikeOption(arg)) {
      (importing ? options.importFiles : options.arguments).push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    const OptionRow* row = FindOption(arg);
    if (row == nullptr) {
      options.action = Options::Action::kBadOption;
      options.badOption = arg;
      return options;
    }
    switch (row->kind) {
      case OptionKind::kHelp:
        options.action = Options::Action::kHelp;
        return options;
      case OptionKind::kVersion:
        options.action = Options::Action::kVersion;
        return options;
      case OptionKind::kQuiet:
        options.quiet = true;
        break;
      case OptionKind::kCheck:
        options.check = true;
        break;
      // The view word is optional: what follows may be the configuration.
      case OptionKind::kTrends:
        if (options.action == Options::Action::kRun) options.action = Options::Action::kTrends;
        if (k + 1 < args.size() && IsTrendsView(args[k + 1])) options.trendsView = args[++k];
        break;
      case OptionKind::kJson:
        options.json = true;
        break;
      case OptionKind::kImport:
        options.action = Options::Action::kImport;
        importing = true;
        break;
    }
  }
  return options;
}

bool AsksForSyntax(const std::vector<std::string>& arguments) {
  return arguments.size() == 1 && arguments[0].find('?') != std::string::npos;
}

std::string HelpText(const std::string& programName, const std::string& systemConfig) {
  std::string text = "Usage: " + programName + " [options] [--] [config_file]\n";
  text += "       " + programName + " [options] [config_file] --import FILE...\n";
  text +=
      "\n"
      "Reads the mailer's log for the configured time window and writes the\n"
      "statistics reports that the configuration file asks for.\n"
      "\n"
      "Options:\n"
      "  -h, --help     print this help and exit\n"
      "  -V, --version  print the version and exit\n"
      "  -q, --quiet    print only the \"!\" lines (errors and warnings)\n"
      "      --check    do the whole run but write and change nothing: no report,\n"
      "                 no joined file, no history, no CUTFILE, no log cut\n"
      "      --trends [days|months|years|top|hours|topdays|oneline]\n"
      "                 print a table from the trends store (TRENDS_DB) without\n"
      "                 reading the log: the last 30 days (default), the last\n"
      "                 12 months (with an estimate for the running one), every\n"
      "                 year, the ten busiest links of the last month, the last\n"
      "                 24 hours, the ten busiest days; oneline: one line\n"
      "      --json     with --trends: the same as JSON\n"
      "      --import FILE...\n"
      "                 write the days of old logs (plain, .gz, in any order)\n"
      "                 into the trends store up to midnight, and nothing else;\n"
      "                 the config_file, if one is named, comes before --import\n"
      "      --         end of the options; what follows is the config file\n"
      "\n"
      "Without config_file the configuration is zentrak.cfg beside the program";
  text += systemConfig.empty() ? ".\n" : ",\nor " + systemConfig + " when there is none.\n";
  text +=
      "\n"
      "Exit status:\n"
      "  0  everything asked for was written (or there was nothing to report)\n"
      "  1  the run had to stop (a file that cannot be opened, a wrong option, ...)\n"
      "  2  the run went to its end, but a file could not be written\n"
      "     (or no line of the period was recognised)\n"
      "\n";
  // Where there is a system configuration there are manual pages too.
  text += systemConfig.empty()
              ? "Documentation: README.md and the docs folder of the distribution.\n"
              : "Documentation: man zentrak, man zentrak.cfg, and the pages in\n"
                "share/doc/zentrak where the program is installed.\n";
  return text;
}

}  // namespace zentrak
