// The sessions report: every mailer session of the period, in log order.
#include "reports/sessions_report.h"

#include <vector>

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
    std::vector<uint32_t> listed;
    for (size_t k = 0; k < ctx.model.sessions.size(); ++k) {
      if (SessionListed(ctx.model.sessions[k], ctx.settings.HIDE_NULL_SESSIONS)) {
        listed.push_back(static_cast<uint32_t>(k));
      }
    }
    WriteUnits(
        ctx, listed.size(),
        [&ctx, &listed](TemplateEngine& engine, ReportState& report, size_t i) {
          PublishSession(report.currentSession, ctx.model.sessions[listed[i]], ctx.model);
          engine.TemplateBody();
        },
        {}, {}, threads);
    // The copy lives only while the loop runs: the footer sees no session.
    ctx.report.currentSession = CurrentSession{};
    return true;
  };
  RunReportFrame(ctx, kSessionsReport, steps);
}

}  // namespace zentrak
