// The console: one line per message on standard output, each stamped with the
// day and the clock, plus the run clock that the rest of the program reads.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <ostream>
#include <string>
#include <string_view>
#include <variant>

#include "platform/platform.h"

namespace zentrak {

/// Message prefixes.
inline constexpr std::string_view kError = "! ";
inline constexpr std::string_view kMilestone = "% ";
inline constexpr std::string_view kProgress = ". ";
inline constexpr std::string_view kNotice = "* ";

/// One argument of a message format: text for %s, a number for %d.
class FormatArg {
 public:
  FormatArg(std::string_view text) : value_(text) {}
  FormatArg(const std::string& text) : value_(std::string_view(text)) {}
  FormatArg(const char* text) : value_(std::string_view(text)) {}
  FormatArg(int64_t number) : value_(number) {}
  FormatArg(int number) : value_(static_cast<int64_t>(number)) {}
  FormatArg(uint64_t number) : value_(static_cast<int64_t>(number)) {}
  /// The text the argument gives in a message.
  std::string Text() const;

 private:
  std::variant<std::string_view, int64_t> value_;
};

/// Fills %s and %d of a format constant of ours; the result is cut to 255 characters.
/// File text only ever enters as an argument, never as the format.
std::string FormatMessage(std::string_view format, std::initializer_list<FormatArg> args);

/// "HH:MM:SS"; hours of 100 or more keep all their digits.
std::string ClockText(int64_t seconds);
/// ClockText's eight bytes for a clock under 100 hours, written into `text`;
/// false (and `text` untouched) for any other number of seconds.
bool ShortClockText(int64_t seconds, char (&text)[8]);

/// The console writer and the run clock.
class Console {
 public:
  Console(std::ostream& out, Clock& clock) : out_(out), clock_(clock) {}

  /// Writes prefix, stamp, clock and the filled format as one line.
  void ConsoleLog(std::string_view prefix, std::string_view format,
                  std::initializer_list<FormatArg> args = {});
  /// As ConsoleLog, without the line end (the caller finishes the line).
  void ConsoleLogOpen(std::string_view prefix, std::string_view format,
                      std::initializer_list<FormatArg> args = {});
  /// Writes text without prefix or stamp, followed by a line end.
  void Bare(std::string_view line);
  /// Writes text as it stands (no line end).
  void Write(std::string_view text);
  /// Ends the current console line.
  void EndLine();

  /// Says why a file could not be opened, created or written: the system's
  /// text for `errorNumber` as a "!" line of its own (nothing for 0).
  void Reason(int errorNumber);
  /// Notes that something the run was asked to write was not written. The run
  /// goes on; it ends with status 2.
  void NoteUnwritten() { ++unwritten_; }
  /// Whether anything was noted as not written.
  bool AnythingUnwritten() const { return unwritten_ > 0; }

  /// The current day as "DD Mon", read from the clock.
  std::string TimeStamp();
  /// Seconds since local midnight, read from the clock.
  int32_t secondOfDay();

 private:
  std::ostream& out_;
  Clock& clock_;
  int unwritten_ = 0;
};

}  // namespace zentrak
