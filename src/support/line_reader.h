// The one line reader behind every text input: configurations, templates and
// the mailer log. Reads big blocks, splits them with memchr and hands out views;
// no allocation per line.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace zentrak {

/// Longest line any input keeps; the rest of a longer physical line is dropped.
inline constexpr size_t kMaxLineLength = 255;

class LineReader {
 public:
  /// Reads from an open file (not owned). The file is read from its current position.
  explicit LineReader(File& file, size_t bufferSize = 256 * 1024);
  /// Reads from bytes in memory (not copied; they must outlive the reader).
  explicit LineReader(std::string_view bytes);

  /// Next line without its line end (LF or CR LF), cut to `maxLength` bytes.
  /// A UTF-8 byte-order mark at the very start is no part of the first line.
  /// The view stays valid until the next call. False at the end of the input.
  bool Next(std::string_view& line, size_t maxLength = kMaxLineLength) {
    if (lineEnd_ != 0) return NextBuffered(line, maxLength) || NextLine(line, maxLength);
    // The mark is cut away before the bound applies to the first line.
    if (!NextLine(line, maxLength + kByteOrderMark.size())) return false;
    if (line.starts_with(kByteOrderMark)) line.remove_prefix(kByteOrderMark.size());
    line = line.substr(0, maxLength);
    return true;
  }

  /// Byte offset of the first byte of the line last returned.
  uint64_t LineStart() const { return lineStart_; }
  /// Byte offset just after the line end of the line last returned.
  uint64_t LineEnd() const { return lineEnd_; }
  /// True when the line last returned had no line end (the input ended first).
  bool LastLineUnterminated() const { return unterminated_; }

 private:
  static constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  // The usual case, inline: the line's end is already in the buffer. Long logs
  // are read line by line, and a call per line showed in their profiles.
  bool NextBuffered(std::string_view& line, size_t maxLength) {
    if (begin_ == end_) return false;  // data_ may be null then
    const void* lf = std::memchr(data_ + begin_, '\n', end_ - begin_);
    if (lf == nullptr) return false;
    TakeLine(static_cast<const char*>(lf), line, maxLength);
    return true;
  }
  // Hands out the line from begin_ to the line end at `lf`.
  void TakeLine(const char* lf, std::string_view& line, size_t maxLength) {
    size_t lineEnd = static_cast<size_t>(lf - data_);
    size_t textEnd = lineEnd;
    if (textEnd > begin_ && data_[textEnd - 1] == '\r') --textEnd;
    lineStart_ = consumed_ + begin_;
    lineEnd_ = consumed_ + lineEnd + 1;
    unterminated_ = false;
    size_t length = textEnd - begin_;
    line = std::string_view(data_ + begin_, length < maxLength ? length : maxLength);
    begin_ = lineEnd + 1;
  }
  bool NextLine(std::string_view& line, size_t maxLength);
  bool Fill();

  File* file_ = nullptr;
  std::vector<char> buffer_;
  std::string_view memory_;
  const char* data_ = nullptr;
  size_t begin_ = 0;
  size_t end_ = 0;
  bool eof_ = false;
  uint64_t consumed_ = 0;  // input offset of data_[0]
  uint64_t lineStart_ = 0;
  uint64_t lineEnd_ = 0;
  bool unterminated_ = false;
  std::vector<char> skipped_;  // head of an over-long line
};

}  // namespace zentrak
