// The process number in the name is what keeps two runs apart: a run that is
// killed leaves its copy under its own number, which a live run never uses.
#include "support/temporary_path.h"

#include <algorithm>
#include <limits>

namespace zentrak {

std::string TemporaryPathFor(const std::string& path, Platform& platform) {
  return path + "." + std::to_string(platform.ProcessId()) + ".$$$";
}

namespace {

// A process number as this program writes it: decimal, no leading zero, not 0.
std::optional<uint32_t> ProcessNumber(std::string_view digits) {
  if (digits.empty() || digits.size() > 10 || digits[0] == '0') return std::nullopt;
  uint64_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  if (value > std::numeric_limits<uint32_t>::max()) return std::nullopt;
  return static_cast<uint32_t>(value);
}

}  // namespace

// The log cut's copy keeps its own name ("$cutlog$.<process>.tmp", see the
// log cut); every other copy is its file's name with the process and ".$$$".
std::optional<uint32_t> TemporaryCopyOwner(std::string_view fileName) {
  constexpr std::string_view kCutLog = "$cutlog$.";
  if (fileName.starts_with(kCutLog) && fileName.ends_with(".tmp")) {
    return ProcessNumber(fileName.substr(kCutLog.size(), fileName.size() - kCutLog.size() - 4));
  }
  constexpr std::string_view kCopy = ".$$$";
  if (!fileName.ends_with(kCopy)) return std::nullopt;
  std::string_view rest = fileName.substr(0, fileName.size() - kCopy.size());
  size_t dot = rest.rfind('.');
  // The copy of a file named at least one character.
  if (dot == std::string_view::npos || dot == 0) return std::nullopt;
  return ProcessNumber(rest.substr(dot + 1));
}

std::vector<DeadRunCopy> RemoveDeadRunCopies(const std::string& prefix, Platform& platform) {
  std::vector<DeadRunCopy> found;
  std::optional<std::vector<std::string>> names = platform.FilesIn(prefix.empty() ? "." : prefix);
  if (!names) return found;
  std::sort(names->begin(), names->end());  // the console lines come in one order
  for (const std::string& name : *names) {
    std::optional<uint32_t> owner = TemporaryCopyOwner(name);
    if (!owner || *owner == platform.ProcessId() || platform.ProcessRunning(*owner)) continue;
    DeadRunCopy copy{prefix + name};
    errno = 0;
    if (!platform.RemoveFile(copy.path)) copy.error = ErrnoOr(EIO);
    found.push_back(std::move(copy));
  }
  return found;
}

}  // namespace zentrak
