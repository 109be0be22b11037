// The generated log is deterministic, ends on its end day and is read by the
// parser into many sessions and a few hundred links.
#include "tools/log_generator.h"

#include <gtest/gtest.h>

#include "console/run_stop.h"
#include "log/log_parser.h"
#include "log_test_texts.h"
#include "test_support.h"

namespace zentrak {
namespace {

std::string Generate(const LogGeneratorOptions& options) {
  std::string log;
  GenerateLog(options, [&](std::string_view chunk) { log += chunk; });
  return log;
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

  Settings settings = SetDefaults();
  settings.timeWindow = TimeWindow{20, 0, 1, 86399};
  settings.AliasList = {"Hub=2:5020/1", "Neighbour=2:5020/77", "net coordinator=2:5020/2"};
  testing::TestConsole console;
  SessionModel model;
  LineReader reader(log);
  ParseLogLines(reader, settings, testing::EnglishTexts(), testing::kTestToday, model,
                console.console);
  EXPECT_GT(model.sessions.size(), 1500u);
  EXPECT_GT(model.links.size(), 150u);
  EXPECT_LT(model.links.size(), 400u);
  EXPECT_GT(model.TotalCallingTime, 0);
  EXPECT_GT(model.TotalBbsTime, 0);
  EXPECT_GT(model.TotalCps, 0);
  size_t aliased = 0, aborted = 0, incoming = 0;
  for (const TSession& s : model.sessions) {
    aliased += !s.AliasName.empty();
    aborted += s.Aborted;
    incoming += s.Incoming;
    ASSERT_FALSE(s.Address.empty() && !s.Bbs);
  }
  EXPECT_GT(aliased, 0u);
  EXPECT_GT(aborted, 0u);
  EXPECT_GT(incoming, model.sessions.size() / 4);
  EXPECT_EQ(model.PeriodFrom.day, 17);
  EXPECT_EQ(model.PeriodFrom.month, 11);
  EXPECT_EQ(model.PeriodTill.day, 6);
}

}  // namespace
}  // namespace zentrak
