// Fuzz target: a whole log through both readers, the mailer's (with the
// English texts) and binkd's, with a clock fixed at 07 Dec 2026 and a 30-day
// period, plus aliases and phone exclusions so that those paths see hostile
// text too.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "console/run_stop.h"
#include "fuzz_support.h"
#include "log/binkd_parser.h"
#include "log/log_parser.h"
#include "log_test_texts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zentrak;
  static const RecognitionTexts texts = testing::EnglishTexts();
  fuzz::QuietConsole console;
  Settings settings = SetDefaults();
  settings.timeWindow = TimeWindow{30, 0, 0, 86399};
  settings.ADDRESS = "2:5020/9999";
  settings.AliasList = {"Station=2:5020/9999", "Point=2:5020/9999.1"};
  settings.ExcludeAddressList = {"2:5020/1*"};
  settings.ExcludePhoneList = {"7-095", "%"};
  settings.ChangeTable = {ChangeRule{true, "zephyr", "Z"}};
  std::string_view log(reinterpret_cast<const char*>(data), size);
  {
    SessionModel model;
    LineReader lines(log);
    try {
      ParseLogLines(lines, settings, texts, fuzz::kToday, model, console.console);
    } catch (const RunStop&) {
    }
  }
  settings.logFormat = LogFormat::kBinkd;
  SessionModel model;
  LineReader lines(log);
  try {
    ParseBinkdLogLines(lines, settings, fuzz::kToday, model, console.console);
  } catch (const RunStop&) {
  }
  return 0;
}
