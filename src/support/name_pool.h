// Short byte strings kept in large blocks and named by a 32-bit number. File
// names of a mailer's log repeat (bundles, nodelists, the same tickets from
// every hub), and millions of them must not cost a heap string each. A text
// met again while it is still in the pool's table of recent texts gets the
// number it had; one not met for long is simply stored again. That keeps every
// lookup a single probe of a table of a few MiB, freed once the log is read.
// A bench log's names, 4 million, come to some 1.6 million texts. Only every
// sixteenth text's place is kept; a text is found by stepping over the length
// bytes of the few before it, which costs far less than a place per text.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace zentrak {

class NamePool {
 public:
  /// Longest text kept; a longer one is cut to it.
  static constexpr size_t kMaxLength = 255;

  /// The number of `text` (cut to kMaxLength): the one it had when it was met
  /// recently, else a new one.
  uint32_t Intern(std::string_view text);
  /// Frees the table of recent texts once no more texts come; a later Intern
  /// stores texts anew until the table has filled again.
  void ForgetRecent() { recent_ = {}; }
  /// The text of a number Intern gave.
  std::string_view Text(uint32_t id) const;
  /// Hints for a walk that will read Text(id) soon: first where the text's
  /// group lies, then (once that is at hand) the group's bytes.
  void PrefetchPlace(uint32_t id) const;
  void PrefetchText(uint32_t id) const;
  /// Texts stored so far.
  size_t size() const { return stored_; }
  /// Every number given is below this; a few below it may never be given.
  size_t IdLimit() const { return nextId_; }

 private:
  static constexpr size_t kFirstBlock = 1 << 12;  // a small log needs no more
  static constexpr size_t kLargestBlock = 1 << 20;
  static constexpr size_t kRecent = 1 << 18;  // 2 MiB; 1 << 12 kept half again as many texts
  static constexpr uint32_t kGroup = 16;      // texts per kept place, all in one block

  std::vector<std::unique_ptr<char[]>> blocks_;
  size_t used_ = 0;      // bytes used in the last block
  size_t capacity_ = 0;  // bytes of the last block
  size_t stored_ = 0;
  uint32_t nextId_ = 0;
  std::vector<uint64_t> groups_;  // by id / kGroup: block << 32 | offset of its first text
  std::vector<uint64_t> recent_;  // by hash: the hash's high half << 32 | id + 1; 0 empty
};

}  // namespace zentrak
