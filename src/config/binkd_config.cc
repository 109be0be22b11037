// binkd.conf: keyword and words per line; "include" reads another file in
// place. Addresses are taken once every file is read, as a "domain" line may
// come after the address it completes.
#include "config/binkd_config.h"

#include <algorithm>
#include <cerrno>
#include <memory>

#include "console/run_stop.h"
#include "support/temporary_path.h"
#include "support/text.h"

namespace zentrak {
namespace {

// Includes deeper than this are a loop.
constexpr int kMaxIncludeDepth = 8;
constexpr size_t kBinkdConfigLine = 1023;

// Keywords that only binkd.conf has: a file with one of them is no
// configuration of the mailer whose language file Zentrak reads.
constexpr std::string_view kBinkdOnlyKeywords[] = {
    "sysname",    "nodeinfo",   "iport",        "oport",      "defnode",
    "maxservers", "maxclients", "temp-inbound", "call-delay", "rescan-delay",
};

struct BinkdReader {
  Settings& settings;
  Console& console;
  Platform& platform;
  std::vector<std::string> addresses;  // as written, in order
  std::string defaultZone;             // of the first domain with a zone
  std::string log;                     // binkd writes where its last "log" line says
  std::vector<std::string> reading;    // the chain of includes open now
  std::vector<std::string> read;       // every file read, each read once
};

// A bare file name is read beside the file that names it, as the mailer's
// LOG is; binkd on Windows takes "/" as well as its own separator.
std::string Beside(const std::string& file, const std::string& path, char separator) {
  const char separators[] = {separator, '/', '\0'};
  if (path.find_first_of(separators) != std::string::npos) return path;
  size_t last = file.find_last_of(separators);
  if (last == std::string::npos) return path;
  return file.substr(0, last + 1) + path;
}

// The rest of the line as one value: a quoted word, or every word.
std::string Joined(const std::vector<std::string>& words) {
  std::string value;
  for (size_t k = 1; k < words.size(); ++k) {
    if (k > 1) value += ' ';
    value += words[k];
  }
  return value;
}

void ReadFile(BinkdReader& r, const std::string& path, int depth);
void Include(BinkdReader& r, const std::string& file, const std::string& path, int depth);

void ReadLine(BinkdReader& r, const std::string& file, std::string_view line, int depth) {
  std::vector<std::string> words = BinkdConfigWords(line);
  if (words.size() < 2) return;
  const std::string& keyword = words[0];
  char separator = r.platform.DirSeparator();
  if (EqualsIgnoreCase(keyword, "address")) {
    r.addresses.insert(r.addresses.end(), words.begin() + 1, words.end());
  } else if (EqualsIgnoreCase(keyword, "domain")) {
    // "domain name path zone"; "domain name alias-for other" gives none.
    if (words.size() >= 4 && r.defaultZone.empty() && !EqualsIgnoreCase(words[2], "alias-for")) {
      r.defaultZone = words[3];
    }
  } else if (EqualsIgnoreCase(keyword, "sysname")) {
    r.settings.STATION = CutTo(Joined(words), kNameBound);
  } else if (EqualsIgnoreCase(keyword, "sysop")) {
    r.settings.SYSOP = CutTo(Joined(words), kNameBound);
  } else if (EqualsIgnoreCase(keyword, "log")) {
    r.log = CutTo(Beside(file, words[1], separator), kNameBound);
  } else if (EqualsIgnoreCase(keyword, "include")) {
    Include(r, file, Beside(file, words[1], separator), depth);
  }
}

bool Holds(const std::vector<std::string>& paths, const std::string& path) {
  return std::find(paths.begin(), paths.end(), path) != paths.end();
}

// A file that includes itself, through any number of others, is a loop like a
// chain too deep. A file read once has given all it has: reading it again for
// a second include would only repeat its addresses.
void Include(BinkdReader& r, const std::string& file, const std::string& path, int depth) {
  if (depth + 1 >= kMaxIncludeDepth || Holds(r.reading, path)) {
    r.console.ConsoleLog(kError, " Too deep includes in %s (%s)", {"mailer cfg file", file});
    return;
  }
  if (Holds(r.read, path)) return;
  ReadFile(r, path, depth + 1);
}

// binkd.conf must be read; an include may hold nothing but the links and
// their passwords, which Zentrak has no use for and a careful sysop keeps
// from it. The addresses stand in binkd.conf itself, so the run goes on.
void ReadFile(BinkdReader& r, const std::string& path, int depth) {
  errno = 0;
  std::unique_ptr<File> file = r.platform.OpenFile(path, FileMode::kRead);
  if (!file && depth == 0) {
    r.console.ConsoleLog(kError, " Unable to open %s (%s)", {"mailer cfg file", path});
    r.console.Reason(ErrnoOr(EIO));
    StopRun(1);
  }
  if (!file) {
    r.console.ConsoleLog(kError, " Include file %s of %s cannot be read and is skipped",
                         {path, r.reading.back()});
    r.console.Reason(ErrnoOr(EIO));
    r.console.NoteUnwritten();
    return;
  }
  r.console.ConsoleLog(kMilestone, " Reading %s (%s)", {"mailer cfg file", path});
  r.reading.push_back(path);
  r.read.push_back(path);
  LineReader lines(*file);
  std::string_view line;
  while (lines.Next(line, kBinkdConfigLine)) ReadLine(r, path, line, depth);
  r.reading.pop_back();
}

// "2:5020/52@fidonet" gives "2:5020/52"; "5020/52" takes the default zone.
std::string MainAddress(const BinkdReader& r) {
  std::string_view address = r.addresses.front();
  address = address.substr(0, address.find('@'));
  std::string text(address);
  if (text.find(':') == std::string::npos && !r.defaultZone.empty()) {
    text = r.defaultZone + ":" + text;
  }
  return CutTo(text, kNameBound);
}

}  // namespace

std::vector<std::string> BinkdConfigWords(std::string_view line) {
  std::vector<std::string> words;
  size_t at = 0;
  while (at < line.size()) {
    char c = line[at];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++at;
      continue;
    }
    if (c == '#') break;
    std::string word;
    if (c == '"') {
      size_t end = line.find('"', at + 1);
      if (end == std::string_view::npos) end = line.size();
      word = line.substr(at + 1, end - at - 1);
      at = end + 1;
    } else {
      while (at < line.size() && line[at] != ' ' && line[at] != '\t' && line[at] != '\r' &&
             line[at] != '#') {
        word += line[at++];
      }
    }
    words.push_back(std::move(word));
  }
  return words;
}

void ReadBinkdConfig(Settings& settings, Console& console, Platform& platform) {
  BinkdReader reader{settings, console, platform, {}, {}, {}, {}, {}};
  ReadFile(reader, settings.MAILER_CFG, 0);
  if (settings.LOG.empty()) settings.LOG = reader.log;
  if (!reader.addresses.empty()) settings.ADDRESS = MainAddress(reader);
  if (settings.LOG.empty()) {
    console.ConsoleLog(kError, " There is no log file in config..");
    StopRun(1);
  }
}

bool BinkdOnlyKeyword(std::string_view keyword) {
  return std::any_of(std::begin(kBinkdOnlyKeywords), std::end(kBinkdOnlyKeywords),
                     [&](std::string_view only) { return EqualsIgnoreCase(keyword, only); });
}

bool ReadsAsBinkdConfig(LineReader& lines) {
  std::string_view line;
  while (lines.Next(line, kBinkdConfigLine)) {
    std::vector<std::string> words = BinkdConfigWords(line);
    if (!words.empty() && BinkdOnlyKeyword(words[0])) return true;
  }
  return false;
}

void StopForBinkdConfig(const Settings& settings, Console& console) {
  console.ConsoleLog(kError,
                     " The mailer cfg file (%s) reads as binkd.conf: add the line LOG_FORMAT "
                     "binkd to the config file",
                     {settings.MAILER_CFG});
  StopRun(1);
}

}  // namespace zentrak
