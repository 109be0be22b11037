// The log parser. Each line inside the period is matched once against every
// recognition text; the rules then run in their fixed order on the answer.
#include "log/log_parser.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <unordered_map>

#include "config/text_rules.h"
#include "console/run_stop.h"
#include "log/binkd_parser.h"
#include "log/block_pipeline.h"
#include "log/file_transfers.h"
#include "log/line_text.h"
#include "log/line_window.h"
#include "log/log_blocks.h"
#include "log/log_source.h"
#include "log/nothing_to_do.h"
#include "log/session_builder.h"
#include "log/text_matcher.h"
#include "platform/memory.h"
#include "support/calendar.h"
#include "support/file_mask.h"
#include "support/temporary_path.h"
#include "support/text.h"
#include "support/work_threads.h"

namespace zentrak {
namespace {

constexpr const char* kUnableToOpen = " Unable to open %s (%s)";
constexpr size_t kMessageColumn = 23;  // the message text starts in column 24

// Bits of the matcher's answer; the texts are listed in this order.
enum Role : int {
  kCallFailed1 = 0,  // ..kCallFailed1 + 5
  kOutgoing1 = 6,
  kOutgoing2,
  kIncoming,
  kConnect,
  kBbsCaller,
  kBbsEnd,
  kProtected,
  kAddress,
  kMailer,
  kSysop,
  kZmodem,
  kHydra,
  kZedzap,
  kDirzap,
  kSpecialAbort,
  kSessionEnd,
  kSessionAborted,
  kIgnored1,
  kIgnored2,
  kModemReports,
  kOutboundRefreshing,
  kRoleCount
};

constexpr uint64_t Bit(int role) { return uint64_t{1} << role; }
constexpr uint64_t kCallFailedBits = 0x3f;
constexpr uint64_t kSessionBits = Bit(kRoleCount) - 1;
// A file's end line, for the trends store's file counts: two bits above the
// file texts' (which follow the roles).
constexpr uint64_t kFileReceivedBit = Bit(62);
constexpr uint64_t kFileSentBit = Bit(63);
constexpr uint64_t kFileEndBits = kFileReceivedBit | kFileSentBit;
static_assert(kRoleCount + 8 < 62, "the file texts' bits must stay below the file end bits");
constexpr uint64_t kIgnoredBits =
    Bit(kIgnored1) | Bit(kIgnored2) | Bit(kModemReports) | Bit(kOutboundRefreshing);
// Texts that come from the language file, as opposed to the fixed ones.
constexpr uint64_t kLanguageBits = Bit(kModemReports) - 1;

// The file texts that may stand anywhere in a line join the one search over
// each line, after the session texts, and only when the files report is on.
std::vector<std::string> MatcherTexts(const RecognitionTexts& t, const FileCollector* files) {
  std::vector<std::string> texts(t.callFailed, t.callFailed + 6);
  for (const std::string* text :
       {&t.outgoingCall, &t.outgoingCall2, &t.incomingCall, &t.connect, &t.bbsCaller, &t.bbsEnd,
        &t.protectedSession, &t.remoteAddress, &t.remoteMailer, &t.remoteSysop, &t.protocolZmodem,
        &t.protocolHydra, &t.protocolZedzap, &t.protocolDirzap, &t.specialAbort, &t.sessionEnd,
        &t.sessionAborted, &t.ignoredLine1, &t.ignoredLine2}) {
    texts.push_back(*text);
  }
  texts.push_back("Modem reports:");
  texts.push_back("Outbound refreshing time:");
  if (files != nullptr) {
    for (std::string& text : files->TailTexts()) texts.push_back(std::move(text));
  }
  return texts;
}

// A line the rules must see, with what the classifier learnt of it.
struct ClassifiedLine {
  std::string_view line;
  int32_t time = 0;
  int32_t day = 0;
  uint64_t found = 0;
  LinePlace place = LinePlace::kInside;  // kInside or kAhead
  bool cut = false;                      // the log's last line, without its line end
};

// What one thread made of a block: its lines for the rules, and its share of
// the outline (its first and last day count only where it has dated lines).
struct ClassifiedBlock {
  std::vector<ClassifiedLine> lines;
  LogOutline outline;
};

// Everything the parse does to a line before the rules: its day and time, the
// period, and the one search for every text. It keeps nothing the rules
// change, so each thread has its own and blocks are classified in any order.
class LineClassifier {
 public:
  /// With `everyLine` the rules see every line of the period that is not
  /// ignored (the files report reads lines no session text marks).
  /// `received` and `sent` (empty: not looked for) begin the messages of a
  /// file that arrived or left whole; such lines come with kFileEndBits.
  LineClassifier(const LogPeriod& period, const RunCalendar& calendar, const TextMatcher& matcher,
                 bool everyLine, std::string_view received = {}, std::string_view sent = {})
      : window_(period, calendar),
        matcher_(matcher),
        everyLine_(everyLine),
        received_(received),
        sent_(sent) {}

  /// Counts the line in `outline`; true (with `out` filled) when the rules must see it.
  bool Classify(std::string_view line, LogOutline& outline, ClassifiedLine& out) {
    int32_t day = 0;
    int32_t time = 0;
    LinePlace place = window_.Place(line, outline, day, time);
    if (place != LinePlace::kInside && place != LinePlace::kAhead) return false;
    uint64_t found = matcher_.Match(line);
    if ((found & kLanguageBits) && place == LinePlace::kInside) ++outline.recognised;
    if (found & kIgnoredBits) return false;
    if (!received_.empty()) found |= FileEndBits(line);
    if ((found & (kSessionBits | kFileEndBits)) == 0 && !everyLine_) return false;
    out = ClassifiedLine{line, time, day, found, place, false};
    return true;
  }

  void Classify(const LogBlock& block, ClassifiedBlock& out) {
    out.lines.clear();
    out.outline = LogOutline{};
    ClassifiedLine classified;
    ForEachLine(block, [&](std::string_view line) {
      if (Classify(line, out.outline, classified)) out.lines.push_back(classified);
    });
    if (!out.lines.empty() && CutShort(block, out.lines.back().line)) out.lines.back().cut = true;
  }

 private:
  LineWindow window_;
  const TextMatcher& matcher_;
  bool everyLine_;
  std::string_view received_;
  std::string_view sent_;

  // A file's end line is looked for at the start of the message only: the
  // rest of the line is a name the remote system chose.
  uint64_t FileEndBits(std::string_view line) const {
    std::string_view message = DropFront(line, kMessageColumn);
    if (message.starts_with(received_)) return kFileReceivedBit;
    if (!sent_.empty() && message.starts_with(sent_)) return kFileSentBit;
    return 0;
  }
};

class LogParser {
 public:
  using Block = ClassifiedBlock;

  LogParser(const Settings& settings, const RecognitionTexts& texts, SessionModel& model,
            const RunCalendar& calendar)
      : settings_(settings),
        texts_(texts),
        model_(model),
        builder_(settings, model, calendar),
        files_(settings.MAKESTAT_FILES
                   ? std::make_unique<FileCollector>(texts, model.files, model.sessions)
                   : nullptr),
        matcher_(MatcherTexts(texts, files_.get())) {}

  void Start() {
    builder_.Start();
    model_.sessions.emplace_back();
  }

  /// A classifier for another thread (or for this one).
  LineClassifier Classifier() const {
    // Only the trends store counts files without the files report.
    bool count = !settings_.TRENDS_DB.empty();
    return LineClassifier(builder_.Period(), builder_.Calendar(), matcher_, files_ != nullptr,
                          count ? std::string_view(texts_.fileText2) : std::string_view(),
                          count ? std::string_view(texts_.fileText1) : std::string_view());
  }

  /// One line, classified and given to the rules here; `cut` when it is the
  /// log's last and has no line end.
  void Line(std::string_view line, bool cut = false) {
    ClassifiedLine classified;
    if (!classifier_.Classify(line, outline_, classified)) return;
    classified.cut = cut;
    Apply(classified);
  }

  /// The lines of a block a classifier read, in log order.
  void Apply(const ClassifiedBlock& block) {
    AddOutline(outline_, block.outline);
    for (const ClassifiedLine& line : block.lines) Apply(line);
  }

  void Finish(Console& console);

  /// Notes what the log's first line says about its encoding.
  void FirstLine(std::string_view line, const FirstLineFacts& facts);

 private:
  bool Has(int role) const { return (found_ & Bit(role)) != 0; }

  void Apply(const ClassifiedLine& line) {
    if (line.place == LinePlace::kAhead) {
      if (!FollowsAhead(line.found)) return;
    } else {
      NoteLineSpan(model_, line.day, line.time);
    }
    if (line.found & kSessionBits) {
      line_ = line.line;
      time_ = line.time;
      day_ = line.day;
      found_ = line.found;
      cut_ = line.cut;
      ApplyRules();
    }
    if (line.found & kFileEndBits) CountFileEnd(line.found);
    if (files_) files_->Line(line.line, line.time, static_cast<uint32_t>(line.found >> kRoleCount));
  }

  // Files that arrived or left whole in the open session.
  void CountFileEnd(uint64_t found) {
    const TSession& session = Current();
    if (session.StartDay == kDayNotSeen || session.EndDay != kDayNotSeen) return;
    uint32_t index = static_cast<uint32_t>(model_.sessions.size() - 1);
    std::vector<TSessionFiles>& counts = model_.SessionFiles;
    if (counts.empty() || counts.back().session != index) counts.push_back({index, 0, 0});
    ++((found & kFileReceivedBit) ? counts.back().received : counts.back().sent);
  }

  // The open session is dropped or begins again: its files with it.
  void DropFileEnds() {
    std::vector<TSessionFiles>& counts = model_.SessionFiles;
    if (!counts.empty() && counts.back().session == model_.sessions.size() - 1) counts.pop_back();
  }

  // Past the window's end the lines go on only to the session that began
  // inside it, up to its end; the next session belongs to the next window.
  bool FollowsAhead(uint64_t found) {
    if (aheadOver_) return false;
    const TSession& session = Current();
    bool open = session.StartDay != kDayNotSeen && session.EndDay == kDayNotSeen &&
                (openSessionLastTime_ != -1 || pendingCallTime_ != -1);
    constexpr uint64_t kOpening = Bit(kOutgoing1) | Bit(kOutgoing2) | Bit(kIncoming);
    if (!open || (found & kOpening)) aheadOver_ = true;
    return !aheadOver_;
  }

  TSession& Current() { return model_.sessions.back(); }
  std::string_view Message() const { return DropFront(line_, kMessageColumn); }

  void ApplyRules();
  void OpenSession();
  void CountUnfinished(const TSession& session);
  void TakePhoneFromCall();
  void ConnectRule();
  void AddressRule();
  void SessionEndRule();

  const Settings& settings_;
  const RecognitionTexts& texts_;
  SessionModel& model_;
  SessionBuilder builder_;
  std::unique_ptr<FileCollector> files_;  // only when the files report is on
  LogOutline outline_;
  TextMatcher matcher_;
  LineClassifier classifier_ = Classifier();

  int32_t pendingCallTime_ = -1;
  int32_t pendingCallDay_ = kDayNotSeen;
  bool specialAbortSeen_ = false;
  // Time of the last line the rules gave the current session while it was
  // open; -1 once it ended, its call failed, or before any session opened.
  int32_t openSessionLastTime_ = -1;
  bool aheadOver_ = false;  // the look-ahead past the window met the next session
  std::string_view line_;
  int32_t time_ = 0;
  int32_t day_ = 0;
  uint64_t found_ = 0;
  bool cut_ = false;
};

void LogParser::ApplyRules() {
  if (found_ & kCallFailedBits) {
    if (pendingCallTime_ == -1) return;
    builder_.FailedCall(pendingCallDay_, pendingCallTime_, day_, time_);
    // The mailer's call line names a phone, no address: its failed calls are
    // the station's, by the language file's text that failed them.
    const std::string& text = texts_.callFailed[std::countr_zero(found_ & kCallFailedBits)];
    builder_.Failure("", FailReasonOfText(text), false, true, text, day_, time_);
    pendingCallTime_ = -1;
    // The dialling time is counted above; a call that never connected is no
    // unfinished session.
    if (Current().EndDay == kDayNotSeen) openSessionLastTime_ = -1;
  }
  if (Has(kOutgoing1) || Has(kOutgoing2)) {
    OpenSession();
    pendingCallTime_ = time_;
    pendingCallDay_ = day_;
    if (settings_.TAKE_PHONE_FROM_CALLING) TakePhoneFromCall();
    return;
  }
  if (Has(kIncoming)) {
    OpenSession();
    pendingCallTime_ = -1;
    Current().Incoming = true;
    return;
  }
  TSession& session = Current();
  if (session.StartDay == kDayNotSeen) return;
  if (session.EndDay == kDayNotSeen && openSessionLastTime_ != -1) openSessionLastTime_ = time_;
  if (Has(kConnect)) return ConnectRule();
  if (Has(kBbsCaller)) {
    session.Bbs = true;
    return;
  }
  if (Has(kBbsEnd) && session.Bbs) {
    session.EndTime = time_;
    session.EndDay = day_;
    builder_.NewEvent(session, kEventBbs);
  }
  if (Has(kProtected)) {
    session.Protected = true;
    return;
  }
  if (Has(kAddress)) return AddressRule();
  if (Has(kMailer)) {
    session.Mailer = builder_.Changed(*After(line_, texts_.remoteMailer));
    return;
  }
  if (Has(kSysop)) {
    session.Sysop = builder_.Changed(DropFront(Message(), texts_.remoteSysop.size()));
    return;
  }
  for (int protocol = 1; protocol <= 4; ++protocol) {
    if (Has(kZmodem + protocol - 1)) {
      session.TransferStart = time_;
      session.Protocol = protocol;
      return;
    }
  }
  if (Has(kSpecialAbort) && settings_.HIDE_SPEC_ABORT) specialAbortSeen_ = true;
  if (Has(kSessionEnd)) SessionEndRule();
}

// A session abandoned without its end line is busy time all the same, up to
// the last line it was given; the quiet hours before the next call are not.
void LogParser::CountUnfinished(const TSession& session) {
  if (session.EndDay != kDayNotSeen || session.StartTime == -1 || openSessionLastTime_ == -1)
    return;
  int64_t left = Wrapped(session.StartTime, openSessionLastTime_);
  model_.LeftTime += left;
  model_.LeftTimeByDay.emplace_back(session.StartDay, left);
}

// A session that never reached its end line is reused. A remote-request close
// belongs to the session it was logged in, so the flag ends with it.
void LogParser::OpenSession() {
  specialAbortSeen_ = false;
  TSession& current = Current();
  if (files_) files_->SessionOpening(current.EndDay == kDayNotSeen);
  if (current.EndDay == kDayNotSeen) DropFileEnds();
  CountUnfinished(current);
  if (current.EndDay == kDayNotSeen) {
    current.Clear();
  } else {
    model_.sessions.emplace_back();
  }
  Current().StartTime = time_;
  Current().StartDay = day_;
  openSessionLastTime_ = time_;
}

// "..., ATDT123" gives "123". A call line without ", " names no phone.
void LogParser::TakePhoneFromCall() {
  std::optional<std::string_view> rest = After(Message(), ", ");
  if (!rest) return;
  std::string phone = UpperAscii(*rest);
  size_t at = phone.find("DT");
  if (at != std::string::npos) phone.erase(0, at + 2);
  at = phone.find("DP");
  if (at != std::string::npos) phone.erase(0, at + 2);
  Current().Phone = model_.texts.Intern(phone);
}

void LogParser::ConnectRule() {
  TSession& session = Current();
  session.ConnectTime = time_;
  if (cut_) return builder_.CutShort();
  std::optional<std::string_view> rest = After(Message(), texts_.connect);
  int64_t speed = rest ? LeadingDigits(CutAt(*rest, ' ')) : 0;
  session.ConnectSpeed = static_cast<int32_t>(std::min<int64_t>(speed, INT32_MAX));
}

void LogParser::AddressRule() {
  TSession& session = Current();
  std::string_view text = DropFront(Message(), texts_.remoteAddress.size());
  text = CutAt(CutAt(text, '@'), ',');
  if (!builder_.TakeAddress(session, text, line_, time_)) {
    session.Clear();
    DropFileEnds();
    if (files_) files_->SessionCleared();
    return;
  }
  std::string_view phone = model_.Text(session.Phone);
  if (phone.empty()) {
    std::optional<std::string_view> rest = After(line_, ", ");
    if (rest) phone = *rest;
  }
  session.Phone = builder_.ShownPhone(phone);
}

void LogParser::SessionEndRule() {
  // A figure read from a line its writer had not finished would be wrong: the
  // session stays unfinished.
  if (cut_) return builder_.CutShort();
  TSession& session = Current();
  session.EndTime = time_;
  session.EndDay = day_;
  builder_.NewEvent(session, session.Incoming ? kEventIn : kEventOut);
  session.Aborted = Has(kSessionAborted) && !specialAbortSeen_;
  if (session.Aborted) {
    builder_.Failure(std::string(model_.Text(session.Address)), FailReason::kBrokenOff, false,
                     false, texts_.sessionAborted, day_, time_);
  }
  std::string_view token = line_;
  if (std::optional<std::string_view> rest = After(token, ", ")) token = *rest;
  if (std::optional<std::string_view> rest = After(token, ":")) token = DropFront(*rest, 1);
  token = CutAt(token, ' ');
  size_t slash = token.find('/');
  session.Received = LeadingDigits(token.substr(0, slash));
  session.Sent = slash == std::string_view::npos ? 0 : LeadingDigits(token.substr(slash + 1));
  // Without a protocol line nothing was transferred: no transfer time, cps 0.
  int64_t transfer = session.TransferStart < 0 ? 0 : Wrapped(session.TransferStart, time_);
  session.Cps =
      CpsOf(static_cast<double>(session.Received + session.Sent), static_cast<double>(transfer));
  builder_.AddToLink(session, transfer);
}

void LogParser::Finish(Console& console) {
  TSession& last = Current();
  if (files_) files_->Finish(last.EndDay == kDayNotSeen);
  CountUnfinished(last);
  if (last.EndDay == kDayNotSeen) {
    DropFileEnds();
    model_.sessions.pop_back();
  }
  builder_.Finish(outline_, console);
}

void LogParser::FirstLine(std::string_view line, const FirstLineFacts& facts) {
  outline_.text = FirstLineText(line, facts);
}

// Growing the sessions by doubling would copy every session kept so far, again
// and again. A session takes some 800 bytes of a typical log; reserving for one
// per 512 bytes costs address space only, as untouched pages stay unmapped.
void ReserveForLog(std::optional<uint64_t> size, SessionModel& model, bool files) {
  if (!size || *size == 0) return;
  size_t sessions = static_cast<size_t>(std::min<uint64_t>(*size / 512, uint64_t{1} << 24));
  model.sessions.reserve(sessions);
  AdviseLargePages(model.sessions.data(), sessions * sizeof(TSession));
  // About one event per session, and one per failed call besides.
  model.events.reserve(sessions);
  AdviseLargePages(model.events.data(), sessions * sizeof(TEvent));
  // A file takes two lines of some 60 bytes at the least.
  if (files) {
    size_t records = static_cast<size_t>(std::min<uint64_t>(*size / 128, uint64_t{1} << 26));
    model.files.files.reserve(records);
    AdviseLargePages(model.files.files.data(), records * sizeof(TFileTransfer));
  }
}

}  // namespace

void ParseLogLines(LineReader& reader, const Settings& settings, const RecognitionTexts& texts,
                   const RunCalendar& today, SessionModel& model, Console& console) {
  LogParser parser(settings, texts, model, today);
  parser.Start();
  FeedLines(reader, parser);
  parser.Finish(console);
}

void ParseLogBlocks(LogBlockReader& reader, const Settings& settings, const RecognitionTexts& texts,
                    const RunCalendar& today, SessionModel& model, Console& console, int threads) {
  LogParser parser(settings, texts, model, today);
  parser.Start();
  BlockPipeline(reader, parser, threads).Run();
  StopOnReadError(reader, settings.LOG, console);
  parser.Finish(console);
}

void ParseLog(const Settings& settings, const RecognitionTexts& texts, const RunCalendar& today,
              SessionModel& model, Console& console, Platform& platform) {
  std::string_view compression = CompressionOfName(settings.LOG);
  if (!compression.empty() && compression != "gz") {
    console.ConsoleLog(kError, " %s is compressed as %s, which Zentrak does not read",
                       {settings.LOG, compression});
    StopRun(1);
  }
  const TimeWindow& w = settings.timeWindow;
  LogPeriod period = PeriodOf(w.startDaysBack, w.startTime, w.endDaysBack, w.endTime, today);
  bool binkd = settings.logFormat == LogFormat::kBinkd;
  // binkd's reader looks a little before the window for sessions going on.
  int64_t behind = binkd ? kLookBehindSeconds : 0;
  int64_t needFrom = int64_t{period.firstDay} * 86400 + period.startTime - behind;
  LogInstant from{static_cast<int32_t>(needFrom / 86400 - (needFrom % 86400 < 0 ? 1 : 0)), 0};
  from.time = static_cast<int32_t>(needFrom - int64_t{from.day} * 86400);
  errno = 0;
  std::unique_ptr<LogSource> source =
      OpenLogSource(settings.LOG, from, period, today, console, platform);
  if (!source) {
    console.ConsoleLog(kError, kUnableToOpen, {"log file", settings.LOG});
    console.Reason(ErrnoOr(EIO));
    StopRun(1);
  }
  ReserveForLog(source->DiskBytes(), model, settings.MAKESTAT_FILES);
  LogBlockReader reader(*source, kLogBlockSize);
  reader.SetEndReport([&source](Console& out) { source->ReportCompressed(out); });
  if (binkd) return ParseBinkdLogBlocks(reader, settings, today, model, console, WorkThreads());
  ParseLogBlocks(reader, settings, texts, today, model, console, WorkThreads());
}

}  // namespace zentrak
