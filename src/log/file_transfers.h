// The file transfers of the log's sessions, kept compactly for the files
// report: one small record per file, names interned, the rare resume offsets
// and abort positions beside them, and the files of each session together.
#pragma once

#include <algorithm>
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

/// One file transfer, packed into two words: a bench log holds millions. Times
/// are seconds of the day of their lines, -1 when unknown. A size too large for
/// the record is kept in FileTransfers::largeSizes; FileTransfers::Size reads
/// either.
class TFileTransfer {
 public:
  static constexpr uint16_t kNoCps = 0x3fff;  // the mailer gave no figure
  static constexpr int64_t kLargestInlineSize = (int64_t{1} << 43) - 2;

  uint32_t Name() const { return static_cast<uint32_t>(Get(low_, kNameShift, 32)); }
  void SetName(uint32_t name) { Put(low_, kNameShift, 32, name); }
  int32_t StartTime() const { return TimeOf(Get(low_, kStartShift, kTimeBits)); }
  void SetStartTime(int32_t time) { Put(low_, kStartShift, kTimeBits, Stored(time)); }
  int32_t EndTime() const { return TimeOf(Get(high_, kEndShift, kTimeBits)); }
  void SetEndTime(int32_t time) { Put(high_, kEndShift, kTimeBits, Stored(time)); }
  /// The mailer's figure from the end line, at most 9999, or kNoCps.
  uint16_t Cps() const { return static_cast<uint16_t>(Get(low_, kCpsShift, kCpsBits)); }
  void SetCps(uint16_t cps) { Put(low_, kCpsShift, kCpsBits, cps); }
  bool Received() const { return Get(low_, kReceivedShift, 1) != 0; }
  void SetReceived(bool received) { Put(low_, kReceivedShift, 1, received); }
  FileOutcome Outcome() const { return static_cast<FileOutcome>(Get(high_, kOutcomeShift, 3)); }
  void SetOutcome(FileOutcome outcome) {
    Put(high_, kOutcomeShift, 3, static_cast<uint64_t>(outcome));
  }
  /// Has a record in FileTransfers::partials.
  bool Partial() const { return Get(high_, kPartialShift, 1) != 0; }
  void SetPartial(bool partial) { Put(high_, kPartialShift, 1, partial); }
  /// The size, unless LargeSize.
  int64_t InlineSize() const { return static_cast<int64_t>(Get(high_, kSizeShift, kSizeBits)); }
  bool LargeSize() const { return InlineSize() > kLargestInlineSize; }
  /// Sizes above kLargestInlineSize only mark the record as LargeSize; a
  /// negative one, which no log line gives, counts as 0.
  void SetInlineSize(int64_t size) {
    Put(high_, kSizeShift, kSizeBits,
        static_cast<uint64_t>(std::clamp<int64_t>(size, 0, kLargestInlineSize + 1)));
  }

 private:
  static constexpr int kTimeBits = 17;  // a second of the day plus one, 0 for none
  static constexpr int kCpsBits = 14;
  static constexpr int kSizeBits = 43;
  // low_: name, start time, cps, direction.
  static constexpr int kNameShift = 0;
  static constexpr int kStartShift = 32;
  static constexpr int kCpsShift = kStartShift + kTimeBits;
  static constexpr int kReceivedShift = kCpsShift + kCpsBits;
  // high_: end time, outcome, partial, size.
  static constexpr int kEndShift = 0;
  static constexpr int kOutcomeShift = kEndShift + kTimeBits;
  static constexpr int kPartialShift = kOutcomeShift + 3;
  static constexpr int kSizeShift = kPartialShift + 1;
  static_assert(kReceivedShift < 64 && kSizeShift + kSizeBits == 64);

  static uint64_t Get(uint64_t word, int shift, int bits) {
    return word >> shift & ((uint64_t{1} << bits) - 1);
  }
  static void Put(uint64_t& word, int shift, int bits, uint64_t value) {
    uint64_t mask = ((uint64_t{1} << bits) - 1) << shift;
    word = (word & ~mask) | (value << shift & mask);
  }
  // A time outside the day cannot come from a log line; it is kept as unknown.
  static uint64_t Stored(int32_t time) {
    return time >= 0 && time < 86400 ? static_cast<uint64_t>(time) + 1 : 0;
  }
  static int32_t TimeOf(uint64_t stored) { return static_cast<int32_t>(stored) - 1; }

  uint64_t low_ = uint64_t{kNoCps} << kCpsShift;
  uint64_t high_ = 0;
};

/// A resume offset or abort position; most files have neither.
struct TFilePartial {
  uint32_t file = 0;
  int64_t resumeOffset = 0;
  int64_t abortPosition = 0;
};

/// The size of a file too large for its record.
struct TFileSize {
  uint32_t file = 0;
  int64_t size = 0;
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
  std::vector<TFileSize> largeSizes;   // ascending by file
  std::vector<TFileRun> runs;          // ascending by session and by first file
  NamePool names;

  /// Appends a file of `size` bytes and returns its index.
  uint32_t Add(TFileTransfer record, int64_t size);
  /// The full size the file's start line announced.
  int64_t Size(uint32_t file) const;

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
