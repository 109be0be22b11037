// Extended regular expressions on the C library's <regex.h>.
#include <regex.h>

#include "platform/regex.h"

namespace zentrak {

struct ExtendedRegex::Impl {
  regex_t compiled{};
  ~Impl() { regfree(&compiled); }
};

ExtendedRegex::ExtendedRegex(const std::string& pattern) {
  if (pattern.empty()) return;
  auto impl = std::make_unique<Impl>();
  if (regcomp(&impl->compiled, pattern.c_str(), REG_EXTENDED | REG_NOSUB) != 0) return;
  impl_ = std::move(impl);
}

ExtendedRegex::~ExtendedRegex() = default;
ExtendedRegex::ExtendedRegex(ExtendedRegex&& other) noexcept = default;
ExtendedRegex& ExtendedRegex::operator=(ExtendedRegex&& other) noexcept = default;

bool ExtendedRegex::Search(const std::string& subject) const {
  return impl_ && regexec(&impl_->compiled, subject.c_str(), 0, nullptr, 0) == 0;
}

}  // namespace zentrak
