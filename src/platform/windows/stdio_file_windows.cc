// Seeking and syncing a C stream on Windows. fseek takes a long, which is 32
// bits there, so a log past 2 GiB needs _fseeki64; _commit forces the bytes out.
#include <io.h>
#include <windows.h>

#include <cstdio>

#include "platform/stdio_file.h"

namespace zentrak {
namespace {

// FlushFileBuffers needs a handle with write access; should _commit refuse the
// stream's own descriptor, a second handle to the same file gives the same
// guarantee.
bool FlushThroughWriteHandle(std::FILE* file) {
  HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  if (handle == INVALID_HANDLE_VALUE) return false;
  HANDLE writable =
      ReOpenFile(handle, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, 0);
  if (writable == INVALID_HANDLE_VALUE) return false;
  bool flushed = FlushFileBuffers(writable) != 0;
  CloseHandle(writable);
  return flushed;
}

}  // namespace

bool StdioFile::Seek(uint64_t offset) {
  return file_ != nullptr && _fseeki64(file_, static_cast<__int64>(offset), SEEK_SET) == 0;
}

// Windows has no call that starts the writing without waiting for it: the
// sync at the end does it all.
bool StdioFile::StartWriteback() { return true; }

bool StdioFile::Sync() {
  if (file_ == nullptr || std::fflush(file_) != 0) return false;
  return _commit(_fileno(file_)) == 0 || FlushThroughWriteHandle(file_);
}

// A file that is open elsewhere cannot be renamed over here, so no writer is
// left behind in a replaced file to ask about.
std::optional<bool> StdioFile::OthersMayWrite() { return std::nullopt; }

}  // namespace zentrak
