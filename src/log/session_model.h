// What the log parser leaves for the reports: sessions in log order, links in
// ascending address order, events in the order their spans closed, last-call
// records in order of first appearance, and the run totals.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "log/file_transfers.h"
#include "support/calendar.h"
#include "support/text_pool.h"

namespace zentrak {

/// The day of a line not seen yet. Real day numbers lie within a year or so of
/// 0 (last year's days are 0 and below), so this one can never be a line's.
inline constexpr int32_t kDayNotSeen = INT32_MIN;

/// The largest cps a session record holds: bytes per second over binkp on a
/// fast line.
inline constexpr int32_t kMaxSessionCps = (1 << 23) - 1;

/// One mailer session, incoming or outgoing. A big log holds a million of
/// them, so the record is kept small: its texts are numbers in the model's text
/// pool (they repeat in every session of a link) and its flags are bits.
struct TSession {
  int32_t StartTime = -1;
  int32_t StartDay = kDayNotSeen;
  int32_t ConnectTime = -1;
  int32_t TransferStart = -1;
  int32_t EndTime = -1;
  int32_t EndDay = kDayNotSeen;  // still kDayNotSeen: the session is open
  int32_t ConnectSpeed = -1;
  uint32_t Remote = 0;    // the remote's system name and place: SessionModel::RemoteNames
  int64_t Received = -1;  // 64-bit: one session may move more than 2 GiB
  int64_t Sent = -1;
  TextId Phone = kNoText;  // texts: see SessionModel::Text
  TextId Address = kNoText;
  TextId AliasName = kNoText;
  TextId Mailer = kNoText;
  TextId Sysop = kNoText;
  // One 32-bit word, of one type so that both bit-field layouts (GCC's and
  // the Windows one) pack it alike. binkp speeds are not capped at 9999, so
  // the cps takes 24 bits.
  int32_t Cps : 24 = 0;       // capped at 9999 (mailer log) or kMaxSessionCps (binkd)
  int32_t Protocol : 4 = -1;  // 1 ZMODEM, 2 HYDRA, 3 ZEDZAP, 4 DIRZAP, 5 binkp
  uint32_t Incoming : 1 = false;
  uint32_t Protected : 1 = false;
  uint32_t Aborted : 1 = false;
  uint32_t Bbs : 1 = false;

  /// Back to the initial values, except Cps.
  void Clear();
};
static_assert(sizeof(TSession) <= 72, "a million sessions must fit in 72 MB");

/// One remote system, summed over its ended sessions. Sums are 64-bit so that
/// a busy link never wraps.
struct TLink {
  std::string Address;
  std::string AliasName;
  std::string Phone;
  std::string Sysop;
  std::string Mailer;
  bool Protected = false;
  int64_t Received = -1;
  int64_t Sent = -1;
  int64_t OnlineTime = -1;
  int64_t TransferTime = -1;
  int32_t Cps = -1;
  std::string System;    // the remote's own name for its system (binkd's SYS)
  std::string Location;  // and its place (LOC)
  /// Sessions and calls, as a sysop counts them: incoming sessions ended well
  /// or failed, outgoing calls that connected and how they ended, and calls
  /// that never connected.
  int32_t InOk = 0;
  int32_t InFailed = 0;
  int32_t CallsOk = 0;
  int32_t CallsFailed = 0;
  int32_t CallsNoConnect = 0;
  /// Sessions without a password.
  int32_t Unprotected = 0;
  /// The end of the link's latest session and whether it ended well.
  int32_t LastDay = kDayNotSeen;
  int32_t LastTime = -1;
  bool LastOk = false;
};

/// Why a session or a call failed; the order is the failures report's.
enum class FailReason : uint8_t {
  kRefused,      // the connection was refused
  kTimeout,      // timed out, connecting or in the session
  kNoRoute,      // no route to the host or its network
  kBusy,         // a busy remote (binkp's M_BSY) or all addresses busy
  kBadPassword,  // the password did not match
  kNotAllowed,   // the address came from a host it is not allowed from
  kRemoteError,  // the remote ended it with an error (binkp's M_ERR) and its text
  kBrokenOff,    // the line went down in the middle of the session
  kOther,        // anything else, with the logged text
};
inline constexpr int kFailReasons = 9;

/// The failures of one address for one reason; the address is empty when the
/// remote never gave one that was accepted.
struct TFailure {
  std::string Address;
  FailReason Reason = FailReason::kOther;
  /// The address is only what the remote claimed (a wrong password, a host
  /// the address is not allowed from).
  bool Claimed = false;
  int32_t Sessions = 0;  // failed sessions (incoming or outgoing)
  int32_t Calls = 0;     // calls that never connected
  int32_t LastDay = kDayNotSeen;
  int32_t LastTime = -1;
  std::string Text;  // the latest logged text, cut to kFailureTextBound
};

/// The reason a failure's text names in English words ("Connection refused",
/// "Busy", "timed out", "No route to host"); kOther for any other.
FailReason FailReasonOfText(std::string_view text);

/// The bound of a failure's logged text.
inline constexpr size_t kFailureTextBound = 60;

/// Activity kinds of an event.
enum EventKind : uint8_t { kEventOut = 0, kEventIn = 1, kEventBbs = 2, kEventCall = 3 };

/// One time span for the time-based reports.
struct TEvent {
  int32_t StartDay = 0;
  int32_t EndDay = 0;
  int32_t StartTime = -1;
  int32_t EndTime = -1;
  uint8_t Kind = 255;
};

/// The last contact with one remote address; persisted as 16 bytes.
struct TLastCall {
  uint16_t Zone = 0;
  uint16_t Net = 0;
  uint16_t Node = 0;
  uint16_t Point = 0;
  int32_t LastDate = 0;  // year * 365 + month * 31 + day
  int32_t LastTime = 0;
};

/// Protocol value of a session over binkp.
inline constexpr int8_t kProtocolBinkp = 5;

/// The texts of a remote's system name and place, kept once per pair: only
/// some logs name them, and the session record has no room for two more texts.
struct TRemoteNames {
  TextId system = kNoText;
  TextId location = kNoText;
};

/// The files that arrived and left whole in one session, counted for the trends
/// store without the files report's collection.
struct TSessionFiles {
  uint32_t session = 0;  // index into SessionModel::sessions
  uint32_t received = 0;
  uint32_t sent = 0;
};

/// The four collections and the totals.
struct SessionModel {
  std::vector<TSession> sessions;
  /// The texts of the sessions.
  TextPool texts;
  /// The system name and place pairs the sessions name; the first is none.
  std::vector<TRemoteNames> remoteNames{TRemoteNames{}};
  std::vector<TLink> links;
  std::vector<TEvent> events;
  std::vector<TLastCall> lastCalls;
  /// The file transfers of the sessions, gathered only for the files report.
  FileTransfers files;
  /// Last-call index by address text ("z:n/f" or "z:n/f.p"), for O(1) lookups.
  std::unordered_map<std::string, size_t> lastCallIndex;

  int64_t TotalCallingTime = 0;
  double TotalReceived = 0;
  double TotalSent = 0;
  int64_t TotalOnlineTime = 0;
  double TotalTransferTime = 0;
  int32_t TotalCps = 0;
  /// Time of BBS sessions: the sum of the kind-2 events' spans, each wrapped
  /// past midnight at most once.
  int64_t TotalBbsTime = 0;
  /// Number of ended BBS sessions left in `sessions` (Bbs set and an EndDay seen).
  int32_t BbsSessions = 0;
  /// Time of sessions that opened but never reached their end line, each from its
  /// StartTime to the last line the parser gave it; a call closed by a call-failed
  /// line counts nothing here. Midnight-wrapped like every duration.
  int64_t LeftTime = 0;
  /// File counts of the sessions that had any, ascending by session; kept only
  /// when the trends store is on.
  std::vector<TSessionFiles> SessionFiles;
  /// The failures by address and reason, in address order, then reason order.
  std::vector<TFailure> failures;
  /// Sessions that ended without an accepted address: no link's, the station's
  /// own failed incoming sessions.
  int32_t AnonymousSessions = 0;
  /// Ended sessions (not BBS calls) without a password.
  int32_t UnprotectedSessions = 0;
  /// The spans of unfinished sessions, where the reader knows them (binkd's);
  /// the station's usage joins them with the events.
  std::vector<TEvent> LeftSpans;
  /// LeftTime by the day each unfinished session began, in log order.
  std::vector<std::pair<int32_t, int64_t>> LeftTimeByDay;
  /// The first and the last line of the period the parser applied (day number,
  /// second of the day), stretched to the window's edge where the log has lines
  /// on a day beyond them: the part of the days the log covered.
  int32_t FirstLineDay = kDayNotSeen;
  int32_t FirstLineTime = -1;
  int32_t LastLineDay = kDayNotSeen;
  int32_t LastLineTime = -1;

  int32_t PeriodFirstDay = 0;
  int32_t PeriodLastDay = 0;
  CalendarDate PeriodFrom;
  CalendarDate PeriodTill;

  /// A session's text by its number.
  std::string_view Text(TextId id) const { return texts.Text(id); }
  /// A session's system name and place.
  const TRemoteNames& RemoteNames(const TSession& session) const {
    return remoteNames[session.Remote];
  }
};

/// Notes a line of the period the parser applied: the first one stays, the
/// last one moves on.
inline void NoteLineSpan(SessionModel& model, int32_t day, int32_t time) {
  if (model.FirstLineDay == kDayNotSeen) {
    model.FirstLineDay = day;
    model.FirstLineTime = time;
  }
  model.LastLineDay = day;
  model.LastLineTime = time;
}

/// The address text a last-call record stands for ("z:n/f" or "z:n/f.p"); the
/// history is indexed by it and the last call report shows it.
std::string LastCallAddress(const TLastCall& record);

/// Calendar date of a day number relative to `currentYear`.
CalendarDate DayNumberToDate(int32_t dayNumber, int32_t currentYear);

/// Rounds halves away from zero (2.5 -> 3, -2.5 -> -3).
int64_t RoundHalfAway(double value);

/// (bytes) / seconds rounded half away from zero, capped at 9999; 0 for no time.
int32_t CpsOf(double bytes, double seconds);

/// binkd's speeds: whole bytes over whole seconds, the fraction dropped (as
/// the trends report computes them), capped at `cap`; 0 for no time.
int64_t BinkpCpsOf(int64_t bytes, int64_t seconds, int64_t cap = INT32_MAX);

/// Sessions and their bytes by the half hour of the day each began in,
/// summed over the days of the period: when a binkp node is busy (its
/// sessions are too short for shares of time to show).
struct HalfHours {
  static constexpr int kSlots = 48;
  int64_t sessions[kSlots] = {};
  int64_t bytes[kSlots] = {};
};
/// The ended sessions of `model` (BBS calls left out) by half hour.
HalfHours HalfHoursOf(const SessionModel& model);

/// Seconds in which the line was busy: the union of the sessions' and calls'
/// spans (events of kinds 0, 1 and 3) and the known unfinished spans, a second
/// counted once however many sessions ran in it; unfinished time without a
/// known span is added as it is.
int64_t BusySeconds(const SessionModel& model);

}  // namespace zentrak
