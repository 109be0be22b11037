// Small cuts of a log line's text that both log readers make.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>

namespace zentrak {

/// The text after the first `separator`; nothing when there is none.
inline std::optional<std::string_view> After(std::string_view text, std::string_view separator) {
  size_t at = text.find(separator);
  if (at == std::string_view::npos) return std::nullopt;
  return text.substr(at + separator.size());
}

/// The text before the first `c`, or all of it.
inline std::string_view CutAt(std::string_view text, char c) {
  size_t at = text.find(c);
  return at == std::string_view::npos ? text : text.substr(0, at);
}

inline std::string_view DropFront(std::string_view text, size_t count) {
  return text.substr(std::min(count, text.size()));
}

/// Leading decimal digits; none gives 0. Saturates far above any byte count.
inline int64_t LeadingDigits(std::string_view text) {
  int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    if (value < (int64_t{1} << 58)) value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace zentrak
