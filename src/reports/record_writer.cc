#include "reports/record_writer.h"

#include <condition_variable>
#include <exception>
#include <memory>
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
// Turns that may be taken ahead of the one going into the report: each is held
// in memory until its place comes.
constexpr size_t kTurnsAhead = 4;

struct Turn {
  size_t begin = 0;
  size_t end = 0;
  bool direct = false;  // too long to hold: this thread writes it in its place
};

std::vector<Turn> TurnsOf(size_t count, const std::function<size_t(size_t)>& records) {
  std::vector<Turn> turns;
  size_t begin = 0;
  while (begin < count) {
    size_t end = begin;
    size_t held = 0;
    while (end < count && held < kTurnRecords) {
      held += records ? records(end) : 1;
      ++end;
    }
    turns.push_back(Turn{begin, end, held > kLongestHeldTurn});
    begin = end;
  }
  return turns;
}

// Whether any unit of the turn did something.
bool WriteTurn(TemplateEngine& engine, ReportState& report, const Turn& turn,
               const UnitWriter& write) {
  bool acted = false;
  for (size_t i = turn.begin; i < turn.end; ++i) acted = write(engine, report, i) || acted;
  return acted;
}

void Announce(const Turn& turn, const UnitAnnouncer& announce) {
  if (!announce) return;
  for (size_t i = turn.begin; i < turn.end; ++i) announce(i);
}

// One thread's copy of the engine and of the record state, writing turns
// into memory.
struct Writer {
  explicit Writer(ReportContext& ctx) : state(ctx.report), engine(ctx.engine.BodyCopy(state)) {}
  ReportState state;
  std::unique_ptr<TemplateEngine> engine;
};

// Both threads take the turns in order, whichever is free first, and write
// them into memory; this thread also puts each into the report when its place
// comes. Putting a turn out costs this thread time the other spends writing,
// so a fixed share would leave one of them waiting on some report or machine.
class TurnPool {
 public:
  TurnPool(ReportContext& ctx, const std::vector<Turn>& turns, const UnitWriter& write,
           const UnitAnnouncer& announce)
      : ctx_(ctx),
        turns_(turns),
        write_(write),
        announce_(announce),
        own_(ctx),
        second_(ctx),
        done_(turns.size()) {}

  ~TurnPool() { StopSecond(); }

  void Start() {
    thread_ = std::thread([this] { RunSecond(); });
  }

  /// Puts every turn into the report in order, writing turns itself while the
  /// next one's place has not come; rethrows what stopped the second thread.
  void Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (out_ < turns_.size()) {
      Done& next = done_[out_];
      if (next.ready) {
        std::string bytes;
        bytes.swap(next.bytes);
        lock.unlock();
        Announce(turns_[out_], announce_);
        ctx_.engine.PutWritten(bytes, next.valueWritten);
        bytes.clear();
        lock.lock();
        spare_.push_back(std::move(bytes));
        Advance();
      } else if (claimed_ == out_ && turns_[out_].direct) {
        ++claimed_;
        lock.unlock();
        Announce(turns_[out_], announce_);
        bool acted = WriteTurn(ctx_.engine, ctx_.report, turns_[out_], write_);
        lock.lock();
        done_[out_].acted = acted;
        Advance();
      } else if (MayClaim()) {
        WriteClaimed(own_, lock);
      } else {
        changed_.wait(lock, [this] { return done_[out_].ready || failure_ || MayClaim(); });
        if (failure_ && !done_[out_].ready) std::rethrow_exception(failure_);
      }
    }
  }

  /// Leaves the engine's macros and the record state as the last unit that did
  /// something left them, as one thread would.
  void KeepLastState() {
    StopSecond();
    for (size_t t = done_.size(); t-- > 0;) {
      if (!done_[t].acted) continue;
      const Writer* last = done_[t].by;
      if (last == nullptr) return;  // written in its place, by this thread
      ctx_.report = last->state;
      ctx_.engine.TakeValuesOf(*last->engine);
      return;
    }
  }

 private:
  struct Done {
    bool ready = false;
    bool acted = false;
    bool valueWritten = false;
    std::string bytes;
    const Writer* by = nullptr;
  };

  void StopSecond() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
  }

  // Under the lock.
  bool MayClaim() const {
    return claimed_ < turns_.size() && claimed_ < out_ + kTurnsAhead && !turns_[claimed_].direct;
  }

  // Under the lock.
  void Advance() {
    ++out_;
    changed_.notify_all();
  }

  // Takes the next turn and writes it into memory; called and left under the lock.
  void WriteClaimed(Writer& writer, std::unique_lock<std::mutex>& lock) {
    size_t index = claimed_++;
    std::string buffer;
    if (!spare_.empty()) {
      buffer.swap(spare_.back());
      spare_.pop_back();
    }
    lock.unlock();
    bool acted = WriteTurn(*writer.engine, writer.state, turns_[index], write_);
    writer.engine->TakeWritten(buffer);
    bool valueWritten = writer.engine->ValueWritten();
    lock.lock();
    Done& done = done_[index];
    done.bytes.swap(buffer);
    done.valueWritten = valueWritten;
    done.acted = acted;
    done.by = &writer;
    done.ready = true;
    changed_.notify_all();
  }

  void RunSecond() {
    try {
      std::unique_lock<std::mutex> lock(mutex_);
      while (true) {
        changed_.wait(lock, [this] { return stop_ || claimed_ >= turns_.size() || MayClaim(); });
        if (stop_ || claimed_ >= turns_.size()) return;
        WriteClaimed(second_, lock);
      }
    } catch (...) {
      std::lock_guard<std::mutex> lock(mutex_);
      failure_ = std::current_exception();
      changed_.notify_all();
    }
  }

  ReportContext& ctx_;
  const std::vector<Turn>& turns_;
  const UnitWriter& write_;
  const UnitAnnouncer& announce_;
  Writer own_;
  Writer second_;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Done> done_;
  std::vector<std::string> spare_;
  std::exception_ptr failure_;
  size_t claimed_ = 0;  // turns taken by either thread
  size_t out_ = 0;      // turns in the report
  bool stop_ = false;
};

}  // namespace

void WriteUnits(ReportContext& ctx, size_t count, const UnitWriter& write,
                const std::function<size_t(size_t index)>& records, const UnitAnnouncer& announce,
                int threads) {
  std::vector<Turn> turns = TurnsOf(count, records);
  if (threads >= 2 && turns.size() >= 2) {
    TurnPool pool(ctx, turns, write, announce);
    bool started = true;
    try {
      pool.Start();
    } catch (const std::system_error&) {
      started = false;  // a system that refuses the thread gets the report from this one
    }
    if (started) {
      pool.Run();
      pool.KeepLastState();
      return;
    }
  }
  for (const Turn& turn : turns) {
    Announce(turn, announce);
    WriteTurn(ctx.engine, ctx.report, turn, write);
  }
}

}  // namespace zentrak
