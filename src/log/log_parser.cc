// The log parser. Each line inside the period is matched once against every
// recognition text; the rules then run in their fixed order on the answer.
#include "log/log_parser.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <unordered_map>

#include "config/text_rules.h"
#include "console/run_stop.h"
#include "log/file_transfers.h"
#include "log/log_blocks.h"
#include "log/nothing_to_do.h"
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
constexpr const char* kReading = " Reading %s (%s)";
constexpr const char* kNothingToDo = " There is nothing to do...";
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

// A span from `start` to `end` seconds of day, wrapping midnight once.
int64_t Wrapped(int32_t start, int32_t end) {
  return end < start ? int64_t{end} - start + kSecondsPerDay : int64_t{end} - start;
}

// The text after the first `separator`; nothing when there is none.
std::optional<std::string_view> After(std::string_view text, std::string_view separator) {
  size_t at = text.find(separator);
  if (at == std::string_view::npos) return std::nullopt;
  return text.substr(at + separator.size());
}

std::string_view CutAt(std::string_view text, char c) {
  size_t at = text.find(c);
  return at == std::string_view::npos ? text : text.substr(0, at);
}

std::string_view DropFront(std::string_view text, size_t count) {
  return text.substr(std::min(count, text.size()));
}

// Leading decimal digits; none gives 0. Saturates far above any byte count.
int64_t LeadingDigits(std::string_view text) {
  int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    if (value < (int64_t{1} << 58)) value = value * 10 + (c - '0');
  }
  return value;
}

// A rewrite that depends on nothing but its text, done once for each distinct
// text: a link's texts come back in every one of its sessions.
class RewriteMemo {
 public:
  template <typename Rewrite>
  TextId Get(std::string_view text, TextPool& into, const Rewrite& rewrite) {
    TextId seen = seen_.Intern(text);
    if (seen >= results_.size()) results_.resize(seen_.Size(), kUnset);
    if (results_[seen] == kUnset) results_[seen] = into.Intern(rewrite(text));
    return results_[seen];
  }

 private:
  static constexpr TextId kUnset = UINT32_MAX;
  TextPool seen_;
  std::vector<TextId> results_;
};

// A line the rules must see, with what the classifier learnt of it.
struct ClassifiedLine {
  std::string_view line;
  int32_t time = 0;
  int32_t day = 0;
  uint64_t found = 0;
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
  LineClassifier(const LogPeriod& period, const RunCalendar& calendar, const TextMatcher& matcher,
                 bool everyLine)
      : period_(period), calendar_(calendar), matcher_(matcher), everyLine_(everyLine) {}

  /// Counts the line in `outline`; true (with `out` filled) when the rules must see it.
  bool Classify(std::string_view line, LogOutline& outline, ClassifiedLine& out) {
    if (line.empty()) return false;
    ++outline.lines;
    std::optional<int32_t> day = DayNumber(line);
    if (!day) return false;
    if (outline.datedLines++ == 0) outline.firstDay = *day;
    outline.lastDay = *day;
    if (*day < period_.firstDay || *day > period_.lastDay) {
      // Once one line has shown a time, the others outside the period need not.
      if (!outline.timed) outline.timed = LineTime(line) >= 0;
      return false;
    }
    int32_t time = LineTime(line);
    if (time < 0) return false;
    outline.timed = true;
    if (*day == period_.firstDay && time < period_.startTime) return false;
    if (*day == period_.lastDay && time > period_.endTime) return false;
    ++outline.inPeriod;
    uint64_t found = matcher_.Match(line);
    if (found & kLanguageBits) ++outline.recognised;
    if (found & kIgnoredBits) return false;
    if ((found & kSessionBits) == 0 && !everyLine_) return false;
    out = ClassifiedLine{line, time, *day, found};
    return true;
  }

  void Classify(const LogBlock& block, ClassifiedBlock& out) {
    out.lines.clear();
    out.outline = LogOutline{};
    ClassifiedLine classified;
    ForEachLine(block, [&](std::string_view line) {
      if (Classify(line, out.outline, classified)) out.lines.push_back(classified);
    });
  }

 private:
  // Lines come in long runs of one date. In the usual layout the day number
  // depends on columns 3-10 alone, so the last answer is kept for them.
  std::optional<int32_t> DayNumber(std::string_view line) {
    if (line.size() < 10) return LineDayNumber(line, calendar_);
    uint64_t columns;
    std::memcpy(&columns, line.data() + 2, sizeof columns);
    if (dayKnown_ && columns == dayColumns_) return dayOfColumns_;
    std::optional<int32_t> day = LineDayNumber(line, calendar_);
    const char* s = line.data() + 2;
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (digit(s[0]) && digit(s[1]) && s[2] == ' ' && s[6] == ' ' && digit(s[7])) {
      dayKnown_ = true;
      dayColumns_ = columns;
      dayOfColumns_ = day;
    }
    return day;
  }

  const LogPeriod& period_;
  const RunCalendar& calendar_;
  const TextMatcher& matcher_;
  bool everyLine_;
  bool dayKnown_ = false;
  uint64_t dayColumns_ = 0;
  std::optional<int32_t> dayOfColumns_;
};

class LogParser {
 public:
  LogParser(const Settings& settings, const RecognitionTexts& texts, SessionModel& model,
            const RunCalendar& calendar)
      : settings_(settings),
        texts_(texts),
        model_(model),
        calendar_(calendar),
        files_(settings.MAKESTAT_FILES
                   ? std::make_unique<FileCollector>(texts, model.files, model.sessions)
                   : nullptr),
        matcher_(MatcherTexts(texts, files_.get())) {
    const TimeWindow& w = settings.timeWindow;
    period_ = PeriodOf(w.startDaysBack, w.startTime, w.endDaysBack, w.endTime, calendar);
    excludeMasks_.reserve(settings.ExcludeAddressList.size());
    for (const std::string& mask : settings.ExcludeAddressList) excludeMasks_.emplace_back(mask);
    for (const std::string& entry : settings.AliasList) {
      size_t equals = entry.find('=');
      if (equals == std::string::npos) continue;
      aliases_.push_back({UpperAscii(entry.substr(0, equals)), entry.substr(equals + 1)});
    }
  }

  void Start() {
    model_.PeriodFirstDay = period_.firstDay;
    model_.PeriodLastDay = period_.lastDay;
    model_.TotalCallingTime = 0;
    model_.sessions.emplace_back();
  }

  /// A classifier for another thread (or for this one).
  LineClassifier Classifier() const {
    return LineClassifier(period_, calendar_, matcher_, files_ != nullptr);
  }

  /// One line, classified and given to the rules here.
  void Line(std::string_view line) {
    ClassifiedLine classified;
    if (classifier_.Classify(line, outline_, classified)) Apply(classified);
  }

  /// The lines of a block a classifier read, in log order.
  void Apply(const ClassifiedBlock& block) {
    const LogOutline& part = block.outline;
    if (part.datedLines > 0) {
      if (outline_.datedLines == 0) outline_.firstDay = part.firstDay;
      outline_.lastDay = part.lastDay;
    }
    outline_.lines += part.lines;
    outline_.datedLines += part.datedLines;
    outline_.timed = outline_.timed || part.timed;
    outline_.inPeriod += part.inPeriod;
    outline_.recognised += part.recognised;
    for (const ClassifiedLine& line : block.lines) Apply(line);
  }

  void Finish(Console& console);

  /// Notes what the log's first line says about its encoding.
  void FirstLine(std::string_view line, const FirstLineFacts& facts);

 private:
  bool Has(int role) const { return (found_ & Bit(role)) != 0; }

  void Apply(const ClassifiedLine& line) {
    if (line.found & kSessionBits) {
      line_ = line.line;
      time_ = line.time;
      day_ = line.day;
      found_ = line.found;
      ApplyRules();
    }
    if (files_) files_->Line(line.line, line.time, static_cast<uint32_t>(line.found >> kRoleCount));
  }

  TSession& Current() { return model_.sessions.back(); }
  std::string_view Message() const { return DropFront(line_, kMessageColumn); }

  void ApplyRules();
  void OpenSession();
  void CountUnfinished(const TSession& session);
  void TakePhoneFromCall();
  void ConnectRule();
  void AddressRule();
  void UpdateLastCall(std::string_view address);
  void SessionEndRule();
  void AddToLink(const TSession& session);
  size_t LinkOf(TextId address);
  TextId Changed(std::string_view text) {
    return changedTexts_.Get(text, model_.texts, [this](std::string_view raw) {
      return ApplyChanges(raw, settings_.ChangeTable);
    });
  }
  void PutLinksInAddressOrder();
  void NewEvent(const TSession& session, uint8_t kind);
  void Totals();

  const Settings& settings_;
  const RecognitionTexts& texts_;
  SessionModel& model_;
  RunCalendar calendar_;
  LogPeriod period_;
  std::unique_ptr<FileCollector> files_;  // only when the files report is on
  LogOutline outline_;
  TextMatcher matcher_;
  LineClassifier classifier_{period_, calendar_, matcher_, files_ != nullptr};
  std::vector<CompiledMask> excludeMasks_;
  struct Alias {
    std::string upperName;
    std::string address;
  };
  std::vector<Alias> aliases_;
  std::map<AddressKey, size_t> linkIndex_;  // address -> index in model_.links
  static constexpr size_t kNoLink = SIZE_MAX;
  std::vector<size_t> linkOfText_;  // by address text: index in model_.links, or kNoLink
  RewriteMemo changedTexts_;        // a mailer or sysop text -> the text the CHANGE rules make
  RewriteMemo shownPhones_;         // a phone text -> the phone shown
  std::unordered_map<uint64_t, size_t> lastCallByParts_;  // packed parts -> lastCalls index

  int32_t pendingCallTime_ = -1;
  int32_t pendingCallDay_ = kDayNotSeen;
  bool specialAbortSeen_ = false;
  // Time of the last line the rules gave the current session while it was
  // open; -1 once it ended, its call failed, or before any session opened.
  int32_t openSessionLastTime_ = -1;
  std::string_view line_;
  int32_t time_ = 0;
  int32_t day_ = 0;
  uint64_t found_ = 0;
};

void LogParser::ApplyRules() {
  if (found_ & kCallFailedBits) {
    if (pendingCallTime_ == -1) return;
    model_.events.push_back(
        TEvent{pendingCallDay_, day_, pendingCallTime_, time_, static_cast<uint8_t>(kEventCall)});
    model_.TotalCallingTime += Wrapped(pendingCallTime_, time_);
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
    NewEvent(session, kEventBbs);
  }
  if (Has(kProtected)) {
    session.Protected = true;
    return;
  }
  if (Has(kAddress)) return AddressRule();
  if (Has(kMailer)) {
    session.Mailer = Changed(*After(line_, texts_.remoteMailer));
    return;
  }
  if (Has(kSysop)) {
    session.Sysop = Changed(DropFront(Message(), texts_.remoteSysop.size()));
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
  model_.LeftTime += Wrapped(session.StartTime, openSessionLastTime_);
}

// A session that never reached its end line is reused. A remote-request close
// belongs to the session it was logged in, so the flag ends with it.
void LogParser::OpenSession() {
  specialAbortSeen_ = false;
  TSession& current = Current();
  if (files_) files_->SessionOpening(current.EndDay == kDayNotSeen);
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
  session.ConnectDay = day_;
  std::optional<std::string_view> rest = After(Message(), texts_.connect);
  int64_t speed = rest ? LeadingDigits(CutAt(*rest, ' ')) : 0;
  session.ConnectSpeed = static_cast<int32_t>(std::min<int64_t>(speed, INT32_MAX));
}

void LogParser::AddressRule() {
  TSession& session = Current();
  std::string_view text = DropFront(Message(), texts_.remoteAddress.size());
  text = CutAt(CutAt(text, '@'), ',');
  std::string address(text);
  std::string aliasName;
  std::string upper = aliases_.empty() ? std::string() : UpperAscii(address);
  for (const Alias& alias : aliases_) {
    if (alias.upperName == upper) {
      aliasName = address;
      address = alias.address;
      break;
    }
  }
  for (const CompiledMask& mask : excludeMasks_) {
    if (mask.Matches(address)) {
      session.Clear();
      if (files_) files_->SessionCleared();
      return;
    }
  }
  UpdateLastCall(address);
  session.Address = model_.texts.Intern(std::string_view(address).substr(0, kTextBound));
  // The alias name is the address as the log wrote it; keep it even when a
  // later address line of the session is not an alias.
  if (!aliasName.empty()) session.AliasName = model_.texts.Intern(aliasName);
  std::string_view phone = model_.Text(session.Phone);
  if (phone.empty()) {
    std::optional<std::string_view> rest = After(line_, ", ");
    if (rest) phone = *rest;
  }
  session.Phone = shownPhones_.Get(phone, model_.texts, [this](std::string_view text) {
    std::string shown(text);
    for (const std::string& part : settings_.ExcludePhoneList) {
      if (part.empty()) continue;
      size_t at = shown.find(part);
      if (at != std::string::npos) shown.erase(at, part.size());
    }
    return ApplyChanges(shown, settings_.ChangeTable);
  });
}

// Keyed by the address's canonical text, so "2:5020/1.0" and "2:5020/01" find
// the record of 2:5020/1 instead of adding another. An address that does not fit
// the record's 16-bit parts gets none rather than one that aliases another address.
void LogParser::UpdateLastCall(std::string_view address) {
  std::optional<std::array<uint16_t, 4>> parts = AddressParts16(address);
  std::optional<int32_t> dateKey = LineDateKey(line_, calendar_);
  if (!parts || !dateKey) return;
  // The text index is the model's; the parser finds records it has seen by
  // the parts themselves, without building the text again.
  const std::array<uint16_t, 4>& p = *parts;
  uint64_t packed = uint64_t{p[0]} << 48 | uint64_t{p[1]} << 32 | uint64_t{p[2]} << 16 | p[3];
  auto seen = lastCallByParts_.find(packed);
  size_t index;
  if (seen != lastCallByParts_.end()) {
    index = seen->second;
  } else {
    TLastCall fresh;
    fresh.Zone = p[0];
    fresh.Net = p[1];
    fresh.Node = p[2];
    fresh.Point = p[3];
    auto [it, added] =
        model_.lastCallIndex.try_emplace(LastCallAddress(fresh), model_.lastCalls.size());
    if (added) model_.lastCalls.push_back(fresh);
    index = it->second;
    lastCallByParts_.emplace(packed, index);
  }
  TLastCall& record = model_.lastCalls[index];
  if (*dateKey > record.LastDate) {
    record.LastDate = *dateKey;
    record.LastTime = time_;
  } else if (*dateKey == record.LastDate && time_ > record.LastTime) {
    record.LastTime = time_;
  }
}

void LogParser::SessionEndRule() {
  TSession& session = Current();
  session.EndTime = time_;
  session.EndDay = day_;
  NewEvent(session, session.Incoming ? kEventIn : kEventOut);
  session.Aborted = Has(kSessionAborted) && !specialAbortSeen_;
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
  AddToLink(session);
}

// Links are appended as they appear and put in address order once at the end;
// inserting each in place moved every link above it.
void LogParser::AddToLink(const TSession& session) {
  size_t index = LinkOf(session.Address);
  int64_t transfer = session.TransferStart < 0 ? 0 : Wrapped(session.TransferStart, time_);
  int64_t online = Wrapped(session.StartTime, session.EndTime);
  if (index == model_.links.size()) {
    TLink link;
    link.Address = model_.Text(session.Address);
    link.AliasName = model_.Text(session.AliasName);
    link.Phone = model_.Text(session.Phone);
    link.Sysop = model_.Text(session.Sysop);
    link.Mailer = model_.Text(session.Mailer);
    link.Protected = session.Protected;
    link.Received = link.Sent = link.OnlineTime = link.TransferTime = 0;
    model_.links.push_back(std::move(link));
  }
  TLink& link = model_.links[index];
  // A link's sums stop at a quarter of the 64-bit range, so that many sessions
  // of the largest size a log can state, and their sum in the reports, never wrap.
  constexpr int64_t kLinkBytesLimit = INT64_MAX / 4;
  link.Received = std::min(kLinkBytesLimit, link.Received + session.Received);
  link.Sent = std::min(kLinkBytesLimit, link.Sent + session.Sent);
  link.TransferTime += transfer;
  link.OnlineTime += online;
  link.Cps =
      CpsOf(static_cast<double>(link.Received + link.Sent), static_cast<double>(link.TransferTime));
}

// The link of an address: the same number for every text that names the same
// address ("2:5020/1.0" and "2:5020/1"); the next free number for a new one.
size_t LogParser::LinkOf(TextId address) {
  if (address < linkOfText_.size() && linkOfText_[address] != kNoLink) return linkOfText_[address];
  AddressKey key = AddressKeyOf(model_.Text(address));
  size_t index = linkIndex_.try_emplace(key, model_.links.size()).first->second;
  if (address >= linkOfText_.size()) linkOfText_.resize(model_.texts.Size(), kNoLink);
  // A new link exists only once its session was added to it.
  if (index < model_.links.size()) linkOfText_[address] = index;
  return index;
}

void LogParser::NewEvent(const TSession& session, uint8_t kind) {
  model_.events.push_back(
      TEvent{session.StartDay, session.EndDay, session.StartTime, session.EndTime, kind});
}

void LogParser::Totals() {
  for (const TLink& link : model_.links) {
    model_.TotalReceived += static_cast<double>(link.Received);
    model_.TotalSent += static_cast<double>(link.Sent);
    model_.TotalOnlineTime += link.OnlineTime;
    model_.TotalTransferTime += static_cast<double>(link.TransferTime);
  }
  // Capped like every cps; the quotient is rounded on 64 bits before the cap.
  model_.TotalCps = CpsOf(model_.TotalReceived + model_.TotalSent, model_.TotalTransferTime);
  for (const TEvent& event : model_.events) {
    if (event.Kind == kEventBbs) model_.TotalBbsTime += Wrapped(event.StartTime, event.EndTime);
  }
  model_.BbsSessions = static_cast<int32_t>(
      std::count_if(model_.sessions.begin(), model_.sessions.end(),
                    [](const TSession& s) { return s.Bbs && s.EndDay != kDayNotSeen; }));
}

void LogParser::PutLinksInAddressOrder() {
  std::vector<TLink> sorted;
  sorted.reserve(model_.links.size());
  for (const auto& [key, index] : linkIndex_) sorted.push_back(std::move(model_.links[index]));
  model_.links = std::move(sorted);
}

void LogParser::Finish(Console& console) {
  PutLinksInAddressOrder();
  TSession& last = Current();
  if (files_) files_->Finish(last.EndDay == kDayNotSeen);
  CountUnfinished(last);
  if (last.EndDay == kDayNotSeen) model_.sessions.pop_back();
  model_.PeriodFrom = DayNumberToDate(model_.PeriodFirstDay, calendar_.currentYear);
  model_.PeriodTill = DayNumberToDate(model_.PeriodLastDay, calendar_.currentYear);
  if (model_.sessions.empty()) {
    int status = ExplainNothingToDo(outline_, period_, calendar_, settings_.LNGFILE, console);
    console.ConsoleLog(kNotice, kNothingToDo);
    StopRun(status);
  }
  Totals();
  if (!model_.events.empty()) {
    const TEvent& first = model_.events.front();
    const TEvent& final = model_.events.back();
    model_.PeriodFirstDay = first.StartDay - (period_.startTime > first.StartTime ? 1 : 0);
    model_.PeriodLastDay = final.EndDay + (period_.endTime < final.EndTime ? 1 : 0);
    model_.PeriodFrom = DayNumberToDate(model_.PeriodFirstDay, calendar_.currentYear);
    model_.PeriodTill = DayNumberToDate(model_.PeriodLastDay, calendar_.currentYear);
  }
}

// UTF-16 text of the log's ASCII layout without a byte-order mark: one half of
// the bytes (the odd ones in little-endian, the even ones in big-endian) is
// NUL throughout, the other is not. A stray NUL in an 8-bit line is just a byte.
bool NulBetweenLetters(std::string_view line) {
  if (line.size() < 2) return false;
  bool nul[2] = {true, true};
  bool letter[2] = {false, false};
  for (size_t k = 0; k < line.size(); ++k) {
    bool isNul = line[k] == '\0';
    nul[k % 2] = nul[k % 2] && isNul;
    letter[k % 2] = letter[k % 2] || !isNul;
  }
  return (nul[0] && letter[1]) || (nul[1] && letter[0]);
}

// UTF-16 shows in the first line already, as a byte-order mark or as NULs
// between the letters. A first line that ran past the line bound without a
// line feed, or holds a CR without one, means the log's lines do not end in LF.
void LogParser::FirstLine(std::string_view line, const FirstLineFacts& facts) {
  if (line.starts_with("\xFF\xFE") || line.starts_with("\xFE\xFF") || NulBetweenLetters(line)) {
    outline_.text = LogOutline::Text::kUtf16;
  } else if (facts.unterminated &&
             (facts.physicalLength > kMaxLineLength || line.find('\r') != std::string_view::npos)) {
    outline_.text = LogOutline::Text::kNoLineEnds;
  }
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

// A block this big keeps a thread busy for about half a millisecond between two
// turns at the shared reader, and the few in flight stay in the cache: 1 MiB
// blocks were measured some 8 % slower.
constexpr size_t kLogBlockSize = size_t{256} << 10;

// The blocks between the reader, the threads that classify them and the rules.
// Any thread reads and classifies the next block; the calling thread also gives
// the classified blocks to the rules, strictly in log order, and classifies
// when the next block in order is not ready yet.
class BlockPipeline {
 public:
  BlockPipeline(LogBlockReader& reader, LogParser& parser, int threads)
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
    LineClassifier classifier = parser_.Classifier();
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
    ClassifiedBlock classified;
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
  bool ClassifyNext(std::unique_lock<std::mutex>& lock, LineClassifier& classifier) {
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
      LineClassifier classifier = parser_.Classifier();
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
  LogParser& parser_;
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

}  // namespace

void ParseLogLines(LineReader& reader, const Settings& settings, const RecognitionTexts& texts,
                   const RunCalendar& today, SessionModel& model, Console& console) {
  LogParser parser(settings, texts, model, today);
  parser.Start();
  std::string_view line;
  if (reader.Next(line)) {
    parser.FirstLine(line, FirstLineFacts{true, reader.LastLineUnterminated(),
                                          reader.LineEnd() - reader.LineStart()});
    parser.Line(line);
    while (reader.Next(line)) parser.Line(line);
  }
  parser.Finish(console);
}

void ParseLogBlocks(LogBlockReader& reader, const Settings& settings, const RecognitionTexts& texts,
                    const RunCalendar& today, SessionModel& model, Console& console, int threads) {
  LogParser parser(settings, texts, model, today);
  parser.Start();
  BlockPipeline(reader, parser, threads).Run();
  // Reports of half a log would publish wrong figures over right ones.
  if (int error = reader.ReadError()) {
    console.ConsoleLog(kError, " Unable to read %s (%s)", {"log file", settings.LOG});
    console.Reason(error);
    StopRun(1);
  }
  parser.Finish(console);
}

void ParseLog(const Settings& settings, const RecognitionTexts& texts, const RunCalendar& today,
              SessionModel& model, Console& console, Platform& platform) {
  errno = 0;
  std::unique_ptr<File> file = platform.OpenFile(settings.LOG, FileMode::kRead);
  if (!file) {
    console.ConsoleLog(kError, kUnableToOpen, {"log file", settings.LOG});
    console.Reason(ErrnoOr(EIO));
    StopRun(1);
  }
  console.ConsoleLog(kMilestone, kReading, {"log file", settings.LOG});
  ReserveForLog(platform.FileSize(settings.LOG), model, settings.MAKESTAT_FILES);
  LogBlockReader reader(*file, kLogBlockSize);
  ParseLogBlocks(reader, settings, texts, today, model, console, WorkThreads());
}

}  // namespace zentrak
