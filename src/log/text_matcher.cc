// A table on the first two bytes of every text: most positions of a line start
// no text at all and cost one table load; the rest are verified with memcmp.
#include "log/text_matcher.h"

#include <cstring>

namespace zentrak {
namespace {

inline uint32_t PairAt(const char* p) {
  return static_cast<uint8_t>(p[0]) | (static_cast<uint32_t>(static_cast<uint8_t>(p[1])) << 8);
}

}  // namespace

TextMatcher::TextMatcher(const std::vector<std::string>& texts)
    : texts_(texts), pairHead_(65536, 0) {
  for (size_t i = 0; i < texts_.size() && i < 64; ++i) {
    const std::string& text = texts_[i];
    if (text.size() == 1) singleBytes_.push_back(static_cast<uint8_t>(i));
    if (text.size() < 2) continue;
    if (shortest_ == 0 || text.size() < shortest_) shortest_ = text.size();
    uint32_t pair = PairAt(text.data());
    candidates_.push_back(Candidate{static_cast<uint8_t>(i), pairHead_[pair]});
    pairHead_[pair] = static_cast<uint8_t>(candidates_.size());
  }
}

uint64_t TextMatcher::Match(std::string_view line) const {
  uint64_t found = 0;
  for (uint8_t index : singleBytes_) {
    if (std::memchr(line.data(), texts_[index][0], line.size()) != nullptr) {
      found |= uint64_t{1} << index;
    }
  }
  if (shortest_ == 0 || line.size() < shortest_) return found;
  const char* data = line.data();
  const size_t lastStart = line.size() - shortest_;
  for (size_t i = 0; i <= lastStart; ++i) {
    uint8_t head = pairHead_[PairAt(data + i)];
    while (head != 0) {
      const Candidate& candidate = candidates_[head - 1];
      const std::string& text = texts_[candidate.text];
      if (text.size() <= line.size() - i &&
          std::memcmp(data + i + 2, text.data() + 2, text.size() - 2) == 0) {
        found |= uint64_t{1} << candidate.text;
      }
      head = candidate.nextSame;
    }
  }
  return found;
}

uint64_t TextMatcher::MatchPlain(std::string_view line) const {
  uint64_t found = 0;
  for (size_t i = 0; i < texts_.size() && i < 64; ++i) {
    if (!texts_[i].empty() && line.find(texts_[i]) != std::string_view::npos) {
      found |= uint64_t{1} << i;
    }
  }
  return found;
}

}  // namespace zentrak
