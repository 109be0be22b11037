// Seeking and syncing a C stream on POSIX: fseeko takes a 64-bit off_t
// (the build asks for large files on 32-bit systems), fsync forces the bytes out.
// Linux can start the writing early (sync_file_range), and a large file is
// synced on a thread of its own as it grows. Linux also tells whether anyone
// still writes to a file, through a lease.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>

#include "platform/stdio_file.h"

namespace zentrak {

bool StdioFile::Seek(uint64_t offset) {
  return file_ != nullptr && fseeko(file_, static_cast<off_t>(offset), SEEK_SET) == 0;
}

bool StdioFile::StartWriteback() {
  if (std::fflush(file_) != 0) return false;
  int descriptor = fileno(file_);
#if defined(__linux__)
  // Only a hint: a pipe or a file system that cannot do it just waits for the sync.
  sync_file_range(descriptor, 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
  RequestDataSync([descriptor] { return fdatasync(descriptor) == 0; });
  return true;
}

bool StdioFile::Sync() {
  bool synced = StopDataSync();
  return synced && file_ != nullptr && std::fflush(file_) == 0 && fsync(fileno(file_)) == 0;
}

// A read lease is granted only while no handle has the file open for writing,
// and to the file's owner (or root) only; it is given back at once. Should a
// writer open the file in that instant, the break is signalled with SIGURG,
// which is ignored unless handled, where SIGIO would end the run.
std::optional<bool> StdioFile::OthersMayWrite() {
#if defined(__linux__)
  if (file_ == nullptr) return std::nullopt;
  int descriptor = fileno(file_);
  if (fcntl(descriptor, F_SETSIG, SIGURG) != 0) return std::nullopt;
  if (fcntl(descriptor, F_SETLEASE, F_RDLCK) == 0) {
    fcntl(descriptor, F_SETLEASE, F_UNLCK);
    return false;
  }
  if (errno == EAGAIN) return true;
#endif
  return std::nullopt;
}

}  // namespace zentrak
