// Reading the mailer configuration: its line syntax with [line] prefixes and
// the keywords that matter to us; every other line is skipped silently.
#include "config/mailer_config.h"

#include <cerrno>
#include <memory>
#include <optional>

#include "config/binkd_config.h"
#include "config/config_lines.h"
#include "config/text_rules.h"
#include "console/run_stop.h"
#include "support/temporary_path.h"
#include "support/text.h"

namespace zentrak {
namespace {

// A [line] prefix may hold another one; the depth bound keeps a crafted line finite.
constexpr int kMaxPrefixDepth = 8;

struct MailerReader {
  Settings& settings;
  Console& console;
  char separator;
  bool binkdKeyword = false;  // a keyword only binkd.conf has
};

std::string Expanded(const MailerReader& r, std::string_view value) {
  return ExpandDefines(value, r.settings.DefineList);
}

void Define(MailerReader& r, std::string_view value) {
  if (value.find(' ') == std::string_view::npos) return;
  AddDefine(Expanded(r, value), r.settings);
}

// The mailer's log sits beside its configuration unless the value says where.
void Log(MailerReader& r, std::string_view value) {
  if (!r.settings.LOG.empty()) return;
  std::string path = Expanded(r, value);
  if (path.find(r.separator) == std::string::npos) {
    const std::string& config = r.settings.MAILER_CFG;
    size_t last = config.rfind(r.separator);
    if (last != std::string::npos) path = config.substr(0, last + 1) + path;
  }
  r.settings.LOG = CutTo(path, kNameBound);
}

void LogFormat(MailerReader& r, std::string_view value) {
  CheckLogFormat(value, Expanded(r, value), r.settings, r.console);
}

// The address may come from a definition; the name is taken as written.
void Alias(MailerReader& r, std::string_view value) {
  size_t blank = value.find(' ');
  if (blank == std::string_view::npos) return;
  std::string expanded = Expanded(r, value);
  std::string_view firstWord = std::string_view(expanded).substr(0, expanded.find(' '));
  AddAlias(firstWord, value.substr(blank + 1), r.settings);
}

void Sysop(MailerReader& r, std::string_view value) {
  r.settings.SYSOP = CutTo(Expanded(r, value), kNameBound);
}
void Station(MailerReader& r, std::string_view value) {
  r.settings.STATION = CutTo(Expanded(r, value), kNameBound);
}
void Address(MailerReader& r, std::string_view value) {
  r.settings.ADDRESS = CutTo(Expanded(r, value), kNameBound);
}

struct MailerKeyword {
  std::string_view name;
  void (*handle)(MailerReader&, std::string_view value);
};

// The only keywords of the mailer's file that matter to us.
constexpr MailerKeyword kMailerKeywords[] = {
    {"SYSOP", Sysop},          {"STATION", Station}, {"ADDRESS", Address}, {"LOG", Log},
    {"LOG_FORMAT", LogFormat}, {"ALIAS", Alias},     {"DEFINE", Define},
};

void ReadLine(MailerReader& r, std::string_view line, int depth);

// "[name] KEYWORD value" applies only when name is our LINE.
void LinePrefix(MailerReader& r, std::string_view keyword, std::string_view value, int depth) {
  std::string_view name = keyword.substr(1);
  name = name.substr(0, name.find(']'));
  if (!EqualsIgnoreCase(name, r.settings.LINE) || depth >= kMaxPrefixDepth) return;
  ReadLine(r, value, depth + 1);
}

void ReadLine(MailerReader& r, std::string_view raw, int depth) {
  std::string prepared = TabsToBlanks(raw);
  std::optional<ConfigLine> line = SplitConfigLine(TrimSpaceAndControls(prepared));
  if (!line) return;
  std::string_view keyword = line->keyword;
  std::string_view value = TrimBlanks(line->value);
  if (keyword[0] == '[') return LinePrefix(r, keyword, value, depth);
  for (const MailerKeyword& entry : kMailerKeywords) {
    if (EqualsIgnoreCase(keyword, entry.name)) return entry.handle(r, value);
  }
  r.binkdKeyword = r.binkdKeyword || BinkdOnlyKeyword(keyword);
}

}  // namespace

void ReadMailerConfigLines(LineReader& lines, Settings& settings, Console& console,
                           char separator) {
  MailerReader reader{settings, console, separator};
  std::string_view line;
  while (lines.Next(line)) ReadLine(reader, line, 0);
  // Its "log" and "address" lines read as ours, but the log would not.
  if (reader.binkdKeyword) StopForBinkdConfig(settings, console);
  if (settings.LOG.empty()) {
    console.ConsoleLog(kError, " There is no log file in config..");
    StopRun(1);
  }
}

void ReadMailerConfig(Settings& settings, Console& console, Platform& platform) {
  if (settings.logFormat == LogFormat::kBinkd) return ReadBinkdConfig(settings, console, platform);
  const std::string& path = settings.MAILER_CFG;
  errno = 0;
  std::unique_ptr<File> file = platform.OpenFile(path, FileMode::kRead);
  if (!file) {
    console.ConsoleLog(kError, " Unable to open %s (%s)", {"mailer cfg file", path});
    console.Reason(ErrnoOr(EIO));
    StopRun(1);
  }
  console.ConsoleLog(kMilestone, " Reading %s (%s)", {"mailer cfg file", path});
  LineReader lines(*file);
  ReadMailerConfigLines(lines, settings, console, platform.DirSeparator());
}

}  // namespace zentrak
