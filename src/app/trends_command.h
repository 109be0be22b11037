// `--trends`: tables (or JSON) from the trends store for the shell, without
// reading the log.
#pragma once

#include <string>

#include "trends/trends_store.h"

namespace zentrak {

/// The views --trends knows: "days" (the last 30), "months" (the last 12),
/// "years" (all), "top" (the ten busiest links of the last stored month).
/// Returns the table, or the same rows as one JSON object when `json`.
std::string TrendsText(TrendsStore& store, const std::string& view, bool json);

}  // namespace zentrak
