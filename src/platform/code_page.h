// Remote texts (sysop and system names, file names) come in whatever code
// page the remote system uses; pages that promise UTF-8 get them converted
// here. Each operating system brings its own converter.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace zentrak {

/// Converts text of one code page to UTF-8.
class CodePage {
 public:
  explicit CodePage(std::string_view name);
  ~CodePage();
  CodePage(const CodePage&) = delete;
  CodePage& operator=(const CodePage&) = delete;

  /// True when the system knows the code page.
  bool Valid() const { return impl_ != nullptr; }
  /// `bytes` as UTF-8: every byte or sequence the code page has no character
  /// for becomes U+FFFD, so the result is always well-formed. An invalid
  /// converter gives the bytes as they are.
  std::string ToUtf8(std::string_view bytes) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

/// The replacement character, in UTF-8.
inline constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";

/// `text` with every sequence that is no well-formed UTF-8 (an overlong form,
/// a surrogate, a code point past U+10FFFF, a broken sequence) as U+FFFD: a
/// converter may let such through (glibc's passes U+110000 on).
std::string WellFormedUtf8(std::string_view text);

}  // namespace zentrak
