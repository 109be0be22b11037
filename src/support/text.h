// Small byte-string helpers shared by every subsystem. Texts are 8-bit bytes in
// the station's code page: nothing here validates, transcodes or folds beyond ASCII.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zentrak {

/// Cuts `text` to at most `bound` bytes: the point where a bounded value is stored.
std::string CutTo(std::string_view text, size_t bound);

/// Removes leading and trailing blanks (only ' ').
std::string_view TrimBlanks(std::string_view text);

/// Removes leading and trailing blanks and control characters (bytes <= 32).
std::string_view TrimSpaceAndControls(std::string_view text);

/// Replaces every tab with one blank.
std::string TabsToBlanks(std::string_view text);

/// Upper-cases ASCII letters only.
std::string UpperAscii(std::string_view text);
char UpperAscii(char c);

/// Case-insensitive (ASCII) equality.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

/// Case-insensitive (ASCII) substring test.
bool ContainsIgnoreCase(std::string_view haystack, std::string_view needle);

inline bool Contains(std::string_view haystack, std::string_view needle) {
  return haystack.find(needle) != std::string_view::npos;
}

/// Reads a whole number the forgiving way: leading blanks, an optional sign,
/// then as many decimal digits as follow. No digit gives 0. Saturates instead
/// of overflowing.
int64_t LeadingNumber(std::string_view text);

/// Reads a whole number the strict way: leading blanks, an optional sign, then
/// decimal digits up to the end of the text. Anything else ("5x", "5 ", "3.9",
/// no digit) gives 0. Saturates instead of overflowing.
int64_t WholeNumber(std::string_view text);

/// LeadingNumber clamped to the 32-bit signed range.
int32_t LeadingInt32(std::string_view text);

/// Decimal text of a number.
std::string DecimalText(int64_t value);

/// A number with "," between groups of three digits when it has 4 to 12 digits.
std::string GroupThousands(int64_t value);

/// Two-digit text with a leading zero for values below 10.
std::string TwoDigits(int64_t value);
/// A byte count in binary units for people: "512 B", "1.50 KiB", "23.24 MiB".
std::string HumanBytes(int64_t bytes);

}  // namespace zentrak
