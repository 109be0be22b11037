// Seeking and syncing a C stream on POSIX: fseeko takes a 64-bit off_t
// (the build asks for large files on 32-bit systems), fsync forces the bytes out.
// Linux can start the writing early (sync_file_range), which others leave to
// their own flushing.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "platform/stdio_file.h"

namespace zentrak {

bool StdioFile::Seek(uint64_t offset) {
  return file_ != nullptr && fseeko(file_, static_cast<off_t>(offset), SEEK_SET) == 0;
}

bool StdioFile::StartWriteback() {
  if (std::fflush(file_) != 0) return false;
#if defined(__linux__)
  // Only a hint: a pipe or a file system that cannot do it just waits for the sync.
  sync_file_range(fileno(file_), 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
  return true;
}

bool StdioFile::Sync() {
  return file_ != nullptr && std::fflush(file_) == 0 && fsync(fileno(file_)) == 0;
}

}  // namespace zentrak
