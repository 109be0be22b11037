// Mask matching on <regex.h>. A mask that does not compile is not an error the
// user sees: it simply never matches.
#include "support/file_mask.h"

#include <utility>

#include "support/text.h"

namespace zentrak {

std::string MaskPattern(std::string_view mask) {
  std::string pattern;
  for (char c : mask) {
    switch (c) {
      case '.':
        pattern += "\\.";
        break;
      case '*':
        pattern += ".*";
        break;
      case '{':
      case '}':
        pattern += '\\';
        pattern += c;
        break;
      default:
        pattern += c;
    }
  }
  return CutTo(pattern, 255);
}

CompiledMask::CompiledMask(std::string_view mask) {
  if (!mask.empty() && mask.front() == '!') {
    negate_ = true;
    mask.remove_prefix(1);
  }
  std::string pattern = MaskPattern(mask);
  if (pattern.empty()) return;
  compiled_ = regcomp(&regex_, pattern.c_str(), REG_EXTENDED | REG_NOSUB) == 0;
}

CompiledMask::~CompiledMask() {
  if (compiled_) regfree(&regex_);
}

CompiledMask::CompiledMask(CompiledMask&& other) noexcept
    : regex_(other.regex_), compiled_(other.compiled_), negate_(other.negate_) {
  other.compiled_ = false;
}

bool CompiledMask::Matches(std::string_view subject) const {
  bool found = false;
  if (compiled_ && !subject.empty()) {
    std::string text(subject);  // regexec wants a terminated string
    found = regexec(&regex_, text.c_str(), 0, nullptr, 0) == 0;
  }
  return negate_ ? !found : found;
}

bool MatchMask(std::string_view subject, std::string_view mask) {
  return CompiledMask(mask).Matches(subject);
}

}  // namespace zentrak
