// Test helper: a whole log given as text, read by the parser with the example
// station's English texts on the tests' fixed day.
#pragma once

#include <string>

#include "config/settings.h"
#include "log/log_parser.h"
#include "log/session_model.h"
#include "log_test_texts.h"
#include "support/line_reader.h"
#include "test_support.h"

namespace zentrak::testing {

inline SessionModel ParseEnglishLog(const std::string& log, const Settings& settings) {
  TestConsole console;
  SessionModel model;
  LineReader reader(log);
  ParseLogLines(reader, settings, EnglishTexts(), kTestToday, model, console.console);
  return model;
}

}  // namespace zentrak::testing
