// zentrak-genlog: writes a synthetic mailer or binkd log of a busy node for
// the demo stations and the benchmark. Same seed and options, same bytes.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/log_generator.h"

namespace {

const char kHelp[] =
    "Usage: zentrak-genlog --out FILE --end YYYY-MM-DD (--days D | --bytes SIZE) [options]\n"
    "Writes a synthetic log of a busy node whose last day is the --end date: the\n"
    "mailer's, or with --binkd binkd's.\n"
    "  --out FILE       file to write (\"-\" for standard output)\n"
    "  --end DATE       last day of the log, YYYY-MM-DD\n"
    "  --days D         days the log covers, ending on the end date\n"
    "  --bytes SIZE     stop at the first line end at or after SIZE bytes (suffix K, M or G\n"
    "                   for KiB, MiB, GiB); without --days the log covers SIZE / 8 MiB days,\n"
    "                   at least 1 and at most 300, so that no date repeats\n"
    "  --sessions N     activities a day when no --bytes is given (default 150)\n"
    "  --seed N         seed of the generator (default 1)\n"
    "Other mixes than a busy node's usual one:\n"
    "  --links N        N distinct remote addresses, each with a session as early as\n"
    "                   possible (default 300 to 399, some of them shared)\n"
    "  --files MIN-MAX  file transfers per mailer session (default 0-8)\n"
    "  --pad MIN-MAX    extra bytes on descriptive and noise lines (default 0-0); lines\n"
    "                   may then pass 255 bytes\n"
    "  --terse          no descriptive lines and no noise: short lines only\n"
    "  --lf             end lines with LF instead of CR LF (binkd's log: the default)\n"
    "  --crlf           end lines with CR LF (the mailer's log: the default)\n"
    "binkd's log:\n"
    "  --binkd          parallel sessions keyed by process id, in binkd's wording\n"
    "  --binkd-version V  the node's binkd: 0.9, 1.0 or 1.1a (default: it upgrades\n"
    "                   from 0.9 to 1.0 to 1.1a, one third of the days each)\n"
    "  --help           this text\n";

bool ParseSize(const char* text, uint64_t* size) {
  char* end = nullptr;
  unsigned long long value = std::strtoull(text, &end, 10);
  if (end == text) return false;
  int shift = 0;
  if (*end == 'K' || *end == 'k') shift = 10;
  if (*end == 'M' || *end == 'm') shift = 20;
  if (*end == 'G' || *end == 'g') shift = 30;
  if (shift != 0) ++end;
  if (*end != '\0') return false;
  *size = static_cast<uint64_t>(value) << shift;
  return true;
}

bool ParseDate(const char* text, zentrak::LogGeneratorOptions* options) {
  int year = 0, month = 0, day = 0;
  char tail = 0;
  if (std::sscanf(text, "%d-%d-%d%c", &year, &month, &day, &tail) != 3) return false;
  if (month < 1 || month > 12 || day < 1 || day > 31) return false;
  options->endYear = year;
  options->endMonth = month;
  options->endDay = day;
  return true;
}

// "N" or "MIN-MAX", both whole numbers from 0, MIN not above MAX.
bool ParseRange(const char* text, int32_t* low, int32_t* high) {
  int a = 0, b = 0, used = 0;
  if (std::sscanf(text, "%d%n", &a, &used) != 1) return false;
  const char* rest = text + used;
  b = a;
  if (*rest == '-') {
    if (std::sscanf(rest + 1, "%d%n", &b, &used) != 1) return false;
    rest += 1 + used;
  }
  if (*rest != '\0' || a < 0 || b < a) return false;
  *low = a;
  *high = b;
  return true;
}

int Fail(const char* message) {
  std::fprintf(stderr, "zentrak-genlog: %s\n%s", message, kHelp);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  zentrak::LogGeneratorOptions options;
  std::string out;
  bool haveEnd = false;
  int lineEnds = 0;  // 0: the format's own, 1: LF, 2: CR LF
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    if (arg == "--help") {
      std::fputs(kHelp, stdout);
      return 0;
    } else if (arg == "--lf" || arg == "--crlf") {
      lineEnds = arg == "--lf" ? 1 : 2;
      continue;
    } else if (arg == "--binkd") {
      options.binkd = true;
      continue;
    } else if (arg == "--terse") {
      options.terse = true;
      continue;
    }
    if (value == nullptr) return Fail("missing value");
    ++i;
    if (arg == "--out") {
      out = value;
    } else if (arg == "--end") {
      if (!ParseDate(value, &options)) return Fail("bad --end date");
      haveEnd = true;
    } else if (arg == "--days") {
      options.days = std::atoi(value);
      if (options.days < 1) return Fail("bad --days");
    } else if (arg == "--bytes") {
      if (!ParseSize(value, &options.bytes)) return Fail("bad --bytes");
    } else if (arg == "--sessions") {
      options.sessionsPerDay = std::atoi(value);
    } else if (arg == "--links") {
      options.links = std::atoi(value);
      if (options.links < 12) return Fail("bad --links (at least 12)");
    } else if (arg == "--files") {
      if (!ParseRange(value, &options.filesMin, &options.filesMax)) return Fail("bad --files");
    } else if (arg == "--pad") {
      if (!ParseRange(value, &options.padMin, &options.padMax)) return Fail("bad --pad");
    } else if (arg == "--binkd-version") {
      options.binkdVersion = value;
      if (options.binkdVersion != "0.9" && options.binkdVersion != "1.0" &&
          options.binkdVersion != "1.1a") {
        return Fail("bad --binkd-version");
      }
    } else if (arg == "--seed") {
      options.seed = std::strtoull(value, nullptr, 10);
    } else {
      return Fail("unknown option");
    }
  }
  // binkd writes LF on the systems most nodes run it on.
  options.crlf = lineEnds == 0 ? !options.binkd : lineEnds == 2;
  if (out.empty() || !haveEnd) return Fail("--out and --end are required");
  if (options.days == 0 && options.bytes == 0) return Fail("give --days or --bytes");
  std::FILE* file = out == "-" ? stdout : std::fopen(out.c_str(), "wb");
  if (file == nullptr) return Fail("cannot create the output file");
  bool ok = true;
  zentrak::GenerateLog(options, [&](std::string_view chunk) {
    ok = ok && std::fwrite(chunk.data(), 1, chunk.size(), file) == chunk.size();
  });
  ok = (file == stdout ? std::fflush(file) : std::fclose(file)) == 0 && ok;
  if (!ok) return Fail("writing failed");
  return 0;
}
