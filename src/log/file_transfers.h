// The file transfers of the log's sessions, kept compactly for the files
// report: one small record per file, names interned, the rare resume offsets
// and abort positions beside them, and the files of each session together.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "config/recognition_texts.h"
#include "log/file_lines.h"
#include "support/name_pool.h"

namespace zentrak {

/// How a file transfer ended.
enum class FileOutcome : uint8_t {
  kOpen,      // no end seen yet
  kComplete,  // the received or sent line came
  kAborted,   // an abort line, or the session (or the next file) came first
  kSkipped,
  kRefused,
  kDelayed,
};

/// One file transfer. Times are seconds of the day of their lines.
struct TFileTransfer {
  uint32_t name = 0;  // in FileTransfers::names
  int32_t startTime = -1;
  int32_t endTime = -1;
  uint16_t cps = kNoCps;  // the mailer's figure from the end line, at most 9999
  FileOutcome outcome = FileOutcome::kOpen;
  bool received : 1 = false;
  bool partial : 1 = false;  // has a record in FileTransfers::partials
  int64_t size = 0;          // the full size the start line announced

  static constexpr uint16_t kNoCps = 0xffff;
};

/// A resume offset or abort position; most files have neither.
struct TFilePartial {
  uint32_t file = 0;
  int64_t resumeOffset = 0;
  int64_t abortPosition = 0;
};

/// The files of one session: files [first, next run's first).
struct TFileRun {
  uint32_t session = 0;
  uint32_t first = 0;
};

/// Every file transfer of the period that belongs to a session.
struct FileTransfers {
  std::vector<TFileTransfer> files;    // in the order their start lines came
  std::vector<TFilePartial> partials;  // ascending by file
  std::vector<TFileRun> runs;          // ascending by session and by first file
  NamePool names;

  /// The partial record of a file, or none.
  const TFilePartial* Partial(uint32_t file) const;
  /// Files [first, end) of run `k`.
  uint32_t RunEnd(size_t k) const;
};

struct TSession;

/// Gathers the file transfers while the parser reads the log. A file belongs to
/// the session that is open (opened and not yet ended) when its lines come;
/// lines outside an open session are dropped, and so are the files of a session
/// that is dropped itself (never ended, or its address excluded).
class FileCollector {
 public:
  /// `sessions` is the parser's session list; its last entry is the current session.
  FileCollector(const RecognitionTexts& texts, FileTransfers& store,
                const std::vector<TSession>& sessions);

  /// The texts the caller may search every line for, for the `tails` of Line.
  std::vector<std::string> TailTexts() const { return recogniser_.TailTexts(); }
  /// A line of the period, after the session rules have read it; `tails` as
  /// for FileLineRecogniser::Recognise.
  void Line(std::string_view line, int32_t time, uint32_t tails = FileLineRecogniser::kAllTails);
  /// The parser is about to open a session: in place of the current one when
  /// `reused` (it never ended), else after it.
  void SessionOpening(bool reused);
  /// The current session was cleared (its address is excluded).
  void SessionCleared();
  /// The log ended; `unfinished` when the current session never ended.
  void Finish(bool unfinished);

 private:
  int64_t Addressed(std::string_view message) const;
  void Close(int64_t file, int32_t time, FileOutcome outcome);
  void CloseOpen(int32_t time);
  void DropCurrent();
  TFilePartial& PartialOf(uint32_t file);

  FileLineRecogniser recogniser_;
  FileTransfers& store_;
  const std::vector<TSession>& sessions_;
  uint32_t currentFirst_ = 0;  // the current session's first file
  bool currentHasRun_ = false;
  int64_t open_[2] = {-1, -1};  // open file of each direction: [0] received, [1] sent
};

}  // namespace zentrak
