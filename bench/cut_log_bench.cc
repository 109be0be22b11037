// Bench-only driver: runs CutLogNew alone on a log, so that the cut can be
// timed against `tail -c` without the parse that follows it in a real run.
// Usage: cut-log-bench LOG DAYS_TO_KEEP
#include <cstdlib>
#include <iostream>

#include "console/run_stop.h"
#include "log/log_cut.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: cut-log-bench LOG DAYS_TO_KEEP\n";
    return 2;
  }
  zentrak::Settings settings = zentrak::SetDefaults();
  settings.LOG = argv[1];
  settings.CUT_LOG = true;
  settings.cutLogDays = std::atoi(argv[2]);
  zentrak::Platform& platform = zentrak::NativePlatform();
  zentrak::Console console(std::cout, platform.LocalClock());
  try {
    zentrak::CutLogNew(settings, zentrak::TodayOn(platform.LocalClock()), console, platform);
  } catch (const zentrak::RunStop& stop) {
    return stop.exitStatus;
  }
  return 0;
}
