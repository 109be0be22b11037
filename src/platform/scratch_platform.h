// A platform for runs that must leave every file as it was (--check): files
// the run creates land in a scratch folder of their own, renames and deletes
// are only remembered, and later reads see what the run would have left. The
// run itself does not know; it prints what a real run prints.
#pragma once

#include <map>
#include <set>
#include <string>

#include "platform/platform.h"

namespace zentrak {

class ScratchPlatform : public Platform {
 public:
  /// Reads through `real`; never writes through it.
  explicit ScratchPlatform(Platform& real) : real_(real) {}
  /// Removes the scratch folder and everything in it.
  ~ScratchPlatform() override;
  ScratchPlatform(const ScratchPlatform&) = delete;
  ScratchPlatform& operator=(const ScratchPlatform&) = delete;

  Clock& LocalClock() override { return real_.LocalClock(); }
  std::string ExecutablePath(const std::string& argv0) override {
    return real_.ExecutablePath(argv0);
  }
  char DirSeparator() const override { return real_.DirSeparator(); }
  std::string PlatformWord() const override { return real_.PlatformWord(); }
  std::string ProgramFileName() const override { return real_.ProgramFileName(); }
  std::optional<std::string> SystemConfigDir() const override { return real_.SystemConfigDir(); }
  uint32_t LogicalDrives() override { return real_.LogicalDrives(); }
  std::optional<DriveInfo> Drive(char letter) override { return real_.Drive(letter); }
  bool SameFileSystem(const std::string& a, const std::string& b) override {
    return real_.SameFileSystem(a, b);
  }
  bool MayCreateFileIn(const std::string& dir) override { return real_.MayCreateFileIn(dir); }
  /// A check writes nothing real, so it neither needs a lock nor keeps a real run waiting.
  LockAttempt TryLock(const std::string&) override { return LockAttempt{}; }
  uint32_t ProcessId() const override { return real_.ProcessId(); }
  bool ProcessRunning(uint32_t id) override { return real_.ProcessRunning(id); }
  bool OutputIsTerminal() const override { return real_.OutputIsTerminal(); }
  /// The real folder's files, less those the run removed.
  std::optional<std::vector<std::string>> FilesIn(const std::string& dir) override;
  /// Nothing real is replaced, so no writer is left behind in a replaced file.
  bool ReplacesOpenFiles() const override { return false; }
  /// Tried on the scratch copy, which is this run's own: what a real run could
  /// not keep, the check cannot either, and says so.
  AccessKept CopyAccess(const std::string& original, const std::string& copy) override;

  std::unique_ptr<File> OpenFile(const std::string& path, FileMode mode) override;
  bool FileExists(const std::string& path) override;
  std::optional<uint64_t> FileSize(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
  bool ReplaceFile(const std::string& from, const std::string& to) override;

  /// The scratch folder; empty until the run first writes.
  const std::string& ScratchDir() const { return scratchDir_; }

 private:
  bool MayCreate(const std::string& path);
  bool RealFileVisible(const std::string& path);
  std::string NewScratchFile();

  Platform& real_;
  std::string scratchDir_;
  int scratchCount_ = 0;
  std::map<std::string, std::string> written_;  // path the run used -> scratch file
  std::set<std::string> removed_;               // real files the run deleted or replaced away
};

}  // namespace zentrak
