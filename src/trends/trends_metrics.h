// The trends store as a Prometheus text-exposition file for node_exporter's
// textfile collector: counters over everything stored, the last day's figures
// as gauges. Remote text reaches another program here, so every label value is
// escaped, and cut where it stops being one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "trends/trends_store.h"

namespace zentrak {

/// A link as this run's log named it, for an info sample.
struct TrendsLinkName {
  std::string address;
  std::string system;
  std::string sysop;
};

/// `text` as a label value between double quotes: backslash, double quote and
/// line feed escaped; cut before the first byte that is not UTF-8 text (an
/// invalid sequence or a control character other than line feed and tab) and
/// to at most `bound` bytes. Nothing when the cut leaves nothing of a text
/// that had something.
std::optional<std::string> MetricsLabelValue(std::string_view text, size_t bound = 128);

/// The whole file. `runTime` is the run's time in seconds since 1970 (UTC).
std::string TrendsMetricsText(TrendsStore& store, const TrendsStation& station,
                              const std::vector<TrendsLinkName>& names, int64_t runTime);

}  // namespace zentrak
