// The generated log is deterministic, ends on its end day and is read by the
// parser into many sessions and a few hundred links.
#include "tools/log_generator.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <sstream>

#include "console/run_stop.h"
#include "log/binkd_parser.h"
#include "log/log_parser.h"
#include "log_parse_text.h"
#include "log_test_texts.h"
#include "model_text.h"
#include "test_support.h"

namespace zentrak {
namespace {

std::string Generate(const LogGeneratorOptions& options) {
  std::string log;
  GenerateLog(options, [&](std::string_view chunk) { log += chunk; });
  return log;
}

// The last twenty days of `log` parsed with `aliases` mapped to their names.
SessionModel ParseTwentyDays(const std::string& log, std::vector<std::string> aliases) {
  Settings settings = SetDefaults();
  settings.timeWindow = TimeWindow{20, 0, 1, 86399};
  settings.AliasList = std::move(aliases);
  return testing::ParseEnglishLog(log, settings);
}

TEST(LogGenerator, SameSeedSameBytesOtherSeedOtherBytes) {
  LogGeneratorOptions options;
  options.days = 3;
  std::string first = Generate(options);
  EXPECT_EQ(Generate(options), first);
  options.seed = 2;
  EXPECT_NE(Generate(options), first);
}

TEST(LogGenerator, LineEndsAndSize) {
  LogGeneratorOptions options;
  options.days = 2;
  options.crlf = false;
  std::string lf = Generate(options);
  EXPECT_EQ(lf.find('\r'), std::string::npos);
  options.crlf = true;
  std::string crlf = Generate(options);
  EXPECT_EQ(crlf.size() - lf.size(), static_cast<size_t>(std::count(lf.begin(), lf.end(), '\n')));

  options.days = 0;
  options.bytes = 3 << 20;
  std::string sized = Generate(options);
  EXPECT_GE(sized.size(), (3u << 20) - 4096);
  EXPECT_LT(sized.size(), (3u << 20) + 300);
  EXPECT_EQ(sized.back(), '\n');
}

TEST(LogGenerator, ParsesIntoABusyNode) {
  LogGeneratorOptions options;
  options.days = 20;
  options.endYear = 2026;
  options.endMonth = 12;
  options.endDay = 6;  // yesterday for the test clock
  std::string log = Generate(options);
  EXPECT_EQ(log.rfind("06 Dec"), log.rfind('\n', log.size() - 2) + 3);

  SessionModel model =
      ParseTwentyDays(log, {"Hub=2:5020/1", "Neighbour=2:5020/77", "net coordinator=2:5020/2"});
  EXPECT_GT(model.sessions.size(), 1500u);
  EXPECT_GT(model.links.size(), 150u);
  EXPECT_LT(model.links.size(), 400u);
  EXPECT_GT(model.TotalCallingTime, 0);
  EXPECT_GT(model.TotalBbsTime, 0);
  EXPECT_GT(model.TotalCps, 0);
  size_t aliased = 0, aborted = 0, incoming = 0;
  for (const TSession& s : model.sessions) {
    aliased += s.AliasName != kNoText;
    aborted += s.Aborted;
    incoming += s.Incoming;
    ASSERT_FALSE(s.Address == kNoText && !s.Bbs);
  }
  EXPECT_GT(aliased, 0u);
  EXPECT_GT(aborted, 0u);
  EXPECT_GT(incoming, model.sessions.size() / 4);
  EXPECT_EQ(model.PeriodFrom.day, 17);
  EXPECT_EQ(model.PeriodFrom.month, 11);
  EXPECT_EQ(model.PeriodTill.day, 6);
}

// The model and console of `log` parsed line by line (threads 0) or in blocks
// on `threads` threads, by the reader of the settings' log format.
std::string ParsedText(const std::string& log, const Settings& settings, int threads,
                       SessionModel& model) {
  testing::TestConsole console;
  bool binkd = settings.logFormat == LogFormat::kBinkd;
  if (threads == 0) {
    LineReader reader(log);
    if (binkd) {
      ParseBinkdLogLines(reader, settings, testing::kTestToday, model, console.console);
    } else {
      ParseLogLines(reader, settings, testing::EnglishTexts(), testing::kTestToday, model,
                    console.console);
    }
  } else {
    LogBlockReader reader(log, 64 * 1024);
    if (binkd) {
      ParseBinkdLogBlocks(reader, settings, testing::kTestToday, model, console.console, threads);
    } else {
      ParseLogBlocks(reader, settings, testing::EnglishTexts(), testing::kTestToday, model,
                     console.console, threads);
    }
  }
  return testing::ModelText(model) + console.Masked();
}

// Lines of the log holding `text`, and the longest line.
size_t CountLines(const std::string& log, std::string_view text) {
  size_t count = 0;
  for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++count;
  return count;
}

size_t LongestLine(const std::string& log) {
  size_t longest = 0;
  for (size_t start = 0, end; (end = log.find('\n', start)) != std::string::npos; start = end + 1) {
    longest = std::max(longest, end - start);
  }
  return longest;
}

TEST(LogGenerator, OtherMixes) {
  LogGeneratorOptions usual;
  usual.days = 4;
  usual.endDay = 6;
  std::string base = Generate(usual);
  size_t sessions = CountLines(base, "End of session");

  LogGeneratorOptions options = usual;
  options.links = 2000;  // more than the sessions of these days can reach at random
  options.days = 20;
  std::string log = Generate(options);
  // Three links log under names; unmapped they would share one link.
  SessionModel model =
      ParseTwentyDays(log, {"Hub=3:1/1", "Neighbour=3:1/2", "Net Coordinator=3:1/3"});
  EXPECT_EQ(model.links.size(), 2000u);

  options = usual;
  options.filesMin = options.filesMax = 10;
  log = Generate(options);
  size_t files = CountLines(log, "Receiving file ") + CountLines(log, "Sending file ");
  EXPECT_EQ(files, 10 * CountLines(log, "End of session"));

  options = usual;
  options.padMin = 300;
  options.padMax = 400;
  log = Generate(options);
  EXPECT_GT(LongestLine(log), 300 + 30u);
  EXPECT_EQ(LongestLine(base), LongestLine(Generate(usual)));

  options = usual;
  options.terse = true;
  log = Generate(options);
  EXPECT_EQ(CountLines(log, "System: ") + CountLines(log, "Modem reports:"), 0u);
  EXPECT_GT(CountLines(log, "End of session"), sessions / 2);
}

// The bench's mixes, parsed by the line reader and by blocks on one and on
// several threads: one model, one console.
TEST(LogGenerator, EveryMixParsesTheSameOnAnyNumberOfThreads) {
  LogGeneratorOptions usual;
  usual.days = 12;
  usual.endDay = 6;
  std::vector<LogGeneratorOptions> mixes(5, usual);
  mixes[1].filesMin = 4;
  mixes[1].filesMax = 12;
  mixes[2].padMin = 40;
  mixes[2].padMax = 400;
  mixes[3].terse = true;
  mixes[4].links = 600;
  for (size_t mix = 0; mix < mixes.size(); ++mix) {
    std::string log = Generate(mixes[mix]);
    Settings settings = SetDefaults();
    settings.timeWindow = TimeWindow{12, 0, 1, 86399};
    settings.MAKESTAT_FILES = mix % 2 == 1;
    settings.AliasList = {"Hub=2:5020/1", "Neighbour=2:5020/77", "net coordinator=2:5020/2"};
    std::string expected;
    for (int threads : {0, 1, 3}) {
      SessionModel model;
      std::string got = ParsedText(log, settings, threads, model);
      if (threads == 0) expected = got;
      ASSERT_GT(model.sessions.size(), 500u);
      ASSERT_EQ(got, expected) << "mix " << mix << ", " << threads << " threads";
    }
  }
}

// binkd's log: each line in binkd's layout, in time order; every kind of line
// a reader must know; and each session's `done` adds up its own file lines.
TEST(BinkdLogGenerator, WritesEveryLineKindAndConsistentSessions) {
  LogGeneratorOptions options;
  options.binkd = true;
  options.crlf = false;
  options.days = 9;
  std::string log = Generate(options);
  EXPECT_EQ(Generate(options), log);
  const std::regex layout(R"(^[!?+\- ] \d\d [A-Z][a-z]{2} (\d\d:\d\d:\d\d) \[(\d+)\] (.*)$)");
  const std::regex done(
      R"(^done \((to|from) \S+, (OK|failed), S/R: (\d+)/(\d+) \((\d+)/(\d+) bytes\)\)$)");
  const std::regex file(R"(^(sent|rcvd): .+ \((\d+), \d+\.\d\d CPS, \S+\)$)");
  struct Open {
    long long sent[2] = {0, 0}, received[2] = {0, 0};
    bool called = false;  // a `call to` waits for its session line
  };
  std::map<std::string, Open> open;
  std::string day, lastTime;
  size_t sessions = 0, empty = 0;
  std::istringstream lines(log);
  for (std::string line; std::getline(lines, line);) {
    std::smatch m;
    if (line.empty()) {
      ++empty;
      continue;
    }
    ASSERT_TRUE(std::regex_match(line, m, layout)) << line;
    // Dates are the same day or a later one, and within a day times only grow.
    if (line.substr(2, 6) != day) day = line.substr(2, 6), lastTime.clear();
    ASSERT_GE(m[1].str(), lastTime) << line;
    lastTime = m[1];
    const std::string pid = m[2], message = m[3];
    if (message.starts_with("call to")) {
      open[pid] = Open{.called = true};
    } else if (message.find("session with") != std::string::npos) {
      if (!open[pid].called) open[pid] = Open{};
      open[pid].called = false;
    } else if (std::smatch f; std::regex_match(message, f, file)) {
      Open& s = open[pid];
      (f[1] == "sent" ? s.sent : s.received)[0] += 1;
      (f[1] == "sent" ? s.sent : s.received)[1] += std::stoll(f[2]);
    } else if (std::smatch d; std::regex_match(message, d, done)) {
      const Open& s = open[pid];
      EXPECT_EQ(std::stoll(d[3]), s.sent[0]) << line;
      EXPECT_EQ(std::stoll(d[4]), s.received[0]) << line;
      EXPECT_EQ(std::stoll(d[5]), s.sent[1]) << line;
      EXPECT_EQ(std::stoll(d[6]), s.received[1]) << line;
      open.erase(pid);
      ++sessions;
    }
  }
  EXPECT_GT(sessions, 900u);
  EXPECT_GE(empty, 3u);  // a start, and two upgrades at least
  for (const char* kind : {"] call to ",
                           "] incoming from ",
                           "] session with ",
                           "] incoming session with ",
                           "] outgoing session with ",
                           "] addr: ",
                           "(n/a or busy)",
                           "] SYS ",
                           "] ZYZ ",
                           "] LOC ",
                           "] NDL ",
                           "] TIME ",
                           "] VER ",
                           "] OPT ",
                           "] pwd protected session (MD5)",
                           "] sending /",
                           "] sending C:\\",
                           "] sent: /",
                           "] receiving ",
                           "] have ",
                           "] already have ",
                           "] skipping ",
                           " skipped by remote",
                           " interrupted at ",
                           ": partial .pkt",
                           "] connection to ",
                           "] unable to connect",
                           "] done (?, failed",
                           ", failed, S/R",
                           "] got M_BSY",
                           "! ",
                           "\\x07"}) {
    EXPECT_NE(log.find(kind), std::string::npos) << kind;
  }
  // A resumed receive, and the session lines of 1.0 (with the port) and 1.1a.
  EXPECT_TRUE(std::regex_search(log, std::regex(R"(byte\(s\), off [1-9])")));
  EXPECT_TRUE(std::regex_search(log, std::regex(R"(incoming session with \S+ \[\S+\] \(\d+\)\n)")));
  EXPECT_TRUE(std::regex_search(log, std::regex(R"(outgoing session with \S+:24554 \[\S+\]\n)")));

  options.binkdVersion = "1.1a";
  std::string modern = Generate(options);
  EXPECT_EQ(modern.find("] session with "), std::string::npos);
  EXPECT_EQ(modern.find("(24554)"), std::string::npos);
}

// binkd's log of each kind parses into a busy node, the same on one thread
// and several: every `done` a session, incoming and failed ones among them,
// failed connects as dialling time.
TEST(BinkdLogGenerator, ParsesIntoABusyNodeOnAnyNumberOfThreads) {
  LogGeneratorOptions usual;
  usual.binkd = true;
  usual.crlf = false;
  usual.days = 12;
  usual.endDay = 6;
  std::vector<LogGeneratorOptions> mixes(3, usual);
  mixes[1].binkdVersion = "0.9";
  mixes[1].filesMin = 4;
  mixes[1].filesMax = 12;
  mixes[2].terse = true;
  mixes[2].padMin = 200;
  mixes[2].padMax = 1100;
  for (size_t mix = 0; mix < mixes.size(); ++mix) {
    std::string log = Generate(mixes[mix]);
    Settings settings = SetDefaults();
    settings.logFormat = LogFormat::kBinkd;
    settings.timeWindow = TimeWindow{12, 0, 1, 86399};
    std::string expected;
    for (int threads : {0, 1, 3}) {
      SessionModel model;
      std::string got = ParsedText(log, settings, threads, model);
      if (threads == 0) {
        expected = got;
        EXPECT_EQ(model.sessions.size(), CountLines(log, "] done (")) << "mix " << mix;
        size_t incoming = 0, aborted = 0;
        for (const TSession& s : model.sessions) {
          incoming += s.Incoming;
          aborted += s.Aborted;
        }
        EXPECT_GT(incoming, model.sessions.size() / 3);
        EXPECT_GT(aborted, 0u);
        EXPECT_GT(model.TotalCallingTime, 0);
        EXPECT_GT(model.links.size(), 150u);
      }
      ASSERT_EQ(got, expected) << "mix " << mix << ", " << threads << " threads";
    }
  }
}

}  // namespace
}  // namespace zentrak
