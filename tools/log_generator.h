// A synthetic mailer log of a busy node, deterministic from a seed: the example
// station's demo log and the benchmark's big logs. Lines follow the mailer's
// column layout and the example station's English message texts.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace zentrak {

/// What to generate.
struct LogGeneratorOptions {
  uint64_t seed = 1;
  int32_t endYear = 2026;  // the last day of the log
  int32_t endMonth = 12;
  int32_t endDay = 6;
  int32_t days = 0;              // days ending on the end day; 0: derived from `bytes`
  uint64_t bytes = 0;            // stop at the first line end at or after this size; 0: no limit
  bool crlf = true;              // CR LF line ends, else LF
  int32_t sessionsPerDay = 150;  // density when no byte size is asked for
};

/// Days a log of `bytes` spans when no day count is given: a busy node writes
/// about 8 MiB a day; at least 1 day, at most 300 so that no date repeats.
int32_t DefaultDaysFor(uint64_t bytes);

/// Writes the log in chunks to `sink`; returns the number of bytes written.
uint64_t GenerateLog(const LogGeneratorOptions& options,
                     const std::function<void(std::string_view)>& sink);

}  // namespace zentrak
