// Extended regular expressions on std::regex, whose POSIX extended grammar is
// the closest the Windows C library offers to <regex.h>.
#include <regex>

#include "platform/regex.h"

namespace zentrak {

struct ExtendedRegex::Impl {
  std::regex compiled;
};

ExtendedRegex::ExtendedRegex(const std::string& pattern) {
  if (pattern.empty()) return;
  try {
    impl_ = std::make_unique<Impl>(
        Impl{std::regex(pattern, std::regex::extended | std::regex::nosubs)});
  } catch (const std::regex_error&) {
    impl_.reset();
  }
}

ExtendedRegex::~ExtendedRegex() = default;
ExtendedRegex::ExtendedRegex(ExtendedRegex&& other) noexcept = default;
ExtendedRegex& ExtendedRegex::operator=(ExtendedRegex&& other) noexcept = default;

// A search that runs out of stack or steps reports an error instead of a
// match; like a pattern that does not compile, that is no match.
bool ExtendedRegex::Search(const std::string& subject) const {
  if (!impl_) return false;
  try {
    return std::regex_search(subject, impl_->compiled);
  } catch (const std::regex_error&) {
    return false;
  }
}

}  // namespace zentrak
