// Write, sync, close, rename; on any failure, clean up.
#include "support/atomic_file.h"

#include <utility>

namespace zentrak {

AtomicFile::AtomicFile(Platform& platform, std::string path, FileMode mode,
                       std::string temporaryPath)
    : platform_(platform),
      path_(std::move(path)),
      temporaryPath_(temporaryPath.empty() ? path_ + ".$$$" : std::move(temporaryPath)) {
  file_ = platform_.OpenFile(temporaryPath_, mode);
  done_ = file_ == nullptr;
}

AtomicFile::~AtomicFile() {
  if (!done_) Abandon();
}

bool AtomicFile::Write(std::string_view bytes) {
  if (file_ == nullptr || !file_->Write(bytes)) failed_ = true;
  return !failed_;
}

bool AtomicFile::Flush() {
  if (file_ == nullptr || !file_->Flush()) failed_ = true;
  return !failed_;
}

bool AtomicFile::Commit() {
  if (done_) return false;
  bool written = !failed_ && file_->Sync();
  // Closed before the rename: some systems refuse to move a file that is open.
  written = file_->Close() && written;
  file_.reset();
  if (written && platform_.ReplaceFile(temporaryPath_, path_)) {
    done_ = true;
    return true;
  }
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
