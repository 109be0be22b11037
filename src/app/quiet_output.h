// Quiet runs: only the console's "!" lines get through, so that a scheduler
// that mails whatever a job prints mails only when something is wrong.
#pragma once

#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

namespace zentrak {

/// True for a stamped error or warning line: "! DD Mon HH:MM:SS...".
bool IsStampedWarning(std::string_view line);

/// A stream buffer that collects whole lines and passes on only the stamped
/// "!" lines; bare lines (the alias table, the syntax line) are dropped too.
class QuietOutput : public std::streambuf {
 public:
  explicit QuietOutput(std::ostream& target) : target_(target) {}

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* text, std::streamsize count) override;
  int sync() override;

 private:
  void Take(char c);

  std::ostream& target_;
  std::string line_;
};

}  // namespace zentrak
