// The SVG bar charts: escaping of hostile labels, the value axis, empty charts.
#include "reports/svg_chart.h"

#include <gtest/gtest.h>

namespace zentrak {
namespace {

size_t Count(const std::string& text, std::string_view what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(SvgChartTest, TextsAndScales) {
  struct Row {
    double value;
    double niceTop;
    const char* shortBytes;
  } rows[] = {
      {0, 1, "0"},
      {1, 1, "1"},
      {3, 5, "3"},
      {1000, 1000, "1000"},
      {1024, 1024, "1K"},
      {1536, 2048, "1.5K"},
      {3000, 5120, "2.9K"},
      {6e6, 10 * 1048576.0, "5.7M"},
      {5e9, 5 * 1073741824.0, "4.7G"},
      {-1, 1, "-1"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(NiceTop(row.value, ChartUnit::kBytes), row.niceTop) << row.value;
    EXPECT_EQ(ShortBytes(row.value), row.shortBytes) << row.value;
  }
  EXPECT_EQ(NiceTop(3000, ChartUnit::kPercent), 5000);
  EXPECT_EQ(XmlEscaped("<a href='x'>\"&\"</a>\t\x7f"),
            "&lt;a href=&#39;x&#39;&gt;&quot;&amp;&quot;&lt;/a&gt;  ");
}

BarChart TwoSeries() {
  BarChart chart;
  chart.id = "days";
  chart.title = "Traffic <per> day";
  chart.labels = {"01.12", "</text><script>x</script>", "03.12"};
  chart.series = {{"received", "rx", {100, 400, 0}}, {"sent \"&\"", "tx", {50, 0, 200}}};
  return chart;
}

TEST(SvgChartTest, HostileTextStaysText) {
  BarChart chart = TwoSeries();
  chart.id = "a\"b";
  chart.description = "<b>";
  std::string svg = SvgBarChart(chart);
  EXPECT_EQ(Count(svg, "<script"), 0u);
  EXPECT_EQ(Count(svg, "<b>"), 0u);
  EXPECT_EQ(Count(svg, "a\"b"), 0u);
  EXPECT_NE(svg.find("data-chart=\"a&quot;b\""), std::string::npos);
  EXPECT_NE(svg.find("&lt;/text&gt;&lt;script&gt;x&lt;/script&gt;"), std::string::npos);
  EXPECT_NE(svg.find("<title>Traffic &lt;per&gt; day</title>"), std::string::npos);
  // Every element that opens is closed: a label cannot end one early.
  EXPECT_EQ(Count(svg, "<text"), Count(svg, "</text>"));
  EXPECT_EQ(Count(svg, "<svg"), 1u);
}

TEST(SvgChartTest, BarsScaleToTheHighestValue) {
  BarChart chart = TwoSeries();
  std::string svg = SvgBarChart(chart);
  // The axis ends at 500, the round value above 400; zero bars are left out.
  EXPECT_EQ(Count(svg, "<rect class=\"rx\""), 1u + 2u);  // key + two bars
  EXPECT_EQ(Count(svg, "<rect class=\"tx\""), 1u + 2u);
  EXPECT_NE(svg.find("height=\"161.6\"><title>&lt;/text&gt;&lt;script&gt;x&lt;/script&gt;: 400 "
                     "received</title>"),
            std::string::npos)
      << svg;
  EXPECT_NE(svg.find(">500</text>"), std::string::npos);
  EXPECT_NE(svg.find("highest &lt;/text&gt;&lt;script&gt;x&lt;/script&gt; with 400"),
            std::string::npos);

  chart.stacked = true;
  chart.unit = ChartUnit::kPercent;
  chart.cap = 100;
  chart.floorTop = 100;
  chart.series[0].values = {80, 10, 0};
  chart.series[1].values = {60, 10, 0};
  svg = SvgBarChart(chart);
  // 80 + 60 is cut at 100: the second bar of the first slot keeps 20.
  EXPECT_NE(svg.find("01.12: 20% sent"), std::string::npos) << svg;
  EXPECT_NE(svg.find(">100%</text>"), std::string::npos);
}

TEST(SvgChartTest, EmptyChartStillHasAxesAndAlternative) {
  BarChart chart;
  chart.id = "none";
  chart.title = "Nothing";
  chart.series = {{"received", "rx", {}}};
  std::string svg = SvgBarChart(chart);
  EXPECT_NE(svg.find(">no data</text>"), std::string::npos);
  EXPECT_NE(svg.find("<desc>received, side by side; no data."), std::string::npos);
  EXPECT_EQ(Count(svg, "chart-axis"), 2u);
  // Every tick its own value: 0 1 2 3 4, never 0 0 1 1 1.
  for (const char* tick : {">0<", ">1<", ">2<", ">3<", ">4<"}) {
    EXPECT_EQ(Count(svg, tick), 1u) << tick << svg;
  }
  // Labels without values draw nothing, and a chart without series does not divide by zero.
  chart.labels = {"a", "b"};
  chart.series.clear();
  EXPECT_EQ(Count(SvgBarChart(chart), "<rect"), 0u);
}

}  // namespace
}  // namespace zentrak
