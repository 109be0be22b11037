// Fuzz target: a compiled language file, then a short fixed log recognised with
// whatever texts it yielded (empty, long or overlapping ones included).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "config/language_file.h"
#include "console/run_stop.h"
#include "fuzz_support.h"
#include "log/log_parser.h"

namespace {

constexpr std::string_view kLog =
    "* 07 Dec 10:00:00 P001 Outgoing call to 2:5020/100, ATDT79501234567\r\n"
    "* 07 Dec 10:00:20 P001 Connect 33600/ARQ/V42\r\n"
    "* 07 Dec 10:00:25 P001 Address: 2:5020/100@fidonet\r\n"
    "* 07 Dec 10:00:25 P001 Mailer: Zephyr 2.1/LNX\r\n"
    "* 07 Dec 10:00:25 P001 Sysop: Ann Other\r\n"
    "* 07 Dec 10:00:30 P001 ZModem transfer\r\n"
    "* 07 Dec 10:01:10 P001 End of session, in/out: 1000/3000 bytes\r\n"
    "* 07 Dec 11:00:00 P001 Incoming call\r\n"
    "* 07 Dec 11:00:05 P001 BBS caller detected\r\n"
    "* 07 Dec 11:09:00 P001 BBS session end\r\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zentrak;
  RecognitionTexts texts =
      DecodeLanguageFile(std::string_view(reinterpret_cast<const char*>(data), size));
  fuzz::QuietConsole console;
  Settings settings = SetDefaults();
  settings.timeWindow = TimeWindow{30, 0, 0, 86399};
  SessionModel model;
  LineReader lines(kLog);
  try {
    ParseLogLines(lines, settings, texts, fuzz::kToday, model, console.console);
  } catch (const RunStop&) {
  }
  return 0;
}
