// The sessions report: every mailer session of the period, in log order.
#pragma once

#include "reports/report_frame.h"
#include "support/work_threads.h"

namespace zentrak {

/// Copies the fields the sessions report's macros read from a session.
void PublishSession(CurrentSession& current, const TSession& session, const SessionModel& model);

/// True when the session is listed: never a BBS caller, and with
/// HIDE_NULL_SESSIONS only a session that moved bytes.
bool SessionListed(const TSession& session, bool hideNullSessions);

/// Writes the sessions report (kind 1); `threads` as for WriteRecords.
void MakeSessionsReport(ReportContext& ctx, int threads = WorkThreads());

}  // namespace zentrak
