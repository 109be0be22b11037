// Extended regular expressions with the classic syntax, searched anywhere in a
// subject. Each operating system brings its own engine; a pattern the engine
// rejects simply never matches.
#pragma once

#include <memory>
#include <string>

namespace zentrak {

/// A compiled extended regular expression (case-sensitive, no submatches).
class ExtendedRegex {
 public:
  /// Compiles `pattern`; a failure or an empty pattern leaves the object invalid.
  explicit ExtendedRegex(const std::string& pattern);
  ~ExtendedRegex();
  ExtendedRegex(ExtendedRegex&& other) noexcept;
  ExtendedRegex& operator=(ExtendedRegex&& other) noexcept;
  ExtendedRegex(const ExtendedRegex&) = delete;
  ExtendedRegex& operator=(const ExtendedRegex&) = delete;

  /// True when the pattern compiled.
  bool Valid() const { return impl_ != nullptr; }
  /// True when the pattern matches some part of `subject`; false when invalid.
  bool Search(const std::string& subject) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace zentrak
