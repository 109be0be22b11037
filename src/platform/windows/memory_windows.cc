// Windows gives large pages only to privileged processes; the hint is a no-op.
#include "platform/memory.h"

namespace zentrak {

void AdviseLargePages(void*, size_t) {}

}  // namespace zentrak
