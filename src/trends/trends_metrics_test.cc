#include "trends/trends_metrics.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace zentrak {
namespace {

TEST(TrendsMetrics, EscapesLabelValuesAndCutsWhatIsNoText) {
  struct Case {
    std::string text;
    std::optional<std::string> value;
  };
  const std::vector<Case> cases = {
      {"2:5020/1", "2:5020/1"},
      {"a\"b\\c\nd", "a\\\"b\\\\c\\nd"},
      {"tab\there", "tab\there"},
      {"Пётр", "Пётр"},
      {"cut\rhere", "cut"},
      {"cut\x01", "cut"},
      {"bad \xff byte", "bad "},
      {"\xd0", std::nullopt},      // half a character
      {"over\xc0\xaf", "over"},    // an overlong slash
      {"sur\xed\xa0\x80", "sur"},  // a surrogate
      {std::string("nul\0x", 5), "nul"},
      {"", ""},
      {std::string(200, 'x'), std::string(128, 'x')},
      {std::string(127, 'x') + "ё", std::string(127, 'x')},  // never through a character
  };
  for (const Case& c : cases) EXPECT_EQ(MetricsLabelValue(c.text), c.value) << c.text;
}

TEST(TrendsMetrics, WritesCountersPerLinkAndTheLastDay) {
  testing::TempDir dir;
  TrendsStore store = OpenTrendsStore(dir.File("t.db"), TrendsAccess::kWrite);
  TrendsRunDay day;
  day.date = {6, 12, 2026};
  day.coveredTill = 86400;
  TrendsLinkSums sums;
  sums.sessionsIn = 2;
  sums.received = 300;
  day.links = {{"1:2/3", sums}, {"bad\xff", sums}, {"\xff", sums}};
  ASSERT_EQ(WriteTrendsRunDays(store, {day}), 1);
  std::string text = TrendsMetricsText(store, {{"2:5020/1"}, "Node"},
                                       {{"1:2/3", "Sys \"x\"", "Name"}}, 1796640188);
  auto has = [&](const std::string& line) { return text.find("\n" + line + "\n"); };
  EXPECT_NE(has("zentrak_link_bytes_total{station=\"2:5020/1\",link=\"1:2/3\",direction="
                "\"received\"} 300"),
            std::string::npos)
      << text;
  EXPECT_NE(
      has("zentrak_link_sessions_total{station=\"2:5020/1\",link=\"bad\",direction=\"in\"} 2"),
      std::string::npos);
  EXPECT_NE(has("zentrak_link_info{station=\"2:5020/1\",link=\"1:2/3\",system=\"Sys \\\"x\\\"\","
                "sysop=\"Name\"} 1"),
            std::string::npos);
  EXPECT_NE(has("zentrak_last_day_timestamp_seconds{station=\"2:5020/1\"} 1796515200"),
            std::string::npos);
  EXPECT_NE(has("zentrak_last_run_timestamp_seconds{station=\"2:5020/1\"} 1796640188"),
            std::string::npos);
  // A link with nothing left of its address has no sample; the TYPE line of
  // each family comes once.
  EXPECT_EQ(text.find("link=\"\""), std::string::npos);
  size_t first = text.find("# TYPE zentrak_link_bytes_total counter");
  ASSERT_NE(first, std::string::npos);
  EXPECT_EQ(text.find("# TYPE zentrak_link_bytes_total", first + 1), std::string::npos);
}

}  // namespace
}  // namespace zentrak
