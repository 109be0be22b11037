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

void CompleteShortAliases(Settings& settings, Console& console) {
  const std::string& own = settings.ADDRESS;
  for (std::string& entry : settings.AliasList) {
    size_t equals = entry.find('=');
    if (equals == std::string::npos) continue;
    std::string_view address = std::string_view(entry).substr(equals + 1);
    if (Contains(address, ":")) continue;
    if (own.find('/') == std::string::npos) {
      console.ConsoleLog(kError, " Short address %s of ALIAS %s left as written: %s",
                         {address, std::string_view(entry).substr(0, equals),
                          own.empty() ? "the station's own ADDRESS is not known"
                                      : "the station's own ADDRESS has no \"/\""});
      continue;
    }
    entry = entry.substr(0, equals + 1) + CompleteAliasAddress(address, own);
  }
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
  // The last line continues the one before it: DEFAULT is the only layout of
  // the mailer's lines, binkd the other value; "binkd ; binkd's log" is neither.
  console.ConsoleLog(kError, " Unsupported log format (%s)", {shown});
  console.ConsoleLog(kError, " Supported only DEFAULT (#i #d #m #h:#n:#s #p #q)");
  console.ConsoleLog(kError,
                     "    or binkd for binkd's log (LOG_FORMAT binkd), with nothing after it "
                     "on the line, not even a comment");
  StopRun(1);
}

}  // namespace zentrak
