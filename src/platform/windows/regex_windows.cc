// Extended regular expressions on std::regex, whose POSIX extended grammar is
// the closest the Windows C library offers to <regex.h>.
#include <cctype>
#include <regex>
#include <string_view>

#include "platform/regex.h"

namespace zentrak {

struct ExtendedRegex::Impl {
  std::regex compiled;
};

namespace {

// std::regex rejects a backslash before a character that is not special to
// it, where <regex.h> takes that character literally ("\}" in a mask with
// braces). Such an escape becomes a one-character bracket expression, which
// both read the same; inside brackets a backslash is literal and stays.
std::string PortableEscapes(const std::string& pattern) {
  static constexpr std::string_view kSpecial = ".[]\\*^$+?(){|";
  std::string out;
  bool inBracket = false;
  for (size_t k = 0; k < pattern.size(); ++k) {
    char c = pattern[k];
    if (inBracket) {
      // "[]...]" and "[^]...]" keep their first "]" as a member.
      bool first = pattern[k - 1] == '[' || (pattern[k - 1] == '^' && pattern[k - 2] == '[');
      if (c == ']' && !first) inBracket = false;
      out += c;
    } else if (c == '[') {
      inBracket = true;
      out += c;
    } else if (c == '\\' && k + 1 < pattern.size() &&
               kSpecial.find(pattern[k + 1]) == kSpecial.npos &&
               !std::isalnum(static_cast<unsigned char>(pattern[k + 1]))) {
      out += '[';
      out += pattern[++k];
      out += ']';
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

ExtendedRegex::ExtendedRegex(const std::string& pattern) {
  if (pattern.empty()) return;
  try {
    impl_ = std::make_unique<Impl>(
        Impl{std::regex(PortableEscapes(pattern), std::regex::extended | std::regex::nosubs)});
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
