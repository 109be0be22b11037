#include "reports/record_writer.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace zentrak {
namespace {

// About 80 KiB of report a turn for the usual templates: big enough that the
// threads seldom wait for each other, small enough to stay in the cache.
constexpr size_t kTurnRecords = 1024;
// A longer turn (a unit with that many records) is written by the calling
// thread alone rather than held in memory: two such would cost megabytes.
constexpr size_t kLongestHeldTurn = 16 * kTurnRecords;
// Written turns that may wait for their place at once.
constexpr size_t kTurnsWaiting = 2;

struct Turn {
  size_t begin = 0;
  size_t end = 0;
  bool second = false;  // written by the second thread
};

std::vector<Turn> TurnsOf(size_t count, const std::function<size_t(size_t)>& records) {
  std::vector<Turn> turns;
  // Each turn goes to the thread with less work so far, as units differ in size.
  size_t ownLoad = 0;
  size_t secondLoad = 0;
  size_t begin = 0;
  while (begin < count) {
    size_t end = begin;
    size_t held = 0;
    while (end < count && held < kTurnRecords) {
      held += records ? records(end) : 1;
      ++end;
    }
    Turn turn{begin, end, held <= kLongestHeldTurn && secondLoad < ownLoad};
    (turn.second ? secondLoad : ownLoad) += held;
    turns.push_back(turn);
    begin = end;
  }
  return turns;
}

void WriteTurn(TemplateEngine& engine, ReportState& report, const Turn& turn,
               const UnitWriter& write) {
  for (size_t i = turn.begin; i < turn.end; ++i) write(engine, report, i);
}

void Announce(const Turn& turn, const UnitAnnouncer& announce) {
  if (!announce) return;
  for (size_t i = turn.begin; i < turn.end; ++i) announce(i);
}

// The second thread's side: its turns, written in order, wait in `written`.
class SecondWriter {
 public:
  SecondWriter(ReportContext& ctx, const std::vector<Turn>& turns, const UnitWriter& write)
      : turns_(turns), write_(write), state_(ctx.report), engine_(ctx.engine.BodyCopy(state_)) {}

  void Start() {
    thread_ = std::thread([this] { Run(); });
  }

  ~SecondWriter() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
  }

  /// The bytes of the second thread's next turn; rethrows what stopped it.
  void Next(std::string& bytes, bool& valueWritten) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return !written_.empty() || failure_; });
    if (written_.empty()) std::rethrow_exception(failure_);
    bytes.swap(written_.front().bytes);
    valueWritten = written_.front().valueWritten;
    spare_.push_back(std::move(written_.front().bytes));
    written_.pop_front();
    changed_.notify_all();
  }

  /// Waits for the thread to end; the state and engine it left.
  ReportState& Finish(TemplateEngine*& engine) {
    if (thread_.joinable()) thread_.join();
    engine = engine_.get();
    return state_;
  }

 private:
  struct Written {
    std::string bytes;
    bool valueWritten = false;
  };

  void Run() {
    try {
      for (const Turn& turn : turns_) {
        if (!turn.second) continue;
        std::string buffer;
        {
          std::unique_lock<std::mutex> lock(mutex_);
          changed_.wait(lock, [this] { return stop_ || written_.size() < kTurnsWaiting; });
          if (stop_) return;
          if (!spare_.empty()) {
            buffer.swap(spare_.back());
            spare_.pop_back();
          }
        }
        WriteTurn(*engine_, state_, turn, write_);
        buffer.clear();
        engine_->TakeWritten(buffer);
        std::lock_guard<std::mutex> lock(mutex_);
        written_.push_back(Written{std::move(buffer), engine_->ValueWritten()});
        changed_.notify_all();
      }
    } catch (...) {
      std::lock_guard<std::mutex> lock(mutex_);
      failure_ = std::current_exception();
      changed_.notify_all();
    }
  }

  const std::vector<Turn>& turns_;
  const UnitWriter& write_;
  ReportState state_;
  std::unique_ptr<TemplateEngine> engine_;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Written> written_;
  std::vector<std::string> spare_;
  std::exception_ptr failure_;
  bool stop_ = false;
};

}  // namespace

void WriteUnits(ReportContext& ctx, size_t count, const UnitWriter& write,
                const std::function<size_t(size_t index)>& records, const UnitAnnouncer& announce,
                int threads) {
  std::vector<Turn> turns = TurnsOf(count, records);
  auto alone = [&] {
    for (const Turn& turn : turns) {
      Announce(turn, announce);
      WriteTurn(ctx.engine, ctx.report, turn, write);
    }
  };
  if (threads < 2 || turns.size() < 2) {
    alone();
    return;
  }
  SecondWriter second(ctx, turns, write);
  try {
    second.Start();
  } catch (const std::system_error&) {
    alone();  // a system that refuses the thread gets the report from this one
    return;
  }
  std::string bytes;
  for (const Turn& turn : turns) {
    Announce(turn, announce);
    if (!turn.second) {
      WriteTurn(ctx.engine, ctx.report, turn, write);
      continue;
    }
    bool valueWritten = false;
    second.Next(bytes, valueWritten);
    ctx.engine.PutWritten(bytes, valueWritten);
  }
  TemplateEngine* secondEngine = nullptr;
  ReportState& secondState = second.Finish(secondEngine);
  if (turns.back().second) {
    // The footer may read what the last record left: take it from the thread
    // that wrote it.
    ctx.report = secondState;
    ctx.engine.TakeValuesOf(*secondEngine);
  }
}

}  // namespace zentrak
