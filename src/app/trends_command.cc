// The --trends tables and their JSON: one column table drives both, so the two
// never disagree about what a row holds.
#include "app/trends_command.h"

#include <cinttypes>
#include <cstdio>
#include <functional>
#include <optional>
#include <vector>

#include "console/console_log.h"
#include "support/calendar.h"
#include "support/text.h"

namespace zentrak {
namespace {

constexpr int32_t kDaysShown = 30;
constexpr int32_t kMonthsShown = 12;
constexpr int32_t kTopLinksShown = 10;
constexpr int32_t kHoursShown = 24;
constexpr int32_t kTopDaysShown = 10;

// One row of any view, whatever it sums over.
struct Row {
  std::string label;
  int32_t days = 0;
  int64_t coveredSeconds = 0;
  TrendsLinkSums links;
  TrendsStationSums station;
};

std::string Bytes(int64_t bytes) { return HumanBytes(bytes); }

std::string Number(int64_t value) { return std::to_string(value); }

// A clock up to 99:59:59, whole hours beyond: a year of a busy node's time
// online still fits its column.
std::string Duration(int64_t seconds) {
  if (seconds < 100 * 3600) return ClockText(seconds);
  return std::to_string(seconds / 3600) + " h";
}

std::string Covered(const Row& row) {
  if (row.days == 0) return "0 %";
  int64_t percent = row.coveredSeconds * 100 / (int64_t{row.days} * 86400);
  return std::to_string(percent) + " %";
}

struct Column {
  const char* title;
  const char* json;
  bool left;
  bool station;  // a figure of the station's days, not of one link
  std::function<std::string(const Row&)> text;
  std::function<int64_t(const Row&)> value;  // null: the text is the JSON value
};

const std::vector<Column>& Columns() {
  static const std::vector<Column> columns = {
      {"", "period", true, false, [](const Row& r) { return r.label; }, nullptr},
      {"days", "days", false, false, [](const Row& r) { return Number(r.days); },
       [](const Row& r) -> int64_t { return r.days; }},
      {"covered", "covered_seconds", false, true, Covered,
       [](const Row& r) { return r.coveredSeconds; }},
      {"in", "sessions_in", false, false, [](const Row& r) { return Number(r.links.sessionsIn); },
       [](const Row& r) { return r.links.sessionsIn; }},
      {"out", "sessions_out", false, false,
       [](const Row& r) { return Number(r.links.sessionsOut); },
       [](const Row& r) { return r.links.sessionsOut; }},
      {"aborted", "aborted", false, false, [](const Row& r) { return Number(r.links.aborted); },
       [](const Row& r) { return r.links.aborted; }},
      {"received", "bytes_received", false, false,
       [](const Row& r) { return Bytes(r.links.received); },
       [](const Row& r) { return r.links.received; }},
      {"sent", "bytes_sent", false, false, [](const Row& r) { return Bytes(r.links.sent); },
       [](const Row& r) { return r.links.sent; }},
      {"online", "online_seconds", false, false,
       [](const Row& r) { return Duration(r.links.onlineSeconds); },
       [](const Row& r) { return r.links.onlineSeconds; }},
      {"transfer", "transfer_seconds", false, false,
       [](const Row& r) { return Duration(r.links.transferSeconds); },
       [](const Row& r) { return r.links.transferSeconds; }},
      {"files in", "files_received", false, false,
       [](const Row& r) { return Number(r.links.filesReceived); },
       [](const Row& r) { return r.links.filesReceived; }},
      {"files out", "files_sent", false, false,
       [](const Row& r) { return Number(r.links.filesSent); },
       [](const Row& r) { return r.links.filesSent; }},
      {"calling", "calling_seconds", false, true,
       [](const Row& r) { return Duration(r.station.callingSeconds); },
       [](const Row& r) { return r.station.callingSeconds; }},
      {"failed", "failed_calls", false, true,
       [](const Row& r) { return Number(r.station.failedCalls); },
       [](const Row& r) { return r.station.failedCalls; }},
      {"bbs", "bbs_seconds", false, true,
       [](const Row& r) { return Duration(r.station.bbsSeconds); },
       [](const Row& r) { return r.station.bbsSeconds; }},
      {"unfinished", "unfinished_seconds", false, true,
       [](const Row& r) { return Duration(r.station.unfinishedSeconds); },
       [](const Row& r) { return r.station.unfinishedSeconds; }},
  };
  return columns;
}

std::string Pad(const std::string& text, size_t width, bool left) {
  std::string space(width > text.size() ? width - text.size() : 0, ' ');
  return left ? text + space : space + text;
}

// The top links and the hours have no station figures.
std::vector<Column> ColumnsFor(bool links) {
  std::vector<Column> columns;
  for (const Column& column : Columns()) {
    if (!links || !column.station) columns.push_back(column);
  }
  return columns;
}

// The columns of a table for the terminal, by their JSON names: what fits 80
// columns; the JSON keeps every figure.
std::vector<Column> TableColumns(const std::vector<std::string>& names) {
  std::vector<Column> columns;
  for (const std::string& name : names) {
    for (const Column& column : Columns()) {
      if (column.json == name) columns.push_back(column);
    }
  }
  return columns;
}

std::string Table(const std::string& title, const std::vector<Row>& rows,
                  const std::vector<Column>& columns) {
  std::vector<std::vector<std::string>> cells;
  std::vector<size_t> widths;
  for (const Column& column : columns) widths.push_back(std::string(column.title).size());
  for (const Row& row : rows) {
    cells.emplace_back();
    for (size_t c = 0; c < columns.size(); ++c) {
      cells.back().push_back(columns[c].text(row));
      widths[c] = std::max(widths[c], cells.back().back().size());
    }
  }
  auto line = [&](const std::vector<std::string>& texts) {
    std::string text;
    for (size_t c = 0; c < columns.size(); ++c) {
      text += (c == 0 ? " " : "  ") + Pad(texts[c], widths[c], columns[c].left);
    }
    return text + "\n";
  };
  std::vector<std::string> titles;
  for (const Column& column : columns) titles.push_back(column.title);
  std::string text = " " + title + "\n\n" + line(titles);
  for (const auto& rowCells : cells) text += line(rowCells);
  if (rows.empty()) text += " (nothing stored yet)\n";
  return text;
}

const std::vector<std::string> kPeriodColumns = {"period",      "days",           "covered_seconds",
                                                 "sessions_in", "sessions_out",   "bytes_received",
                                                 "bytes_sent",  "online_seconds", "failed_calls"};
const std::vector<std::string> kDayColumns = {"period",         "covered_seconds", "sessions_in",
                                              "sessions_out",   "bytes_received",  "bytes_sent",
                                              "online_seconds", "failed_calls"};
const std::vector<std::string> kLinkColumns = {"period",        "days",           "sessions_in",
                                               "sessions_out",  "bytes_received", "bytes_sent",
                                               "online_seconds"};
const std::vector<std::string> kHourColumns = {"period",        "sessions_in",    "sessions_out",
                                               "aborted",       "bytes_received", "bytes_sent",
                                               "online_seconds"};

// JSON strings hold the address bytes as they are where they are printable
// ASCII; any other byte is written as the code point of the same number, so
// the output is valid UTF-8 whatever the log's code page was.
std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x7f) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      out += escape;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string JsonObject(const Row& row, const std::vector<Column>& columns, const char* labelName) {
  std::string text = "{";
  for (size_t c = 0; c < columns.size(); ++c) {
    if (c > 0) text += ", ";
    text += "\"" + std::string(c == 0 ? labelName : columns[c].json) + "\": ";
    text +=
        columns[c].value ? std::to_string(columns[c].value(row)) : JsonString(columns[c].text(row));
  }
  return text + "}";
}

std::string Json(const std::string& view, const std::vector<Row>& rows, const char* labelName,
                 bool links, const std::optional<Row>& estimate = std::nullopt) {
  const std::vector<Column> columns = ColumnsFor(links);
  std::string text = "{\"view\": " + JsonString(view) + ", \"rows\": [";
  for (size_t r = 0; r < rows.size(); ++r) {
    text += (r == 0 ? "\n  " : ",\n  ") + JsonObject(rows[r], columns, labelName);
  }
  text += rows.empty() ? "]" : "\n]";
  if (estimate) text += ",\n\"estimate\": " + JsonObject(*estimate, columns, labelName);
  return text + "}\n";
}

std::string DateLabel(const CalendarDate& date) {
  char text[32];
  if (date.day > 0) {
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
  } else if (date.month > 0) {
    std::snprintf(text, sizeof text, "%04d-%02d", date.year, date.month);
  } else {
    std::snprintf(text, sizeof text, "%04d", date.year);
  }
  return text;
}

template <typename Stored>
std::vector<Row> RowsOf(const std::vector<Stored>& stored) {
  std::vector<Row> rows;
  for (const Stored& s : stored) {
    int32_t days = 0;
    if constexpr (requires { s.daysStored; }) {
      days = s.daysStored;
    } else {
      days = s.stored ? 1 : 0;
    }
    if (days == 0) continue;
    rows.push_back(Row{DateLabel(s.date), days, s.coveredSeconds, s.links, s.station});
  }
  return rows;
}

int32_t DaysInMonth(int32_t month, int32_t year) {
  CalendarDate next = month == 12 ? CalendarDate{1, 1, year + 1} : CalendarDate{1, month + 1, year};
  return static_cast<int32_t>(DaysFromCivil(next) - DaysFromCivil(CalendarDate{1, month, year}));
}

// The running month (the last one stored, when the store does not hold all of
// it) scaled from the part covered to its whole length: an estimate.
std::optional<Row> Estimate(const std::vector<TrendsMonth>& months) {
  if (months.empty() || months.back().daysStored == 0) return std::nullopt;
  const TrendsMonth& month = months.back();
  int64_t length = int64_t{DaysInMonth(month.date.month, month.date.year)} * kSecondsPerDay;
  if (month.coveredSeconds <= 0 || month.coveredSeconds >= length) return std::nullopt;
  auto scaled = [&](int64_t value) {
    return static_cast<int64_t>(static_cast<double>(value) * static_cast<double>(length) /
                                    static_cast<double>(month.coveredSeconds) +
                                0.5);
  };
  Row row{DateLabel(month.date), DaysInMonth(month.date.month, month.date.year), length, {}, {}};
  const TrendsLinkSums& l = month.links;
  row.links = {scaled(l.sessionsIn),      scaled(l.sessionsOut),   scaled(l.aborted),
               scaled(l.received),        scaled(l.sent),          scaled(l.onlineSeconds),
               scaled(l.transferSeconds), scaled(l.filesReceived), scaled(l.filesSent)};
  const TrendsStationSums& st = month.station;
  row.station = {scaled(st.callingSeconds), scaled(st.bbsSeconds), scaled(st.unfinishedSeconds),
                 scaled(st.failedCalls), scaled(st.sessions)};
  return row;
}

std::string HourLabel(const TrendsHour& hour) {
  return DateLabel(hour.date) + " " + TwoDigits(hour.hour) + ":00";
}

// One line for a status bar or a shell prompt: the last day, its month so far
// and the month's estimate.
std::string OneLine(TrendsStore& store, bool json) {
  std::vector<TrendsDay> days = ReadTrendsDays(store, 1);
  std::vector<TrendsMonth> months = ReadTrendsMonths(store, 1);
  if (days.empty() || months.empty()) {
    return json ? "{\"view\": \"oneline\"}\n" : " (nothing stored yet)\n";
  }
  const TrendsDay& day = days.back();
  const TrendsMonth& month = months.back();
  std::optional<Row> estimate = Estimate(months);
  if (json) {
    auto pair = [](const char* name, const TrendsLinkSums& sums) {
      return ", \"" + std::string(name) + "_received\": " + std::to_string(sums.received) + ", \"" +
             name + "_sent\": " + std::to_string(sums.sent);
    };
    std::string text = "{\"view\": \"oneline\", \"day\": " + JsonString(DateLabel(day.date)) +
                       pair("day", day.links) +
                       ", \"month\": " + JsonString(DateLabel(month.date)) +
                       pair("month", month.links);
    if (estimate) text += pair("estimate", estimate->links);
    return text + "}\n";
  }
  std::string text = " " + DateLabel(day.date) + ": " + Bytes(day.links.received) + " in, " +
                     Bytes(day.links.sent) + " out; " + DateLabel(month.date) + ": " +
                     Bytes(month.links.received) + " in, " + Bytes(month.links.sent) + " out";
  if (estimate) {
    text += " (estimate for the month: " + Bytes(estimate->links.received) + " in, " +
            Bytes(estimate->links.sent) + " out)";
  }
  return text + "\n";
}

}  // namespace

std::string TrendsText(TrendsStore& store, const std::string& view, bool json) {
  if (view == "oneline") return OneLine(store, json);
  std::vector<Row> rows;
  std::string title;
  const char* labelName = "day";
  const std::vector<std::string>* table = &kDayColumns;
  std::optional<Row> estimate;
  if (view == "months") {
    std::vector<TrendsMonth> months = ReadTrendsMonths(store, kMonthsShown);
    rows = RowsOf(months);
    estimate = Estimate(months);
    title = "The last " + std::to_string(kMonthsShown) + " months";
    labelName = "month";
    table = &kPeriodColumns;
  } else if (view == "years") {
    rows = RowsOf(ReadTrendsYears(store));
    title = "Every year";
    labelName = "year";
    table = &kPeriodColumns;
  } else if (view == "top") {
    TrendsTotals totals = ReadTrendsTotals(store);
    CalendarDate month{0, totals.lastDay.month, totals.lastDay.year};
    for (const TrendsTopLink& link : ReadTopLinks(store, month.year, month.month, kTopLinksShown)) {
      rows.push_back(Row{link.address, link.daysSeen, 0, link.sums, {}});
    }
    title = "The top links of " + (totals.daysStored > 0 ? DateLabel(month) : std::string("-"));
    labelName = "address";
    table = &kLinkColumns;
  } else if (view == "hours") {
    for (const TrendsHour& hour : ReadTrendsHours(store, kHoursShown)) {
      rows.push_back(Row{HourLabel(hour), hour.stored ? 1 : 0, 0, hour.links, {}});
    }
    title = "The last " + std::to_string(kHoursShown) + " hours";
    labelName = "hour";
    table = &kHourColumns;
  } else if (view == "topdays") {
    rows = RowsOf(ReadTopDays(store, kTopDaysShown));
    title = "The " + std::to_string(kTopDaysShown) + " busiest days";
  } else {
    rows = RowsOf(ReadTrendsDays(store, kDaysShown));
    title = "The last " + std::to_string(kDaysShown) + " days";
  }
  bool links = view == "top" || view == "hours";
  if (json) return Json(view, rows, labelName, links, estimate);
  if (!estimate) return Table(title, rows, TableColumns(*table));
  rows.push_back(*estimate);
  rows.back().label = "estimate";
  return Table(title, rows, TableColumns(*table)) +
         " (estimate: the running month's sums so far, scaled to its length)\n";
}

}  // namespace zentrak
