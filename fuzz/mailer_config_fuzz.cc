// Fuzz target: the mailer's configuration file with its nested [line] prefixes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "config/mailer_config.h"
#include "console/run_stop.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zentrak;
  fuzz::QuietConsole console;
  Settings settings = SetDefaults();
  settings.MAILER_CFG = "/fido/mailer/mailer.cfg";
  LineReader lines(std::string_view(reinterpret_cast<const char*>(data), size));
  try {
    ReadMailerConfigLines(lines, settings, console.console, '/');
  } catch (const RunStop&) {
  }
  return 0;
}
