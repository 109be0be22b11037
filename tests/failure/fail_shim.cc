// A preloaded library that makes file writes fail the way a full or read-only
// disk or a power cut would, for the failure-injection tests. Only files
// opened for writing through stdio whose path contains ZT_FAIL_PATH (every
// such file when it is unset) are affected, and renames onto or from them.
//
//   ZT_FAIL_MODE=open    fopen for writing, rename and removal fail with
//                        ZT_FAIL_ERRNO (default EROFS): a read-only directory
//   ZT_FAIL_MODE=enospc  writes fail with ENOSPC once ZT_FAIL_BYTES bytes were
//                        written (default 0); with ZT_FAIL_OP=fsync or
//                        ZT_FAIL_OP=rename only that call fails instead
//   ZT_FAIL_MODE=kill    the process kills itself (SIGKILL) just before its
//                        ZT_FAIL_STEP-th step: one write(2)-sized chunk, fsync
//                        or rename of an affected file
//   ZT_FAIL_MODE=stop    the process stops itself (SIGSTOP) just before that
//                        step, so a test can act while the run is half done
//                        and let it go on with SIGCONT
//
// Every step taken is counted into ZT_FAIL_COUNT_FILE when that is set, so a
// test can learn how many steps a whole run has.
//
// Writes reach the file through a stdio cookie stream over the real stream, so
// the program's own buffering, fflush, ferror and fclose see the failure
// exactly where a real write(2) would report it.
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {

using FopenFn = FILE* (*)(const char*, const char*);
using RenameFn = int (*)(const char*, const char*);
using FsyncFn = int (*)(int);
using FilenoFn = int (*)(FILE*);

template <typename Fn>
Fn Next(const char* name) {
  return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
}

struct Policy {
  const char* path = std::getenv("ZT_FAIL_PATH");
  const char* mode = std::getenv("ZT_FAIL_MODE");
  const char* op = std::getenv("ZT_FAIL_OP");
  const char* countFile = std::getenv("ZT_FAIL_COUNT_FILE");
  long long bytes = std::getenv("ZT_FAIL_BYTES") ? std::atoll(std::getenv("ZT_FAIL_BYTES")) : 0;
  long long step = std::getenv("ZT_FAIL_STEP") ? std::atoll(std::getenv("ZT_FAIL_STEP")) : 0;
  int error = std::getenv("ZT_FAIL_ERRNO") ? std::atoi(std::getenv("ZT_FAIL_ERRNO")) : EROFS;

  bool Is(const char* m) const { return mode != nullptr && std::strcmp(mode, m) == 0; }
  bool OpIs(const char* o) const { return op != nullptr && std::strcmp(o, op) == 0; }
  bool Matches(const char* file) const {
    return file != nullptr && (path == nullptr || std::strstr(file, path) != nullptr);
  }
};

const Policy& ThePolicy() {
  static const Policy policy;
  return policy;
}

std::mutex& Lock() {
  static std::mutex lock;
  return lock;
}

long long stepsTaken = 0;
long long bytesWritten = 0;

// Counts one step; dies before it when it is the chosen one.
void Step() {
  std::lock_guard<std::mutex> guard(Lock());
  ++stepsTaken;
  const Policy& p = ThePolicy();
  if (p.countFile != nullptr) {
    int fd = open(p.countFile, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
      char text[32];
      int n = std::snprintf(text, sizeof text, "%lld\n", stepsTaken);
      if (write(fd, text, static_cast<size_t>(n)) < 0) {
      }
      close(fd);
    }
  }
  if (p.Is("kill") && stepsTaken == p.step) raise(SIGKILL);
  if (p.Is("stop") && stepsTaken == p.step) raise(SIGSTOP);
}

struct Cookie {
  FILE* inner;
};

ssize_t CookieWrite(void* raw, const char* data, size_t size) {
  auto* cookie = static_cast<Cookie*>(raw);
  const Policy& p = ThePolicy();
  Step();
  size_t allowed = size;
  if (p.Is("enospc") && p.op == nullptr) {
    long long room = p.bytes - bytesWritten;
    allowed = room <= 0 ? 0 : static_cast<size_t>(room) < size ? static_cast<size_t>(room) : size;
  }
  size_t done = allowed == 0 ? 0 : std::fwrite(data, 1, allowed, cookie->inner);
  bytesWritten += static_cast<long long>(done);
  if (done < size) {
    if (done > 0) return static_cast<ssize_t>(done);
    errno = ENOSPC;
    return -1;
  }
  return static_cast<ssize_t>(done);
}

ssize_t CookieRead(void* raw, char* data, size_t size) {
  return static_cast<ssize_t>(std::fread(data, 1, size, static_cast<Cookie*>(raw)->inner));
}

int CookieSeek(void* raw, off64_t* offset, int whence) {
  FILE* inner = static_cast<Cookie*>(raw)->inner;
  if (fseeko(inner, *offset, whence) != 0) return -1;
  *offset = ftello(inner);
  return 0;
}

int CookieClose(void* raw) {
  auto* cookie = static_cast<Cookie*>(raw);
  int result = std::fclose(cookie->inner);
  delete cookie;
  return result;
}

// Cookie streams have no descriptor of their own; fileno answers with the
// real stream's, so that fsync reaches the file.
struct Wrapped {
  FILE* outer;
  FILE* inner;
};
Wrapped wrapped[64];

FILE* Wrap(const char* path, const char* mode, FopenFn realFopen) {
  const Policy& p = ThePolicy();
  bool writing = std::strpbrk(mode, "wa+") != nullptr;
  if (!writing || !p.Matches(path) || p.mode == nullptr) return realFopen(path, mode);
  if (p.Is("open")) {
    errno = p.error;
    return nullptr;
  }
  FILE* inner = realFopen(path, mode);
  if (inner == nullptr) return nullptr;
  std::setvbuf(inner, nullptr, _IONBF, 0);
  auto* cookie = new Cookie{inner};
  FILE* outer = fopencookie(cookie, mode, {CookieRead, CookieWrite, CookieSeek, CookieClose});
  if (outer == nullptr) {
    std::fclose(inner);
    delete cookie;
    return nullptr;
  }
  std::lock_guard<std::mutex> guard(Lock());
  for (Wrapped& slot : wrapped) {
    if (slot.outer == nullptr || slot.inner == nullptr) {
      slot = {outer, inner};
      break;
    }
  }
  return outer;
}

}  // namespace

extern "C" {

FILE* fopen(const char* path, const char* mode) {
  static FopenFn real = Next<FopenFn>("fopen");
  return Wrap(path, mode, real);
}

FILE* fopen64(const char* path, const char* mode) {
  static FopenFn real = Next<FopenFn>("fopen64");
  return Wrap(path, mode, real);
}

int fileno(FILE* stream) {
  static FilenoFn real = Next<FilenoFn>("fileno");
  {
    std::lock_guard<std::mutex> guard(Lock());
    for (Wrapped& slot : wrapped) {
      if (slot.outer == stream && stream != nullptr) return real(slot.inner);
    }
  }
  return real(stream);
}

int fclose(FILE* stream) {
  static int (*real)(FILE*) = Next<int (*)(FILE*)>("fclose");
  {
    std::lock_guard<std::mutex> guard(Lock());
    for (Wrapped& slot : wrapped) {
      if (slot.outer == stream && stream != nullptr) slot = {nullptr, nullptr};
    }
  }
  return real(stream);
}

int fsync(int fd) {
  static FsyncFn real = Next<FsyncFn>("fsync");
  char link[64];
  char target[4096];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  ssize_t n = readlink(link, target, sizeof target - 1);
  target[n < 0 ? 0 : n] = '\0';
  const Policy& p = ThePolicy();
  if (p.mode != nullptr && p.Matches(target)) {
    Step();
    if (p.Is("enospc") && p.OpIs("fsync")) {
      errno = ENOSPC;
      return -1;
    }
  }
  return real(fd);
}

int rename(const char* from, const char* to) {
  static RenameFn real = Next<RenameFn>("rename");
  const Policy& p = ThePolicy();
  if (p.mode != nullptr && (p.Matches(from) || p.Matches(to))) {
    if (p.Is("open")) {
      errno = p.error;
      return -1;
    }
    Step();
    if (p.Is("enospc") && p.OpIs("rename")) {
      errno = ENOSPC;
      return -1;
    }
  }
  return real(from, to);
}

// A read-only directory refuses removals too.
int unlink(const char* path) {
  static int (*real)(const char*) = Next<int (*)(const char*)>("unlink");
  const Policy& p = ThePolicy();
  if (p.Is("open") && p.Matches(path)) {
    errno = p.error;
    return -1;
  }
  return real(path);
}

int remove(const char* path) {
  static int (*real)(const char*) = Next<int (*)(const char*)>("remove");
  const Policy& p = ThePolicy();
  if (p.Is("open") && p.Matches(path)) {
    errno = p.error;
    return -1;
  }
  return real(path);
}

}  // extern "C"
