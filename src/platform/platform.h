// Everything Zentrak needs from the operating system, behind one interface so
// that tests can fix the clock and fail any file operation, and so that another
// operating system can be added without touching the rest of the program.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace zentrak {

/// A local date and time of day, all from one reading of the clock.
struct LocalTime {
  int year = 1970;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
};

/// The local clock.
class Clock {
 public:
  virtual ~Clock() = default;
  /// The current local date and time.
  virtual LocalTime Now() = 0;
};

/// A clock that always answers the time it was given (tests, fuzzing).
class FixedClock : public Clock {
 public:
  explicit FixedClock(LocalTime now) : now_(now) {}
  LocalTime Now() override { return now_; }
  void Set(LocalTime now) { now_ = now; }

 private:
  LocalTime now_;
};

/// How a file is opened. Text mode matters on Windows only, where line ends
/// become CR LF on the way out and LF on the way in. kAppend writes every
/// Write at the end of the file as it is then, in one piece, beside other
/// programs that append to it; a missing file is created.
enum class FileMode { kRead, kReadText, kWrite, kWriteText, kAppend };

/// An open file. Every operation that can fail says so; a file still open when
/// it is destroyed is closed without a word.
class File {
 public:
  virtual ~File() = default;
  /// Reads up to `size` bytes; fewer only at the end of the file or on an error.
  virtual size_t Read(char* data, size_t size) = 0;
  /// True once a read has failed (as opposed to meeting the end of the file).
  virtual bool ReadFailed() const = 0;
  /// Writes all of `bytes`; false when any of them were lost.
  virtual bool Write(std::string_view bytes) = 0;
  /// Moves to byte `offset` from the start: 64-bit offsets on every platform.
  virtual bool Seek(uint64_t offset) = 0;
  /// Hands what is buffered to the system; false on failure.
  virtual bool Flush() = 0;
  /// Flushes and forces the file's bytes to the disk; false on failure.
  virtual bool Sync() = 0;
  /// Flushes and closes; false when anything written was lost. Nothing works after it.
  virtual bool Close() = 0;
  /// Whether another handle, of any process, has the file open for writing;
  /// nothing when the system cannot tell.
  virtual std::optional<bool> OthersMayWrite() { return std::nullopt; }
};

/// Kind of a drive, as far as the disk usage report cares.
enum class DriveKind { kListed, kSkipped };

/// What the disk usage report shows of one drive.
struct DriveInfo {
  DriveKind kind = DriveKind::kListed;
  std::string label;
  uint64_t totalBytes = 0;
  uint64_t freeBytes = 0;
};

/// An exclusive lock on a file or folder, held until it is destroyed. The
/// operating system drops it when the process ends, however it ends.
class HeldLock {
 public:
  virtual ~HeldLock() = default;
};

/// How an attempt to lock a path ended.
enum class LockOutcome {
  kHeld,         // the lock is ours until `lock` is destroyed
  kBusy,         // another process, or another lock of this one, holds it
  kNotLockable,  // the path does not exist, cannot be opened, or has no locks
};

/// What became of a file's owner, group and permissions when a copy took its place.
enum class AccessKept {
  kAll,               // the copy has the original's permissions, owner and group
  kNotOwner,          // the permissions and group, but this process may not give the owner
  kNotGroup,          // the permissions and owner, but not the group
  kNotOwnerNorGroup,  // the permissions, but neither the owner nor the group
  kNothing,           // not even the permissions
};

/// The answer of Platform::TryLock.
struct LockAttempt {
  LockOutcome outcome = LockOutcome::kNotLockable;
  std::unique_ptr<HeldLock> lock;
};

/// File system, process and machine facts.
class Platform {
 public:
  virtual ~Platform() = default;

  /// The local clock.
  virtual Clock& LocalClock() = 0;
  /// Full path of the running executable; `argv0` is the fallback.
  virtual std::string ExecutablePath(const std::string& argv0) = 0;
  /// The directory separator: '/' or '\'.
  virtual char DirSeparator() const = 0;
  /// The platform word of the banners ("LNX", "W32").
  virtual std::string PlatformWord() const = 0;
  /// The program's file name as the syntax line shows it.
  virtual std::string ProgramFileName() const = 0;
  /// The folder of the system-wide configuration, ending in the separator, when
  /// the system has standard locations: then a run without a configuration
  /// argument falls back to it, and a relative HISTFILE counts from the folder
  /// of the configuration in use. Nothing where the program keeps everything
  /// in its own folder.
  virtual std::optional<std::string> SystemConfigDir() const { return std::nullopt; }

  /// True when this process may create files in folder `dir`, as far as the
  /// system can tell without trying.
  virtual bool MayCreateFileIn(const std::string& dir) {
    (void)dir;
    return true;
  }

  /// Opens a file; nothing when it cannot be opened (or, for writing, created).
  /// Every file the program reads or writes is opened here, so that a check run
  /// and the tests can stand in for the disk.
  virtual std::unique_ptr<File> OpenFile(const std::string& path, FileMode mode) = 0;
  /// True when `path` names an existing file.
  virtual bool FileExists(const std::string& path) = 0;
  /// Size of a file in bytes; nothing when it cannot be read.
  virtual std::optional<uint64_t> FileSize(const std::string& path) = 0;
  /// Deletes a file; false on failure.
  virtual bool RemoveFile(const std::string& path) = 0;
  /// Moves `from` over `to` in one step, replacing `to`; false on failure.
  virtual bool ReplaceFile(const std::string& from, const std::string& to) = 0;
  /// True when both paths lie on one file system, so a rename between them works.
  virtual bool SameFileSystem(const std::string& a, const std::string& b) = 0;
  /// True when a file this process holds open may be replaced by ReplaceFile,
  /// and the open file still reads what it held (and gains) afterwards.
  virtual bool ReplacesOpenFiles() const { return true; }

  /// Bit set of existing drives, bit 0 = drive A.
  virtual uint32_t LogicalDrives() = 0;
  /// Facts about drive `letter` ('A'..'Z'); nothing when it cannot be read.
  virtual std::optional<DriveInfo> Drive(char letter) = 0;

  /// Takes an exclusive lock on an existing file or folder without waiting. Two
  /// paths naming the same file or folder take the same lock.
  virtual LockAttempt TryLock(const std::string& path) = 0;

  /// This process's number, unique among the processes running now.
  virtual uint32_t ProcessId() const = 0;
  /// Whether a process numbered `id` runs now; true whenever that cannot be
  /// told, so that nothing of a live process is ever taken for a dead one's.
  virtual bool ProcessRunning(uint32_t id) {
    (void)id;
    return true;
  }
  /// Names of the plain files in folder `dir` (no folders, no links); nothing
  /// when the folder cannot be read.
  virtual std::optional<std::vector<std::string>> FilesIn(const std::string& dir) {
    (void)dir;
    return std::nullopt;
  }
  /// Whether standard output is a terminal a person watches (a progress bar
  /// is for them, not for a log file or a pipe).
  virtual bool OutputIsTerminal() const { return false; }
  /// Waits about `milliseconds` before going on.
  virtual void Pause(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }

  /// Gives `copy` the permissions, owner and group of `original`, as far as this
  /// process may, so that a file replaced by its copy stays usable by its owner.
  virtual AccessKept CopyAccess(const std::string& original, const std::string& copy) = 0;
};

/// The platform this program was built for.
Platform& NativePlatform();

}  // namespace zentrak
