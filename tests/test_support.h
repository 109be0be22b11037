// Helpers shared by the unit tests: a fixed clock, a console into a string,
// temporary directories and file helpers.
#pragma once

#include <sstream>
#include <string>

#include "app/console_log.h"
#include "platform/platform.h"

namespace zentrak::testing {

/// A console writing into a string, with the clock fixed at 07 Dec 2026 10:43:08.
struct TestConsole {
  TestConsole();
  /// Console output with every "DD Mon HH:MM:SS" stamp replaced by "STAMP".
  std::string Masked() const;
  std::string Text() const { return out.str(); }
  void Clear() { out.str(""); }

  FixedClock clock;
  std::ostringstream out;
  Console console;
};

/// A fresh temporary directory, removed with everything in it when destroyed.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  /// Path of the directory, ending in "/".
  const std::string& Path() const { return path_; }
  /// Path of a file inside the directory.
  std::string File(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

/// Writes bytes to a file, replacing it.
void WriteFile(const std::string& path, const std::string& bytes);
/// Reads a whole file; empty when it cannot be read.
std::string ReadFile(const std::string& path);
/// True when the file exists.
bool FileExists(const std::string& path);

}  // namespace zentrak::testing
