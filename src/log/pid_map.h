// The open sessions of binkd's log by process id. Every line of the log looks
// its pid up, one after the other, so the table is a flat array probed in
// place: no node per entry, and no division to find a bucket.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace zentrak {

class PidMap {
 public:
  static constexpr uint32_t kNone = UINT32_MAX;

  /// The value of `pid`, kNone when the map has none.
  uint32_t Find(uint64_t pid) const {
    if (size_ == 0) return kNone;
    for (size_t at = Home(pid);; at = (at + 1) & mask_) {
      const Entry& entry = entries_[at];
      if (entry.value == kNone) return kNone;
      if (entry.pid == pid) return entry.value;
    }
  }

  /// Gives `pid` the value `value` (not kNone), in place of any it had.
  void Set(uint64_t pid, uint32_t value) {
    if (2 * (size_ + 1) > entries_.size()) Grow();
    size_t at = Home(pid);
    while (entries_[at].value != kNone && entries_[at].pid != pid) at = (at + 1) & mask_;
    if (entries_[at].value == kNone) ++size_;
    entries_[at] = Entry{pid, value};
  }

  /// Removes `pid`; its value, or kNone when the map had none.
  uint32_t Erase(uint64_t pid) {
    if (size_ == 0) return kNone;
    size_t at = Home(pid);
    while (entries_[at].pid != pid || entries_[at].value == kNone) {
      if (entries_[at].value == kNone) return kNone;
      at = (at + 1) & mask_;
    }
    uint32_t value = entries_[at].value;
    // Later entries of the run move back into the hole when their home does
    // not lie between it and them, so that no probe stops short of them.
    for (size_t next = (at + 1) & mask_; entries_[next].value != kNone; next = (next + 1) & mask_) {
      size_t home = Home(entries_[next].pid);
      if (((next - home) & mask_) >= ((next - at) & mask_)) {
        entries_[at] = entries_[next];
        at = next;
      }
    }
    entries_[at].value = kNone;
    --size_;
    return value;
  }

  size_t Size() const { return size_; }

  /// Calls `f(pid, value)` for every entry, in no particular order.
  template <typename F>
  void ForEach(F&& f) const {
    for (const Entry& entry : entries_) {
      if (entry.value != kNone) f(entry.pid, entry.value);
    }
  }

  void Clear() {
    entries_.assign(entries_.size(), Entry{});
    size_ = 0;
  }

 private:
  struct Entry {
    uint64_t pid = 0;
    uint32_t value = kNone;
  };

  // Fibonacci hashing: pids that follow each other land far apart.
  size_t Home(uint64_t pid) const {
    return static_cast<size_t>((pid * 0x9E3779B97F4A7C15u) >> shift_) & mask_;
  }

  void Grow() {
    std::vector<Entry> old = std::move(entries_);
    size_t capacity = old.empty() ? 64 : 2 * old.size();
    entries_.assign(capacity, Entry{});
    mask_ = capacity - 1;
    shift_ = 64;
    for (size_t c = capacity; c > 1; c >>= 1) --shift_;
    size_ = 0;
    for (const Entry& entry : old) {
      if (entry.value != kNone) Set(entry.pid, entry.value);
    }
  }

  std::vector<Entry> entries_;
  size_t mask_ = 0;
  unsigned shift_ = 64;
  size_t size_ = 0;
};

}  // namespace zentrak
