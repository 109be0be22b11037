// Seeking and syncing a C stream on POSIX: fseeko takes a 64-bit off_t
// (the build asks for large files on 32-bit systems), fsync forces the bytes out.
#include <unistd.h>

#include <cstdio>

#include "platform/stdio_file.h"

namespace zentrak {

bool StdioFile::Seek(uint64_t offset) {
  return file_ != nullptr && fseeko(file_, static_cast<off_t>(offset), SEEK_SET) == 0;
}

bool StdioFile::Sync() {
  return file_ != nullptr && std::fflush(file_) == 0 && fsync(fileno(file_)) == 0;
}

}  // namespace zentrak
