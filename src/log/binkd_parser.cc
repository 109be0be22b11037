// The binkd reader. A classifying thread reads each line's pid and kind; the
// rules keep one open session per pid and give it to the model at its "done"
// line, so sessions stand in the order they ended, as events do.
#include "log/binkd_parser.h"

#include <algorithm>
#include <memory>
#include <unordered_map>
#include <vector>

#include "console/run_stop.h"
#include "log/block_pipeline.h"
#include "log/line_text.h"
#include "log/line_window.h"
#include "log/nothing_to_do.h"
#include "log/pid_map.h"
#include "log/session_builder.h"
#include "support/text.h"

namespace zentrak {
namespace {

// binkd cuts its message at 1023 bytes; a longer line is two writers' lines
// run together, and its head is all that is read.
constexpr size_t kBinkdLineLength = 1100;
constexpr size_t kPidColumn = 18;  // "[" of "[pid]" is column 19
// A pid silent this long and then back belongs to another process: binkd
// gives up a session after minutes without data.
constexpr int64_t kPidReuseGap = 12 * 3600;
// binkd runs a few hundred sessions at once at the most; more open ones are
// sessions whose process died. They are let go, the longest silent first, so
// that a log of such never holds memory without bound.
constexpr size_t kMaxOpenSessions = 65536;

bool Digit(char c) { return c >= '0' && c <= '9'; }

// "name (" up to the first " (", "name" when there is none.
std::string_view NameBefore(std::string_view text, std::string_view end) {
  size_t at = text.find(end);
  return at == std::string_view::npos ? text : text.substr(0, at);
}

std::string_view LastPathPart(std::string_view path) {
  size_t at = path.find_last_of("/\\");
  return at == std::string_view::npos ? path : path.substr(at + 1);
}

// The number inside "(1234, ..." or "(1234)" or "(567 byte(s), off 0)".
int64_t FirstFigure(std::string_view text) {
  std::optional<std::string_view> rest = After(text, " (");
  return rest ? LeadingDigits(*rest) : 0;
}

BinkdKind KindOf(std::string_view m) {
  if (m.empty()) return BinkdKind::kOther;
  switch (m[0]) {
    case '`':
      if (m.ends_with("': incorrect password")) return BinkdKind::kFailPassword;
      break;
    case 'a':
      if (m.starts_with("addr: ")) return BinkdKind::kAddress;
      if (m.starts_with("already have ")) return BinkdKind::kSkipped;
      break;
    case 'c':
      if (m.starts_with("call to ")) return BinkdKind::kCallTo;
      if (m.starts_with("connection to ") && m.find(" failed") != std::string_view::npos)
        return BinkdKind::kCallFailed;
      break;
    case 'd':
      if (m.starts_with("done (")) return BinkdKind::kDone;
      break;
    case 'g':
      if (m.starts_with("got M_BSY")) return BinkdKind::kFailBusy;
      break;
    case 'i':
      if (m.starts_with("incoming session with ")) return BinkdKind::kSession;
      // With ", aka X dropped" after it, the session goes on without that address.
      if (m == "inconsistent pwd settings for this node") return BinkdKind::kFailPassword;
      break;
    case 'n':
      if (m.starts_with("no AKAs in common domains")) return BinkdKind::kFailBusy;
      break;
    case 'o':
      if (m.starts_with("outgoing session with ")) return BinkdKind::kSession;
      break;
    case 'p':
      if (m.starts_with("pwd protected session")) return BinkdKind::kProtected;
      break;
    case 'r':
      if (m.starts_with("rcvd: ")) return BinkdKind::kReceived;
      if (m.starts_with("receiving of ")) return BinkdKind::kInterrupted;
      if (m.starts_with("receiving ")) return BinkdKind::kReceiving;
      if (m.starts_with("remote already has ")) return BinkdKind::kSkippedByRemote;
      if (m.starts_with("rerror: ")) return BinkdKind::kFailRemoteError;
      if (m.starts_with("recv: ")) return BinkdKind::kFailBrokenOff;
      break;
    case 's':
      if (m.starts_with("sent: ")) return BinkdKind::kSent;
      if (m.starts_with("sending ")) {
        return m.ends_with(")") ? BinkdKind::kSending : BinkdKind::kSendFrom;
      }
      if (m.starts_with("session with ")) return BinkdKind::kSession;
      if (m.starts_with("send: ")) return BinkdKind::kFailBrokenOff;
      if (m.starts_with("skipping ")) {
        return m.find("(destructive") != std::string_view::npos ? BinkdKind::kRefused
                                                                : BinkdKind::kSkipped;
      }
      break;
    case 't':
      if (m.starts_with("timeout!")) return BinkdKind::kFailTimeout;
      break;
    case 'u':
      if (m.starts_with("unable to connect")) return BinkdKind::kCallFailed;
      if (m.starts_with("unexpected password")) return BinkdKind::kFailPassword;
      break;
    case 'w':
      if (m.starts_with("write: ")) return BinkdKind::kFailBrokenOff;
      break;
    case 'R':
      if (m.starts_with("Remote IP check failed")) return BinkdKind::kFailNotAllowed;
      break;
    case 'L':
      if (m.starts_with("LOC ")) return BinkdKind::kLocation;
      break;
    case 'S':
      if (m.starts_with("SYS ")) return BinkdKind::kSystem;
      if (m.starts_with("Source IP check failed")) return BinkdKind::kFailNotAllowed;
      if (m.starts_with("Secure AKA ") && m.ends_with(" busy, drop the session"))
        return BinkdKind::kFailBusy;
      break;
    case 'V':
      if (m.starts_with("VER ")) return BinkdKind::kMailer;
      break;
    case 'Z':
      if (m.starts_with("ZYZ ")) return BinkdKind::kSysop;
      break;
    default:
      break;
  }
  if (m.ends_with(" skipped by remote")) return BinkdKind::kSkippedByRemote;
  return BinkdKind::kOther;
}

// ReadBinkdLine, inline for the classifying threads: it reads every line.
inline bool ReadLine(std::string_view line, BinkdLine& out) {
  if (line.size() < kPidColumn + 3 || line[kPidColumn] != '[' || line[kPidColumn - 1] != ' ')
    return false;
  const char* at = line.data() + kPidColumn + 1;
  const char* end = line.data() + line.size();
  const char* digits = at;
  uint64_t pid = 0;
  // Any width: a thread address has ten digits, and a longer number only
  // has to stay the same key for the same text.
  for (unsigned digit; at < end && (digit = static_cast<unsigned char>(*at) - 48u) <= 9; ++at)
    pid = pid * 10 + digit;
  if (at == digits || at == end || *at != ']') return false;
  ++at;
  if (at < end && *at == ' ') ++at;
  out.pid = pid;
  out.message = std::string_view(at, static_cast<size_t>(end - at));
  out.kind = KindOf(out.message);
  return true;
}

}  // namespace

bool ReadBinkdLine(std::string_view line, BinkdLine& out) { return ReadLine(line, out); }

namespace {

// "done (" [to |from ]address ", " OK|failed ", S/R: " n/n " (" n/n " bytes))":
// a line cut short or torn by another writer lacks some of it.
bool WholeDone(std::string_view m) {
  auto take = [&m](std::string_view text) {
    if (!m.starts_with(text)) return false;
    m.remove_prefix(text.size());
    return true;
  };
  auto number = [&m]() {
    size_t digits = 0;
    while (digits < m.size() && Digit(m[digits])) ++digits;
    m.remove_prefix(digits);
    return digits > 0;
  };
  if (!take("done (")) return false;
  size_t comma = m.find(", ");
  if (comma == 0 || comma == std::string_view::npos) return false;
  m.remove_prefix(comma + 2);
  if (!take("OK") && !take("failed")) return false;
  if (!take(", S/R: ") || !number() || !take("/") || !number() || !take(" (") || !number() ||
      !take("/") || !number() || !take(" bytes))")) {
    return false;
  }
  while (!m.empty() && (m.back() == ' ' || m.back() == '\r')) m.remove_suffix(1);
  return m.empty();
}

}  // namespace

BinkdDone ReadBinkdDone(std::string_view message) {
  BinkdDone done;
  done.whole = WholeDone(message);
  std::string_view rest = DropFront(message, std::string_view("done (").size());
  std::string_view who = CutAt(rest, ',');
  if (who.starts_with("to ")) {
    done.direction = 1;
    who.remove_prefix(3);
  } else if (who.starts_with("from ")) {
    done.direction = -1;
    who.remove_prefix(5);
  }
  who = CutAt(CutAt(who, '@'), ' ');
  done.address = who == "?" ? std::string_view() : who;
  std::string_view status = DropFront(rest, who.size());
  if (std::optional<std::string_view> after = After(rest, ", ")) status = *after;
  done.failed = status.starts_with("failed");
  if (std::optional<std::string_view> figures = After(status, "S/R: ")) {
    if (std::optional<std::string_view> bytes = After(*figures, "(")) {
      done.sentBytes = LeadingDigits(*bytes);
      if (std::optional<std::string_view> second = After(*bytes, "/")) {
        done.receivedBytes = LeadingDigits(*second);
      }
    }
  }
  return done;
}

std::string_view BinkdHost(std::string_view message) {
  std::optional<std::string_view> rest = After(message, "session with ");
  if (!rest) return {};
  std::string_view host = CutAt(*rest, ' ');
  // "host:port" on outgoing sessions; an IPv6 address has more than one ':'.
  size_t colon = host.rfind(':');
  if (colon != std::string_view::npos && host.find(':') == colon && colon + 1 < host.size() &&
      std::all_of(host.begin() + colon + 1, host.end(), Digit)) {
    host = host.substr(0, colon);
  }
  return host;
}

namespace {

bool ContainsNoCase(std::string_view text, std::string_view part) {
  return UpperAscii(std::string(text)).find(UpperAscii(std::string(part))) != std::string::npos;
}

}  // namespace

// Windows words no route as "an unreachable host" (or network).
FailReason BinkdConnectFailReason(std::string_view message) { return FailReasonOfText(message); }

FailReason BinkdFailReason(BinkdKind kind, std::string_view message) {
  switch (kind) {
    case BinkdKind::kFailBusy:
      return FailReason::kBusy;
    case BinkdKind::kFailTimeout:
      return FailReason::kTimeout;
    case BinkdKind::kFailPassword:
      return FailReason::kBadPassword;
    case BinkdKind::kFailNotAllowed:
      return FailReason::kNotAllowed;
    case BinkdKind::kFailRemoteError:
      return FailReason::kRemoteError;
    case BinkdKind::kFailBrokenOff:
      // "recv: Connection timed out": the remote went silent.
      return ContainsNoCase(message, "timed out") ? FailReason::kTimeout : FailReason::kBrokenOff;
    case BinkdKind::kCallFailed:
      return BinkdConnectFailReason(message);
    default:
      return FailReason::kOther;
  }
}

std::string_view BinkdCalledAddress(std::string_view message) {
  std::string_view rest;
  if (message.starts_with("call to ")) {
    rest = DropFront(message, 8);
  } else if (message.starts_with("connection to ")) {
    rest = DropFront(message, 14);
  } else {
    return {};
  }
  return CutAt(CutAt(rest, ' '), '@');
}

namespace {

struct BinkdClassified {
  std::string_view line;
  std::string_view message;
  uint64_t pid = 0;
  int32_t time = 0;
  int32_t day = 0;
  BinkdKind kind = BinkdKind::kOther;
  LinePlace place = LinePlace::kInside;
  bool cut = false;    // the log's last line, without its line end
  uint32_t facts = 0;  // a session, address or done line's BinkdFacts in its block
};

// What the classifying threads read of a session, address or done line beyond
// its kind. The rules take the lines one by one on one thread, and these lines
// carry most of a session's reading: there it would be the run's bound.
struct BinkdFacts {
  BinkdDone done;         // of a done line
  std::string_view text;  // a session line's host; an address line's address, empty when refused
  AddressFacts address;   // of that address or done.address, for TakeAddress
};

struct BinkdBlock {
  std::vector<BinkdClassified> lines;
  std::vector<BinkdFacts> facts;
  LogOutline outline;
};

// The facts of `line`, as its kind has them.
void ReadFacts(const BinkdClassified& line, const RunCalendar& calendar, BinkdFacts& facts) {
  std::string_view message = line.message;
  switch (line.kind) {
    case BinkdKind::kSession:
      facts.text = BinkdHost(message);
      return;
    case BinkdKind::kAddress: {
      std::string_view text = DropFront(message, 6);
      // "addr: X (n/a or busy)" and the like name an address the session refused.
      if (text.find(' ') != std::string_view::npos) return;
      facts.text = CutAt(text, '@');
      if (!facts.text.empty()) facts.address = AddressFacts::Of(facts.text, line.line, calendar);
      return;
    }
    case BinkdKind::kDone:
      facts.done = ReadBinkdDone(message);
      if (!facts.done.address.empty()) {
        facts.address = AddressFacts::Of(facts.done.address, line.line, calendar);
      }
      return;
    default:
      return;
  }
}

class BinkdClassifier {
 public:
  // Lines just before the window tell which sessions were already going on.
  BinkdClassifier(const LogPeriod& period, const RunCalendar& calendar)
      : window_(period, calendar, true), calendar_(calendar) {}

  bool Classify(std::string_view line, LogOutline& outline, BinkdClassified& out) {
    int32_t day = 0;
    int32_t time = 0;
    LinePlace place = window_.Place(line, outline, day, time);
    if (place == LinePlace::kOutside) return false;
    BinkdLine binkd;
    if (!ReadLine(line, binkd)) return false;
    if (place == LinePlace::kInside) ++outline.recognised;
    out.line = line;
    out.message = binkd.message;
    out.pid = binkd.pid;
    out.time = time;
    out.day = day;
    out.kind = binkd.kind;
    out.place = place;
    out.cut = false;
    return true;
  }

  /// Reads the facts of a classified line that has some into `facts`.
  void AddFacts(BinkdClassified& line, std::vector<BinkdFacts>& facts) const {
    if (line.kind != BinkdKind::kSession && line.kind != BinkdKind::kAddress &&
        line.kind != BinkdKind::kDone) {
      return;
    }
    line.facts = static_cast<uint32_t>(facts.size());
    ReadFacts(line, calendar_, facts.emplace_back());
  }

  void Classify(const LogBlock& block, BinkdBlock& out) {
    out.lines.clear();
    out.facts.clear();
    out.outline = LogOutline{};
    // Each line is read into its place at the end of the block, and taken
    // back when the rules are not to have it.
    ForEachLine(
        block,
        [&](std::string_view line) {
          if (!Classify(line, out.outline, out.lines.emplace_back())) out.lines.pop_back();
        },
        kBinkdLineLength);
    if (!out.lines.empty() && CutShort(block, out.lines.back().line)) out.lines.back().cut = true;
    // A pass of its own keeps the loop above small enough to stay inline.
    for (BinkdClassified& line : out.lines) AddFacts(line, out.facts);
  }

 private:
  LineWindow window_;
  const RunCalendar& calendar_;
};

// A file of an open session, kept until the session ends: files go into the
// store session by session.
struct PendingFile {
  TFileTransfer record;
  int64_t size = 0;
  int64_t resumeOffset = 0;
  int64_t abortPosition = 0;
  bool open = true;
  std::string local;  // a sent file's name on this machine, which "sent:" gives
};

// Why a session failed, as its lines said; the first specific reason stays,
// a broken line or another error only stands until one comes.
struct SessionFailure {
  FailReason reason = FailReason::kBrokenOff;
  bool known = false;
  std::string text;
  std::string claimed;  // an address the session was refused for
  bool Weak() const { return reason == FailReason::kBrokenOff || reason == FailReason::kOther; }
};

// A session whose "done" line has not come yet.
struct OpenSession {
  TSession session;
  uint64_t lastLine = 0;  // the number of the pid's latest line, for letting go of the silent
  int32_t lastDay = 0;    // the latest line's day and time: times that go back add nothing
  int32_t lastTime = 0;
  int64_t elapsed = 0;         // seconds from the first line to the latest one
  int64_t transferFrom = -1;   // elapsed at the first file line
  bool sessionLine = false;    // past the call: the session line came
  bool excluded = false;       // an address of it is excluded
  bool early = false;          // begun before the window: the window before counts it
  bool retrying = false;       // a connect failed: the call may go on to the next address
  uint32_t filesReceived = 0;  // whole files, for the trends store
  uint32_t filesSent = 0;
  TRemoteNames names;
  std::vector<PendingFile> files;
  SessionFailure failure;
  std::string called;  // the address of "call to"
  // The latest failed connect of the call: booked when the call ends unconnected.
  FailReason connectFailure = FailReason::kOther;
  std::string connectText;
  int32_t connectDay = 0;
  int32_t connectTime = 0;
};

class BinkdParser {
 public:
  using Block = BinkdBlock;

  BinkdParser(const Settings& settings, SessionModel& model, const RunCalendar& calendar)
      : settings_(settings), model_(model), builder_(settings, model, calendar) {}

  void Start() { builder_.Start(); }

  BinkdClassifier Classifier() const {
    return BinkdClassifier(builder_.Period(), builder_.Calendar());
  }

  void Line(std::string_view line, bool cut = false) {
    BinkdClassified classified;
    lineFacts_.clear();
    facts_ = &lineFacts_;
    if (!classifier_.Classify(line, outline_, classified)) return;
    classified.cut = cut;
    classifier_.AddFacts(classified, lineFacts_);
    Apply(classified);
  }

  void Apply(const BinkdBlock& block) {
    AddOutline(outline_, block.outline);
    facts_ = &block.facts;
    for (const BinkdClassified& line : block.lines) Apply(line);
  }

  void FirstLine(std::string_view line, const FirstLineFacts& facts) {
    outline_.text = FirstLineText(line, facts);
  }

  void Finish(Console& console) {
    open_.ForEach([this](uint64_t, uint32_t slot) { Unfinished(slots_[slot]); });
    open_.Clear();
    model_.files.names.ForgetRecent();
    // The sysop should know why sessions are missing from the reports, and
    // that the log holds lines binkd did not write whole.
    if (int64_t foreign = outline_.inPeriod - outline_.recognised;
        foreign > 0 && outline_.recognised > 0) {
      console.ConsoleLog(kNotice, " Lines of the period without binkd's \"[pid]\", passed over: %d",
                         {foreign});
    }
    if (unfinished_ > 0) {
      console.ConsoleLog(kNotice, " Sessions without a \"done\" line, counted as unfinished: %d",
                         {unfinished_});
    }
    builder_.Finish(outline_, console);
  }

 private:
  void Apply(const BinkdClassified& line);
  void Behind(OpenSession* open, const BinkdClassified& line);
  OpenSession& OpenAt(const BinkdClassified& line);
  const BinkdFacts& Facts(const BinkdClassified& line) const { return (*facts_)[line.facts]; }
  void LetGoOfSilent(const BinkdClassified& line);
  OpenSession& Open(uint64_t pid);
  void Close(uint64_t pid);
  void Unfinished(OpenSession& open);
  void Advance(OpenSession& open, const BinkdClassified& line);
  void SessionLine(OpenSession& open, const BinkdClassified& line, bool called);
  void AddressLine(OpenSession& open, const BinkdClassified& line);
  void Done(OpenSession& open, const BinkdClassified& line);
  void FailureLine(OpenSession& open, const BinkdClassified& line);
  void NoteFailure(OpenSession& open, FailReason reason, std::string_view text);
  void ConnectFailed(OpenSession& open, const BinkdClassified& line);
  void BookFailure(OpenSession& open, const BinkdClassified& line);
  void BookFailedCall(OpenSession& open);
  void FileLine(OpenSession& open, const BinkdClassified& line);
  PendingFile* OpenFile(OpenSession& open, std::string_view name, bool received);
  PendingFile& NewFile(OpenSession& open, std::string_view name, bool received, int64_t size,
                       int32_t time);
  TextId RemoteNames(const TRemoteNames& names);
  void StoreFiles(OpenSession& open, uint32_t session);

  const Settings& settings_;
  SessionModel& model_;
  SessionBuilder builder_;
  LogOutline outline_;
  BinkdClassifier classifier_{builder_.Period(), builder_.Calendar()};
  PidMap open_;                     // pid -> slot
  std::vector<OpenSession> slots_;  // reused: their file lists keep their room
  std::vector<uint32_t> freeSlots_;
  std::vector<uint64_t> letGo_;                         // the pids LetGoOfSilent lets go of
  const std::vector<BinkdFacts>* facts_ = nullptr;      // those of the lines being applied
  std::vector<BinkdFacts> lineFacts_;                   // those of a line given alone
  std::unordered_map<uint64_t, uint32_t> remoteIndex_;  // packed names -> remoteNames index
  int64_t unfinished_ = 0;
  uint64_t lines_ = 0;  // lines the rules have had
  int32_t lastLetGoDay_ = kDayNotSeen;
};

OpenSession& BinkdParser::Open(uint64_t pid) {
  uint32_t slot;
  if (!freeSlots_.empty()) {
    slot = freeSlots_.back();
    freeSlots_.pop_back();
  } else {
    slot = static_cast<uint32_t>(slots_.size());
    slots_.emplace_back();
  }
  open_.Set(pid, slot);
  OpenSession& open = slots_[slot];
  std::vector<PendingFile> files = std::move(open.files);
  files.clear();
  open = OpenSession{};
  open.files = std::move(files);
  return open;
}

void BinkdParser::Close(uint64_t pid) {
  uint32_t slot = open_.Erase(pid);
  if (slot != PidMap::kNone) freeSlots_.push_back(slot);
}

// A session that never logged its end is busy time all the same, up to its
// last line; its files and figures are not reported.
void BinkdParser::Unfinished(OpenSession& open) {
  if (open.early) return;  // the window before counts it
  if (open.retrying && !open.sessionLine) BookFailedCall(open);
  if (open.excluded || (open.retrying && !open.sessionLine)) return;
  model_.LeftTime += open.elapsed;
  model_.LeftTimeByDay.emplace_back(open.session.StartDay, open.elapsed);
  int64_t end = open.session.StartTime + open.elapsed;
  model_.LeftSpans.push_back(TEvent{
      open.session.StartDay, open.session.StartDay + static_cast<int32_t>(end / kSecondsPerDay),
      open.session.StartTime, static_cast<int32_t>(end % kSecondsPerDay), kEventIn});
  ++unfinished_;
}

// Time runs on with the pid's lines; a line older than the latest one (an
// hour repeated by a clock change, or two writers) adds nothing.
void BinkdParser::Advance(OpenSession& open, const BinkdClassified& line) {
  open.lastLine = lines_;
  int64_t step = int64_t{line.day - open.lastDay} * kSecondsPerDay + (line.time - open.lastTime);
  if (step <= 0) return;
  open.elapsed += step;
  open.lastDay = line.day;
  open.lastTime = line.time;
}

// Once a day, and whenever too many sessions are open, the sessions silent
// past the pid-reuse gap have ended unseen (as they would when their pid came
// back); past the bound, the older half of the open sessions goes too.
void BinkdParser::LetGoOfSilent(const BinkdClassified& line) {
  bool full = open_.Size() >= kMaxOpenSessions;
  if (line.day <= lastLetGoDay_ && !full) return;
  lastLetGoDay_ = std::max(lastLetGoDay_, line.day);
  uint64_t oldest = full ? lines_ - std::min<uint64_t>(lines_, kMaxOpenSessions / 2) : 0;
  letGo_.clear();
  open_.ForEach([&](uint64_t pid, uint32_t slot) {
    OpenSession& open = slots_[slot];
    int64_t gap = int64_t{line.day - open.lastDay} * kSecondsPerDay + (line.time - open.lastTime);
    if (gap > kPidReuseGap || open.lastLine < oldest) {
      Unfinished(open);
      letGo_.push_back(pid);
    }
  });
  for (uint64_t pid : letGo_) Close(pid);
}

OpenSession& BinkdParser::OpenAt(const BinkdClassified& line) {
  OpenSession& fresh = Open(line.pid);
  fresh.session.StartTime = line.time;
  fresh.session.StartDay = line.day;
  fresh.lastDay = line.day;
  fresh.lastTime = line.time;
  fresh.lastLine = lines_;
  return fresh;
}

// Before the window only the sessions' beginnings and ends matter: a session
// still going on when the window begins belongs to the window before.
void BinkdParser::Behind(OpenSession* open, const BinkdClassified& line) {
  if (open != nullptr && !open->early) return;  // an older time written late
  switch (line.kind) {
    case BinkdKind::kCallTo:
      if (open != nullptr) Close(line.pid);
      OpenAt(line).early = true;
      return;
    case BinkdKind::kSession:
      if (open == nullptr || open->sessionLine || line.message.starts_with("incoming")) {
        if (open != nullptr) Close(line.pid);
        open = &OpenAt(line);
        open->early = true;
      }
      open->sessionLine = true;
      return;
    case BinkdKind::kDone:
      if (open != nullptr) Close(line.pid);
      return;
    default:
      if (open != nullptr) Advance(*open, line);
      return;
  }
}

void BinkdParser::Apply(const BinkdClassified& line) {
  ++lines_;
  if (line.place == LinePlace::kInside) NoteLineSpan(model_, line.day, line.time);
  LetGoOfSilent(line);
  uint32_t slot = open_.Find(line.pid);
  OpenSession* open = slot == PidMap::kNone ? nullptr : &slots_[slot];
  if (open != nullptr) {
    int64_t gap = int64_t{line.day - open->lastDay} * kSecondsPerDay + (line.time - open->lastTime);
    if (gap > kPidReuseGap) {  // the pid came back for another process
      Unfinished(*open);
      Close(line.pid);
      open = nullptr;
    }
  }
  if (line.place == LinePlace::kBehind) return Behind(open, line);
  bool incoming = line.kind == BinkdKind::kSession && line.message.starts_with("incoming");
  if (open != nullptr && open->early) {
    // It goes on until a line begins another session on its pid.
    bool begins = line.kind == BinkdKind::kCallTo || incoming ||
                  (line.kind == BinkdKind::kSession && open->sessionLine);
    if (!begins) {
      Advance(*open, line);
      if (line.kind == BinkdKind::kDone) Close(line.pid);
      if (line.kind == BinkdKind::kSession) open->sessionLine = true;
      return;
    }
    Close(line.pid);
    open = nullptr;
  }
  // Past the window's end lines go on only to the sessions begun inside it.
  bool ahead = line.place == LinePlace::kAhead;
  switch (line.kind) {
    case BinkdKind::kCallTo: {
      if (open != nullptr) {
        Unfinished(*open);
        Close(line.pid);
      }
      if (!ahead) OpenAt(line).called = BinkdCalledAddress(line.message);
      return;
    }
    case BinkdKind::kSession: {
      // binkd writes "incoming session" only for a connection its server took;
      // a call that goes on to the remote's next address writes "outgoing".
      bool called = open != nullptr && !open->sessionLine && !incoming;
      if (open != nullptr && !called) {
        Unfinished(*open);
        Close(line.pid);
        open = nullptr;
      }
      if (open == nullptr) {
        if (ahead) return;
        open = &OpenAt(line);
      }
      Advance(*open, line);
      return SessionLine(*open, line, called);
    }
    default:
      break;
  }
  if (open == nullptr) return;
  Advance(*open, line);
  if (open->excluded && line.kind != BinkdKind::kDone) return;
  TSession& session = open->session;
  switch (line.kind) {
    case BinkdKind::kCallFailed:
      if (open->sessionLine) return;
      builder_.FailedCall(session.StartDay, session.StartTime, open->lastDay, open->lastTime);
      // binkd tries the remote's next address (IPv4 after IPv6) in the same
      // call: if a session line follows, the session starts here.
      session.StartDay = open->lastDay;
      session.StartTime = open->lastTime;
      open->elapsed = 0;
      open->retrying = true;
      return ConnectFailed(*open, line);
    case BinkdKind::kAddress:
      return AddressLine(*open, line);
    case BinkdKind::kSystem:
      open->names.system = builder_.Changed(DropFront(line.message, 4));
      return;
    case BinkdKind::kLocation:
      open->names.location = builder_.Changed(DropFront(line.message, 4));
      return;
    case BinkdKind::kSysop:
      session.Sysop = builder_.Changed(DropFront(line.message, 4));
      return;
    case BinkdKind::kMailer:
      session.Mailer = builder_.Changed(DropFront(line.message, 4));
      return;
    case BinkdKind::kFailBusy:
    case BinkdKind::kFailTimeout:
    case BinkdKind::kFailPassword:
    case BinkdKind::kFailNotAllowed:
    case BinkdKind::kFailRemoteError:
    case BinkdKind::kFailBrokenOff:
      return FailureLine(*open, line);
    case BinkdKind::kProtected:
      session.Protected = true;
      return;
    case BinkdKind::kDone:
      return Done(*open, line);
    case BinkdKind::kOther:
      // An error line of no known kind names the reason if nothing better comes.
      if (line.line.starts_with("?") || line.line.starts_with("!"))
        NoteFailure(*open, FailReason::kOther, line.message);
      return;
    default:
      return FileLine(*open, line);
  }
}

void BinkdParser::SessionLine(OpenSession& open, const BinkdClassified& line, bool called) {
  open.sessionLine = true;
  std::string_view m = line.message;
  if (m.starts_with("incoming")) {
    open.session.Incoming = true;
  } else if (m.starts_with("outgoing")) {
    open.session.Incoming = false;
  } else {
    open.session.Incoming = !called;  // binkd 0.9 names no direction
  }
  open.session.Phone = builder_.ShownPhone(Facts(line).text);
}

// Every accepted address counts for the last-call history and may exclude
// the session; the first one names it until the "done" line does.
void BinkdParser::AddressLine(OpenSession& open, const BinkdClassified& line) {
  std::string_view raw = DropFront(line.message, 6);
  // binkd ends the session for these two; "(not from allowed remote IP,
  // disabled)" only drops the address.
  if (raw.ends_with(" (not from allowed remote address)") ||
      raw.ends_with(" (not from allowed remote IP, aborted)")) {
    NoteFailure(open, FailReason::kNotAllowed, line.message);
    open.failure.claimed = CutAt(CutAt(raw, ' '), '@');
    return;
  }
  // "addr: X (n/a or busy)" and the like name an address the session refused:
  // the classifier left its text empty.
  const BinkdFacts& facts = Facts(line);
  std::string_view text = facts.text;
  if (text.empty()) return;
  TSession& session = open.session;
  TextId first = session.Address;
  if (!builder_.TakeAddress(session, text, line.line, line.time, &facts.address)) {
    open.excluded = true;
    return;
  }
  if (first != kNoText) session.Address = first;
}

void BinkdParser::Done(OpenSession& open, const BinkdClassified& line) {
  uint64_t pid = line.pid;
  if (open.excluded) return Close(pid);
  TSession& session = open.session;
  const BinkdFacts& facts = Facts(line);
  const BinkdDone& done = facts.done;
  // Figures read from a line binkd had not finished, or that another writer
  // tore, would be wrong: the session counts as unfinished.
  if (!done.whole || line.cut) {
    builder_.CutShort();
    Unfinished(open);
    return Close(pid);
  }
  if (!done.address.empty()) {
    TextId first = session.Address;
    session.Address = kNoText;
    if (!builder_.TakeAddress(session, done.address, line.line, line.time, &facts.address)) {
      return Close(pid);
    }
    if (session.Address == kNoText) session.Address = first;
  }
  if (done.direction != 0) session.Incoming = done.direction < 0;
  session.Aborted = done.failed;
  session.Sent = done.sentBytes;
  session.Received = done.receivedBytes;
  session.Protocol = kProtocolBinkp;
  int64_t end = session.StartTime + open.elapsed;
  session.EndTime = static_cast<int32_t>(end % kSecondsPerDay);
  session.EndDay = session.StartDay + static_cast<int32_t>(end / kSecondsPerDay);
  int64_t transfer = open.transferFrom < 0 ? 0 : open.elapsed - open.transferFrom;
  if (open.transferFrom >= 0) {
    session.TransferStart =
        static_cast<int32_t>((session.StartTime + open.transferFrom) % kSecondsPerDay);
  }
  session.Cps =
      CpsOf(static_cast<double>(session.Received + session.Sent), static_cast<double>(transfer));
  session.Remote = RemoteNames(open.names);
  auto index = static_cast<uint32_t>(model_.sessions.size());
  model_.sessions.push_back(session);
  if (open.filesReceived + open.filesSent > 0) {
    model_.SessionFiles.push_back({index, open.filesReceived, open.filesSent});
  }
  builder_.NewEvent(session, session.Incoming ? kEventIn : kEventOut);
  // A session that never gave an address is no link's: a scanner, or a
  // remote turned away before it said who it is.
  if (session.Address == kNoText) {
    builder_.AddAnonymous(session);
  } else {
    builder_.AddToLink(session, transfer);
  }
  if (session.Aborted) BookFailure(open, line);
  if (settings_.MAKESTAT_FILES) StoreFiles(open, index);
  Close(pid);
}

void BinkdParser::NoteFailure(OpenSession& open, FailReason reason, std::string_view text) {
  SessionFailure& failure = open.failure;
  bool weak = reason == FailReason::kBrokenOff || reason == FailReason::kOther;
  if (failure.known && (weak || !failure.Weak())) return;
  failure.known = true;
  failure.reason = reason;
  failure.text = CutTo(text, kFailureTextBound);
}

// The remote's error and busy texts are kept without binkd's prefix: they are
// what the remote said.
void BinkdParser::FailureLine(OpenSession& open, const BinkdClassified& line) {
  std::string_view text = line.message;
  if (line.kind == BinkdKind::kFailRemoteError) text = DropFront(text, 8);
  if (std::optional<std::string_view> said = After(text, "got M_BSY: ")) text = *said;
  NoteFailure(open, BinkdFailReason(line.kind, line.message), text);
}

void BinkdParser::ConnectFailed(OpenSession& open, const BinkdClassified& line) {
  open.connectFailure = BinkdConnectFailReason(line.message);
  std::optional<std::string_view> why = After(line.message, "failed: ");
  if (!why) why = After(line.message, "unable to connect: ");
  open.connectText = CutTo(why ? *why : line.message, kFailureTextBound);
  open.connectDay = line.day;
  open.connectTime = line.time;
  // 1.0 and later name the address the call went to on the line itself.
  std::string_view called = BinkdCalledAddress(line.message);
  if (!called.empty()) open.called = called;
}

// A wrong password and a refused host name an address only claimed: the
// failure is booked to it, flagged, though no session of it counts.
void BinkdParser::BookFailure(OpenSession& open, const BinkdClassified& line) {
  const SessionFailure& failure = open.failure;
  FailReason reason = failure.known ? failure.reason : FailReason::kBrokenOff;
  bool claimed = reason == FailReason::kBadPassword || reason == FailReason::kNotAllowed;
  std::optional<std::string> address;
  if (open.session.Address != kNoText) {
    address = std::string(model_.Text(open.session.Address));
  } else {
    address = builder_.FailureAddress(failure.claimed);
    claimed = claimed && !failure.claimed.empty();
  }
  if (!address) return;
  builder_.Failure(*address, reason, claimed, false, failure.text, line.day, line.time);
}

void BinkdParser::BookFailedCall(OpenSession& open) {
  std::optional<std::string> address = builder_.FailureAddress(open.called);
  if (!address) return;
  builder_.Failure(*address, open.connectFailure, false, true, open.connectText, open.connectDay,
                   open.connectTime);
}

TextId BinkdParser::RemoteNames(const TRemoteNames& names) {
  if (names.system == kNoText && names.location == kNoText) return 0;
  uint64_t key = uint64_t{names.system} << 32 | names.location;
  auto [it, added] =
      remoteIndex_.try_emplace(key, static_cast<uint32_t>(model_.remoteNames.size()));
  if (added) model_.remoteNames.push_back(names);
  return it->second;
}

PendingFile* BinkdParser::OpenFile(OpenSession& open, std::string_view name, bool received) {
  for (PendingFile& file : open.files) {
    if (file.open && file.record.Received() == received &&
        (model_.files.names.Text(file.record.Name()) == name ||
         (!received && file.local == name))) {
      return &file;
    }
  }
  return nullptr;
}

PendingFile& BinkdParser::NewFile(OpenSession& open, std::string_view name, bool received,
                                  int64_t size, int32_t time) {
  PendingFile file;
  file.record.SetName(model_.files.names.Intern(name));
  file.record.SetStartTime(time);
  file.record.SetReceived(received);
  file.size = std::max<int64_t>(size, 0);
  open.files.push_back(file);
  return open.files.back();
}

// A file's lines name it; the end lines may come in any order (binkd's NR and
// ND modes), so each finds its file by name and direction.
void BinkdParser::FileLine(OpenSession& open, const BinkdClassified& line) {
  if (line.cut) return builder_.CutShort();
  if (open.transferFrom < 0) open.transferFrom = open.elapsed;
  if (line.kind == BinkdKind::kReceived) ++open.filesReceived;
  if (line.kind == BinkdKind::kSent) ++open.filesSent;
  if (!settings_.MAKESTAT_FILES) return;
  std::string_view m = line.message;
  auto finish = [&](bool received, std::string_view name, int64_t size, FileOutcome outcome) {
    PendingFile* file = OpenFile(open, name, received);
    if (file == nullptr) file = &NewFile(open, name, received, size, line.time);
    file->record.SetEndTime(line.time);
    file->record.SetOutcome(outcome);
    file->open = false;
    return file;
  };
  switch (line.kind) {
    case BinkdKind::kSending: {
      // "sending /out/d7288ff6.out as 3a1f0002.pkt (1234)": the remote gets
      // the name after "as", and the files report shows that one.
      std::string_view rest = DropFront(m, 8);
      std::string_view path = NameBefore(rest, " as ");
      std::string_view local = LastPathPart(path);
      std::optional<std::string_view> wire = After(rest, " as ");
      std::string_view name = wire ? NameBefore(*wire, " (") : local;
      PendingFile& file =
          NewFile(open, name.empty() ? local : name, false, FirstFigure(rest), line.time);
      if (name != local) file.local = local;
      return;
    }
    case BinkdKind::kReceiving: {
      std::string_view rest = DropFront(m, 10);
      PendingFile& file = NewFile(open, NameBefore(rest, " ("), true, FirstFigure(rest), line.time);
      if (std::optional<std::string_view> off = After(rest, ", off ")) {
        file.resumeOffset = LeadingDigits(*off);
      }
      return;
    }
    case BinkdKind::kSendFrom: {
      std::string_view rest = DropFront(m, 8);
      size_t from = rest.rfind(" from ");
      if (from == std::string_view::npos) return;
      if (PendingFile* file = OpenFile(open, rest.substr(0, from), false)) {
        file->resumeOffset = LeadingDigits(rest.substr(from + 6));
      }
      return;
    }
    case BinkdKind::kSent:
    case BinkdKind::kReceived: {
      bool received = line.kind == BinkdKind::kReceived;
      std::string_view rest = DropFront(m, 6);
      std::string_view name = NameBefore(rest, " (");
      if (!received) name = LastPathPart(name);
      int64_t size = FirstFigure(rest);
      PendingFile* file = finish(received, name, size, FileOutcome::kComplete);
      if (std::optional<std::string_view> cps = After(rest, ", ")) {
        file->record.SetCps(static_cast<uint16_t>(std::min<int64_t>(LeadingDigits(*cps), 9999)));
      }
      return;
    }
    case BinkdKind::kInterrupted: {
      std::string_view rest = DropFront(m, 13);
      size_t at = rest.rfind(" interrupted at ");
      if (at == std::string_view::npos) return;
      PendingFile* file = finish(true, rest.substr(0, at), 0, FileOutcome::kAborted);
      file->abortPosition = LeadingDigits(rest.substr(at + 16));
      return;
    }
    case BinkdKind::kSkipped:
    case BinkdKind::kRefused: {
      bool duplicate = m.starts_with("already have ");
      std::string_view rest = DropFront(m, duplicate ? 13 : 9);
      // "already have name (timestamp, size byte(s))": no receiving line came first.
      std::optional<std::string_view> size = duplicate ? After(rest, ", ") : std::nullopt;
      finish(true, NameBefore(rest, " ("), size ? LeadingDigits(*size) : 0,
             line.kind == BinkdKind::kRefused ? FileOutcome::kRefused : FileOutcome::kSkipped);
      return;
    }
    case BinkdKind::kSkippedByRemote: {
      std::string_view name =
          m.starts_with("remote already has ")
              ? DropFront(m, 19)
              : m.substr(0, m.size() - std::string_view(" skipped by remote").size());
      finish(false, LastPathPart(name), 0, FileOutcome::kSkipped);
      return;
    }
    default:
      return;
  }
}

// The session's files into the store, in the order they started; a file
// still open when the session ended was cut off with it.
void BinkdParser::StoreFiles(OpenSession& open, uint32_t session) {
  if (open.files.empty()) return;
  FileTransfers& store = model_.files;
  store.runs.push_back(TFileRun{session, static_cast<uint32_t>(store.files.size())});
  for (PendingFile& file : open.files) {
    if (file.open) {
      file.record.SetEndTime(open.session.EndTime);
      file.record.SetOutcome(FileOutcome::kAborted);
    }
    bool partial = file.resumeOffset > 0 || file.abortPosition > 0;
    file.record.SetPartial(partial);
    uint32_t index = store.Add(file.record, file.size);
    if (partial)
      store.partials.push_back(TFilePartial{index, file.resumeOffset, file.abortPosition});
  }
}

}  // namespace

void ParseBinkdLogLines(LineReader& reader, const Settings& settings, const RunCalendar& today,
                        SessionModel& model, Console& console) {
  BinkdParser parser(settings, model, today);
  parser.Start();
  FeedLines(reader, parser, kBinkdLineLength);
  parser.Finish(console);
}

void ParseBinkdLogBlocks(LogBlockReader& reader, const Settings& settings, const RunCalendar& today,
                         SessionModel& model, Console& console, int threads) {
  BinkdParser parser(settings, model, today);
  parser.Start();
  BlockPipeline(reader, parser, threads).Run();
  StopOnReadError(reader, settings.LOG, console);
  parser.Finish(console);
}

}  // namespace zentrak
