// Collecting file transfers: a start line opens a file of its direction, the
// lines after it (resume, end, abort, the outcomes) act on the open file.
#include "log/file_transfers.h"

#include <algorithm>

#include "log/session_model.h"

namespace zentrak {
namespace {

constexpr size_t kMessageColumn = 23;  // the message text starts in column 24
constexpr int kReceivedSide = 0;
constexpr int kSentSide = 1;

int SideOf(bool received) { return received ? kReceivedSide : kSentSide; }

}  // namespace

uint32_t FileTransfers::Add(TFileTransfer record, int64_t size) {
  auto file = static_cast<uint32_t>(files.size());
  record.SetInlineSize(size);
  if (record.LargeSize()) largeSizes.push_back(TFileSize{file, size});
  files.push_back(record);
  return file;
}

int64_t FileTransfers::Size(uint32_t file) const {
  if (!files[file].LargeSize()) return files[file].InlineSize();
  auto at = std::lower_bound(largeSizes.begin(), largeSizes.end(), file,
                             [](const TFileSize& s, uint32_t f) { return s.file < f; });
  return at != largeSizes.end() && at->file == file ? at->size : 0;
}

const TFilePartial* FileTransfers::Partial(uint32_t file) const {
  if (!files[file].Partial()) return nullptr;
  auto at = std::lower_bound(partials.begin(), partials.end(), file,
                             [](const TFilePartial& p, uint32_t f) { return p.file < f; });
  return at != partials.end() && at->file == file ? &*at : nullptr;
}

uint32_t FileTransfers::RunEnd(size_t k) const {
  return k + 1 < runs.size() ? runs[k + 1].first : static_cast<uint32_t>(files.size());
}

FileCollector::FileCollector(const RecognitionTexts& texts, FileTransfers& store,
                             const std::vector<TSession>& sessions)
    : recogniser_(texts), store_(store), sessions_(sessions) {}

void FileCollector::Line(std::string_view line, int32_t time, uint32_t tails) {
  if (sessions_.empty()) return;
  const TSession& session = sessions_.back();
  if (session.StartDay == kDayNotSeen || session.EndDay != kDayNotSeen) return;
  std::string_view message = line.substr(std::min(kMessageColumn, line.size()));
  FileLine file = recogniser_.Recognise(message, tails);
  switch (file.kind) {
    case FileLineKind::kNone:
    case FileLineKind::kRenamed:  // the report lists the name the remote system sent
      return;
    case FileLineKind::kReceiveStart:
    case FileLineKind::kSendStart: {
      bool received = file.kind == FileLineKind::kReceiveStart;
      int side = SideOf(received);
      // A new file of the same direction: the previous one never finished.
      if (open_[side] >= 0) Close(open_[side], time, FileOutcome::kAborted);
      if (!currentHasRun_) {
        store_.runs.push_back(TFileRun{static_cast<uint32_t>(sessions_.size() - 1), currentFirst_});
        currentHasRun_ = true;
      }
      TFileTransfer record;
      record.SetName(store_.names.Intern(file.name));
      record.SetStartTime(time);
      record.SetReceived(received);
      open_[side] = store_.Add(record, std::max<int64_t>(file.number, 0));
      return;
    }
    case FileLineKind::kReceived:
    case FileLineKind::kSent: {
      int side = SideOf(file.kind == FileLineKind::kReceived);
      if (open_[side] < 0) return;
      if (file.number >= 0) {
        store_.files[open_[side]].SetCps(
            static_cast<uint16_t>(std::min<int64_t>(file.number, 9999)));
      }
      Close(open_[side], time, FileOutcome::kComplete);
      return;
    }
    case FileLineKind::kSkippedByUs:
      return Close(open_[kReceivedSide], time, FileOutcome::kSkipped);
    case FileLineKind::kRefusedByUs:
      return Close(open_[kReceivedSide], time, FileOutcome::kRefused);
    case FileLineKind::kSkippedByRemote:
      return Close(open_[kSentSide], time, FileOutcome::kSkipped);
    case FileLineKind::kRefusedByRemote:
      return Close(open_[kSentSide], time, FileOutcome::kRefused);
    case FileLineKind::kDelayedByRemote:
      return Close(open_[kSentSide], time, FileOutcome::kDelayed);
    case FileLineKind::kResume: {
      int64_t target = Addressed(message);
      if (target >= 0) PartialOf(static_cast<uint32_t>(target)).resumeOffset = file.number;
      return;
    }
    case FileLineKind::kAbort: {
      int64_t target = Addressed(message);
      if (target < 0) return;
      PartialOf(static_cast<uint32_t>(target)).abortPosition = file.number;
      return Close(target, time, FileOutcome::kAborted);
    }
  }
}

// The open file whose name the message begins with (the longer name when both
// do); else the one started last.
int64_t FileCollector::Addressed(std::string_view message) const {
  int64_t best = -1;
  size_t bestLength = 0;
  for (int64_t file : open_) {
    if (file < 0) continue;
    std::string_view name = store_.names.Text(store_.files[file].Name());
    if (!message.starts_with(name)) continue;
    if (best < 0 || name.size() > bestLength) {
      best = file;
      bestLength = name.size();
    }
  }
  if (best >= 0) return best;
  return std::max(open_[kReceivedSide], open_[kSentSide]);
}

void FileCollector::Close(int64_t file, int32_t time, FileOutcome outcome) {
  if (file < 0) return;
  TFileTransfer& record = store_.files[file];
  record.SetEndTime(time);
  record.SetOutcome(outcome);
  open_[SideOf(record.Received())] = -1;
}

void FileCollector::CloseOpen(int32_t time) {
  for (int64_t file : open_) Close(file, time, FileOutcome::kAborted);
}

TFilePartial& FileCollector::PartialOf(uint32_t file) {
  store_.files[file].SetPartial(true);
  std::vector<TFilePartial>& partials = store_.partials;
  // Two files may be open at once, so a record may go just before the last one.
  auto at = partials.end();
  while (at != partials.begin() && (at - 1)->file >= file) --at;
  if (at != partials.end() && at->file == file) return *at;
  return *partials.insert(at, TFilePartial{file, 0, 0});
}

void FileCollector::DropCurrent() {
  store_.files.resize(currentFirst_);
  while (!store_.partials.empty() && store_.partials.back().file >= currentFirst_) {
    store_.partials.pop_back();
  }
  while (!store_.largeSizes.empty() && store_.largeSizes.back().file >= currentFirst_) {
    store_.largeSizes.pop_back();
  }
  if (currentHasRun_) store_.runs.pop_back();
  currentHasRun_ = false;
  open_[kReceivedSide] = open_[kSentSide] = -1;
}

void FileCollector::SessionOpening(bool reused) {
  if (reused) {
    DropCurrent();
  } else if (!sessions_.empty()) {
    // The session ended with files still open: they were cut off with it.
    CloseOpen(sessions_.back().EndTime);
  }
  currentFirst_ = static_cast<uint32_t>(store_.files.size());
  currentHasRun_ = false;
}

void FileCollector::SessionCleared() { DropCurrent(); }

void FileCollector::Finish(bool unfinished) {
  store_.names.ForgetRecent();
  if (unfinished) {
    DropCurrent();
  } else if (!sessions_.empty()) {
    CloseOpen(sessions_.back().EndTime);
  }
}

}  // namespace zentrak
