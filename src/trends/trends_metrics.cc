// The metrics file: one table of samples, each a name, a help text and the
// figure it takes from the store.
#include "trends/trends_metrics.h"

#include <cinttypes>
#include <cstdio>
#include <functional>

#include "support/calendar.h"

namespace zentrak {
namespace {

// The length of the UTF-8 character at `text[at]`, 0 when it is not one.
size_t CharacterLength(std::string_view text, size_t at) {
  auto byte = [&](size_t k) { return static_cast<unsigned char>(text[at + k]); };
  unsigned char lead = byte(0);
  if (lead == '\n' || lead == '\t') return 1;
  if (lead < 0x20 || lead == 0x7f) return 0;
  if (lead < 0x80) return 1;
  size_t length = lead >= 0xc2 && lead <= 0xdf   ? 2
                  : lead >= 0xe0 && lead <= 0xef ? 3
                  : lead >= 0xf0 && lead <= 0xf4 ? 4
                                                 : 0;
  if (length == 0 || at + length > text.size()) return 0;
  for (size_t k = 1; k < length; ++k) {
    if ((byte(k) & 0xc0) != 0x80) return 0;
  }
  // No overlong form, no surrogate, nothing past U+10FFFF.
  if (lead == 0xe0 && byte(1) < 0xa0) return 0;
  if (lead == 0xed && byte(1) > 0x9f) return 0;
  if (lead == 0xf0 && byte(1) < 0x90) return 0;
  if (lead == 0xf4 && byte(1) > 0x8f) return 0;
  return length;
}

using Labels = std::vector<std::pair<std::string, std::string>>;  // escaped values

struct Family {
  const char* name;
  const char* type;
  const char* help;
  std::vector<std::pair<Labels, int64_t>> samples;
};

std::string Render(const std::vector<Family>& families) {
  std::string text;
  for (const Family& family : families) {
    if (family.samples.empty()) continue;
    text += std::string("# HELP ") + family.name + " " + family.help + "\n";
    text += std::string("# TYPE ") + family.name + " " + family.type + "\n";
    for (const auto& [labels, value] : family.samples) {
      text += family.name;
      for (size_t k = 0; k < labels.size(); ++k) {
        text += (k == 0 ? "{" : ",") + labels[k].first + "=\"" + labels[k].second + "\"";
      }
      if (!labels.empty()) text += "}";
      text += " " + std::to_string(value) + "\n";
    }
  }
  return text;
}

int64_t MidnightUtc(const CalendarDate& date) { return DaysFromCivil(date) * kSecondsPerDay; }

}  // namespace

std::optional<std::string> MetricsLabelValue(std::string_view text, size_t bound) {
  std::string value;
  size_t at = 0;
  while (at < text.size()) {
    size_t length = CharacterLength(text, at);
    if (length == 0 || at + length > bound) break;
    char c = text[at];
    if (c == '\\' || c == '"') {
      value += '\\';
      value += c;
    } else if (c == '\n') {
      value += "\\n";
    } else {
      value.append(text.substr(at, length));
    }
    at += length;
  }
  if (value.empty() && !text.empty()) return std::nullopt;
  return value;
}

std::string TrendsMetricsText(TrendsStore& store, const TrendsStation& station,
                              const std::vector<TrendsLinkName>& names, int64_t runTime) {
  std::string stationAddress = station.addresses.empty() ? std::string() : station.addresses[0];
  Labels base = {{"station", MetricsLabelValue(stationAddress).value_or("")}};
  auto with = [&](std::initializer_list<std::pair<std::string, std::string>> more) {
    Labels labels = base;
    labels.insert(labels.end(), more.begin(), more.end());
    return labels;
  };

  Family sessions{"zentrak_link_sessions_total",
                  "counter",
                  "Ended sessions with the link over every stored day, by direction.",
                  {}};
  Family aborted{"zentrak_link_aborted_sessions_total",
                 "counter",
                 "Of those, the sessions that were aborted.",
                 {}};
  Family bytes{"zentrak_link_bytes_total",
               "counter",
               "Bytes received from and sent to the link over every stored day.",
               {}};
  Family files{"zentrak_link_files_total",
               "counter",
               "Files received from and sent to the link whole over every stored day.",
               {}};
  Family online{"zentrak_link_online_seconds_total",
                "counter",
                "Seconds online with the link over every stored day.",
                {}};
  for (const TrendsLinkTotal& link : ReadTrendsLinkTotals(store)) {
    std::optional<std::string> address = MetricsLabelValue(link.address);
    if (!address) continue;
    const TrendsLinkSums& s = link.sums;
    sessions.samples.push_back({with({{"link", *address}, {"direction", "in"}}), s.sessionsIn});
    sessions.samples.push_back({with({{"link", *address}, {"direction", "out"}}), s.sessionsOut});
    aborted.samples.push_back({with({{"link", *address}}), s.aborted});
    bytes.samples.push_back({with({{"link", *address}, {"direction", "received"}}), s.received});
    bytes.samples.push_back({with({{"link", *address}, {"direction", "sent"}}), s.sent});
    files.samples.push_back(
        {with({{"link", *address}, {"direction", "received"}}), s.filesReceived});
    files.samples.push_back({with({{"link", *address}, {"direction", "sent"}}), s.filesSent});
    online.samples.push_back({with({{"link", *address}}), s.onlineSeconds});
  }

  Family info{"zentrak_link_info",
              "gauge",
              "The names a link gave for itself in the last run's log (always 1).",
              {}};
  for (const TrendsLinkName& name : names) {
    std::optional<std::string> address = MetricsLabelValue(name.address);
    if (!address) continue;
    info.samples.push_back({with({{"link", *address},
                                  {"system", MetricsLabelValue(name.system).value_or("")},
                                  {"sysop", MetricsLabelValue(name.sysop).value_or("")}}),
                            1});
  }

  TrendsTotals totals = ReadTrendsTotals(store);
  const TrendsStationSums& st = totals.station;
  std::vector<Family> families = {sessions, aborted, bytes, files, online, info};
  families.push_back({"zentrak_sessions_total",
                      "counter",
                      "Ended sessions over every stored day, BBS visits included.",
                      {{base, st.sessions}}});
  families.push_back({"zentrak_failed_calls_total",
                      "counter",
                      "Outgoing calls that failed over every stored day.",
                      {{base, st.failedCalls}}});
  families.push_back({"zentrak_calling_seconds_total",
                      "counter",
                      "Seconds spent dialling calls that failed over every stored day.",
                      {{base, st.callingSeconds}}});
  families.push_back({"zentrak_bbs_seconds_total",
                      "counter",
                      "Seconds of BBS visits over every stored day.",
                      {{base, st.bbsSeconds}}});
  families.push_back({"zentrak_store_day_rows",
                      "gauge",
                      "How many days the trends store holds.",
                      {{base, totals.daysStored}}});

  std::vector<TrendsDay> last = ReadTrendsDays(store, 1);
  if (!last.empty() && last.back().stored) {
    const TrendsDay& day = last.back();
    families.push_back({"zentrak_last_day_timestamp_seconds",
                        "gauge",
                        "Midnight (UTC) that begins the last stored day.",
                        {{base, MidnightUtc(day.date)}}});
    families.push_back({"zentrak_last_day_covered_seconds",
                        "gauge",
                        "Seconds of the last stored day that the log covered.",
                        {{base, day.coveredSeconds}}});
    families.push_back({"zentrak_last_day_sessions",
                        "gauge",
                        "Ended sessions of the last stored day, by direction.",
                        {{with({{"direction", "in"}}), day.links.sessionsIn},
                         {with({{"direction", "out"}}), day.links.sessionsOut}}});
    families.push_back({"zentrak_last_day_bytes",
                        "gauge",
                        "Bytes of the last stored day, by direction.",
                        {{with({{"direction", "received"}}), day.links.received},
                         {with({{"direction", "sent"}}), day.links.sent}}});
    families.push_back({"zentrak_last_day_failed_calls",
                        "gauge",
                        "Outgoing calls that failed on the last stored day.",
                        {{base, day.station.failedCalls}}});
  }
  families.push_back({"zentrak_last_run_timestamp_seconds",
                      "gauge",
                      "When the last run that changed the trends store ended well.",
                      {{base, runTime}}});
  return Render(families);
}

}  // namespace zentrak
