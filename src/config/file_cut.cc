// Cutting a file to its tail through "<path>.$$$" and one atomic replace.
#include "config/file_cut.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <optional>
#include <vector>

#include "support/atomic_file.h"
#include "support/temporary_path.h"
#include "support/text.h"

namespace zentrak {
namespace {

std::vector<std::string_view> SplitBlanks(std::string_view text) {
  std::vector<std::string_view> words;
  size_t at = 0;
  while (at < text.size()) {
    size_t start = text.find_first_not_of(' ', at);
    if (start == std::string_view::npos) break;
    size_t end = text.find(' ', start);
    if (end == std::string_view::npos) end = text.size();
    words.push_back(text.substr(start, end - start));
    at = end;
  }
  return words;
}

// Copies the file from `start` to its end into `out`, dropping everything in
// front of the first line break so that the copy begins at a line boundary.
// The break may lie beyond the first block: blocks without one are dropped whole.
bool CopyTail(File& in, int64_t start, AtomicFile& out) {
  if (!in.Seek(static_cast<uint64_t>(start))) return false;
  std::vector<char> buffer(kCutBufferSize);
  bool atLineBreak = false;
  for (;;) {
    size_t got = in.Read(buffer.data(), buffer.size());
    if (in.ReadFailed()) return false;
    size_t from = 0;
    if (!atLineBreak) {
      from = got;
      for (size_t i = 0; i < got; ++i) {
        if (buffer[i] == '\r' || buffer[i] == '\n') {
          from = i;
          atLineBreak = true;
          break;
        }
      }
    }
    if (from < got && !out.Write(std::string_view(buffer.data() + from, got - from))) {
      return false;
    }
    if (got < buffer.size()) return true;
  }
}

// Writes the tail to the temporary file and puts it in place of the original,
// with the original's owner and permissions: a file cut is often another
// program's log, which must stay writable for it. Any failure removes the
// temporary file, leaves the original untouched and returns the system's
// error number; 0 when the file was cut.
int ReplaceWithTail(const std::string& path, int64_t start, Console& console, Platform& platform) {
  errno = 0;
  std::unique_ptr<File> in = platform.OpenFile(path, FileMode::kRead);
  if (!in) return ErrnoOr(EIO);
  AtomicFile out(platform, path);
  if (!out.IsOpen()) return out.Error();
  errno = 0;
  if (!CopyTail(*in, start, out)) {
    out.MarkFailed();
    return out.Error();
  }
  in.reset();  // closed before the rename, which some systems refuse on an open file
  auto keepAccess = [&](const std::string& copy) { KeepAccess(path, copy, console, platform); };
  return out.Commit(keepAccess) ? 0 : out.Error();
}

// A limit or count that is not a plain decimal number is refused: read the
// forgiving way, "10MB" or "ten" would become a tiny limit and cost the file.
bool IsDecimal(std::string_view word) {
  if (!word.empty() && word[0] == '-') word.remove_prefix(1);
  return !word.empty() && word.find_first_not_of("0123456789") == std::string_view::npos;
}

bool WellFormed(const std::vector<std::string_view>& words) {
  if (words.size() != 2 && words.size() != 3) return false;
  if (!IsDecimal(words[1])) return false;
  // Only -1 means "delete"; another negative count has no sensible tail.
  return words.size() == 2 || (IsDecimal(words[2]) && LeadingInt32(words[2]) >= -1);
}

}  // namespace

void KeepAccess(const std::string& original, const std::string& copy, Console& console,
                Platform& platform) {
  errno = 0;
  switch (platform.CopyAccess(original, copy)) {
    case AccessKept::kAll:
      return;
    case AccessKept::kNotOwner:
      console.ConsoleLog(kError, " Unable to keep the owner of %s", {original});
      break;
    case AccessKept::kNotGroup:
      console.ConsoleLog(kError, " Unable to keep the group of %s", {original});
      break;
    case AccessKept::kNotOwnerNorGroup:
      console.ConsoleLog(kError, " Unable to keep the owner and group of %s", {original});
      break;
    case AccessKept::kNothing:
      console.ConsoleLog(kError, " Unable to keep the permissions of %s", {original});
      break;
  }
  console.Reason(ErrnoOr(EPERM));
}

void CutFile(std::string_view value, int configLineNumber, Console& console, Platform& platform) {
  std::vector<std::string_view> words = SplitBlanks(value);
  if (!WellFormed(words)) {
    console.ConsoleLog(kError, " Config file error in line %d", {configLineNumber});
    return;
  }
  int32_t keep = words.size() == 3 ? LeadingInt32(words[2]) : -1;
  std::string path(words[0]);
  int64_t limit = LeadingInt32(words[1]);
  if (!platform.FileExists(path)) return;
  std::optional<uint64_t> size = platform.FileSize(path);
  if (!size || static_cast<int64_t>(*size) < limit) return;
  int64_t fileSize = static_cast<int64_t>(*size);
  console.ConsoleLog(kProgress, " Cutting file %s (%d) to %d", {path, fileSize, keep});
  int error = 0;
  if (keep == -1) {
    errno = 0;
    if (!platform.RemoveFile(path)) error = ErrnoOr(EIO);
  } else {
    error = ReplaceWithTail(path, std::max<int64_t>(0, fileSize - keep), console, platform);
  }
  if (error != 0) {
    console.ConsoleLog(kError, " Unable to cut file %s", {path});
    console.Reason(error);
    console.NoteUnwritten();
  }
}

}  // namespace zentrak
