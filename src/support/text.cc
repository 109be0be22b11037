// Byte-string helpers.
#include "support/text.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <limits>

namespace zentrak {

std::string CutTo(std::string_view text, size_t bound) {
  return std::string(text.substr(0, std::min(text.size(), bound)));
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

std::string_view TrimSpaceAndControls(std::string_view text) {
  auto isSpace = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
  return text;
}

std::string TabsToBlanks(std::string_view text) {
  std::string result(text);
  std::replace(result.begin(), result.end(), '\t', ' ');
  return result;
}

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

std::string UpperAscii(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = UpperAscii(c);
  return result;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  }
  return true;
}

bool ContainsIgnoreCase(std::string_view haystack, std::string_view needle) {
  return UpperAscii(haystack).find(UpperAscii(needle)) != std::string::npos;
}

int64_t LeadingNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  constexpr int64_t kLimit = std::numeric_limits<int64_t>::max() / 10 - 10;
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (value < kLimit) value = value * 10 + (text[i] - '0');
  }
  return negative ? -value : value;
}

int64_t WholeNumber(std::string_view text) {
  size_t i = text.find_first_not_of(' ');
  if (i == std::string_view::npos) return 0;
  if (text[i] == '-' || text[i] == '+') ++i;
  if (i == text.size()) return 0;
  for (size_t k = i; k < text.size(); ++k) {
    if (text[k] < '0' || text[k] > '9') return 0;
  }
  return LeadingNumber(text);
}

int32_t LeadingInt32(std::string_view text) {
  int64_t value = LeadingNumber(text);
  value = std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                              std::numeric_limits<int32_t>::max());
  return static_cast<int32_t>(value);
}

std::string DecimalText(int64_t value) { return std::to_string(value); }

std::string GroupThousands(int64_t value) {
  std::string digits = std::to_string(value < 0 ? -value : value);
  if (digits.size() < 4 || digits.size() > 12) return std::to_string(value);
  std::string grouped;
  size_t lead = digits.size() % 3;
  if (lead == 0) lead = 3;
  grouped.append(digits, 0, lead);
  for (size_t i = lead; i < digits.size(); i += 3) {
    grouped.push_back(',');
    grouped.append(digits, i, 3);
  }
  return value < 0 ? "-" + grouped : grouped;
}

std::string HumanBytes(int64_t bytes) {
  static const char* const kUnits[] = {"B", "KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
  double value = static_cast<double>(bytes);
  size_t unit = 0;
  while (value >= 1024 && unit + 1 < std::size(kUnits)) {
    value /= 1024;
    ++unit;
  }
  char text[32];
  if (unit == 0) {
    std::snprintf(text, sizeof text, "%lld B", static_cast<long long>(bytes));
  } else {
    std::snprintf(text, sizeof text, "%.2f %s", value, kUnits[unit]);
  }
  return text;
}

std::string TwoDigits(int64_t value) {
  std::string text = std::to_string(value);
  return text.size() < 2 ? "0" + text : text;
}

}  // namespace zentrak
