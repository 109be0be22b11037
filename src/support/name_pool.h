// Interned short byte strings: each distinct text is kept once, in large
// blocks, and named by a 32-bit number. File names of a mailer's log repeat
// (nodelists, bundles, the same TIC names from every hub), and millions of
// them must not cost a heap string each.
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

  /// The number of `text` (cut to kMaxLength), adding it when it is new.
  uint32_t Intern(std::string_view text);
  /// The text of a number Intern gave.
  std::string_view Text(uint32_t id) const;
  /// Distinct texts held.
  size_t size() const { return where_.size(); }

 private:
  static constexpr size_t kBlockSize = 1 << 20;
  static uint32_t Hash(std::string_view text);
  void Grow();

  std::vector<std::unique_ptr<char[]>> blocks_;
  size_t used_ = kBlockSize;     // bytes used in the last block
  std::vector<uint64_t> where_;  // by id: block << 32 | offset of the length byte
  std::vector<uint32_t> slots_;  // open addressing: id + 1, 0 = empty
};

}  // namespace zentrak
