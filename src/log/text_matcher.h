// Finds which of a fixed set of texts a log line contains, in one pass over the
// line instead of one substring search per text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zentrak {

/// Up to 64 texts; an empty text never matches.
class TextMatcher {
 public:
  /// Builds the tables once; `texts[i]` answers as bit i.
  explicit TextMatcher(const std::vector<std::string>& texts);

  /// Bit i is set when the line holds texts[i] as a case-sensitive substring anywhere.
  uint64_t Match(std::string_view line) const;

  /// The same answer from one plain search per text: the oracle for tests.
  uint64_t MatchPlain(std::string_view line) const;

 private:
  struct Candidate {
    uint64_t head;  // the text's first bytes (up to 8), for a quick rejection
    uint64_t headMask;
    uint8_t text;      // index into texts_
    uint8_t nextSame;  // 1-based index of the next candidate in the same bucket, 0 = none
  };
  std::vector<std::string> texts_;
  size_t window_ = 0;                // length of the shortest long text
  std::vector<uint8_t> shift_;       // by hash of three bytes: safe skip for a window ending so
  std::vector<uint8_t> bucketHead_;  // by the same hash: 1-based first candidate, 0 = none
  std::vector<Candidate> candidates_;
  std::vector<uint8_t> shortTexts_;  // texts too short for the window, searched one by one
};

}  // namespace zentrak
