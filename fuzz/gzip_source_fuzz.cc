// Fuzz target: bytes as a rotated log's .gz file, read as the run reads it
// (gzip, then a second file after it through the log source, in blocks, by
// binkd's reader). The expansion bound is small, so that a bomb stops early
// and memory stays bounded whatever the input expands to.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "console/run_stop.h"
#include "fuzz_support.h"
#include "log/binkd_parser.h"
#include "log/log_blocks.h"
#include "log/log_source.h"

constexpr uint64_t kRatio = 4;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zentrak;
  fuzz::QuietConsole console;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  auto gzip = std::make_unique<GzipFile>(std::make_unique<fuzz::MemoryFile>(bytes), kRatio);
  GzipFile* compressed = gzip.get();
  LogSource source;
  source.Add(std::move(gzip), "binkd.1.gz", compressed);
  source.Add(std::make_unique<fuzz::MemoryFile>("+ 07 Dec 10:00:00 [1] done (?, failed)\n"),
             "binkd", nullptr);
  Settings settings = SetDefaults();
  settings.timeWindow = TimeWindow{30, 0, 0, 86399};
  settings.logFormat = LogFormat::kBinkd;
  SessionModel model;
  LogBlockReader reader(source, 4096);
  reader.SetEndReport([&source](Console& out) { source.ReportCompressed(out); });
  try {
    ParseBinkdLogBlocks(reader, settings, fuzz::kToday, model, console.console, 1);
  } catch (const RunStop&) {
  }
  // The bound holds: never more than kRatio times the input and a MiB.
  if (compressed->Expanded() > (size + (uint64_t{1} << 20)) * kRatio + (uint64_t{1} << 16))
    __builtin_trap();
  return 0;
}
