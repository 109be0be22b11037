// Large pages on request, where the kernel offers them (Linux).
#include <sys/mman.h>

#include <cstdint>

#include "platform/memory.h"

namespace zentrak {

void AdviseLargePages(void* block, size_t bytes) {
#if defined(MADV_HUGEPAGE)
  constexpr uintptr_t kHuge = uintptr_t{2} << 20;
  uintptr_t from = (reinterpret_cast<uintptr_t>(block) + kHuge - 1) & ~(kHuge - 1);
  uintptr_t till = (reinterpret_cast<uintptr_t>(block) + bytes) & ~(kHuge - 1);
  if (till > from) madvise(reinterpret_cast<void*>(from), till - from, MADV_HUGEPAGE);
#else
  (void)block;
  (void)bytes;
#endif
}

}  // namespace zentrak
