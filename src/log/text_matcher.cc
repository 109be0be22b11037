// Multi-text search in the manner of Wu and Manber: a window as long as the
// shortest text slides over the line; a table on a hash of the window's last
// three bytes says how far it may jump without passing a possible match. On
// typical log lines the window jumps most of its length at every step. Texts
// shorter than a few bytes would shrink every jump, so they are searched alone.
#include "log/text_matcher.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace zentrak {
namespace {

constexpr size_t kShortestWindowText = 5;
constexpr size_t kBlock = 3;
constexpr int kHashBits = 12;
constexpr uint32_t kHashSize = 1u << kHashBits;

// Hash of the three bytes that end at `p`; reads one byte before them, which
// the window always holds.
inline uint32_t BlockHashEndingAt(const char* p) {
  uint32_t four;
  std::memcpy(&four, p - 3, 4);
  // Drop the byte before the block, wherever the byte order put it.
  if constexpr (std::endian::native == std::endian::little) {
    four >>= 8;
  } else {
    four &= 0xFFFFFFu;
  }
  return (four * 0x9E3779B1u) >> (32 - kHashBits);
}

// The same hash for a block given by its first byte (texts at set-up time).
inline uint32_t HashOfBlock(const char* p) {
  char four[4] = {0, p[0], p[1], p[2]};
  return BlockHashEndingAt(four + 3);
}

inline uint64_t Load8(const char* p) {
  uint64_t value;
  std::memcpy(&value, p, 8);
  return value;
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
  shift_.assign(kHashSize, static_cast<uint8_t>(window_ - kBlock + 1));
  bucketHead_.assign(kHashSize, 0);
  for (size_t i = 0; i < texts_.size(); ++i) {
    const std::string& text = texts_[i];
    if (text.size() < kShortestWindowText) continue;
    for (size_t j = 0; j + kBlock <= window_; ++j) {
      uint8_t& shift = shift_[HashOfBlock(text.data() + j)];
      shift = std::min<uint8_t>(shift, static_cast<uint8_t>(window_ - kBlock - j));
    }
    Candidate candidate{0, 0, static_cast<uint8_t>(i), 0};
    size_t headBytes = std::min<size_t>(text.size(), 8);
    std::memcpy(&candidate.head, text.data(), headBytes);
    candidate.headMask = headBytes == 8 ? ~uint64_t{0} : (uint64_t{1} << (8 * headBytes)) - 1;
    uint32_t last = HashOfBlock(text.data() + window_ - kBlock);
    candidate.nextSame = bucketHead_[last];
    candidates_.push_back(candidate);
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
  // `last` indexes the window's last byte.
  for (size_t last = window_ - 1; last < size;) {
    uint32_t hash = BlockHashEndingAt(data + last);
    if (shift[hash] != 0) {
      last += shift[hash];
      continue;
    }
    size_t start = last + 1 - window_;
    size_t room = size - start;
    for (uint8_t head = bucketHead_[hash]; head != 0;) {
      const Candidate& candidate = candidates_[head - 1];
      head = candidate.nextSame;
      const std::string& text = texts_[candidate.text];
      if (text.size() > room) continue;
      if (room >= 8 && (Load8(data + start) & candidate.headMask) != candidate.head) continue;
      if (std::memcmp(data + start, text.data(), text.size()) == 0) {
        found |= uint64_t{1} << candidate.text;
      }
    }
    ++last;
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
