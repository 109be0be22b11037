// The log in big blocks of whole lines, so that several threads can look at
// different parts of it while the rules still take the lines in log order. A
// block's lines are the ones the line reader hands out, byte for byte.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "console/console_log.h"
#include "platform/platform.h"
#include "support/line_reader.h"

namespace zentrak {

/// Some lines of the log, in log order.
struct LogBlock {
  /// Whole physical lines, each ending in '\n' but perhaps the log's last;
  /// or, when `single`, the text of one line as the reader gives it.
  std::string_view Bytes() const { return {buffer.data(), size}; }

  // Sized once and kept: a vector that grew back would clear its bytes first.
  std::vector<char> buffer;
  size_t size = 0;
  bool single = false;
  /// The block's last line is the log's last and has no line end: its writer
  /// may be in the middle of it.
  bool openEnd = false;
};

/// Whether `line`, a line ForEachLine gave of `block`, is its last one and
/// has no line end.
inline bool CutShort(const LogBlock& block, std::string_view line) {
  if (!block.openEnd) return false;
  if (block.single) return true;
  const char* data = block.buffer.data();
  size_t start = block.size;
  while (start > 0 && data[start - 1] != '\n') --start;
  return line.data() == data + start;
}

/// What the log's first line says about the file, besides its text.
struct FirstLineFacts {
  bool present = false;
  bool unterminated = false;    // the log ended before any line end
  uint64_t physicalLength = 0;  // bytes of the line, its line end included
  /// When the first line is empty: the first one that is not, which the facts
  /// above then describe.
  std::string detect;
};

class LogBlockReader {
 public:
  /// Reads from an open file (not owned), from its current position. `blockSize`
  /// must leave room for a longest line (kMaxLineLength plus a mark and CR LF).
  LogBlockReader(File& file, size_t blockSize);
  /// Reads from bytes in memory (copied into the blocks as a file would be).
  LogBlockReader(std::string_view bytes, size_t blockSize);

  /// The next lines; false at the end of the log. The first block holds the
  /// first line alone.
  bool Next(LogBlock& block);

  /// Known once the first block was read.
  const FirstLineFacts& FirstLine() const { return firstLine_; }

  /// The system's error number when a read failed before the end of the log
  /// (the blocks end there); 0 when the log was read to its end.
  int ReadError() const { return readError_; }

  /// What the files behind the reader have to say once it is done, on the
  /// run's own thread (a compressed file cut short, say).
  void SetEndReport(std::function<void(Console&)> report) { endReport_ = std::move(report); }
  void ReportEnd(Console& console) const {
    if (endReport_) endReport_(console);
  }

 private:
  size_t Read(char* into, size_t count);
  bool ReadFirstLine(LogBlock& block);
  bool ReadLongLine(LogBlock& block, size_t have);
  void DetectAfterBlank(std::string_view rest);

  File* file_ = nullptr;
  std::string_view memory_;
  size_t blockSize_;
  bool eof_ = false;
  bool started_ = false;
  std::vector<char> carry_;  // the start of a line whose end is not read yet
  FirstLineFacts firstLine_;
  int readError_ = 0;
  std::function<void(Console&)> endReport_;
};

/// Calls `f(line)` for each line of `block`, as LineReader::Next hands them out
/// (the line end and a CR before it dropped, cut at `maxLength`).
template <typename F>
void ForEachLine(const LogBlock& block, F&& f, size_t maxLength = kMaxLineLength) {
  const char* data = block.buffer.data();
  size_t size = block.size;
  if (block.single) {
    f(std::string_view(data, size));
    return;
  }
  size_t begin = 0;
  while (begin < size) {
    const void* lf = std::memchr(data + begin, '\n', size - begin);
    size_t end = lf != nullptr ? static_cast<size_t>(static_cast<const char*>(lf) - data) : size;
    size_t textEnd = end;
    // Only a line that has its line end loses a CR before it.
    if (lf != nullptr && textEnd > begin && data[textEnd - 1] == '\r') --textEnd;
    f(std::string_view(data + begin, std::min(textEnd - begin, maxLength)));
    begin = end + 1;
  }
}

}  // namespace zentrak
