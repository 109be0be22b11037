// Texts that repeat many times (a link's address, sysop, mailer and phone in
// every one of its sessions), each kept once and named by a small number.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zentrak {

/// The number of a text in a TextPool.
using TextId = uint32_t;
/// The empty text's number in every pool.
inline constexpr TextId kNoText = 0;

class TextPool {
 public:
  TextPool();
  TextPool(const TextPool& other);
  TextPool& operator=(const TextPool& other);
  TextPool(TextPool&&) noexcept = default;
  TextPool& operator=(TextPool&&) noexcept = default;

  /// The number of `text`, adding it when it is new.
  TextId Intern(std::string_view text);
  /// The number of `text` when the pool holds it; kNoText for the empty text.
  std::optional<TextId> Find(std::string_view text) const;
  /// The text of a number this pool gave.
  std::string_view Text(TextId id) const { return texts_[id]; }
  /// Texts kept, the empty one included.
  size_t Size() const { return texts_.size(); }

 private:
  // One slot of the open-addressed index: a text's full hash and its number
  // plus one (0: free), so that a probe compares texts only on equal hashes.
  struct Slot {
    uint64_t hash = 0;
    uint32_t idPlusOne = 0;
  };
  size_t SlotOf(std::string_view text, uint64_t hash) const;
  void Place(uint64_t hash, TextId id);
  void Reindex();

  std::deque<std::string> texts_;  // a deque never moves what it holds: views stay valid
  std::vector<Slot> slots_;        // a power of two, at most half of them taken
};

}  // namespace zentrak
