// The pool: texts stored as a length byte and their bytes, a direct-mapped
// table of recent texts in front. When a block fills, the numbers skip to the
// next group, so that a group's texts never straddle two blocks.
#include "support/name_pool.h"

#include <algorithm>
#include <cstring>

#include "support/prefetch.h"

namespace zentrak {
namespace {

uint64_t Hash(std::string_view text) {
  uint64_t hash = 0x9e3779b97f4a7c15ull ^ text.size();
  size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    uint64_t word;
    std::memcpy(&word, text.data() + i, 8);
    hash = (hash ^ word) * 0xbf58476d1ce4e5b9ull;
    hash ^= hash >> 31;
  }
  for (; i < text.size(); ++i)
    hash = (hash ^ static_cast<uint8_t>(text[i])) * 0x94d049bb133111ebull;
  return hash ^ (hash >> 29);
}

}  // namespace

std::string_view NamePool::Text(uint32_t id) const {
  uint64_t at = groups_[id / kGroup];
  const char* p = blocks_[at >> 32].get() + (at & 0xffffffffu);
  for (uint32_t k = id % kGroup; k > 0; --k) p += 1 + static_cast<uint8_t>(p[0]);
  return std::string_view(p + 1, static_cast<uint8_t>(p[0]));
}

void NamePool::PrefetchPlace(uint32_t id) const { PrefetchForRead(&groups_[id / kGroup]); }

void NamePool::PrefetchText(uint32_t id) const {
  uint64_t at = groups_[id / kGroup];
  PrefetchForRead(blocks_[at >> 32].get() + (at & 0xffffffffu));
}

uint32_t NamePool::Intern(std::string_view text) {
  if (text.size() > kMaxLength) text = text.substr(0, kMaxLength);
  uint64_t hash = Hash(text);
  if (recent_.empty()) recent_.assign(kRecent, 0);  // a run without files never needs it
  uint64_t& slot = recent_[hash & (kRecent - 1)];
  uint64_t tag = hash >> 32 << 32;
  if (slot != 0 && (slot & ~uint64_t{0xffffffffu}) == tag) {
    uint32_t id = static_cast<uint32_t>(slot) - 1;
    if (Text(id) == text) return id;
  }
  if (used_ + 1 + text.size() > capacity_) {
    // Blocks double up to their largest size; their bytes are written before read.
    capacity_ = capacity_ == 0 ? kFirstBlock : std::min(capacity_ * 2, kLargestBlock);
    blocks_.push_back(std::unique_ptr<char[]>(new char[capacity_]));
    used_ = 0;
    nextId_ = (nextId_ + kGroup - 1) / kGroup * kGroup;
  }
  if (nextId_ % kGroup == 0) groups_.push_back(uint64_t{blocks_.size() - 1} << 32 | used_);
  char* p = blocks_.back().get() + used_;
  p[0] = static_cast<char>(static_cast<uint8_t>(text.size()));
  if (!text.empty()) std::memcpy(p + 1, text.data(), text.size());
  uint32_t id = nextId_++;
  ++stored_;
  used_ += 1 + text.size();
  slot = tag | (uint64_t{id} + 1);
  return id;
}

}  // namespace zentrak
