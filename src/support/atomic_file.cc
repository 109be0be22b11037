// Write, sync, close, rename; on any failure, clean up.
#include "support/atomic_file.h"

#include <cerrno>
#include <utility>

#include "support/temporary_path.h"

namespace zentrak {

AtomicFile::AtomicFile(Platform& platform, std::string path, FileMode mode,
                       std::string temporaryPath)
    : platform_(platform),
      path_(std::move(path)),
      temporaryPath_(temporaryPath.empty() ? TemporaryPathFor(path_, platform)
                                           : std::move(temporaryPath)) {
  errno = 0;
  file_ = platform_.OpenFile(temporaryPath_, mode);
  done_ = file_ == nullptr;
  if (done_) error_ = ErrnoOr(EIO);
}

AtomicFile::~AtomicFile() {
  if (!done_) Abandon();
}

// Only the first failure's reason is kept: later steps fail because of it.
void AtomicFile::Fail() {
  if (!failed_ && error_ == 0) error_ = ErrnoOr(EIO);
  failed_ = true;
}

void AtomicFile::MarkFailed(int error) {
  if (!failed_ && error_ == 0 && error != 0) error_ = error;
  Fail();
}

bool AtomicFile::Write(std::string_view bytes) {
  errno = 0;
  if (file_ == nullptr || !file_->Write(bytes)) Fail();
  return !failed_;
}

bool AtomicFile::Flush() {
  errno = 0;
  if (file_ == nullptr || !file_->Flush()) Fail();
  return !failed_;
}

bool AtomicFile::Sync() {
  errno = 0;
  if (file_ == nullptr || (!failed_ && !file_->Sync())) Fail();
  return !failed_;
}

bool AtomicFile::Commit(const std::function<void(const std::string& copy)>& beforeReplace) {
  if (done_) return false;
  errno = 0;
  if (!failed_ && !file_->Sync()) Fail();
  // Closed before the rename: some systems refuse to move a file that is open.
  errno = 0;
  if (!file_->Close()) Fail();
  file_.reset();
  if (!failed_ && beforeReplace) beforeReplace(temporaryPath_);
  errno = 0;
  if (!failed_ && platform_.ReplaceFile(temporaryPath_, path_)) {
    done_ = true;
    return true;
  }
  if (!failed_) Fail();
  Discard();
  return false;
}

void AtomicFile::Abandon() {
  if (done_) return;
  if (file_ != nullptr) file_->Close();
  file_.reset();
  Discard();
}

void AtomicFile::Discard() {
  done_ = true;
  leftBehind_ = platform_.FileExists(temporaryPath_) && !platform_.RemoveFile(temporaryPath_);
}

}  // namespace zentrak
