// Helpers shared by the unit tests: a fixed clock, a console into a string,
// temporary directories and file helpers.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <utility>

#include "console/console_log.h"
#include "console/run_calendar.h"
#include "platform/platform.h"

namespace zentrak::testing {

/// "Today" of the fixed clocks below: 07 Dec 2026.
inline constexpr RunCalendar kTestToday{2026, 12, 7};

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

/// Which file operations a TestPlatform fails; the native platform does the rest.
struct FileFaults {
  /// Paths whose opening fails.
  std::string failOpen;
  /// Bytes a file opened for writing takes before its writes fail; none = no limit.
  std::optional<uint64_t> writeLimit;
  bool failSync = false;
  bool failClose = false;
};

/// The native platform with a fixed clock, a chosen executable path and the
/// POSIX words ("/", "LNX", "zentrak") on every host, so that whole runs can be
/// driven in-process with the same expectations wherever the tests run. Any
/// file operation can be made to fail.
class TestPlatform : public Platform {
 public:
  explicit TestPlatform(std::string executablePath = "/opt/zentrak/zentrak")
      : clock(LocalTime{2026, 12, 7, 10, 43, 8}), executablePath_(std::move(executablePath)) {}

  Clock& LocalClock() override { return clock; }
  std::string ExecutablePath(const std::string&) override { return executablePath_; }
  char DirSeparator() const override { return '/'; }
  std::string PlatformWord() const override { return "LNX"; }
  std::string ProgramFileName() const override { return "zentrak"; }
  std::optional<std::string> SystemConfigDir() const override { return systemConfigDir; }
  bool MayCreateFileIn(const std::string& dir) override { return native_.MayCreateFileIn(dir); }
  std::unique_ptr<File> OpenFile(const std::string& path, FileMode mode) override;
  bool FileExists(const std::string& path) override { return native_.FileExists(path); }
  std::optional<uint64_t> FileSize(const std::string& path) override {
    return native_.FileSize(path);
  }
  bool RemoveFile(const std::string& path) override {
    return !failRemove && native_.RemoveFile(path);
  }
  bool ReplaceFile(const std::string& from, const std::string& to) override {
    return !failReplace && native_.ReplaceFile(from, to);
  }
  bool SameFileSystem(const std::string& a, const std::string& b) override {
    return native_.SameFileSystem(a, b);
  }
  bool ReplacesOpenFiles() const override { return native_.ReplacesOpenFiles(); }
  uint32_t LogicalDrives() override { return native_.LogicalDrives(); }
  std::optional<DriveInfo> Drive(char letter) override { return native_.Drive(letter); }
  LockAttempt TryLock(const std::string& path) override { return native_.TryLock(path); }
  uint32_t ProcessId() const override { return NativePlatform().ProcessId(); }
  bool ProcessRunning(uint32_t id) override { return native_.ProcessRunning(id); }
  std::optional<std::vector<std::string>> FilesIn(const std::string& dir) override {
    return native_.FilesIn(dir);
  }
  /// Does not wait: hands the count of pauses so far to `onPause`, if set.
  void Pause(int) override {
    if (onPause) onPause(++pauses);
  }
  AccessKept CopyAccess(const std::string& original, const std::string& copy) override {
    return native_.CopyAccess(original, copy);
  }

  FixedClock clock;
  /// Nothing: the portable layout only, as on Windows.
  std::optional<std::string> systemConfigDir;
  bool failRemove = false;
  bool failReplace = false;
  FileFaults faults;
  std::function<void(int)> onPause;
  int pauses = 0;

 private:
  Platform& native_ = NativePlatform();
  std::string executablePath_;
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
/// `text` as one gzip member, as gzip -9 writes it.
std::string Gzip(const std::string& text);
/// Reads a whole file; empty when it cannot be read.
std::string ReadFile(const std::string& path);
/// Reads a whole text file with its line ends as "\n" (CR LF on Windows).
std::string ReadTextFile(const std::string& path);
/// True when the file exists.
bool FileExists(const std::string& path);

}  // namespace zentrak::testing
