// The model updates both log readers share.
#include "log/session_builder.h"

#include <algorithm>

#include "config/text_rules.h"
#include "console/run_stop.h"
#include "support/text.h"

namespace zentrak {
namespace {
constexpr const char* kNothingToDo = " There is nothing to do...";
}  // namespace

SessionBuilder::SessionBuilder(const Settings& settings, SessionModel& model,
                               const RunCalendar& calendar)
    : settings_(settings), model_(model), calendar_(calendar) {
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

void SessionBuilder::Start() {
  model_.PeriodFirstDay = period_.firstDay;
  model_.PeriodLastDay = period_.lastDay;
  model_.TotalCallingTime = 0;
}

std::string SessionBuilder::Aliased(std::string_view text, std::string& aliasName) const {
  std::string address(text);
  std::string upper = aliases_.empty() ? std::string() : UpperAscii(address);
  for (const Alias& alias : aliases_) {
    if (alias.upperName == upper) {
      aliasName = address;
      return alias.address;
    }
  }
  return address;
}

std::optional<std::string> SessionBuilder::FailureAddress(std::string_view text) const {
  if (text.empty()) return std::string();
  std::string aliasName;
  std::string address = Aliased(text, aliasName);
  for (const CompiledMask& mask : excludeMasks_) {
    if (mask.Matches(address)) return std::nullopt;
  }
  return std::string(std::string_view(address).substr(0, kTextBound));
}

bool SessionBuilder::TakeAddress(TSession& session, std::string_view text, std::string_view line,
                                 int32_t time, const AddressFacts* read) {
  std::string aliasName;
  std::string address = Aliased(text, aliasName);
  for (const CompiledMask& mask : excludeMasks_) {
    if (mask.Matches(address)) return false;
  }
  UpdateLastCall(address, line, time, read, !aliasName.empty());
  session.Address = model_.texts.Intern(std::string_view(address).substr(0, kTextBound));
  // The alias name is the address as the log wrote it; keep it even when a
  // later address line of the session is not an alias.
  if (!aliasName.empty()) session.AliasName = model_.texts.Intern(aliasName);
  return true;
}

TextId SessionBuilder::ShownPhone(std::string_view phone) {
  return shownPhones_.Get(phone, model_.texts, [this](std::string_view text) {
    std::string shown(text);
    for (const std::string& part : settings_.ExcludePhoneList) {
      if (part.empty()) continue;
      size_t at = shown.find(part);
      if (at != std::string::npos) shown.erase(at, part.size());
    }
    return ApplyChanges(shown, settings_.ChangeTable);
  });
}

TextId SessionBuilder::Changed(std::string_view text) {
  return changedTexts_.Get(text, model_.texts, [this](std::string_view raw) {
    return ApplyChanges(raw, settings_.ChangeTable);
  });
}

// Keyed by the address's canonical text, so "2:5020/1.0" and "2:5020/01" find
// the record of 2:5020/1 instead of adding another. An address that does not fit
// the record's 16-bit parts gets none rather than one that aliases another address.
void SessionBuilder::UpdateLastCall(std::string_view address, std::string_view line, int32_t time,
                                    const AddressFacts* read, bool aliased) {
  // An alias's address is not the text that was read.
  std::optional<std::array<uint16_t, 4>> parts =
      read && !aliased ? read->parts : AddressParts16(address);
  std::optional<CalendarDate> date = read ? read->date : LineCalendarDate(line, calendar_);
  if (!parts || !date) return;
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
    // A record the history held is dated as the report will show it; a new one
    // has no contact yet, so the first line dates it.
    lastCallOrders_.resize(model_.lastCalls.size(), kNoContact);
    if (!added) {
      lastCallOrders_[index] =
          DateOrder(DecodeDateKey(model_.lastCalls[index].LastDate, DateOf(calendar_)));
    }
  }
  // Compared by date, not by key: a key does not order across the new year. A
  // line's year is known, so a record this run dated keeps its exact date.
  TLastCall& record = model_.lastCalls[index];
  int64_t order = DateOrder(*date);
  if (order > lastCallOrders_[index]) {
    record.LastDate = DateKeyOf(*date);
    record.LastTime = time;
    lastCallOrders_[index] = order;
  } else if (order == lastCallOrders_[index] && time > record.LastTime) {
    record.LastTime = time;
  }
}

// Links are appended as they appear and put in address order once at the end;
// inserting each in place moved every link above it.
void SessionBuilder::AddToLink(const TSession& session, int64_t transfer) {
  size_t index = LinkOf(session.Address);
  int64_t online = Wrapped(session.StartTime, session.EndTime);
  if (index == model_.links.size()) {
    TLink link;
    link.Address = model_.Text(session.Address);
    link.AliasName = model_.Text(session.AliasName);
    link.Phone = model_.Text(session.Phone);
    link.Sysop = model_.Text(session.Sysop);
    link.Mailer = model_.Text(session.Mailer);
    link.System = model_.Text(model_.RemoteNames(session).system);
    link.Location = model_.Text(model_.RemoteNames(session).location);
    link.Protected = session.Protected;
    link.Received = link.Sent = link.OnlineTime = link.TransferTime = 0;
    model_.links.push_back(std::move(link));
  }
  TLink& link = model_.links[index];
  if (session.Incoming) {
    ++(session.Aborted ? link.InFailed : link.InOk);
  } else {
    ++(session.Aborted ? link.CallsFailed : link.CallsOk);
  }
  if (!session.Protected) {
    ++link.Unprotected;
    ++model_.UnprotectedSessions;
  }
  // Sessions come in the order they ended, so the latest one is the last.
  link.LastDay = session.EndDay;
  link.LastTime = session.EndTime;
  link.LastOk = !session.Aborted;
  // A link's sums stop at a quarter of the 64-bit range, so that many sessions
  // of the largest size a log can state, and their sum in the reports, never wrap.
  constexpr int64_t kLinkBytesLimit = INT64_MAX / 4;
  link.Received = std::min(kLinkBytesLimit, link.Received + session.Received);
  link.Sent = std::min(kLinkBytesLimit, link.Sent + session.Sent);
  link.TransferTime += transfer;
  link.OnlineTime += online;
  link.Cps = settings_.logFormat == LogFormat::kBinkd
                 ? static_cast<int32_t>(BinkpCpsOf(link.Received + link.Sent, link.TransferTime))
                 : CpsOf(static_cast<double>(link.Received + link.Sent),
                         static_cast<double>(link.TransferTime));
}

void SessionBuilder::AddAnonymous(const TSession& session) {
  // Still the station's time and bytes on line, in its totals.
  anonymousOnline_ += Wrapped(session.StartTime, session.EndTime);
  anonymousBytes_[0] += std::max<int64_t>(session.Received, 0);
  anonymousBytes_[1] += std::max<int64_t>(session.Sent, 0);
  ++model_.AnonymousSessions;
  if (!session.Protected) ++model_.UnprotectedSessions;
}

void SessionBuilder::Failure(const std::string& address, FailReason reason, bool claimed, bool call,
                             std::string_view text, int32_t day, int32_t time) {
  auto key = std::make_pair(std::make_pair(address.empty(), AddressKeyOf(address)),
                            static_cast<int>(reason));
  auto [it, added] = failureIndex_.try_emplace(key, model_.failures.size());
  if (added) {
    TFailure fresh;
    fresh.Address = address;
    fresh.Reason = reason;
    model_.failures.push_back(std::move(fresh));
  }
  TFailure& failure = model_.failures[it->second];
  ++(call ? failure.Calls : failure.Sessions);
  failure.Claimed = failure.Claimed || claimed;
  failure.LastDay = day;
  failure.LastTime = time;
  if (!text.empty()) failure.Text = CutTo(text, kFailureTextBound);
  if (call && !address.empty()) ++callsNoConnect_[AddressKeyOf(address)];
}

// The link of an address: the same number for every text that names the same
// address ("2:5020/1.0" and "2:5020/1"); the next free number for a new one.
size_t SessionBuilder::LinkOf(TextId address) {
  if (address < linkOfText_.size() && linkOfText_[address] != kNoLink) return linkOfText_[address];
  AddressKey key = AddressKeyOf(model_.Text(address));
  size_t index = linkIndex_.try_emplace(key, model_.links.size()).first->second;
  if (address >= linkOfText_.size()) linkOfText_.resize(model_.texts.Size(), kNoLink);
  // A new link exists only once its session was added to it.
  if (index < model_.links.size()) linkOfText_[address] = index;
  return index;
}

void SessionBuilder::NewEvent(const TSession& session, uint8_t kind) {
  model_.events.push_back(
      TEvent{session.StartDay, session.EndDay, session.StartTime, session.EndTime, kind});
}

void SessionBuilder::FailedCall(int32_t startDay, int32_t startTime, int32_t endDay,
                                int32_t endTime) {
  model_.events.push_back(
      TEvent{startDay, endDay, startTime, endTime, static_cast<uint8_t>(kEventCall)});
  model_.TotalCallingTime += Wrapped(startTime, endTime);
}

void SessionBuilder::Totals() {
  for (const TLink& link : model_.links) {
    model_.TotalReceived += static_cast<double>(link.Received);
    model_.TotalSent += static_cast<double>(link.Sent);
    model_.TotalOnlineTime += link.OnlineTime;
    model_.TotalTransferTime += static_cast<double>(link.TransferTime);
  }
  model_.TotalOnlineTime += anonymousOnline_;
  model_.TotalReceived += static_cast<double>(anonymousBytes_[0]);
  model_.TotalSent += static_cast<double>(anonymousBytes_[1]);
  // Capped like every cps; the quotient is rounded on 64 bits before the cap.
  model_.TotalCps = CpsOf(model_.TotalReceived + model_.TotalSent, model_.TotalTransferTime);
  // binkd's speeds: as the trends report computes them, without the cap.
  if (settings_.logFormat == LogFormat::kBinkd) {
    model_.TotalCps = static_cast<int32_t>(
        BinkpCpsOf(static_cast<int64_t>(model_.TotalReceived + model_.TotalSent),
                   static_cast<int64_t>(model_.TotalTransferTime)));
  }
  for (const TEvent& event : model_.events) {
    if (event.Kind == kEventBbs) model_.TotalBbsTime += Wrapped(event.StartTime, event.EndTime);
  }
  model_.BbsSessions = static_cast<int32_t>(
      std::count_if(model_.sessions.begin(), model_.sessions.end(),
                    [](const TSession& s) { return s.Bbs && s.EndDay != kDayNotSeen; }));
}

void SessionBuilder::PutLinksInAddressOrder() {
  std::vector<TLink> sorted;
  sorted.reserve(model_.links.size());
  for (const auto& [key, index] : linkIndex_) {
    sorted.push_back(std::move(model_.links[index]));
    if (auto calls = callsNoConnect_.find(key); calls != callsNoConnect_.end()) {
      sorted.back().CallsNoConnect = calls->second;
    }
  }
  model_.links = std::move(sorted);
}

void SessionBuilder::PutFailuresInOrder() {
  std::vector<TFailure> sorted;
  sorted.reserve(model_.failures.size());
  for (const auto& [key, index] : failureIndex_)
    sorted.push_back(std::move(model_.failures[index]));
  model_.failures = std::move(sorted);
}

// The first and last lines applied are only where the log's sessions begin and
// end; a log with lines before (or after) the window was being written all
// through that edge, so it covered the day from the window's start (or to its
// end). Without this, a day seen partly by one run could never be taken over
// by a later run that saw it whole but whose first session came later.
void SessionBuilder::WidenLineSpan(const LogOutline& outline) {
  if (model_.FirstLineDay == kDayNotSeen) return;
  if (outline.beforePeriod) {
    model_.FirstLineTime = model_.FirstLineDay == period_.firstDay ? period_.startTime : 0;
  }
  if (outline.afterPeriod) {
    model_.LastLineTime =
        model_.LastLineDay == period_.lastDay ? period_.endTime : kSecondsPerDay - 1;
  }
}

void SessionBuilder::Finish(const LogOutline& outline, Console& console) {
  PutLinksInAddressOrder();
  PutFailuresInOrder();
  model_.PeriodFrom = DayNumberToDate(model_.PeriodFirstDay, calendar_.currentYear);
  model_.PeriodTill = DayNumberToDate(model_.PeriodLastDay, calendar_.currentYear);
  if (model_.sessions.empty()) {
    int status = ExplainNothingToDo(outline, period_, calendar_, settings_, console);
    console.ConsoleLog(kNotice, kNothingToDo);
    StopRun(status);
  }
  Totals();
  WidenLineSpan(outline);
  UndatedLines(outline, console);
  if (cutShort_ > 0) {
    console.ConsoleLog(
        kNotice,
        " Lines cut short, their figures not used and their sessions counted as unfinished: %d",
        {cutShort_});
  }
  if (!model_.events.empty()) {
    const TEvent& first = model_.events.front();
    const TEvent& final = model_.events.back();
    model_.PeriodFirstDay = first.StartDay - (period_.startTime > first.StartTime ? 1 : 0);
    // A session followed past the window's end still belongs to the window.
    model_.PeriodLastDay =
        std::min(final.EndDay + (period_.endTime < final.EndTime ? 1 : 0), period_.lastDay);
    model_.PeriodFrom = DayNumberToDate(model_.PeriodFirstDay, calendar_.currentYear);
    model_.PeriodTill = DayNumberToDate(model_.PeriodLastDay, calendar_.currentYear);
  }
}

}  // namespace zentrak
