// DEFINE expansion and CHANGE substitution.
#include "config/text_rules.h"

#include "support/text.h"

namespace zentrak {
namespace {

size_t Find(const std::string& text, std::string_view search, bool ignoreCase, size_t from) {
  if (!ignoreCase) return text.find(search, from);
  return UpperAscii(text).find(UpperAscii(search), from);
}

// Replaces the leftmost occurrence and searches again from the start, until
// none is left. When the replacement holds the search text that loop would
// never end, so then the inserted text is skipped instead. Bounds on steps and
// length keep any other pathological rule finite.
std::string ReplaceAll(std::string text, std::string_view search, std::string_view replacement,
                       bool ignoreCase) {
  if (search.empty()) return text;
  std::string replacementText(replacement);
  bool selfFeeding = Find(replacementText, search, ignoreCase, 0) != std::string::npos;
  constexpr size_t kMaxSteps = 100000;
  constexpr size_t kMaxLength = 65536;
  size_t from = 0;
  for (size_t step = 0; step < kMaxSteps && text.size() <= kMaxLength; ++step) {
    size_t at = Find(text, search, ignoreCase, selfFeeding ? from : 0);
    if (at == std::string::npos) break;
    text.replace(at, search.size(), replacement);
    from = at + replacement.size();
  }
  return text;
}

}  // namespace

std::string ExpandDefines(std::string_view text, const std::vector<std::string>& defineList) {
  std::string result(text);
  for (const std::string& entry : defineList) {
    // Entries read "%NAME%=value"; the name ends at the second "%".
    size_t nameEnd = entry.find('%', 1);
    if (entry.empty() || entry[0] != '%' || nameEnd == std::string::npos) continue;
    std::string_view name(entry.data(), nameEnd + 1);
    std::string_view value;
    if (nameEnd + 1 < entry.size() && entry[nameEnd + 1] == '=') {
      value = std::string_view(entry).substr(nameEnd + 2);
    }
    result = ReplaceAll(std::move(result), name, value, false);
  }
  return result;
}

std::string ApplyChanges(std::string_view text, const std::vector<ChangeRule>& changeTable) {
  std::string result = CutTo(text, 255);
  for (const ChangeRule& rule : changeTable) {
    result = CutTo(
        ReplaceAll(std::move(result), rule.search, rule.replacement, rule.caseInsensitive), 255);
  }
  return result;
}

}  // namespace zentrak
