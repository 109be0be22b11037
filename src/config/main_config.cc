// Reading the main configuration: line preparation, the keyword table and the
// checks and derived values at the end of the file.
#include "config/main_config.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <vector>

#include "config/binkd_config.h"
#include "config/config_lines.h"
#include "config/file_cut.h"
#include "config/text_rules.h"
#include "console/run_stop.h"
#include "platform/code_page.h"
#include "support/calendar.h"
#include "support/temporary_path.h"
#include "support/text.h"

namespace zentrak {
namespace {

struct MainReader {
  Settings& settings;
  Console& console;
  Platform& platform;
  int lineNumber = 0;

  void ConfigError() { console.ConsoleLog(kError, " Config file error in line %d", {lineNumber}); }

  /// The YES/NO rule. Anything else is NO as well, but a comment after a blank
  /// or a typo must not switch a report off without a word.
  bool YesNo(std::string_view keyword, std::string_view value) {
    if (EqualsIgnoreCase(value, "YES")) return true;
    if (!EqualsIgnoreCase(value, "NO")) {
      console.ConsoleLog(kError, " Config file line %d: the value of %s is neither YES nor NO",
                         {lineNumber, keyword});
    }
    return false;
  }
};

struct Keyword;
using Handler = void (*)(MainReader&, const Keyword&, std::string_view value);

// One row of the keyword table: a text field with its bound, a YES/NO switch,
// or a handler of its own (which may use the field it names).
struct Keyword {
  std::string_view name;
  Handler handle = nullptr;
  std::string Settings::*text = nullptr;
  size_t bound = kNameBound;
  bool Settings::*flag = nullptr;
};

void SetText(MainReader& r, const Keyword& k, std::string_view value) {
  r.settings.*k.text = CutTo(value, k.bound);
}

void SetFlag(MainReader& r, const Keyword& k, std::string_view value) {
  r.settings.*k.flag = r.YesNo(k.name, value);
}

constexpr Keyword Text(std::string_view name, std::string Settings::*field,
                       size_t bound = kNameBound) {
  return Keyword{name, SetText, field, bound, nullptr};
}
constexpr Keyword Flag(std::string_view name, bool Settings::*field) {
  return Keyword{name, SetFlag, nullptr, 0, field};
}
constexpr Keyword Custom(std::string_view name, Handler handle,
                         std::string Settings::*field = nullptr) {
  return Keyword{name, handle, field, kNameBound, nullptr};
}

void Define(MainReader& r, const Keyword&, std::string_view value) { AddDefine(value, r.settings); }

void LogFormat(MainReader& r, const Keyword&, std::string_view value) {
  CheckLogFormat(value, value, r.settings, r.console);
}

void Alias(MainReader& r, const Keyword&, std::string_view value) {
  size_t blank = value.find(' ');
  if (blank == std::string_view::npos) return;
  AddAlias(value.substr(0, blank), value.substr(blank + 1), r.settings);
}

void Line(MainReader& r, const Keyword&, std::string_view value) {
  r.settings.LINE = Contains(value, "NO") ? std::string("no") : CutTo(value, 10);
}

// The separator is kept inside the bound so that joined paths stay paths.
void Directory(MainReader& r, const Keyword& k, std::string_view value) {
  char separator = r.platform.DirSeparator();
  if (value.back() == separator) {
    r.settings.*k.text = CutTo(value, kNameBound);
  } else {
    r.settings.*k.text = CutTo(value, kNameBound - 1) + separator;
  }
}

std::optional<TimeWindow> ParseTimeWindow(std::string_view value) {
  size_t dot = value.find('.');
  if (dot == std::string_view::npos) return std::nullopt;
  size_t dash = value.find('-', dot + 1);
  if (dash == std::string_view::npos) return std::nullopt;
  std::string_view rest = value.substr(dash + 1);
  size_t endDot = rest.find('.');
  if (endDot == std::string_view::npos) return std::nullopt;
  std::optional<int32_t> start = TimeOfDay(value.substr(dot + 1, dash - dot - 1));
  std::optional<int32_t> end = TimeOfDay(rest.substr(endDot + 1));
  if (!start || !end) return std::nullopt;
  TimeWindow window{LeadingInt32(value.substr(0, dot)), *start,
                    LeadingInt32(rest.substr(0, endDot)), *end};
  if (window.startDaysBack < window.endDaysBack) return std::nullopt;
  if (window.startDaysBack == window.endDaysBack && window.startTime >= window.endTime) {
    return std::nullopt;
  }
  return window;
}

void Time(MainReader& r, const Keyword&, std::string_view value) {
  std::optional<TimeWindow> window = ParseTimeWindow(value);
  if (!window) {
    r.console.ConsoleLog(kError, " Wrong time in config. Check it please..");
    StopRun(1);
  }
  r.settings.timeWindow = *window;
}

void CutFileLine(MainReader& r, const Keyword&, std::string_view value) {
  CutFile(value, r.lineNumber, r.console, r.platform);
}

bool NamesYesOrNo(std::string_view value) {
  return ContainsIgnoreCase(value, "YES") || ContainsIgnoreCase(value, "NO");
}

void CutLogLine(MainReader& r, const Keyword& k, std::string_view value) {
  if (NamesYesOrNo(value)) {
    r.settings.CUT_LOG = r.YesNo(k.name, value);
    return;
  }
  r.settings.cutLogDays = LeadingInt32(value);
  if (r.settings.cutLogDays > 0) r.settings.CUT_LOG = true;
}

// A value naming neither word changes nothing, and says so.
void CutLogNewAlgLine(MainReader& r, const Keyword& k, std::string_view value) {
  if (NamesYesOrNo(value)) {
    r.settings.CUT_LOG_NEWALG = r.YesNo(k.name, value);
  } else {
    r.YesNo(k.name, value);
  }
}

void Change(MainReader& r, const Keyword&, std::string_view value) {
  char mode = UpperAscii(value[0]);
  if (mode != 'U' && mode != 'A') return r.ConfigError();
  size_t quotes[4];
  size_t from = 0;
  for (size_t& quote : quotes) {
    quote = value.find('"', from);
    if (quote == std::string_view::npos) return;
    from = quote + 1;
  }
  if (r.settings.ChangeTable.size() >= kChangeCapacity) return r.ConfigError();
  r.settings.ChangeTable.push_back(
      ChangeRule{mode == 'U', CutTo(value.substr(quotes[0] + 1, quotes[1] - quotes[0] - 1), 80),
                 CutTo(value.substr(quotes[2] + 1, quotes[3] - quotes[2] - 1), 80)});
}

void ExcludeAddress(MainReader& r, const Keyword&, std::string_view value) {
  r.settings.ExcludeAddressList.push_back(CutTo(value.substr(0, value.find('@')), kNameBound));
}

void ExcludePhone(MainReader& r, const Keyword&, std::string_view value) {
  if (r.settings.ExcludePhoneList.size() >= kExcludePhoneCapacity) return r.ConfigError();
  r.settings.ExcludePhoneList.push_back(CutTo(value, kTextBound));
}

std::vector<std::string_view> BlankSeparatedWords(std::string_view text) {
  std::vector<std::string_view> words;
  size_t at = 0;
  while ((at = text.find_first_not_of(' ', at)) != std::string_view::npos) {
    size_t end = std::min(text.find(' ', at), text.size());
    words.push_back(text.substr(at, end - at));
    at = end;
  }
  return words;
}

std::string WithoutWildcards(std::string_view mask) {
  std::string stored;
  for (char c : mask) {
    if (c != '*' && c != '?') stored += c;
  }
  return CutTo(stored, kNameBound);
}

void FileAliasLine(MainReader& r, const Keyword&, std::string_view value) {
  if (r.settings.FileAliasTable.size() >= kFileAliasCapacity) return r.ConfigError();
  std::string_view rest = value.substr(1);
  size_t close = rest.find('"');
  FileAlias alias;
  alias.name = CutTo(rest.substr(0, close), kNameBound);
  std::string_view masks = close == std::string_view::npos ? "" : rest.substr(close + 1);
  for (std::string_view mask : BlankSeparatedWords(masks)) {
    if (alias.masks.size() >= kFileAliasMaskCapacity) {
      r.ConfigError();
      break;
    }
    alias.masks.push_back(WithoutWildcards(mask));
  }
  r.settings.FileAliasTable.push_back(std::move(alias));
}

void FileCase(MainReader& r, const Keyword&, std::string_view value) {
  if (EqualsIgnoreCase(value, "UP")) {
    r.settings.FILE_CASE = "UP";
  } else if (EqualsIgnoreCase(value, "LOW")) {
    r.settings.FILE_CASE = "LOW";
  } else {
    r.settings.FILE_CASE = "ASIS";
  }
}

// "REMOTE_CHARSET cp866" converts remote texts for the web pages; a second
// word "TEXT" converts them in the text reports too. A code page the system
// does not know leaves the bytes as they are.
void RemoteCharset(MainReader& r, const Keyword&, std::string_view value) {
  std::string_view words = TrimBlanks(value);
  std::string_view name = words.substr(0, words.find(' '));
  std::string_view rest = TrimBlanks(words.substr(name.size()));
  r.settings.REMOTE_CHARSET.clear();
  r.settings.remoteCharsetInText = EqualsIgnoreCase(rest, "TEXT");
  if (name.empty()) return;
  if (!CodePage(name).Valid()) {
    r.console.ConsoleLog(kError, "   Unknown code page in REMOTE_CHARSET (%s). Ignoring..",
                         {std::string(name)});
    return;
  }
  r.settings.REMOTE_CHARSET = CutTo(name, kNameBound);
}

void Disks(MainReader& r, const Keyword&, std::string_view value) {
  r.settings.DISKS = CutTo(TrimBlanks(value), kNameBound);
}

struct ReportCode {
  std::string_view code;
  int number;
};

// Report codes of a STAT line, numbered like the reports themselves.
constexpr ReportCode kReportCodes[] = {
    {"SES", 1},  {"LIN", 2},  {"SYS", 3},  {"CPS", 4},  {"TR", 5},
    {"TIM", 6},  {"MLR", 7},  {"FIL", 8},  {"HIS", 9},  {"GR", 10},
    {"SUM", 11}, {"DSK", 12}, {"LCL", 13}, {"TRD", 14}, {"FLR", 15},
};

std::optional<int> ReportNumber(std::string_view code) {
  for (const ReportCode& row : kReportCodes) {
    if (EqualsIgnoreCase(code, row.code)) return row.number;
  }
  return std::nullopt;
}

// The codes of a STAT value: split at "+", every blank inside removed.
std::vector<std::string> StatCodes(std::string_view codes) {
  std::vector<std::string> result(1);
  for (char c : codes) {
    if (c == '+') {
      result.emplace_back();
    } else if (c != ' ') {
      result.back() += c;
    }
  }
  return result;
}

void Stat(MainReader& r, const Keyword&, std::string_view value) {
  size_t blank = value.find(' ');
  if (blank == std::string_view::npos) return;
  if (r.settings.SingleFileTable.size() >= kSingleFileCapacity) return r.ConfigError();
  SingleFileEntry entry;
  entry.name = CutTo(value.substr(0, blank), kSingleFileNameBound);
  for (std::string code : StatCodes(value.substr(blank + 1))) {
    bool erase = !code.empty() && code[0] == '!';
    if (erase) code.erase(0, 1);
    std::optional<int> number = ReportNumber(code);
    if (!number) {
      r.console.ConsoleLog(kError, "   Wrong parameter in single file stat (%s). Ignoring..",
                           {code});
    } else if (entry.codes.size() >= kSingleFileCodeCapacity) {
      r.ConfigError();
      break;
    } else {
      entry.codes.push_back(erase ? -*number : *number);
    }
  }
  r.settings.SingleFileTable.push_back(std::move(entry));
}

using S = Settings;

// Keywords in the order they are tried; the first whose name matches handles the line.
constexpr Keyword kKeywords[] = {
    Custom("DEFINE", Define),
    Text("SYSOP", &S::SYSOP),
    Text("STATION", &S::STATION),
    Text("ADDRESS", &S::ADDRESS),
    Text("LOG", &S::LOG),
    Custom("LOG_FORMAT", LogFormat),
    Custom("ALIAS", Alias),
    Text("MAILER_CFG", &S::MAILER_CFG),
    Custom("LINE", Line),
    Text("HISTFILE", &S::HISTFILE),
    Text("TRENDS_DB", &S::TRENDS_DB),
    Text("TRENDS_METRICS", &S::TRENDS_METRICS),
    Custom("REMOTE_CHARSET", RemoteCharset),
    Text("LOGFILE", &S::LOG),
    Text("LNGFILE", &S::LNGFILE),
    Custom("OUTPUT", Directory, &S::OUTPUT),
    Custom("TEMPLATE", Directory, &S::TEMPLATE),
    Custom("TIME", Time),
    Custom("CUTFILE", CutFileLine),
    Custom("CUT_LOG", CutLogLine),
    Custom("CUT_LOG_NEWALG", CutLogNewAlgLine),
    Custom("CHANGE", Change),
    Flag("MAKESTAT_SESSIONS", &S::MAKESTAT_SESSIONS),
    Text("SESSIONS_TEMPLATE", &S::SESSIONS_TEMPLATE),
    Text("SESSIONS_FILE", &S::SESSIONS_FILE),
    Flag("HIDE_NULL_SESSIONS", &S::HIDE_NULL_SESSIONS),
    Flag("HIDE_SPEC_ABORT", &S::HIDE_SPEC_ABORT),
    Flag("MAKESTAT_LINKS", &S::MAKESTAT_LINKS),
    Text("LINKS_TEMPLATE", &S::LINKS_TEMPLATE),
    Text("LINKS_FILE", &S::LINKS_FILE),
    Custom("EXCLUDE_ADDRESS", ExcludeAddress),
    Flag("MAKESTAT_SYSOPS", &S::MAKESTAT_SYSOPS),
    Text("SYSOPS_TEMPLATE", &S::SYSOPS_TEMPLATE),
    Text("SYSOPS_FILE", &S::SYSOPS_FILE, kSingleFileNameBound),
    Flag("TAKE_PHONE_FROM_CID", &S::TAKE_PHONE_FROM_CID),
    Flag("TAKE_PHONE_FROM_CALLING", &S::TAKE_PHONE_FROM_CALLING),
    Custom("EXCLUDE_FROM_PHONE", ExcludePhone),
    Text("WRITE_UNKNOWN_PHONE", &S::WRITE_UNKNOWN_PHONE),
    Text("WRITE_UNKNOWN_SYSOP", &S::WRITE_UNKNOWN_SYSOP),
    Flag("MAKESTAT_CPS", &S::MAKESTAT_CPS),
    Text("CPS_TEMPLATE", &S::CPS_TEMPLATE),
    Text("CPS_FILE", &S::CPS_FILE),
    Flag("MAKESTAT_TRAFFIC", &S::MAKESTAT_TRAFFIC),
    Text("TRAFFIC_TEMPLATE", &S::TRAFFIC_TEMPLATE),
    Text("TRAFFIC_FILE", &S::TRAFFIC_FILE),
    Flag("MAKESTAT_TIME", &S::MAKESTAT_TIME),
    Text("TIME_TEMPLATE", &S::TIME_TEMPLATE),
    Text("TIME_FILE", &S::TIME_FILE),
    Flag("MAKESTAT_MAILERS", &S::MAKESTAT_MAILERS),
    Text("MAILERS_TEMPLATE", &S::MAILERS_TEMPLATE),
    Text("MAILERS_FILE", &S::MAILERS_FILE),
    Flag("MAKESTAT_FILES", &S::MAKESTAT_FILES),
    Text("FILES_TEMPLATE", &S::FILES_TEMPLATE),
    Text("FILES_FILE", &S::FILES_FILE),
    Flag("SHOW_ADDRESSES_IN_FILESSTAT", &S::SHOW_ADDRESSES_IN_FILESSTAT),
    Custom("FILE_ALIAS", FileAliasLine),
    Custom("FILE_CASE", FileCase),
    Flag("MAKESTAT_HISTOGRAM", &S::MAKESTAT_HISTOGRAM),
    Text("HISTOGRAM_TEMPLATE", &S::HISTOGRAM_TEMPLATE),
    Text("HISTOGRAM_FILE", &S::HISTOGRAM_FILE),
    Flag("MAKE_HIST_FOR_ALL", &S::MAKE_HIST_FOR_ALL),
    Flag("DRAW_HISTOGRAM_VERTICAL_LINES", &S::DRAW_HISTOGRAM_VERTICAL_LINES),
    Flag("MAKESTAT_GRAPHIC", &S::MAKESTAT_GRAPHIC),
    Text("GRAPHIC_TEMPLATE", &S::GRAPHIC_TEMPLATE),
    Text("GRAPHIC_FILE", &S::GRAPHIC_FILE),
    Text("GRAPHIC_TIME", &S::GRAPHIC_TIME),
    Flag("MAKESTAT_DISK", &S::MAKESTAT_DISK),
    Text("DISK_TEMPLATE", &S::DISK_TEMPLATE),
    Text("DISK_FILE", &S::DISK_FILE),
    Custom("DISKS", Disks),
    Flag("MAKESTAT_LASTCALL", &S::MAKESTAT_LASTCALL),
    Text("LASTCALL_TEMPLATE", &S::LASTCALL_TEMPLATE),
    Text("LASTCALL_FILE", &S::LASTCALL_FILE),
    Flag("MAKESTAT_TRENDS", &S::MAKESTAT_TRENDS),
    Text("TRENDS_TEMPLATE", &S::TRENDS_TEMPLATE),
    Text("TRENDS_FILE", &S::TRENDS_FILE),
    Flag("MAKESTAT_FAILURES", &S::MAKESTAT_FAILURES),
    Text("FAILURES_TEMPLATE", &S::FAILURES_TEMPLATE),
    Text("FAILURES_FILE", &S::FAILURES_FILE),
    Flag("MAKESTAT_SUMMARY", &S::MAKESTAT_SUMMARY),
    Text("SUMMARY_TEMPLATE", &S::SUMMARY_TEMPLATE),
    Text("SUMMARY_FILE", &S::SUMMARY_FILE),
    Custom("STAT", Stat),
};

void ReadLine(MainReader& r, std::string_view raw) {
  std::string line = ExpandDefines(TrimSpaceAndControls(TabsToBlanks(raw)), r.settings.DefineList);
  ++r.lineNumber;
  std::optional<ConfigLine> split = SplitConfigLine(line);
  if (!split) return;
  for (const Keyword& keyword : kKeywords) {
    if (EqualsIgnoreCase(split->keyword, keyword.name)) {
      return keyword.handle(r, keyword, split->value);
    }
  }
  r.ConfigError();
}

// A binkd.conf as MAILER_CFG without LOG_FORMAT binkd: the missing word is
// LOG_FORMAT, not a language file.
bool MailerConfigIsBinkds(const Settings& s, Platform& platform) {
  if (s.MAILER_CFG.empty()) return false;
  std::unique_ptr<File> file = platform.OpenFile(s.MAILER_CFG, FileMode::kRead);
  if (!file) return false;
  LineReader lines(*file);
  return ReadsAsBinkdConfig(lines);
}

void CheckComplete(const Settings& s, Console& console, Platform& platform) {
  if (s.MAILER_CFG.empty() &&
      (s.SYSOP.empty() || s.STATION.empty() || s.ADDRESS.empty() || s.LOG.empty())) {
    console.ConsoleLog(kError, " There is no mailer.cfg in config...");
    StopRun(1);
  }
  // binkd writes its own words: no language file to read them with.
  if (s.LNGFILE.empty() && s.logFormat != LogFormat::kBinkd) {
    if (MailerConfigIsBinkds(s, platform)) StopForBinkdConfig(s, console);
    console.ConsoleLog(kError, " There is no language file in config...");
    StopRun(1);
  }
}

bool StrictlyBetween(int32_t value, int32_t low, int32_t high) {
  return value > low && value < high;
}

// The graphic window defaults to the report window, or to a whole day ending
// at the window's end when the report window covers more than one night.
void DefaultGraphicWindow(Settings& s, int32_t span) {
  const TimeWindow& w = s.timeWindow;
  bool oneNight = span == 1 && w.startTime > w.endTime;
  s.graphicStart = span == 0 || oneNight ? w.startTime : w.endTime;
  s.graphicEnd = w.endTime;
}

// Keeps a requested graphic window inside the report window's hours.
void ClampGraphicWindow(const TimeWindow& w, int32_t span, int32_t& start, int32_t& end) {
  if (span == 0) {
    if (start < w.startTime || start > w.endTime) start = w.startTime;
    if (end < w.startTime || end > w.endTime) end = w.endTime;
  } else if (span == 1 && w.startTime >= w.endTime) {
    if (StrictlyBetween(start, w.endTime, w.startTime)) start = w.startTime;
    if (StrictlyBetween(end, w.endTime, w.startTime)) end = w.endTime;
  } else if (span == 1) {
    if (end > w.endTime) end = w.endTime;
    if (start < w.startTime) start = w.startTime;
  } else if (end > w.endTime) {
    end = w.endTime;
  }
}

void SetGraphicWindow(Settings& s, Console& console) {
  // Days back are any 32-bit numbers, so their distance needs 64 bits; only 0, 1
  // and more matter.
  int64_t distance =
      std::abs(static_cast<int64_t>(s.timeWindow.endDaysBack) - s.timeWindow.startDaysBack);
  int32_t span = static_cast<int32_t>(std::min<int64_t>(distance, 2));
  DefaultGraphicWindow(s, span);
  if (s.GRAPHIC_TIME.empty()) return;
  std::string_view text = s.GRAPHIC_TIME;
  size_t dash = text.find('-');
  std::optional<int32_t> start, end;
  if (dash != std::string_view::npos) {
    start = TimeOfDay(text.substr(0, dash));
    end = TimeOfDay(text.substr(dash + 1));
  }
  if (!start || !end) {
    console.ConsoleLog(kError, " Wrong graph time. Got time: %s-%s",
                       {ClockText(s.graphicStart), ClockText(s.graphicEnd)});
    return;
  }
  ClampGraphicWindow(s.timeWindow, span, *start, *end);
  s.graphicStart = *start;
  s.graphicEnd = *end;
}

}  // namespace

std::optional<int32_t> TimeOfDay(std::string_view text) {
  int64_t parts[3] = {0, 0, 0};
  for (int64_t& part : parts) {
    size_t colon = text.find(':');
    part = LeadingNumber(text.substr(0, colon));
    if (colon == std::string_view::npos) break;
    text.remove_prefix(colon + 1);
  }
  // Parts may hold up to 18 digits: a product or sum that overflows is out of range too.
  int64_t hours = 0, minutes = 0, total = 0;
  if (__builtin_mul_overflow(parts[0], 3600, &hours) ||
      __builtin_mul_overflow(parts[1], 60, &minutes) ||
      __builtin_add_overflow(hours, minutes, &total) ||
      __builtin_add_overflow(total, parts[2], &total)) {
    return std::nullopt;
  }
  if (total < 0 || total > kSecondsPerDay) return std::nullopt;
  return static_cast<int32_t>(total);
}

void ReadMainConfigLines(LineReader& lines, Settings& settings, Console& console,
                         Platform& platform) {
  MainReader reader{settings, console, platform};
  std::string_view line;
  while (lines.Next(line)) ReadLine(reader, line);
  CheckComplete(settings, console, platform);
  SetGraphicWindow(settings, console);
}

void ReadMainConfig(const std::string& configPath, Settings& settings, Console& console,
                    Platform& platform) {
  errno = 0;
  std::unique_ptr<File> file = platform.OpenFile(configPath, FileMode::kRead);
  if (!file) {
    console.ConsoleLog(kError, " Unable to open %s (%s)", {"config file", configPath});
    console.Reason(ErrnoOr(EIO));
    StopRun(1);
  }
  console.ConsoleLog(kMilestone, " Reading %s (%s)", {"config file", configPath});
  LineReader lines(*file);
  ReadMainConfigLines(lines, settings, console, platform);
}

}  // namespace zentrak
