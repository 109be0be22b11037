// Entry point: hands the command line to the run sequence.
#include <iostream>
#include <string>
#include <vector>

#include "app/run.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  std::vector<std::string> args(argv, argv + argc);
  return zentrak::Run(args, zentrak::NativePlatform(), std::cout);
}
