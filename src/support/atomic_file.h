// The one way this program replaces a file: write a temporary file beside it
// completely, force it to the disk, then rename it over the original in one
// step. Until that rename the original keeps its old content, so a full disk,
// a failed sync or a crash at any point leaves either the old file or the new
// one, never half of one; a failed or abandoned copy leaves no temporary file.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace zentrak {

class AtomicFile {
 public:
  /// Starts the copy that is to replace `path`, under this process's own
  /// temporary name beside it unless one is given; IsOpen() tells whether it
  /// could be created.
  AtomicFile(Platform& platform, std::string path, FileMode mode = FileMode::kWrite,
             std::string temporaryPath = {});
  /// Abandons the copy unless it was committed.
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  bool IsOpen() const { return file_ != nullptr; }
  const std::string& TemporaryPath() const { return temporaryPath_; }
  /// The copy, for readers and writers that take a file.
  File& file() { return *file_; }

  /// Writes to the copy; a failure is remembered and fails the commit. False
  /// once anything written so far was lost.
  bool Write(std::string_view bytes);
  /// Hands the buffered bytes to the system; false once anything was lost.
  bool Flush();
  /// Forces what was written so far to the disk; false once anything was lost.
  bool Sync();
  /// Marks the copy as failed (a caller's own write went wrong, for the reason
  /// `error` when known); Commit will refuse.
  void MarkFailed(int error = 0);

  /// Forces the copy to the disk, closes it and renames it over the original.
  /// On any failure the original stays as it was and the copy is removed.
  /// `beforeReplace` sees the closed, complete copy just before the rename.
  bool Commit(const std::function<void(const std::string& copy)>& beforeReplace = {});
  /// Closes and removes the copy; the original stays as it was.
  void Abandon();
  /// True when a failed copy could not be removed and is still on the disk.
  bool LeftBehind() const { return leftBehind_; }
  /// The system's error number of the first step that failed, 0 while none has.
  int Error() const { return error_; }

 private:
  void Discard();
  void Fail();

  Platform& platform_;
  std::string path_;
  std::string temporaryPath_;
  std::unique_ptr<File> file_;
  bool failed_ = false;
  bool done_ = false;
  bool leftBehind_ = false;
  int error_ = 0;
};

}  // namespace zentrak
