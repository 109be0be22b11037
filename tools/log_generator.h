// A synthetic log of a busy node, deterministic from a seed: the example
// stations' demo logs and the benchmark's big logs. The mailer's log follows
// its column layout and the example station's English message texts; binkd's
// log follows binkd's own wording in its three generations.
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
  // Other mixes than the busy node's usual one, for benchmarks that must not
  // hold on one log only. The defaults give the usual mix.
  int32_t links = 0;     // distinct remote addresses; 0: 300 to 399, some shared
  int32_t filesMin = 0;  // file transfers per mailer session, MIN..MAX
  int32_t filesMax = 8;
  int32_t padMin = 0;  // extra bytes on descriptive and noise lines, MIN..MAX;
  int32_t padMax = 0;  // such lines may then pass the 255 bytes a reader keeps
  bool terse = false;  // no station description lines and no noise: short lines only
  // binkd's log instead of the mailer's: parallel sessions keyed by process id.
  bool binkd = false;
  // The node's own binkd: "0.9", "1.0" or "1.1a"; empty: the node upgrades
  // from 0.9 (a threaded Windows build) to 1.0 to 1.1a over the log's days.
  std::string binkdVersion;
};

/// Days a log of `bytes` spans when no day count is given: a busy node writes
/// about 8 MiB a day; at least 1 day, at most 300 so that no date repeats.
int32_t DefaultDaysFor(uint64_t bytes);

/// Writes the log in chunks to `sink`; returns the number of bytes written.
uint64_t GenerateLog(const LogGeneratorOptions& options,
                     const std::function<void(std::string_view)>& sink);

/// GenerateLog's binkd side.
uint64_t GenerateBinkdLog(const LogGeneratorOptions& options,
                          const std::function<void(std::string_view)>& sink);

}  // namespace zentrak
