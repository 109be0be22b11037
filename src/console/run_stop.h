// How a step ends the run: it prints its own message, then throws RunStop.
// Only the run sequence catches it; it ends the run abnormally (no end banner)
// with the exit status the stop carries.
#pragma once

namespace zentrak {

struct RunStop {
  int exitStatus = 1;
};

/// Ends the run from anywhere below the run sequence.
[[noreturn]] inline void StopRun(int exitStatus = 1) { throw RunStop{exitStatus}; }

}  // namespace zentrak
