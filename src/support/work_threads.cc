#include "support/work_threads.h"

#include <algorithm>
#include <cstdlib>
#include <thread>

namespace zentrak {
namespace {

// Two cores were what the work was measured on; a few more still pay for the
// parse, whose reading stays in one thread.
constexpr int kMostThreads = 4;

}  // namespace

int WorkThreads() {
  if (const char* asked = std::getenv("ZENTRAK_THREADS")) {
    int threads = std::atoi(asked);
    if (threads >= 1) return std::min(threads, kMostThreads);
  }
  int cores = static_cast<int>(std::thread::hardware_concurrency());
  return std::clamp(cores, 1, kMostThreads);
}

}  // namespace zentrak
