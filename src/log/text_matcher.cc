// Multi-text search in the manner of Wu and Manber: a window as long as the
// shortest text slides over the line; a table on the window's last two bytes says
// how far it may jump without passing a possible match. On typical log lines the
// window jumps most of its length at every step. Texts shorter than a few bytes
// would shrink every jump, so they are searched on their own.
#include "log/text_matcher.h"

#include <algorithm>
#include <cstring>

namespace zentrak {
namespace {

constexpr size_t kShortestWindowText = 5;

inline uint32_t PairAt(const char* p) {
  return static_cast<uint8_t>(p[0]) | (static_cast<uint32_t>(static_cast<uint8_t>(p[1])) << 8);
}

}  // namespace

TextMatcher::TextMatcher(const std::vector<std::string>& texts) : texts_(texts) {
  if (texts_.size() > 64) texts_.resize(64);
  for (size_t i = 0; i < texts_.size(); ++i) {
    size_t size = texts_[i].size();
    if (size == 0) continue;
    if (size < kShortestWindowText) {
      shortTexts_.push_back(static_cast<uint8_t>(i));
    } else if (window_ == 0 || size < window_) {
      window_ = std::min<size_t>(size, 255);
    }
  }
  if (window_ == 0) return;
  shift_.assign(65536, static_cast<uint8_t>(window_ - 1));
  bucketHead_.assign(65536, 0);
  for (size_t i = 0; i < texts_.size(); ++i) {
    const std::string& text = texts_[i];
    if (text.size() < kShortestWindowText) continue;
    for (size_t j = 0; j + 1 < window_; ++j) {
      uint8_t& shift = shift_[PairAt(text.data() + j)];
      shift = std::min<uint8_t>(shift, static_cast<uint8_t>(window_ - 2 - j));
    }
    uint32_t last = PairAt(text.data() + window_ - 2);
    candidates_.push_back(Candidate{static_cast<uint8_t>(i), bucketHead_[last]});
    bucketHead_[last] = static_cast<uint8_t>(candidates_.size());
  }
}

uint64_t TextMatcher::Match(std::string_view line) const {
  uint64_t found = 0;
  for (uint8_t index : shortTexts_) {
    if (line.find(texts_[index]) != std::string_view::npos) found |= uint64_t{1} << index;
  }
  const size_t size = line.size();
  if (window_ == 0 || size < window_) return found;
  const char* data = line.data();
  const uint8_t* shift = shift_.data();
  // `end` indexes the window's second-to-last byte.
  for (size_t end = window_ - 2; end + 1 < size;) {
    uint32_t pair = PairAt(data + end);
    if (shift[pair] != 0) {
      end += shift[pair];
      continue;
    }
    size_t start = end + 2 - window_;
    for (uint8_t head = bucketHead_[pair]; head != 0;) {
      const Candidate& candidate = candidates_[head - 1];
      const std::string& text = texts_[candidate.text];
      if (text.size() <= size - start && std::memcmp(data + start, text.data(), text.size()) == 0) {
        found |= uint64_t{1} << candidate.text;
      }
      head = candidate.nextSame;
    }
    ++end;
  }
  return found;
}

uint64_t TextMatcher::MatchPlain(std::string_view line) const {
  uint64_t found = 0;
  for (size_t i = 0; i < texts_.size(); ++i) {
    if (!texts_[i].empty() && line.find(texts_[i]) != std::string_view::npos) {
      found |= uint64_t{1} << i;
    }
  }
  return found;
}

}  // namespace zentrak
