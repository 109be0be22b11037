// The Windows side of the platform: GetLocalTime, GetModuleFileName, MoveFileEx
// for atomic replacement, named mutexes for locks and the logical drives with
// their volumes.
#include <windows.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/drive_kind.h"
#include "platform/platform.h"
#include "platform/stdio_file.h"

namespace zentrak {
namespace {

class LocalSystemClock : public Clock {
 public:
  LocalTime Now() override {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return LocalTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
  }
};

DriveType TypeOfDrive(const std::string& root) {
  switch (GetDriveTypeA(root.c_str())) {
    case DRIVE_NO_ROOT_DIR:
      return DriveType::kNoRootDir;
    case DRIVE_REMOVABLE:
      return DriveType::kRemovable;
    case DRIVE_FIXED:
      return DriveType::kFixed;
    case DRIVE_REMOTE:
      return DriveType::kRemote;
    case DRIVE_CDROM:
      return DriveType::kCdRom;
    case DRIVE_RAMDISK:
      return DriveType::kRamDisk;
    default:
      return DriveType::kUnknown;
  }
}

// The volume number of the file system holding `path` (a file or a directory).
std::optional<DWORD> VolumeOf(const std::string& path) {
  HANDLE handle =
      CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info{};
  BOOL ok = GetFileInformationByHandle(handle, &info);
  CloseHandle(handle);
  if (!ok) return std::nullopt;
  return info.dwVolumeSerialNumber;
}

// Windows names are case-blind and take either slash; a trailing separator
// names the same folder.
std::string LockKey(const std::string& path) {
  std::string full(32768, '\0');
  DWORD length =
      GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  std::string key = length > 0 && length < full.size() ? full.substr(0, length) : path;
  for (char& c : key) {
    if (c == '/') c = '\\';
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  while (key.size() > 3 && key.back() == '\\') key.pop_back();
  return key;
}

// The callers tell the sysop why a file failed through errno, as the C library
// sets it; the system calls here name their reason in GetLastError instead.
// Returns false, for the failed call to pass on.
bool ErrnoFromLastError() {
  switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      errno = ENOENT;
      break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      errno = EACCES;
      break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      errno = ENOSPC;
      break;
    case ERROR_WRITE_PROTECT:
      errno = EROFS;
      break;
    case ERROR_NOT_SAME_DEVICE:
      errno = EXDEV;
      break;
    default:
      errno = EIO;
  }
  return false;
}

// A mutex name may not hold a backslash and is bounded, so the key is hashed
// (64-bit FNV-1a). "Global" reaches runs of every session: a scheduled task
// and the sysop's own console.
std::string MutexName(const std::string& key) {
  uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : key) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  char name[64];
  std::snprintf(name, sizeof(name), "Global\\zentrak-lock-%016llx",
                static_cast<unsigned long long>(hash));
  return name;
}

// A byte-range lock would need a handle held open on the log for the whole run,
// which would stop the cut from replacing it, and folders take no byte-range
// locks. A named mutex has neither problem, and the system releases it when
// its owner ends, however it ends.
class MutexLock : public HeldLock {
 public:
  MutexLock(HANDLE mutex, std::set<std::string>& held, std::string key)
      : mutex_(mutex), held_(held), key_(std::move(key)) {}
  ~MutexLock() override {
    ReleaseMutex(mutex_);
    CloseHandle(mutex_);
    held_.erase(key_);
  }

 private:
  HANDLE mutex_;
  std::set<std::string>& held_;
  std::string key_;
};

class WindowsPlatform : public Platform {
 public:
  Clock& LocalClock() override { return clock_; }

  // Paths longer than MAX_PATH need a bigger buffer; GetModuleFileName says so
  // by filling the whole buffer.
  std::string ExecutablePath(const std::string& argv0) override {
    std::string buffer(MAX_PATH, '\0');
    while (buffer.size() <= 32768) {
      DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
      if (length == 0) return argv0;
      if (length < buffer.size()) return buffer.substr(0, length);
      buffer.resize(buffer.size() * 2);
    }
    return argv0;
  }

  char DirSeparator() const override { return '\\'; }
  std::string PlatformWord() const override { return "W32"; }
  std::string ProgramFileName() const override { return "zentrak.exe"; }

  std::unique_ptr<File> OpenFile(const std::string& path, FileMode mode) override {
    return StdioFile::Open(path, mode);
  }

  bool FileExists(const std::string& path) override {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  }

  // The size in the folder's entry lags behind a file that another program
  // holds open and appends to (the mailer's log while it is cut); the file's
  // own handle knows its size now.
  std::optional<uint64_t> FileSize(const std::string& path) override {
    HANDLE handle =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
      LARGE_INTEGER size{};
      BOOL known = GetFileSizeEx(handle, &size);
      CloseHandle(handle);
      if (known) return static_cast<uint64_t>(size.QuadPart);
    }
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  }

  bool RemoveFile(const std::string& path) override {
    return DeleteFileA(path.c_str()) != 0 || ErrnoFromLastError();
  }

  // Write-through: the call returns only once the move is on the disk, so a
  // crash right after it leaves either the old or the new file, never none.
  bool ReplaceFile(const std::string& from, const std::string& to) override {
    return MoveFileExA(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0 ||
           ErrnoFromLastError();
  }

  // The C library opens files without FILE_SHARE_DELETE: a file open anywhere
  // cannot be moved over.
  bool ReplacesOpenFiles() const override { return false; }

  bool SameFileSystem(const std::string& a, const std::string& b) override {
    std::optional<DWORD> volumeA = VolumeOf(a);
    std::optional<DWORD> volumeB = VolumeOf(b);
    return volumeA && volumeB && *volumeA == *volumeB;
  }

  uint32_t LogicalDrives() override { return GetLogicalDrives(); }

  // Asking an empty floppy or card drive for its volume would otherwise open
  // a "no disk" box and hold a scheduled run until someone clicks it.
  std::optional<DriveInfo> Drive(char letter) override {
    UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    std::optional<DriveInfo> drive = ReadDrive(std::string(1, letter) + ":\\");
    SetErrorMode(oldMode);
    return drive;
  }

  LockAttempt TryLock(const std::string& path) override {
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return LockAttempt{};
    std::string key = LockKey(path);
    if (heldLocks_.count(key) != 0) return LockAttempt{LockOutcome::kBusy, nullptr};
    HANDLE mutex = CreateMutexA(nullptr, FALSE, MutexName(key).c_str());
    // Another user's run made the mutex and keeps it from us.
    if (mutex == nullptr) {
      bool busy = GetLastError() == ERROR_ACCESS_DENIED;
      return LockAttempt{busy ? LockOutcome::kBusy : LockOutcome::kNotLockable, nullptr};
    }
    DWORD waited = WaitForSingleObject(mutex, 0);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
      CloseHandle(mutex);
      return LockAttempt{LockOutcome::kBusy, nullptr};
    }
    heldLocks_.insert(key);
    return LockAttempt{LockOutcome::kHeld, std::make_unique<MutexLock>(mutex, heldLocks_, key)};
  }

  uint32_t ProcessId() const override { return GetCurrentProcessId(); }

  // A process that cannot be opened for want of rights is there all the same.
  bool OutputIsTerminal() const override {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
  }

  bool ProcessRunning(uint32_t id) override {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    if (process == nullptr) return GetLastError() != ERROR_INVALID_PARAMETER;
    DWORD code = 0;
    bool running = !GetExitCodeProcess(process, &code) || code == STILL_ACTIVE;
    CloseHandle(process);
    return running;
  }

  std::optional<std::vector<std::string>> FilesIn(const std::string& dir) override {
    std::string prefix = dir.empty() || dir.back() == '\\' || dir.back() == '/' ? dir : dir + "\\";
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((prefix + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return std::nullopt;
    std::vector<std::string> names;
    do {
      DWORD skipped = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
      if ((found.dwFileAttributes & skipped) == 0) names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
  }

  // Who may use a file is its access list; a new file gets its folder's, so
  // the original's list is copied. The owner stays the run's user: giving a
  // file away takes a privilege, and the list is what lets the mailer in.
  AccessKept CopyAccess(const std::string& original, const std::string& copy) override {
    DWORD needed = 0;
    GetFileSecurityA(original.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &needed);
    if (needed == 0) return AccessKept::kNothing;
    std::vector<char> descriptor(needed);
    if (!GetFileSecurityA(original.c_str(), DACL_SECURITY_INFORMATION, descriptor.data(), needed,
                          &needed) ||
        !SetFileSecurityA(copy.c_str(), DACL_SECURITY_INFORMATION, descriptor.data())) {
      return AccessKept::kNothing;
    }
    return AccessKept::kAll;
  }

 private:
  static std::optional<DriveInfo> ReadDrive(const std::string& root) {
    char label[MAX_PATH + 1] = {};
    char fileSystem[MAX_PATH + 1] = {};
    bool known = GetVolumeInformationA(root.c_str(), label, sizeof(label), nullptr, nullptr,
                                       nullptr, fileSystem, sizeof(fileSystem)) != 0;
    DriveInfo drive;
    drive.kind = KindOfDrive(known ? std::optional<std::string_view>(fileSystem) : std::nullopt,
                             TypeOfDrive(root));
    if (drive.kind != DriveKind::kListed) return drive;
    if (known) drive.label = label;
    ULARGE_INTEGER available{}, total{};
    if (!GetDiskFreeSpaceExA(root.c_str(), &available, &total, nullptr)) return std::nullopt;
    drive.totalBytes = total.QuadPart;
    drive.freeBytes = available.QuadPart;
    return drive;
  }

  LocalSystemClock clock_;
  // A mutex is re-entrant for its owner; a second lock of this process on the
  // same path must be refused as another process's would be.
  std::set<std::string> heldLocks_;
};

}  // namespace

Platform& NativePlatform() {
  static WindowsPlatform platform;
  return platform;
}

}  // namespace zentrak
