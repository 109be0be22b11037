// What every log reader does to the session model once it knows a session's
// facts: the address rules (ALIAS, EXCLUDE_ADDRESS, the last-call history), the
// shown texts (EXCLUDE_PHONE, CHANGE), the links, the events, the totals and
// the end of the parse. A reader owns one and calls it in log order.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "config/settings.h"
#include "console/console_log.h"
#include "log/log_dates.h"
#include "log/nothing_to_do.h"
#include "log/session_model.h"
#include "support/calendar.h"
#include "support/file_mask.h"

namespace zentrak {

/// A span from `start` to `end` seconds of day, wrapping midnight once.
inline int64_t Wrapped(int32_t start, int32_t end) {
  return end < start ? int64_t{end} - start + kSecondsPerDay : int64_t{end} - start;
}

/// A rewrite that depends on nothing but its text, done once for each distinct
/// text: a link's texts come back in every one of its sessions.
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

/// What TakeAddress reads of an address and its line, for a reader whose
/// classifying threads read it before the rules take the line.
struct AddressFacts {
  std::optional<std::array<uint16_t, 4>> parts;  // AddressParts16 of the address
  std::optional<CalendarDate> date;              // LineCalendarDate of the line

  static AddressFacts Of(std::string_view address, std::string_view line,
                         const RunCalendar& calendar) {
    return AddressFacts{AddressParts16(address), LineCalendarDate(line, calendar)};
  }
};

class SessionBuilder {
 public:
  SessionBuilder(const Settings& settings, SessionModel& model, const RunCalendar& calendar);

  const LogPeriod& Period() const { return period_; }
  const RunCalendar& Calendar() const { return calendar_; }

  /// The period into the model, before the first line.
  void Start();

  /// Gives `session` the remote address `text` (the log's words, without a
  /// domain), after ALIAS; false, with nothing changed, when EXCLUDE_ADDRESS
  /// drops it. `line` and `time` date the last-call record. `read`, when
  /// given, is what a classifying thread read already of `text` and `line`.
  bool TakeAddress(TSession& session, std::string_view text, std::string_view line, int32_t time,
                   const AddressFacts* read = nullptr);

  /// The phone as shown: EXCLUDE_PHONE parts removed, CHANGE applied.
  TextId ShownPhone(std::string_view phone);
  /// A mailer or sysop text after the CHANGE rules.
  TextId Changed(std::string_view text);

  /// An ended session into its link; `transfer` is its transfer time.
  void AddToLink(const TSession& session, int64_t transfer);
  /// An ended session without an accepted address: the station's, no link's.
  void AddAnonymous(const TSession& session);

  /// The address a failure or call is booked to: `text` after ALIAS; nothing
  /// when EXCLUDE_ADDRESS drops it. An empty text stays empty (no address).
  std::optional<std::string> FailureAddress(std::string_view text) const;
  /// A failed session (`call` false) or a call that never connected (`call`
  /// true) of `address` (as FailureAddress gives it), for `reason`, at `day`
  /// `time`; `text` is what the log said, kept for the remote's error and
  /// "other".
  void Failure(const std::string& address, FailReason reason, bool claimed, bool call,
               std::string_view text, int32_t day, int32_t time);
  void NewEvent(const TSession& session, uint8_t kind);
  /// Dialling that never connected, from `startDay` `startTime` to `endDay` `endTime`.
  void FailedCall(int32_t startDay, int32_t startTime, int32_t endDay, int32_t endTime);

  /// Notes a line whose figures were not used because its writer had not
  /// finished it; the parse's end says how many there were.
  void CutShort() { ++cutShort_; }

  /// Ends the parse once the readers dropped their unfinished sessions: the
  /// links in address order, the totals, the period as the events show it. A
  /// model without a session ends the run with the reason `outline` gives.
  void Finish(const LogOutline& outline, Console& console);

 private:
  /// Stretches the first and last lines applied to the window's edges where the
  /// log has lines beyond them.
  void WidenLineSpan(const LogOutline& outline);
  void UpdateLastCall(std::string_view address, std::string_view line, int32_t time,
                      const AddressFacts* read, bool aliased);
  size_t LinkOf(TextId address);
  void PutLinksInAddressOrder();
  void PutFailuresInOrder();
  /// The alias of an address the log wrote, or the address itself.
  std::string Aliased(std::string_view text, std::string& aliasName) const;
  void Totals();

  const Settings& settings_;
  SessionModel& model_;
  RunCalendar calendar_;
  LogPeriod period_;
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
  /// By lastCalls index: DateOrder of the record's last contact, as far as this run knows it.
  static constexpr int64_t kNoContact = INT64_MIN;
  std::vector<int64_t> lastCallOrders_;
  int64_t cutShort_ = 0;
  /// (address, reason) -> index in model_.failures; no address sorts last.
  std::map<std::pair<std::pair<bool, AddressKey>, int>, size_t> failureIndex_;
  std::map<AddressKey, int32_t> callsNoConnect_;  // by address, for the links
  int64_t anonymousOnline_ = 0;                   // sessions without an address
  int64_t anonymousBytes_[2] = {0, 0};            // received, sent
};

}  // namespace zentrak
