// Hints to the operating system about how the program uses its memory.
#pragma once

#include <cstddef>

namespace zentrak {

/// Asks for large pages for a big block that will be filled front to back;
/// a no-op where the system offers no such hint.
/// The sessions block of a big log is touched page by page as it fills; on a
/// virtual machine each 4 KiB fault costs microseconds, and large pages cut the
/// faults by 512.
void AdviseLargePages(void* block, size_t bytes);

}  // namespace zentrak
