// What the main configuration and the mailer's configuration share: the line
// split into keyword and value, and the keywords both files know (DEFINE,
// ALIAS, LOG_FORMAT), so that each rule is written once.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "config/settings.h"
#include "console/console_log.h"

namespace zentrak {

/// The keyword and the value of one prepared configuration line.
struct ConfigLine {
  std::string_view keyword;
  std::string_view value;
};

/// Splits a trimmed line into keyword and value: the value is trimmed, then cut
/// just before its first ";" (blanks in front of the ";" stay). Nothing for an
/// empty or comment line, a line without a blank, or an empty or comment value.
std::optional<ConfigLine> SplitConfigLine(std::string_view line);

/// DEFINE: "NAME text" appends "%NAME%=text" to the define list, both trimmed;
/// a value without a blank defines nothing.
void AddDefine(std::string_view value, Settings& settings);

/// ALIAS: appends "name=address" to the alias list, the address completed from
/// the station's own one (CompleteAliasAddress) and the name trimmed.
void AddAlias(std::string_view address, std::string_view name, Settings& settings);

/// Completes the ALIAS addresses that were short when they were read because
/// the station's address was not known yet (binkd.conf, read after the main
/// configuration, names it), once every configuration is read; an address
/// that still cannot be completed is left as written, with a "!" line.
void CompleteShortAliases(Settings& settings, Console& console);

/// Completes an ALIAS address without a zone from the station's own address:
/// "/5" takes own zone:net, "7" own zone:net/. Addresses with ":" stay.
std::string CompleteAliasAddress(std::string_view address, std::string_view ownAddress);

/// LOG_FORMAT: the default layout keeps the mailer's log, "binkd" (any case)
/// chooses binkd's; any other value prints `shown` in its message and ends the
/// run (RunStop with status 1).
void CheckLogFormat(std::string_view value, std::string_view shown, Settings& settings,
                    Console& console);

}  // namespace zentrak
