// A hint that memory will be read soon, for walks whose next steps are known
// but lie all over a large store. Compilers without the hint read as before.
#pragma once

namespace zentrak {

inline void PrefetchForRead(const void* address) {
#if defined(__GNUC__) || defined(__clang__)
  __builtin_prefetch(address, 0, 1);
#else
  (void)address;
#endif
}

}  // namespace zentrak
