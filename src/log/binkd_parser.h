// The binkd log reader: binkd's sessions run in parallel and their lines
// interleave, so lines are grouped into sessions by the process id in brackets
// after the time. It fills the same session model as the mailer log's parser.
#pragma once

#include <cstdint>
#include <string_view>

#include "config/settings.h"
#include "console/console_log.h"
#include "console/run_calendar.h"
#include "log/log_blocks.h"
#include "log/session_model.h"
#include "support/line_reader.h"

namespace zentrak {

/// What a binkd line says, as far as statistics care.
enum class BinkdKind : uint8_t {
  kOther,
  kCallTo,           // "call to 2:5020/52@fidonet"
  kCallFailed,       // "connection to ... failed: ...", "unable to connect: ..."
  kSession,          // "incoming session with ...", "outgoing session with ...", "session with ..."
  kAddress,          // "addr: 2:5020/52@fidonet"
  kSystem,           // "SYS ..."
  kSysop,            // "ZYZ ..."
  kLocation,         // "LOC ..."
  kMailer,           // "VER ..."
  kProtected,        // "pwd protected session (...)"
  kSending,          // "sending /path/name as name (size)"
  kSendFrom,         // "sending name from offset": the remote resumes
  kSent,             // "sent: /path/name (size, cps CPS, address)"
  kReceiving,        // "receiving name (size byte(s), off offset)"
  kReceived,         // "rcvd: name (size, cps CPS, address)"
  kInterrupted,      // "receiving of name interrupted at offset"
  kSkipped,          // "skipping name (non-destructive)", "already have name (...)"
  kRefused,          // "skipping name (destructive, ...)"
  kSkippedByRemote,  // "name skipped by remote", "remote already has name"
  kDone,             // "done (to|from address|?, OK|failed, S/R: ...)"
  // Why a session failed; the first of them in a session names its reason.
  kFailBusy,         // "got M_BSY: ...", "no AKAs in common domains or all AKAs are busy"
  kFailTimeout,      // "timeout!"
  kFailPassword,     // "`pwd': incorrect password", "inconsistent pwd settings ..."
  kFailNotAllowed,   // "Remote IP check failed", "Source IP check failed"
  kFailRemoteError,  // "rerror: text" (the remote's M_ERR)
  kFailBrokenOff,    // "recv: ...", "send: ...", "write: ..."
};

/// The reason a failure line or a failed connect's text gives; for a line of
/// no failure kind, kOther.
FailReason BinkdFailReason(BinkdKind kind, std::string_view message);

/// The reason of "connection to X failed: text" or "unable to connect: text".
FailReason BinkdConnectFailReason(std::string_view message);

/// The address of "call to X" or "connection to X failed...", without a
/// domain; empty when the line names none (0.9's "unable to connect").
std::string_view BinkdCalledAddress(std::string_view message);

/// One binkd line: "<mark> DD Mon HH:MM:SS [pid] message".
struct BinkdLine {
  BinkdKind kind = BinkdKind::kOther;
  uint64_t pid = 0;
  std::string_view message;
};

/// Reads the pid and message of a line and what kind it is; false when the
/// line has no "[digits]" at column 19 (not binkd's, or torn).
bool ReadBinkdLine(std::string_view line, BinkdLine& out);

/// The figures of a "done (...)" message.
struct BinkdDone {
  std::string_view address;  // without a domain; empty for "?"
  int direction = 0;         // 1 "to" (outgoing), -1 "from" (incoming), 0 unknown
  bool failed = false;
  int64_t sentBytes = 0;
  int64_t receivedBytes = 0;
  /// The message has the whole form binkd writes, to its last ")".
  bool whole = false;
};
BinkdDone ReadBinkdDone(std::string_view message);

/// The remote host of a session line: the name before any "[ip]", "(ip)" or
/// "(port)", without an outgoing ":port".
std::string_view BinkdHost(std::string_view message);

/// Parses a binkd log read in blocks, as ParseLogBlocks does a mailer log.
void ParseBinkdLogBlocks(LogBlockReader& reader, const Settings& settings, const RunCalendar& today,
                         SessionModel& model, Console& console, int threads);

/// The same over lines from any reader: the entry for tests and fuzzing.
void ParseBinkdLogLines(LineReader& reader, const Settings& settings, const RunCalendar& today,
                        SessionModel& model, Console& console);

}  // namespace zentrak
