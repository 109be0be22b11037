// The pool: texts stored as a length byte and their bytes; a table of ids
// probed linearly, kept at most half full.
#include "support/name_pool.h"

#include <cstring>

namespace zentrak {

uint32_t NamePool::Hash(std::string_view text) {
  uint32_t hash = 2166136261u;  // FNV-1a
  for (char c : text) hash = (hash ^ static_cast<uint8_t>(c)) * 16777619u;
  return hash;
}

std::string_view NamePool::Text(uint32_t id) const {
  uint64_t at = where_[id];
  const char* p = blocks_[at >> 32].get() + (at & 0xffffffffu);
  return std::string_view(p + 1, static_cast<uint8_t>(p[0]));
}

void NamePool::Grow() {
  std::vector<uint32_t> slots(slots_.empty() ? 1024 : slots_.size() * 2, 0);
  size_t mask = slots.size() - 1;
  for (uint32_t id = 0; id < where_.size(); ++id) {
    size_t i = Hash(Text(id)) & mask;
    while (slots[i] != 0) i = (i + 1) & mask;
    slots[i] = id + 1;
  }
  slots_.swap(slots);
}

uint32_t NamePool::Intern(std::string_view text) {
  if (text.size() > kMaxLength) text = text.substr(0, kMaxLength);
  if ((where_.size() + 1) * 2 > slots_.size()) Grow();
  size_t mask = slots_.size() - 1;
  size_t i = Hash(text) & mask;
  for (; slots_[i] != 0; i = (i + 1) & mask) {
    if (Text(slots_[i] - 1) == text) return slots_[i] - 1;
  }
  if (used_ + 1 + text.size() > kBlockSize) {
    blocks_.push_back(std::make_unique<char[]>(kBlockSize));
    used_ = 0;
  }
  char* p = blocks_.back().get() + used_;
  p[0] = static_cast<char>(static_cast<uint8_t>(text.size()));
  if (!text.empty()) std::memcpy(p + 1, text.data(), text.size());
  uint32_t id = static_cast<uint32_t>(where_.size());
  where_.push_back(uint64_t{blocks_.size() - 1} << 32 | used_);
  used_ += 1 + text.size();
  slots_[i] = id + 1;
  return id;
}

}  // namespace zentrak
