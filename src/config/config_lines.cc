// The configuration-line rules both configuration readers use.
#include "config/config_lines.h"

#include "console/run_stop.h"
#include "support/text.h"

namespace zentrak {
namespace {

constexpr std::string_view kSupportedLogFormat = "#i #d #m #h:#n:#s #p #q";

}  // namespace

std::optional<ConfigLine> SplitConfigLine(std::string_view line) {
  if (line.empty() || line[0] == ';') return std::nullopt;
  size_t blank = line.find(' ');
  if (blank == std::string_view::npos) return std::nullopt;
  std::string_view value = TrimBlanks(line.substr(blank + 1));
  if (value.empty() || value[0] == ';') return std::nullopt;
  return ConfigLine{line.substr(0, blank), value.substr(0, value.find(';'))};
}

void AddDefine(std::string_view value, Settings& settings) {
  size_t blank = value.find(' ');
  if (blank == std::string_view::npos) return;
  std::string_view name = TrimBlanks(value.substr(0, blank));
  std::string_view text = TrimBlanks(value.substr(blank + 1));
  settings.DefineList.push_back("%" + std::string(name) + "%=" + std::string(text));
}

void AddAlias(std::string_view address, std::string_view name, Settings& settings) {
  settings.AliasList.push_back(std::string(TrimBlanks(name)) + "=" +
                               CompleteAliasAddress(address, settings.ADDRESS));
}

std::string CompleteAliasAddress(std::string_view address, std::string_view ownAddress) {
  size_t slash = ownAddress.find('/');
  if (Contains(address, ":") || slash == std::string_view::npos) return std::string(address);
  if (!address.empty() && address[0] == '/') {
    return std::string(ownAddress.substr(0, slash)) + std::string(address);
  }
  return std::string(ownAddress.substr(0, slash + 1)) + std::string(address);
}

void CheckLogFormat(std::string_view value, std::string_view shown, Settings& settings,
                    Console& console) {
  if (value == kSupportedLogFormat) {
    settings.logFormat = LogFormat::kMailer;
    return;
  }
  if (EqualsIgnoreCase(value, "binkd")) {
    settings.logFormat = LogFormat::kBinkd;
    return;
  }
  console.ConsoleLog(kError, " Unsupported log format (%s)", {shown});
  console.ConsoleLog(kError, " Supported only DEFAULT (#i #d #m #h:#n:#s #p #q)");
  console.ConsoleLog(kError,
                     " Zentrak reads two log formats: DEFAULT and binkd (LOG_FORMAT binkd)");
  StopRun(1);
}

}  // namespace zentrak
