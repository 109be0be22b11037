// Mask matching on the platform's extended regular expressions. A mask that does not compile is not
// an error the user sees: it simply never matches.
#include "support/file_mask.h"

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

namespace {

// Strips the negating "!" off the front, telling whether it was there.
bool TakeNegation(std::string_view& mask) {
  if (mask.empty() || mask.front() != '!') return false;
  mask.remove_prefix(1);
  return true;
}

}  // namespace

CompiledMask::CompiledMask(std::string_view mask)
    : negate_(TakeNegation(mask)), regex_(MaskPattern(mask)) {}

bool CompiledMask::Matches(std::string_view subject) const {
  bool found = !subject.empty() && regex_.Search(std::string(subject));
  return negate_ ? !found : found;
}

bool MatchMask(std::string_view subject, std::string_view mask) {
  return CompiledMask(mask).Matches(subject);
}

}  // namespace zentrak
