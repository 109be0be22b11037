// What every fuzz target shares: a console that discards its text under a fixed
// clock, and a platform that answers every file question with "no" so that no
// input can make a target touch the disk.
#pragma once

#include <cstdint>
#include <ostream>
#include <streambuf>
#include <string>

#include "console/console_log.h"
#include "platform/platform.h"

namespace zentrak::fuzz {

/// A stream buffer that accepts and forgets every character.
class NullBuffer : public std::streambuf {
 protected:
  int overflow(int c) override { return c == traits_type::eof() ? 0 : c; }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

/// A console at 07 Dec 2026 10:43:08 whose output goes nowhere.
struct QuietConsole {
  FixedClock clock{LocalTime{2026, 12, 7, 10, 43, 8}};
  NullBuffer buffer;
  std::ostream out{&buffer};
  Console console{out, clock};
};

/// A platform without files or drives: cut requests find nothing to cut.
class SandboxPlatform : public Platform {
 public:
  Clock& LocalClock() override { return clock_; }
  std::string ExecutablePath(const std::string&) override { return "/opt/zentrak/zentrak"; }
  char DirSeparator() const override { return '/'; }
  std::string PlatformWord() const override { return "LNX"; }
  std::string ProgramFileName() const override { return "zentrak"; }
  bool FileExists(const std::string&) override { return false; }
  std::optional<uint64_t> FileSize(const std::string&) override { return std::nullopt; }
  bool RemoveFile(const std::string&) override { return false; }
  bool ReplaceFile(const std::string&, const std::string&) override { return false; }
  bool SyncFile(std::FILE*) override { return false; }
  bool SameFileSystem(const std::string&, const std::string&) override { return false; }
  uint32_t LogicalDrives() override { return 0; }
  std::optional<DriveInfo> Drive(char) override { return std::nullopt; }
  LockAttempt TryLock(const std::string&) override { return LockAttempt{}; }
  uint32_t ProcessId() const override { return 1; }
  AccessKept CopyAccess(const std::string&, const std::string&) override {
    return AccessKept::kAll;
  }

 private:
  FixedClock clock_{LocalTime{2026, 12, 7, 10, 43, 8}};
};

}  // namespace zentrak::fuzz
