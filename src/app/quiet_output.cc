// Line filter of the quiet console.
#include "app/quiet_output.h"

#include <cctype>

namespace zentrak {
namespace {

bool Digit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

}  // namespace

bool IsStampedWarning(std::string_view line) {
  // "! 07 Dec 10:43:09": the stamp tells a message from a bare line that
  // happens to begin with "! " (an alias name can).
  return line.size() >= 17 && line.substr(0, 2) == "! " && Digit(line[2]) && Digit(line[3]) &&
         line[4] == ' ' && line[8] == ' ' && Digit(line[9]) && Digit(line[10]) && line[11] == ':' &&
         line[14] == ':';
}

void QuietOutput::Take(char c) {
  line_ += c;
  if (c != '\n') return;
  if (IsStampedWarning(line_))
    target_.write(line_.data(), static_cast<std::streamsize>(line_.size()));
  line_.clear();
}

QuietOutput::int_type QuietOutput::overflow(int_type c) {
  if (!traits_type::eq_int_type(c, traits_type::eof())) Take(traits_type::to_char_type(c));
  return traits_type::not_eof(c);
}

std::streamsize QuietOutput::xsputn(const char* text, std::streamsize count) {
  for (std::streamsize i = 0; i < count; ++i) Take(text[i]);
  return count;
}

int QuietOutput::sync() {
  target_.flush();
  return target_ ? 0 : -1;
}

}  // namespace zentrak
