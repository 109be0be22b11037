// Fuzz target: the main configuration file, every keyword and the end checks.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "config/main_config.h"
#include "console/run_stop.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zentrak;
  fuzz::QuietConsole console;
  fuzz::SandboxPlatform platform;
  Settings settings = SetDefaults();
  LineReader lines(std::string_view(reinterpret_cast<const char*>(data), size));
  try {
    ReadMainConfigLines(lines, settings, console.console, platform);
  } catch (const RunStop&) {
  }
  return 0;
}
