// The text pool: the texts in a deque, found again through an open-addressed
// table of their hashes. The rules look up a session's texts on every session
// end, and a node-based map cost a pointer chase or two per lookup.
#include "support/text_pool.h"

#include <functional>

namespace zentrak {
namespace {

uint64_t HashOf(std::string_view text) { return std::hash<std::string_view>{}(text); }

}  // namespace

TextPool::TextPool() { Intern(std::string_view()); }

TextPool::TextPool(const TextPool& other) : texts_(other.texts_) { Reindex(); }

TextPool& TextPool::operator=(const TextPool& other) {
  if (this != &other) {
    texts_ = other.texts_;
    Reindex();
  }
  return *this;
}

// The slot that holds `text`, or the free slot where it would go.
size_t TextPool::SlotOf(std::string_view text, uint64_t hash) const {
  size_t mask = slots_.size() - 1;
  for (size_t at = hash & mask;; at = (at + 1) & mask) {
    const Slot& slot = slots_[at];
    if (slot.idPlusOne == 0) return at;
    if (slot.hash == hash && texts_[slot.idPlusOne - 1] == text) return at;
  }
}

void TextPool::Place(uint64_t hash, TextId id) {
  slots_[SlotOf(texts_[id], hash)] = Slot{hash, id + 1};
}

TextId TextPool::Intern(std::string_view text) {
  if (2 * (texts_.size() + 1) > slots_.size()) Reindex();
  uint64_t hash = HashOf(text);
  size_t at = SlotOf(text, hash);
  if (slots_[at].idPlusOne != 0) return slots_[at].idPlusOne - 1;
  auto id = static_cast<TextId>(texts_.size());
  texts_.emplace_back(text);
  slots_[at] = Slot{hash, id + 1};
  return id;
}

std::optional<TextId> TextPool::Find(std::string_view text) const {
  if (slots_.empty()) return std::nullopt;
  const Slot& slot = slots_[SlotOf(text, HashOf(text))];
  if (slot.idPlusOne == 0) return std::nullopt;
  return slot.idPlusOne - 1;
}

// Builds the table anew, with room for one more text: when it fills, and in a
// copy, whose table must name its own texts.
void TextPool::Reindex() {
  size_t size = 64;
  while (size < 2 * (texts_.size() + 1)) size *= 2;
  slots_.assign(size, Slot{});
  for (size_t k = 0; k < texts_.size(); ++k) Place(HashOf(texts_[k]), static_cast<TextId>(k));
}

}  // namespace zentrak
