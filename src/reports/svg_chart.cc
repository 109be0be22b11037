// Bar charts as inline SVG.
#include "reports/svg_chart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>

namespace zentrak {
namespace {

// The drawing's own units; the page scales the whole to its width.
constexpr double kWidth = 640;
constexpr double kHeight = 260;
constexpr double kLeft = 64;
constexpr double kRight = 8;
constexpr double kTop = 30;
constexpr double kBottom = 28;
constexpr double kPlotWidth = kWidth - kLeft - kRight;
constexpr double kPlotHeight = kHeight - kTop - kBottom;
constexpr int kTicks = 4;
// Turned labels: their angle, and about how far a character reaches along it.
constexpr double kTurn = 40;
constexpr double kTurnSine = 0.643;  // sin 40°
constexpr double kCharacter = 6.5;
constexpr size_t kLongestTurned = 40;

// How much lower the chart reaches for its turned labels.
double TurnedDepth(const BarChart& chart) {
  if (!chart.turnLabels) return 0;
  size_t longest = 0;
  for (const std::string& label : chart.labels) longest = std::max(longest, label.size());
  longest = std::min(longest, kLongestTurned);
  return std::ceil(kCharacter * static_cast<double>(longest) * kTurnSine);
}

std::string Num(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  std::string result(text);
  if (result.size() > 2 && result.compare(result.size() - 2, 2, ".0") == 0)
    result.resize(result.size() - 2);
  return result;
}

std::string ValueText(double value, ChartUnit unit) {
  if (unit == ChartUnit::kCount) return Num(value);
  return unit == ChartUnit::kPercent ? Num(value) + "%" : ShortBytes(value);
}

double SlotTotal(const BarChart& chart, size_t slot) {
  double total = 0;
  for (const ChartSeries& s : chart.series) {
    double v = slot < s.values.size() ? std::max(s.values[slot], 0.0) : 0;
    total = chart.stacked ? total + v : std::max(total, v);
  }
  return chart.cap > 0 ? std::min(total, chart.cap) : total;
}

double ValueAt(const ChartSeries& s, size_t slot) {
  return slot < s.values.size() && std::isfinite(s.values[slot]) ? std::max(s.values[slot], 0.0)
                                                                 : 0;
}

void Rect(std::string& out, double x, double y, double w, double h, std::string_view cls,
          std::string_view tip) {
  out += "<rect class=\"" + XmlEscaped(cls) + "\" x=\"" + Num(x) + "\" y=\"" + Num(y) +
         "\" width=\"" + Num(w) + "\" height=\"" + Num(h) + "\"><title>" + XmlEscaped(tip) +
         "</title></rect>\n";
}

void Text(std::string& out, double x, double y, std::string_view anchor, std::string_view text) {
  out += "<text class=\"chart-label\" x=\"" + Num(x) + "\" y=\"" + Num(y) + "\" text-anchor=\"" +
         std::string(anchor) + "\">" + XmlEscaped(text) + "</text>\n";
}

void Line(std::string& out, std::string_view cls, double x1, double y1, double x2, double y2) {
  out += "<line class=\"" + std::string(cls) + "\" x1=\"" + Num(x1) + "\" y1=\"" + Num(y1) +
         "\" x2=\"" + Num(x2) + "\" y2=\"" + Num(y2) + "\"/>\n";
}

// The text alternative: what the chart shows, its span and its highest slot.
std::string Summary(const BarChart& chart, double highest, size_t highestSlot) {
  std::string text;
  for (size_t k = 0; k < chart.series.size(); ++k) {
    text += (k == 0 ? "" : k + 1 == chart.series.size() ? " and " : ", ") + chart.series[k].name;
  }
  text += chart.stacked ? ", stacked" : ", side by side";
  if (chart.labels.empty()) return text + "; no data. " + chart.description;
  text += ", " + std::to_string(chart.labels.size()) + " bars from " + chart.labels.front() +
          " to " + chart.labels.back();
  if (highest > 0) {
    text += "; highest " + chart.labels[highestSlot] + " with " + ValueText(highest, chart.unit);
  }
  return text + ". " + chart.description;
}

void Axes(std::string& out, const BarChart& chart, double top) {
  for (int tick = 0; tick <= kTicks; ++tick) {
    double y = kTop + kPlotHeight - kPlotHeight * tick / kTicks;
    Line(out, tick == 0 ? "chart-axis" : "chart-grid", kLeft, y, kLeft + kPlotWidth, y);
    Text(out, kLeft - 6, y + 4, "end", ValueText(top * tick / kTicks, chart.unit));
  }
  Line(out, "chart-axis", kLeft, kTop, kLeft, kTop + kPlotHeight);
}

void Key(std::string& out, const BarChart& chart) {
  double x = kLeft;
  for (const ChartSeries& s : chart.series) {
    out += "<rect class=\"" + XmlEscaped(s.cssClass) + "\" x=\"" + Num(x) + "\" y=\"8\" " +
           "width=\"12\" height=\"12\"/>\n";
    Text(out, x + 16, 19, "start", s.name);
    // Room for the name at the stylesheet's label size, about 7.5 units a character.
    x += 28 + 7.5 * static_cast<double>(std::min<size_t>(s.name.size(), 40));
  }
}

void Bars(std::string& out, const BarChart& chart, double top) {
  size_t slots = chart.labels.size();
  double slot = kPlotWidth / static_cast<double>(slots);
  size_t columns = chart.stacked ? 1 : std::max<size_t>(chart.series.size(), 1);
  double barWidth = slot * 0.8 / static_cast<double>(columns);
  int every = std::max(chart.labelEvery, 1);
  for (size_t k = 0; k < slots; ++k) {
    double x = kLeft + slot * static_cast<double>(k) + slot * 0.1;
    double base = kTop + kPlotHeight;
    double stackedSoFar = 0;
    for (size_t s = 0; s < chart.series.size(); ++s) {
      const ChartSeries& series = chart.series[s];
      double value = ValueAt(series, k);
      if (chart.stacked && chart.cap > 0) value = std::min(value, chart.cap - stackedSoFar);
      stackedSoFar += value;
      double height = top > 0 ? kPlotHeight * value / top : 0;
      if (height <= 0) continue;
      std::string tip = chart.labels[k] + ": " + ValueText(value, chart.unit) + " " + series.name;
      if (chart.stacked) {
        base -= height;
        Rect(out, x, base, barWidth, height, series.cssClass, tip);
      } else {
        Rect(out, x + barWidth * static_cast<double>(s), base - height, barWidth, height,
             series.cssClass, tip);
      }
    }
    if (k % static_cast<size_t>(every) != 0) continue;
    double middle = kLeft + slot * (static_cast<double>(k) + 0.5);
    if (!chart.turnLabels) {
      Text(out, middle, kHeight - 10, "middle", chart.labels[k]);
      continue;
    }
    double y = kTop + kPlotHeight + 14;
    out += "<text class=\"chart-label\" x=\"" + Num(middle) + "\" y=\"" + Num(y) +
           "\" text-anchor=\"end\" transform=\"rotate(-" + Num(kTurn) + " " + Num(middle) + " " +
           Num(y) + ")\">" + XmlEscaped(chart.labels[k]) + "</text>\n";
  }
}

}  // namespace

std::string XmlEscaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? ' ' : c;
    }
  }
  return out;
}

double NiceTop(double value, ChartUnit unit) {
  if (!(value > 0) || !std::isfinite(value)) return 1;
  // Bytes are rounded in their own unit, so that the ticks read 0.5K, 1K, 1.5K.
  double scale = 1;
  while (unit == ChartUnit::kBytes && value / scale >= 1024) scale *= 1024;
  double scaled = value / scale;
  double power = std::pow(10.0, std::floor(std::log10(scaled)));
  for (double step : {1.0, 2.0, 5.0, 10.0}) {
    // A hair of tolerance: 3000 must not become 5000 through a rounded power.
    if (step * power >= scaled * (1 - 1e-12)) return step * power * scale;
  }
  return 10 * power * scale;
}

std::string ShortBytes(double bytes) {
  static constexpr const char* kUnits[] = {"", "K", "M", "G", "T", "P"};
  size_t unit = 0;
  while (std::fabs(bytes) >= 1024 && unit + 1 < std::size(kUnits)) {
    bytes /= 1024;
    ++unit;
  }
  return Num(unit == 0 ? std::round(bytes) : bytes) + kUnits[unit];
}

std::string SvgBarChart(const BarChart& chart) {
  double highest = 0;
  size_t highestSlot = 0;
  for (size_t k = 0; k < chart.labels.size(); ++k) {
    double total = SlotTotal(chart, k);
    if (total > highest) highest = total, highestSlot = k;
  }
  double top = std::max(chart.floorTop, NiceTop(highest, chart.unit));
  // Whole bytes under four would give ticks that round to the same text.
  if (chart.unit == ChartUnit::kBytes) top = std::max(top, static_cast<double>(kTicks));
  // An SVG's own title and description name it for assistive technology:
  // no ids to keep unique on the page.
  double height = kHeight + TurnedDepth(chart);
  std::string out = "<svg class=\"chart\" viewBox=\"0 0 " + Num(kWidth) + " " + Num(height) +
                    "\" role=\"img\" data-chart=\"" + XmlEscaped(chart.id) +
                    "\" xmlns=\"http://www.w3.org/2000/svg\">\n";
  out += "<title>" + XmlEscaped(chart.title) + "</title>\n";
  out += "<desc>" + XmlEscaped(Summary(chart, highest, highestSlot)) + "</desc>\n";
  Axes(out, chart, top);
  Key(out, chart);
  if (chart.labels.empty()) {
    Text(out, kLeft + kPlotWidth / 2, kTop + kPlotHeight / 2, "middle", "no data");
  } else {
    Bars(out, chart, top);
  }
  return out + "</svg>\n";
}

}  // namespace zentrak
