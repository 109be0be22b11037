// Fuzz target: the last-call history file, loaded through a memory file (no
// file on disk), then ordered and rendered as addresses.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "log/last_call_history.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zentrak;
  int fd = memfd_create("history", 0);
  if (fd < 0) return 0;
  size_t done = 0;
  while (done < size) {
    ssize_t n = write(fd, data + done, size - done);
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  SessionModel model;
  // A record already known from the log, as the run has it when it loads.
  model.lastCalls.push_back(TLastCall{2, 5020, 100, 0, 2026 * 365 + 12 * 31 + 7, 3600});
  model.lastCallIndex["2:5020/100"] = 0;
  LoadLastCalls("/proc/self/fd/" + std::to_string(fd), model, NativePlatform());
  close(fd);
  SortLastCalls(model, CalendarDate{9, 12, 2026});
  for (const TLastCall& record : model.lastCalls) {
    if (model.lastCallIndex.count(LastCallAddress(record)) == 0) __builtin_trap();
  }
  return 0;
}
