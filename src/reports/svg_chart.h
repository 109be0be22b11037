// Bar charts as inline SVG for the web pages: no script, no file of their own.
// The page's stylesheet colours them through classes; every text in them is
// escaped, because labels carry names from the log.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zentrak {

/// One series of a chart: a value per slot, drawn with the CSS class `cssClass`.
struct ChartSeries {
  std::string name;  // in the key and the text alternative
  std::string cssClass;
  std::vector<double> values;
};

/// How the value axis is labelled.
enum class ChartUnit { kBytes, kPercent, kCount };

/// A chart: one slot per label, each series a bar in it (side by side, or
/// stacked one on another).
struct BarChart {
  /// The chart's name, for style sheets and checks (data-chart="...").
  std::string id;
  std::string title;
  /// The text alternative's second half, after what the writer says itself.
  std::string description;
  std::vector<std::string> labels;
  std::vector<ChartSeries> series;
  ChartUnit unit = ChartUnit::kBytes;
  bool stacked = false;
  /// Every how many slots a label is written under the axis (1: all).
  int labelEvery = 1;
  /// The value axis's top when no value reaches higher; 0: from the values.
  double floorTop = 0;
  /// A stacked slot is cut at this total (100 for shares of time); 0: no cap.
  double cap = 0;
  /// Labels written whole and turned, for long ones (addresses); the chart
  /// grows downwards to hold them.
  bool turnLabels = false;
};

/// The `<svg>` element of a chart, on one line per element.
std::string SvgBarChart(const BarChart& chart);

/// Text as XML character data or attribute value: & < > " ' as entities,
/// control bytes as blanks (XML has no place for them).
std::string XmlEscaped(std::string_view text);

/// The axis's top for a largest value: 1, 2 or 5 times a power of ten (of the
/// value's unit, for bytes: K, M, G), at least `value`.
double NiceTop(double value, ChartUnit unit);

/// A byte count as a short axis text ("0", "512", "1.5K", "20M", "3G").
std::string ShortBytes(double bytes);

}  // namespace zentrak
