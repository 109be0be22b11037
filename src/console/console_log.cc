// Console lines and the run clock.
#include "console/console_log.h"

#include <cstring>

#include "support/calendar.h"
#include "support/text.h"

namespace zentrak {

std::string FormatArg::Text() const {
  if (const auto* text = std::get_if<std::string_view>(&value_)) return std::string(*text);
  return std::to_string(std::get<int64_t>(value_));
}

std::string FormatMessage(std::string_view format, std::initializer_list<FormatArg> args) {
  std::string result;
  auto next = args.begin();
  for (size_t i = 0; i < format.size(); ++i) {
    char c = format[i];
    if (c == '%' && i + 1 < format.size()) {
      char conversion = format[i + 1];
      if (conversion == 's' || conversion == 'd') {
        if (next != args.end()) result += (next++)->Text();
        ++i;
        continue;
      }
      if (conversion == '%') {
        result += '%';
        ++i;
        continue;
      }
    }
    result += c;
  }
  return CutTo(result, 255);
}

// Reports show a clock for every record, so the common day clock is written
// straight into place; anything else (negative parts, 100 hours and more)
// takes the general path.
bool ShortClockText(int64_t seconds, char (&text)[8]) {
  if (seconds < 0 || seconds >= 100 * 3600) return false;
  int64_t hours = seconds / 3600;
  int64_t minutes = (seconds % 3600) / 60;
  int64_t rest = seconds % 60;
  text[0] = static_cast<char>('0' + hours / 10);
  text[1] = static_cast<char>('0' + hours % 10);
  text[2] = ':';
  text[3] = static_cast<char>('0' + minutes / 10);
  text[4] = static_cast<char>('0' + minutes % 10);
  text[5] = ':';
  text[6] = static_cast<char>('0' + rest / 10);
  text[7] = static_cast<char>('0' + rest % 10);
  return true;
}

std::string ClockText(int64_t seconds) {
  char text[8];
  if (ShortClockText(seconds, text)) return std::string(text, sizeof(text));
  int64_t hours = seconds / 3600;
  int64_t minutes = (seconds % 3600) / 60;
  int64_t rest = (seconds % 3600) % 60;
  return TwoDigits(hours) + ":" + TwoDigits(minutes) + ":" + TwoDigits(rest);
}

std::string Console::TimeStamp() {
  LocalTime now = clock_.Now();
  int month = (now.month >= 1 && now.month <= 12) ? now.month : 1;
  return TwoDigits(now.day) + " " + kMonthNames[month];
}

int32_t Console::secondOfDay() {
  LocalTime now = clock_.Now();
  return now.hour * 3600 + now.minute * 60 + now.second;
}

void Console::ConsoleLogOpen(std::string_view prefix, std::string_view format,
                             std::initializer_list<FormatArg> args) {
  // Date and clock are two separate readings, as they always were.
  std::string line(prefix);
  line += TimeStamp();
  line += ' ';
  line += ClockText(secondOfDay());
  line += FormatMessage(format, args);
  out_ << line;
}

void Console::ConsoleLog(std::string_view prefix, std::string_view format,
                         std::initializer_list<FormatArg> args) {
  ConsoleLogOpen(prefix, format, args);
  EndLine();
}

void Console::Bare(std::string_view line) {
  out_ << line;
  EndLine();
}

void Console::Write(std::string_view text) { out_ << text; }

// The system's own words, as an argument: they are not ours to use as a format.
void Console::Reason(int errorNumber) {
  if (errorNumber != 0) ConsoleLog(kError, " %s", {std::strerror(errorNumber)});
}

void Console::EndLine() {
  out_ << '\n';
  out_.flush();
}

}  // namespace zentrak
