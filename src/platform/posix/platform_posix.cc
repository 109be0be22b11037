// The POSIX side of the platform: local time, /proc/self/exe, rename(2),
// flock(2), drives simulated through ZENTRAK_DRIVE_<letter> directories and
// the system's configuration folder.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>

#include "platform/platform.h"
#include "platform/stdio_file.h"

// The installation's configuration folder; the build sets it from the install
// prefix ("/usr/local/etc", "/etc" for a package).
#ifndef ZENTRAK_SYSCONFDIR
#define ZENTRAK_SYSCONFDIR "/usr/local/etc"
#endif

namespace zentrak {
namespace {

class LocalSystemClock : public Clock {
 public:
  LocalTime Now() override {
    std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    return LocalTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
                     parts.tm_hour,        parts.tm_min,     parts.tm_sec};
  }
};

// A drive letter names a directory through the environment; C is the root
// unless its variable says otherwise.
std::optional<std::string> DriveDirectory(char letter) {
  std::string name = std::string("ZENTRAK_DRIVE_") + letter;
  const char* value = std::getenv(name.c_str());
  if (value != nullptr && *value != '\0') {
    struct stat info {};
    if (stat(value, &info) == 0 && S_ISDIR(info.st_mode)) return std::string(value);
    return std::nullopt;
  }
  if (letter == 'C') return std::string("/");
  return std::nullopt;
}

// flock belongs to the open file, so it follows the file (not its name), works
// on folders, and a second descriptor of this very process is refused as well.
class FlockLock : public HeldLock {
 public:
  explicit FlockLock(int fd) : fd_(fd) {}
  ~FlockLock() override { close(fd_); }

 private:
  int fd_;
};

class PosixPlatform : public Platform {
 public:
  Clock& LocalClock() override { return clock_; }

  std::string ExecutablePath(const std::string& argv0) override {
    char buffer[4096];
    ssize_t length = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    if (length > 0) return std::string(buffer, static_cast<size_t>(length));
    return argv0;
  }

  char DirSeparator() const override { return '/'; }
  std::string PlatformWord() const override { return "LNX"; }
  std::string ProgramFileName() const override { return "zentrak"; }

  std::optional<std::string> SystemConfigDir() const override {
    return std::string(ZENTRAK_SYSCONFDIR) + "/zentrak/";
  }

  bool MayCreateFileIn(const std::string& dir) override {
    return access(dir.empty() ? "." : dir.c_str(), W_OK | X_OK) == 0;
  }

  std::unique_ptr<File> OpenFile(const std::string& path, FileMode mode) override {
    return StdioFile::Open(path, mode);
  }

  bool FileExists(const std::string& path) override {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
  }

  std::optional<uint64_t> FileSize(const std::string& path) override {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return std::nullopt;
    return static_cast<uint64_t>(info.st_size);
  }

  bool RemoveFile(const std::string& path) override { return unlink(path.c_str()) == 0; }

  bool ReplaceFile(const std::string& from, const std::string& to) override {
    return std::rename(from.c_str(), to.c_str()) == 0;
  }

  bool SameFileSystem(const std::string& a, const std::string& b) override {
    struct stat infoA {
    }, infoB{};
    if (stat(a.c_str(), &infoA) != 0 || stat(b.c_str(), &infoB) != 0) return false;
    return infoA.st_dev == infoB.st_dev;
  }

  uint32_t LogicalDrives() override {
    uint32_t drives = 0;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
      if (DriveDirectory(letter)) drives |= 1u << (letter - 'A');
    }
    return drives;
  }

  std::optional<DriveInfo> Drive(char letter) override {
    std::optional<std::string> directory = DriveDirectory(letter);
    if (!directory) return std::nullopt;
    struct statvfs info {};
    if (statvfs(directory->c_str(), &info) != 0) return std::nullopt;
    DriveInfo drive;
    drive.kind = DriveKind::kListed;
    drive.label = *directory;
    drive.totalBytes = static_cast<uint64_t>(info.f_blocks) * info.f_frsize;
    drive.freeBytes = static_cast<uint64_t>(info.f_bavail) * info.f_frsize;
    return drive;
  }

  // Non-blocking open: a FIFO in place of a log must not hold the run here.
  LockAttempt TryLock(const std::string& path) override {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return LockAttempt{};
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
      return LockAttempt{LockOutcome::kHeld, std::make_unique<FlockLock>(fd)};
    }
    bool busy = errno == EWOULDBLOCK;
    close(fd);
    return LockAttempt{busy ? LockOutcome::kBusy : LockOutcome::kNotLockable, nullptr};
  }

  uint32_t ProcessId() const override { return static_cast<uint32_t>(getpid()); }

  // Signal 0 only asks; EPERM means the process is there but someone else's.
  // 0 and numbers past INT_MAX would name a group of processes, not one.
  bool OutputIsTerminal() const override { return isatty(STDOUT_FILENO) == 1; }

  bool ProcessRunning(uint32_t id) override {
    if (id == 0 || id > static_cast<uint32_t>(INT_MAX)) return true;
    return kill(static_cast<pid_t>(id), 0) == 0 || errno != ESRCH;
  }

  // lstat, not stat: a link named like a file of ours is not ours.
  std::optional<std::vector<std::string>> FilesIn(const std::string& dir) override {
    DIR* folder = opendir(dir.c_str());
    if (folder == nullptr) return std::nullopt;
    std::vector<std::string> names;
    std::string prefix = dir.empty() || dir.back() == '/' ? dir : dir + "/";
    while (const dirent* entry = readdir(folder)) {
      struct stat info {};
      std::string name = entry->d_name;
      if (lstat((prefix + name).c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
        names.push_back(std::move(name));
      }
    }
    closedir(folder);
    return names;
  }

  // chown clears the set-id bits, so the mode is set after it. On a refusal
  // errno keeps its reason for the caller.
  AccessKept CopyAccess(const std::string& original, const std::string& copy) override {
    struct stat from {};
    struct stat to {};
    if (stat(original.c_str(), &from) != 0 || stat(copy.c_str(), &to) != 0) {
      return AccessKept::kNothing;
    }
    int refusal = 0;
    if ((from.st_uid != to.st_uid || from.st_gid != to.st_gid) &&
        chown(copy.c_str(), from.st_uid, from.st_gid) != 0) {
      refusal = errno;
      // Without the right to give the file away, the group may still be ours to set.
      int groupOnly = chown(copy.c_str(), static_cast<uid_t>(-1), from.st_gid);
      static_cast<void>(groupOnly);
    }
    if (chmod(copy.c_str(), from.st_mode & 07777) != 0) return AccessKept::kNothing;
    if (refusal == 0) return AccessKept::kAll;
    struct stat now {};
    bool ownerKept = stat(copy.c_str(), &now) == 0 && now.st_uid == from.st_uid;
    bool groupKept = now.st_gid == from.st_gid;
    errno = refusal;
    if (ownerKept) return groupKept ? AccessKept::kAll : AccessKept::kNotGroup;
    return groupKept ? AccessKept::kNotOwner : AccessKept::kNotOwnerNorGroup;
  }

 private:
  LocalSystemClock clock_;
};

}  // namespace

Platform& NativePlatform() {
  static PosixPlatform platform;
  return platform;
}

}  // namespace zentrak
