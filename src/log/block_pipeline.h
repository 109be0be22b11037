// The two-thread parse every log reader uses: any thread reads and classifies
// the next block of lines, and the calling thread gives the classified blocks
// to the reader's rules strictly in log order, so the result does not depend
// on the number of threads.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "console/console_log.h"
#include "console/run_stop.h"
#include "log/log_blocks.h"
#include "support/line_reader.h"

namespace zentrak {

// A block this big keeps a thread busy for about half a millisecond between two
// turns at the shared reader, and the few in flight stay in the cache: 1 MiB
// blocks were measured some 8 % slower.
constexpr size_t kLogBlockSize = size_t{256} << 10;

// The blocks between the reader, the threads that classify them and the rules.
// Any thread reads and classifies the next block; the calling thread also gives
// the classified blocks to the rules, strictly in log order, and classifies
// when the next block in order is not ready yet.
/// `Parser` gives `Classifier()`, a classifier for one thread whose
/// `Classify(const LogBlock&, Block&)` fills a `Parser::Block`, and takes the
/// blocks through `Apply(const Block&)` and the first line through `FirstLine`.
template <typename Parser>
class BlockPipeline {
 public:
  using Block = typename Parser::Block;
  using Classifier = decltype(std::declval<const Parser&>().Classifier());

  BlockPipeline(LogBlockReader& reader, Parser& parser, int threads)
      : reader_(reader), parser_(parser), threads_(std::max(threads, 1)) {
    slots_.resize(static_cast<size_t>(2 * threads_ + 1));
  }

  void Run() {
    std::vector<std::thread> helpers;
    helpers.reserve(static_cast<size_t>(threads_));
    // However the loop below ends, no helper outlives it.
    struct Join {
      BlockPipeline& pipeline;
      std::vector<std::thread>& helpers;
      ~Join() {
        {
          std::lock_guard<std::mutex> lock(pipeline.mutex_);
          pipeline.stop_ = true;
        }
        pipeline.changed_.notify_all();
        for (std::thread& helper : helpers) helper.join();
      }
    } join{*this, helpers};
    // A system that refuses another thread gets the work done by fewer.
    try {
      for (int k = 1; k < threads_; ++k) helpers.emplace_back([this] { Help(); });
    } catch (const std::system_error&) {
    }
    Classifier classifier = parser_.Classifier();
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      if (failure_) std::rethrow_exception(failure_);
      if (Slot* next = Ready()) {
        lock.unlock();
        if (applied_ == 0 && reader_.FirstLine().present) {
          parser_.FirstLine(next->block.Bytes(), reader_.FirstLine());
        }
        parser_.Apply(next->classified);
        lock.lock();
        next->state = Slot::kFree;
        ++applied_;
        changed_.notify_all();
        continue;
      }
      if (inputDone_ && applied_ == taken_) return;
      if (!ClassifyNext(lock, classifier)) changed_.wait(lock);
    }
  }

 private:
  struct Slot {
    LogBlock block;
    Block classified;
    uint64_t sequence = 0;
    enum State { kFree, kBusy, kDone } state = kFree;
  };

  // The block the rules take next, when it is classified.
  Slot* Ready() {
    for (Slot& slot : slots_) {
      if (slot.state == Slot::kDone && slot.sequence == applied_) return &slot;
    }
    return nullptr;
  }

  // Reads and classifies one block; false when there is none to take now.
  // Called and returning with `lock` held.
  bool ClassifyNext(std::unique_lock<std::mutex>& lock, Classifier& classifier) {
    if (inputDone_ || stop_) return false;
    auto free = std::find_if(slots_.begin(), slots_.end(),
                             [](const Slot& slot) { return slot.state == Slot::kFree; });
    if (free == slots_.end()) return false;
    Slot& slot = *free;
    slot.state = Slot::kBusy;
    lock.unlock();
    bool read;
    {
      // The reader goes through the log in order: the block's number is its turn.
      std::lock_guard<std::mutex> reading(readMutex_);
      read = reader_.Next(slot.block);
      lock.lock();
      if (read) slot.sequence = taken_++;
      if (!read) inputDone_ = true;
      lock.unlock();
    }
    if (read) classifier.Classify(slot.block, slot.classified);
    lock.lock();
    slot.state = read ? Slot::kDone : Slot::kFree;
    changed_.notify_all();
    return true;
  }

  void Help() {
    try {
      Classifier classifier = parser_.Classifier();
      std::unique_lock<std::mutex> lock(mutex_);
      while (!stop_ && !inputDone_) {
        if (!ClassifyNext(lock, classifier)) changed_.wait(lock);
      }
    } catch (...) {
      std::lock_guard<std::mutex> lock(mutex_);
      failure_ = std::current_exception();
      stop_ = true;
      changed_.notify_all();
    }
  }

  LogBlockReader& reader_;
  Parser& parser_;
  int threads_;
  std::vector<Slot> slots_;
  std::mutex mutex_;  // the slots and the counts below
  std::mutex readMutex_;
  std::condition_variable changed_;
  uint64_t taken_ = 0;    // blocks read so far
  uint64_t applied_ = 0;  // blocks the rules have had
  bool inputDone_ = false;
  bool stop_ = false;
  std::exception_ptr failure_;
};

/// Gives `parser` the lines of `reader` one by one, as the blocks would:
/// `FirstLine` with the first line that is not empty (empty lines before it
/// tell nothing of the file's text), `Line` with each line and whether it is
/// the log's last without a line end. The entry for tests and fuzzing.
template <typename Parser>
void FeedLines(LineReader& reader, Parser& parser, size_t maxLength = kMaxLineLength) {
  std::string_view line;
  bool first = true;
  while (reader.Next(line, maxLength)) {
    bool blank = line.find_first_not_of(std::string_view("\0\r", 2)) == std::string_view::npos;
    if (first && (!blank || reader.LastLineUnterminated())) {
      parser.FirstLine(
          line,
          FirstLineFacts{
              true, reader.LastLineUnterminated(), reader.LineEnd() - reader.LineStart(), {}});
      first = false;
    }
    parser.Line(line, reader.LastLineUnterminated());
  }
}

/// Ends the run when the log could not be read to its end: reports of half a
/// log would publish wrong figures over right ones.
inline void StopOnReadError(const LogBlockReader& reader, const std::string& log,
                            Console& console) {
  reader.ReportEnd(console);
  if (int error = reader.ReadError()) {
    console.ConsoleLog(kError, " Unable to read %s (%s)", {"log file", log});
    console.Reason(error);
    StopRun(1);
  }
}

}  // namespace zentrak
