// File-name style masks ("*" for any run of characters, "!" in front to negate)
// matched through the platform's extended regular expressions.
#pragma once

#include <string>
#include <string_view>

#include "platform/regex.h"

namespace zentrak {

/// The regular expression of a mask without its "!": "." becomes "\.", "*" becomes
/// ".*", braces are escaped (the classic syntax has no intervals), every other
/// character keeps its meaning. Cut to 255 characters.
std::string MaskPattern(std::string_view mask);

/// A mask compiled once, for testing many subjects against it.
class CompiledMask {
 public:
  explicit CompiledMask(std::string_view mask);

  /// True when the mask matches anywhere in `subject` (the subject is searched as
  /// it stands, not rewritten). A mask that failed to compile, an empty pattern or
  /// an empty subject never match; a leading "!" inverts the outcome of all that.
  bool Matches(std::string_view subject) const;

 private:
  bool negate_ = false;
  ExtendedRegex regex_;
};

/// True when `mask` matches `subject`; compiles the mask on every call.
bool MatchMask(std::string_view subject, std::string_view mask);

}  // namespace zentrak
