// Blocks of whole lines: a block ends after its last line end, and the part of
// a line that did not fit waits for the next block. A line longer than a whole
// block can only be the head the reader keeps of it, so it becomes a block of
// its own.
#include "log/log_blocks.h"

#include <algorithm>
#include <cerrno>

#include "support/temporary_path.h"

namespace zentrak {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// The first line is cut only after its mark is taken away.
constexpr size_t kFirstLineHead = kMaxLineLength + kByteOrderMark.size();

// Appends to `head` what it still takes of `bytes`: one byte past `limit`, to
// tell whether a CR ends the kept text.
void KeepHead(std::vector<char>& head, const char* bytes, size_t count, size_t limit) {
  size_t room = limit + 1 > head.size() ? limit + 1 - head.size() : 0;
  head.insert(head.end(), bytes, bytes + std::min(room, count));
}

bool Blank(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c == '\0' || c == '\r'; });
}

}  // namespace

LogBlockReader::LogBlockReader(File& file, size_t blockSize)
    : file_(&file), blockSize_(std::max<size_t>(blockSize, 2 * kFirstLineHead)) {}

LogBlockReader::LogBlockReader(std::string_view bytes, size_t blockSize)
    : memory_(bytes), blockSize_(std::max<size_t>(blockSize, 2 * kFirstLineHead)) {}

size_t LogBlockReader::Read(char* into, size_t count) {
  if (eof_ || count == 0) return 0;
  size_t got;
  if (file_ != nullptr) {
    errno = 0;
    got = file_->Read(into, count);
    if (got < count && file_->ReadFailed()) readError_ = ErrnoOr(EIO);
  } else {
    got = std::min(count, memory_.size());
    if (got > 0) std::memcpy(into, memory_.data(), got);
    memory_.remove_prefix(got);
  }
  if (got < count) eof_ = true;
  return got;
}

bool LogBlockReader::Next(LogBlock& block) {
  if (!started_) return ReadFirstLine(block);
  block.single = false;
  block.openEnd = false;
  if (block.buffer.size() < blockSize_) block.buffer.resize(blockSize_);
  char* data = block.buffer.data();
  size_t have = carry_.size();
  if (have > 0) std::memcpy(data, carry_.data(), have);
  carry_.clear();
  have += Read(data + have, blockSize_ - have);
  if (have == 0) return false;
  size_t end = have;
  while (end > 0 && data[end - 1] != '\n') --end;
  if (end > 0) {
    carry_.assign(data + end, data + have);
    block.size = end;
    return true;
  }
  if (have < blockSize_) {  // the log's last line, without a line end
    block.size = have;
    block.openEnd = true;
    return true;
  }
  return ReadLongLine(block, have);
}

// The first line is read on its own: a mark before it is no text, and what it
// looks like tells whether the file is text with line ends at all.
bool LogBlockReader::ReadFirstLine(LogBlock& block) {
  started_ = true;
  std::vector<char> buffer(blockSize_);
  std::vector<char> head;
  bool terminated = false;
  uint64_t length = 0;
  while (size_t got = Read(buffer.data(), buffer.size())) {
    const void* lf = std::memchr(buffer.data(), '\n', got);
    size_t take = lf != nullptr ? static_cast<const char*>(lf) - buffer.data() : got;
    KeepHead(head, buffer.data(), take, kFirstLineHead);
    length += take;
    if (lf != nullptr) {
      terminated = true;
      ++length;
      carry_.assign(buffer.data() + take + 1, buffer.data() + got);
      break;
    }
  }
  if (length == 0) return false;
  // A CR ending a line is no text; past the kept head it is cut away anyway.
  if (terminated && !head.empty() && head.back() == '\r') head.pop_back();
  std::string_view text(head.data(), std::min(head.size(), kFirstLineHead));
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  text = text.substr(0, std::min(text.size(), kMaxLineLength));
  block.single = true;
  block.openEnd = !terminated;
  if (block.buffer.size() < blockSize_) block.buffer.resize(blockSize_);
  std::copy(text.begin(), text.end(), block.buffer.begin());
  block.size = text.size();
  firstLine_ = FirstLineFacts{true, !terminated, length, {}};
  if (terminated && Blank(text)) DetectAfterBlank(std::string_view(carry_.data(), carry_.size()));
  return true;
}

// Empty lines before the first one tell nothing of the file (binkd begins each
// start with one; in UTF-16 an empty line leaves only NUL and CR bytes): the
// first line that is not empty in what was read is the one looked at.
void LogBlockReader::DetectAfterBlank(std::string_view rest) {
  while (!rest.empty()) {
    size_t lf = rest.find('\n');
    bool terminated = lf != std::string_view::npos;
    std::string_view line = rest.substr(0, lf);
    std::string_view text = line;
    if (terminated && text.ends_with('\r')) text.remove_suffix(1);
    if (!Blank(text)) {
      firstLine_.detect.assign(text.substr(0, std::min(text.size(), kMaxLineLength)));
      firstLine_.unterminated = !terminated;
      firstLine_.physicalLength = line.size() + (terminated ? 1 : 0);
      return;
    }
    if (!terminated) return;
    rest.remove_prefix(lf + 1);
  }
}

// No line end in a whole block: keep the line's head and pass over the rest.
bool LogBlockReader::ReadLongLine(LogBlock& block, size_t have) {
  block.single = true;
  block.size = std::min(have, kMaxLineLength);
  std::vector<char> buffer(blockSize_);
  while (size_t got = Read(buffer.data(), buffer.size())) {
    const char* data = buffer.data();
    const char* lf = static_cast<const char*>(std::memchr(data, '\n', got));
    if (lf == nullptr) continue;
    carry_.assign(lf + 1, data + got);
    break;
  }
  return true;
}

}  // namespace zentrak
