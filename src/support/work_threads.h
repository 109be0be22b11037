// How many threads a step that can share its work may use.
#pragma once

namespace zentrak {

/// The environment's ZENTRAK_THREADS when it names a number, else one per
/// core; at least 1 and at most 4. One core means one thread.
int WorkThreads();

}  // namespace zentrak
