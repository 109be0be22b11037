// What every fuzz target shares: a console that discards its text under a fixed
// clock, and a platform that answers every file question with "no" so that no
// input can make a target touch the disk.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

#include "console/console_log.h"
#include "console/run_calendar.h"
#include "platform/platform.h"

namespace zentrak::fuzz {

/// A stream buffer that accepts and forgets every character.
class NullBuffer : public std::streambuf {
 protected:
  int overflow(int c) override { return c == traits_type::eof() ? 0 : c; }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

/// "Today" of the fuzz targets, the day of their clocks.
inline constexpr RunCalendar kToday{2026, 12, 7};

/// A console at 07 Dec 2026 10:43:08 whose output goes nowhere.
struct QuietConsole {
  FixedClock clock{LocalTime{2026, 12, 7, 10, 43, 8}};
  NullBuffer buffer;
  std::ostream out{&buffer};
  Console console{out, clock};
};

/// A file over bytes in memory (not copied) that forgets whatever is written to it.
class MemoryFile : public File {
 public:
  explicit MemoryFile(std::string_view bytes) : bytes_(bytes) {}
  size_t Read(char* data, size_t size) override {
    size_t got = std::min(size, bytes_.size() - at_);
    std::copy_n(bytes_.data() + at_, got, data);
    at_ += got;
    return got;
  }
  bool ReadFailed() const override { return false; }
  bool Write(std::string_view) override { return true; }
  bool Seek(uint64_t offset) override {
    if (offset > bytes_.size()) return false;
    at_ = static_cast<size_t>(offset);
    return true;
  }
  bool Flush() override { return true; }
  bool Sync() override { return true; }
  bool Close() override { return true; }

 private:
  std::string_view bytes_;
  size_t at_ = 0;
};

/// A platform without files or drives: cut requests find nothing to cut.
class SandboxPlatform : public Platform {
 public:
  Clock& LocalClock() override { return clock_; }
  std::string ExecutablePath(const std::string&) override { return "/opt/zentrak/zentrak"; }
  char DirSeparator() const override { return '/'; }
  std::string PlatformWord() const override { return "LNX"; }
  std::string ProgramFileName() const override { return "zentrak"; }
  std::unique_ptr<File> OpenFile(const std::string&, FileMode) override { return nullptr; }
  bool FileExists(const std::string&) override { return false; }
  std::optional<uint64_t> FileSize(const std::string&) override { return std::nullopt; }
  bool RemoveFile(const std::string&) override { return false; }
  bool ReplaceFile(const std::string&, const std::string&) override { return false; }
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
