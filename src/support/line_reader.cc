// Block-buffered line splitting.
#include "support/line_reader.h"

#include <cstring>

namespace zentrak {

LineReader::LineReader(File& file, size_t bufferSize) : file_(&file), buffer_(bufferSize) {
  data_ = buffer_.data();
}

LineReader::LineReader(std::string_view bytes) : memory_(bytes) {
  data_ = memory_.data();
  end_ = memory_.size();
  eof_ = true;
}

// Moves the unread tail to the front of the buffer and reads behind it.
bool LineReader::Fill() {
  if (eof_ || file_ == nullptr) return false;
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    consumed_ += begin_;
    end_ -= begin_;
    begin_ = 0;
  }
  if (end_ == buffer_.size()) return false;
  size_t got = file_->Read(buffer_.data() + end_, buffer_.size() - end_);
  if (got == 0) {
    eof_ = true;
    return false;
  }
  end_ += got;
  return true;
}

bool LineReader::NextLine(std::string_view& line, size_t maxLength) {
  size_t scanFrom = begin_;
  for (;;) {
    const char* lf = static_cast<const char*>(std::memchr(data_ + scanFrom, '\n', end_ - scanFrom));
    if (lf != nullptr) {
      TakeLine(lf, line, maxLength);
      return true;
    }
    scanFrom = end_;
    size_t before = begin_;
    if (Fill()) {
      scanFrom -= before;  // the buffer moved down by `before` bytes
      continue;
    }
    if (!eof_ && file_ != nullptr && begin_ == 0 && end_ == buffer_.size()) {
      // A line longer than the whole buffer: keep its head, skip to its end.
      lineStart_ = consumed_;
      size_t keep = maxLength < end_ ? maxLength : end_;
      std::string_view head(data_, keep);
      skipped_.assign(head.begin(), head.end());
      uint64_t skippedBytes = end_;
      begin_ = end_ = 0;
      consumed_ += skippedBytes;
      for (;;) {
        if (!Fill()) break;
        const char* nl = static_cast<const char*>(std::memchr(data_, '\n', end_));
        if (nl != nullptr) {
          begin_ = static_cast<size_t>(nl - data_) + 1;
          // The CR of a CR LF that straddles the block edge is no text.
          if (begin_ == 1 && keep == skippedBytes && !skipped_.empty() && skipped_.back() == '\r') {
            skipped_.pop_back();
          }
          break;
        }
        consumed_ += end_;
        end_ = 0;
      }
      lineEnd_ = consumed_ + begin_;
      unterminated_ = begin_ == 0;
      line = std::string_view(skipped_.data(), skipped_.size());
      return true;
    }
    if (begin_ < end_) {
      lineStart_ = consumed_ + begin_;
      lineEnd_ = consumed_ + end_;
      unterminated_ = true;
      size_t textEnd = end_;
      size_t length = textEnd - begin_;
      line = std::string_view(data_ + begin_, length < maxLength ? length : maxLength);
      begin_ = end_;
      return true;
    }
    return false;
  }
}

}  // namespace zentrak
