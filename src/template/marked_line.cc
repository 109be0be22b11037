// Bounded in-place editing of a marked template line.
#include "template/marked_line.h"

#include <algorithm>
#include <cstring>

namespace zentrak {
namespace {

// memcpy with an empty view may receive a null pointer, which it must not.
void CopyBytes(void* to, const void* from, size_t count) {
  if (count > 0) std::memcpy(to, from, count);
}

}  // namespace

void MarkedLine::Assign(std::string_view text) {
  size_ = std::min(text.size(), kBound);
  CopyBytes(text_, text.data(), size_);
  std::memset(marks_, 0, size_);
  keepMarks_ = true;
  untouchedFront_ = untouchedBack_ = 0;
}

size_t MarkedLine::Find(std::string_view name, char suffix, size_t from) const {
  if (name.empty()) return npos;
  size_t keyLength = name.size() + (suffix != 0 ? 1 : 0);
  while (from + keyLength <= size_) {
    const void* hit = std::memchr(text_ + from, name[0], size_ - keyLength + 1 - from);
    if (hit == nullptr) return npos;
    size_t pos = static_cast<const char*>(hit) - text_;
    if (std::memcmp(text_ + pos, name.data(), name.size()) == 0 &&
        (suffix == 0 || text_[pos + name.size()] == suffix) &&
        std::memchr(marks_ + pos, 1, keyLength) == nullptr) {
      return pos;
    }
    from = pos + 1;
  }
  return npos;
}

size_t MarkedLine::FindInTemplate(char c, size_t from, char stop) const {
  for (size_t pos = from; pos < size_; ++pos) {
    if (marks_[pos] != 0) continue;
    if (text_[pos] == c) return pos;
    if (stop != 0 && text_[pos] == stop) return npos;
  }
  return npos;
}

size_t MarkedLine::Splice(size_t pos, size_t remove, size_t insert) {
  pos = std::min(pos, size_);
  remove = std::min(remove, size_ - pos);
  size_t tail = size_ - pos - remove;
  if (pos + insert >= kBound) {
    size_ = kBound;
    Touch(pos, kBound - pos, 0, tail);
    return kBound - pos;
  }
  size_t keptTail = std::min(tail, kBound - pos - insert);
  // Compiled lines are built by appending: nothing to move then.
  if (keptTail > 0 && insert != remove) {
    std::memmove(text_ + pos + insert, text_ + pos + remove, keptTail);
    std::memmove(marks_ + pos + insert, marks_ + pos + remove, keptTail);
  }
  size_ = pos + insert + keptTail;
  Touch(pos, insert, keptTail, tail);
  return insert;
}

void MarkedLine::Touch(size_t pos, size_t written, size_t keptTail, size_t tail) {
  untouchedFront_ = std::min(untouchedFront_, pos);
  // A tail cut at the bound no longer ends the line as it did.
  untouchedBack_ = keptTail < tail ? 0 : std::min(untouchedBack_, size_ - (pos + written));
}

void MarkedLine::Fill(size_t pos, size_t count, char c, bool mark) {
  std::memset(text_ + pos, c, count);
  std::memset(marks_ + pos, mark ? 1 : 0, count);
}

void MarkedLine::MarkAsValue(size_t pos, size_t length) {
  pos = std::min(pos, size_);
  length = std::min(length, size_ - pos);
  std::memset(marks_ + pos, 1, length);
  size_t tail = size_ - pos - length;
  Touch(pos, length, tail, tail);
}

void MarkedLine::Erase(size_t pos, size_t length) { Splice(pos, length, 0); }

void MarkedLine::Truncate(size_t pos) {
  size_ = std::min(pos, size_);
  untouchedFront_ = std::min(untouchedFront_, size_);
  untouchedBack_ = 0;
}

void MarkedLine::Replace(size_t pos, size_t length, std::string_view text, std::string_view marks,
                         bool mark) {
  size_t fit = Splice(pos, length, text.size());
  CopyBytes(text_ + pos, text.data(), fit);
  if (marks.size() >= fit) {
    CopyBytes(marks_ + pos, marks.data(), fit);
  } else {
    std::memset(marks_ + pos, mark ? 1 : 0, fit);
  }
}

void MarkedLine::ReplaceFitted(size_t pos, size_t length, std::string_view value,
                               std::string_view marks, bool mark, int width, FieldAlign align) {
  if (align == FieldAlign::kAsIs) {
    Replace(pos, length, value, marks, mark);
    return;
  }
  size_t target = width > 0 ? static_cast<size_t>(width) : 0;
  size_t cut = std::min(value.size(), target);
  size_t pad = target - cut;
  size_t front = align == FieldAlign::kRight ? pad : align == FieldAlign::kCenter ? pad / 2 : 0;
  size_t fit = Splice(pos, length, target);
  // Everything is written through `fit`, so a field that runs into the bound is cut cleanly.
  size_t frontFit = std::min(front, fit);
  Fill(pos, frontFit, ' ', false);
  size_t valueFit = std::min(cut, fit - frontFit);
  CopyBytes(text_ + pos + frontFit, value.data(), valueFit);
  if (marks.size() >= valueFit) {
    CopyBytes(marks_ + pos + frontFit, marks.data(), valueFit);
  } else {
    std::memset(marks_ + pos + frontFit, mark ? 1 : 0, valueFit);
  }
  Fill(pos + frontFit + valueFit, fit - frontFit - valueFit, ' ', false);
}

// The appends build a compiled line front to back: no bytes behind them to
// move, and no account of untouched ends, which only the expander reads.
}  // namespace zentrak
