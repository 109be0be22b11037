// The line the expander edits in place: at most 255 bytes, each byte marked as
// template text or as inserted value text. Value text (anything from the log,
// the machine or a report) is never read as macro syntax again, which is what
// keeps a remote system called "@SYSOP(LEFT,*)" from steering the expansion.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace zentrak {

/// How a field lays its value out.
enum class FieldAlign : uint8_t { kLeft, kRight, kCenter, kAsIs };

/// A bounded, marked line with fixed storage: no allocation per edit.
class MarkedLine {
 public:
  static constexpr size_t kBound = 255;
  static constexpr size_t npos = std::string_view::npos;

  /// Takes `text` (cut to the bound) as template text.
  void Assign(std::string_view text);
  std::string_view View() const { return std::string_view(text_, size_); }
  size_t size() const { return size_; }
  char at(size_t pos) const { return text_[pos]; }
  /// True when the byte at `pos` came from a value.
  bool IsValue(size_t pos) const { return marks_[pos] != 0; }
  /// Marks of the whole line, one byte (0 or 1) per byte of text.
  std::string_view Marks() const {
    return std::string_view(reinterpret_cast<const char*>(marks_), size_);
  }

  /// First position from `from` where `name` immediately followed by `suffix`
  /// (none when 0) stands wholly in template text; npos when there is none.
  size_t Find(std::string_view name, char suffix, size_t from = 0) const;
  /// First position of `c` in template text in [from, size), passing over value
  /// bytes; npos when there is none or `stop` (when given) comes first in template text.
  size_t FindInTemplate(char c, size_t from, char stop) const;

  /// Turns [pos, pos + length) into value text: it stays as written, never read again.
  void MarkAsValue(size_t pos, size_t length);
  /// Removes `length` bytes at `pos`.
  void Erase(size_t pos, size_t length);
  /// Drops everything from `pos` on.
  void Truncate(size_t pos);
  /// Replaces [pos, pos + length) with `text`; `marks` gives one mark per byte
  /// of `text` (empty: every byte gets `mark`). The line is cut at the bound.
  void Replace(size_t pos, size_t length, std::string_view text, std::string_view marks, bool mark);
  /// Replaces [pos, pos + length) with `value` cut to `width` and padded by
  /// `align` (FitField without building a string).
  void ReplaceFitted(size_t pos, size_t length, std::string_view value, std::string_view marks,
                     bool mark, int width, FieldAlign align);

  /// Appends `text` at the end, as Replace there would: `marks` one per byte,
  /// or every byte `mark` when empty. Cut at the bound.
  void Append(std::string_view text, std::string_view marks, bool mark);
  /// Appends `count` blanks of template text.
  void AppendBlanks(size_t count);
  /// Appends `value` in a field, as ReplaceFitted at the end would.
  void AppendFitted(std::string_view value, std::string_view marks, bool mark, int width,
                    FieldAlign align);

  /// Whether the appends keep the marks. A report that escapes nothing and has
  /// written a value already never reads them again. Assign keeps them again.
  void KeepMarks(bool keep) { keepMarks_ = keep; }

  /// Starts a new account of what the edits touch.
  void MarkUntouched() { untouchedFront_ = untouchedBack_ = size_; }
  /// Bytes at the front that no edit has touched since MarkUntouched.
  size_t UntouchedFront() const { return untouchedFront_; }
  /// Bytes at the end that no edit has touched (only moved) since MarkUntouched.
  size_t UntouchedBack() const { return untouchedBack_; }

 private:
  /// Opens a gap of `insert` bytes at `pos` in place of `remove` bytes; returns
  /// how many of the inserted bytes fit under the bound.
  size_t Splice(size_t pos, size_t remove, size_t insert);
  void Fill(size_t pos, size_t count, char c, bool mark);

  /// Narrows the untouched ends for an edit of [pos, pos + written) that kept
  /// `keptTail` bytes after it out of `tail`.
  void Touch(size_t pos, size_t written, size_t keptTail, size_t tail);

  // Room past the bound, so that a short run of blanks or marks is one store
  // of fixed size rather than a library call.
  static constexpr size_t kSlack = 16;
  static void FillShort(unsigned char* at, size_t count, unsigned char c) {
    if (count <= kSlack) {
      std::memset(at, c, kSlack);
    } else {
      std::memset(at, c, count);
    }
  }
  // Most values and template pieces are a few bytes: two fixed-size copies
  // that overlap read nothing outside `from` and make no library call.
  static void CopyShort(void* to, const void* from, size_t count) {
    auto* out = static_cast<unsigned char*>(to);
    const auto* in = static_cast<const unsigned char*>(from);
    if (count >= 8 && count <= 16) {
      std::memcpy(out, in, 8);
      std::memcpy(out + count - 8, in + count - 8, 8);
    } else if (count >= 4 && count < 8) {
      std::memcpy(out, in, 4);
      std::memcpy(out + count - 4, in + count - 4, 4);
    } else if (count < 4) {
      for (size_t i = 0; i < count; ++i) out[i] = in[i];
    } else {
      std::memcpy(out, in, count);
    }
  }

  char text_[kBound + 1 + kSlack];
  unsigned char marks_[kBound + 1 + kSlack];
  bool keepMarks_ = true;
  size_t size_ = 0;
  size_t untouchedFront_ = 0;
  size_t untouchedBack_ = 0;
};

// The appends write every loop line of every record, so they are inline and
// leave the library calls out when there is nothing to copy.
inline void MarkedLine::Append(std::string_view text, std::string_view marks, bool mark) {
  size_t fit = std::min(text.size(), kBound - size_);
  if (fit == 0) return;
  CopyShort(text_ + size_, text.data(), fit);
  if (keepMarks_ && marks.size() >= fit) {
    CopyShort(marks_ + size_, marks.data(), fit);
  } else if (keepMarks_) {
    FillShort(marks_ + size_, fit, mark ? 1 : 0);
  }
  size_ += fit;
}

inline void MarkedLine::AppendBlanks(size_t count) {
  size_t fit = std::min(count, kBound - size_);
  if (fit == 0) return;
  FillShort(reinterpret_cast<unsigned char*>(text_) + size_, fit, ' ');
  if (keepMarks_) FillShort(marks_ + size_, fit, 0);
  size_ += fit;
}

inline void MarkedLine::AppendFitted(std::string_view value, std::string_view marks, bool mark,
                                     int width, FieldAlign align) {
  if (align == FieldAlign::kAsIs) return Append(value, marks, mark);
  size_t target = width > 0 ? static_cast<size_t>(width) : 0;
  size_t cut = std::min(value.size(), target);
  size_t pad = target - cut;
  size_t front = align == FieldAlign::kRight ? pad : align == FieldAlign::kCenter ? pad / 2 : 0;
  AppendBlanks(front);
  Append(value.substr(0, cut), marks.substr(0, std::min(marks.size(), cut)), mark);
  AppendBlanks(pad - front);
}

}  // namespace zentrak
