// The text pool: the texts in a deque, found again through views into it.
#include "support/text_pool.h"

namespace zentrak {

TextPool::TextPool() { Intern(std::string_view()); }

TextPool::TextPool(const TextPool& other) : texts_(other.texts_) { Reindex(); }

TextPool& TextPool::operator=(const TextPool& other) {
  if (this != &other) {
    texts_ = other.texts_;
    Reindex();
  }
  return *this;
}

TextId TextPool::Intern(std::string_view text) {
  auto found = ids_.find(text);
  if (found != ids_.end()) return found->second;
  auto id = static_cast<TextId>(texts_.size());
  ids_.emplace(texts_.emplace_back(text), id);
  return id;
}

std::optional<TextId> TextPool::Find(std::string_view text) const {
  auto found = ids_.find(text);
  if (found == ids_.end()) return std::nullopt;
  return found->second;
}

// A copy's views must point into its own deque, not into the original's.
void TextPool::Reindex() {
  ids_.clear();
  for (size_t k = 0; k < texts_.size(); ++k) ids_.emplace(texts_[k], static_cast<TextId>(k));
}

}  // namespace zentrak
