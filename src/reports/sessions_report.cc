// The sessions report: every mailer session of the period, in log order.
#include "reports/sessions_report.h"

#include "reports/record_writer.h"
#include "support/text.h"

namespace zentrak {

void PublishSession(CurrentSession& current, const TSession& session, const SessionModel& model) {
  current.startTime = session.StartTime;
  current.endTime = session.EndTime;
  current.incoming = session.Incoming;
  current.aborted = session.Aborted;
  current.connectSpeed = session.ConnectSpeed;
  current.protocol = session.Protocol;
  current.protectedSession = session.Protected;
  current.address = CutTo(model.Text(session.Address), kTextBound);
  current.received = session.Received;
  current.sent = session.Sent;
  current.cps = session.Cps;
}

bool SessionListed(const TSession& session, bool hideNullSessions) {
  if (session.Bbs) return false;
  return !hideNullSessions || session.Received != 0 || session.Sent != 0;
}

void MakeSessionsReport(ReportContext& ctx, int threads) {
  ReportSteps steps;
  steps.records = [&ctx, threads] {
    // The writing threads pass over the sessions they list: one pass less over
    // memory that runs to hundreds of megabytes.
    bool hideNull = ctx.settings.HIDE_NULL_SESSIONS;
    WriteUnits(
        ctx, ctx.model.sessions.size(),
        [&ctx, hideNull](TemplateEngine& engine, ReportState& report, size_t i) {
          const TSession& session = ctx.model.sessions[i];
          if (!SessionListed(session, hideNull)) return false;
          PublishSession(report.currentSession, session, ctx.model);
          engine.TemplateBody();
          return true;
        },
        {}, {}, threads);
    // The copy lives only while the loop runs: the footer sees no session.
    ctx.report.currentSession = CurrentSession{};
    return true;
  };
  RunReportFrame(ctx, kSessionsReport, steps);
}

}  // namespace zentrak
