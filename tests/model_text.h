// The whole session model as text, so that two parses can be compared at once
// and a difference shows where it lies.
#pragma once

#include <sstream>
#include <string>

#include "log/session_model.h"

namespace zentrak::testing {

inline std::string ModelText(const SessionModel& m) {
  std::ostringstream out;
  for (const TSession& s : m.sessions) {
    out << "S " << s.StartTime << ' ' << s.StartDay << ' ' << s.ConnectTime << ' ' << s.Remote
        << ' ' << s.TransferStart << ' ' << s.EndTime << ' ' << s.EndDay << ' ' << s.ConnectSpeed
        << ' ' << s.Received << ' ' << s.Sent << ' ' << s.Cps << ' ' << int{s.Protocol} << ' '
        << s.Incoming << s.Protected << s.Aborted << s.Bbs << " [" << m.Text(s.Phone) << "]["
        << m.Text(s.Address) << "][" << m.Text(s.AliasName) << "][" << m.Text(s.Mailer) << "]["
        << m.Text(s.Sysop) << "][" << m.Text(m.RemoteNames(s).system) << "]["
        << m.Text(m.RemoteNames(s).location) << "]\n";
  }
  for (const TLink& l : m.links) {
    out << "L [" << l.Address << "][" << l.AliasName << "][" << l.Phone << "][" << l.Sysop << "]["
        << l.Mailer << "][" << l.System << "][" << l.Location << "] " << l.Protected << ' '
        << l.Received << ' ' << l.Sent << ' ' << l.OnlineTime << ' ' << l.TransferTime << ' '
        << l.Cps << ' ' << l.InOk << ' ' << l.InFailed << ' ' << l.CallsOk << ' ' << l.CallsFailed
        << ' ' << l.CallsNoConnect << ' ' << l.Unprotected << ' ' << l.LastDay << ' ' << l.LastTime
        << ' ' << l.LastOk << '\n';
  }
  for (const TFailure& f : m.failures) {
    out << "X [" << f.Address << "] " << static_cast<int>(f.Reason) << ' ' << f.Claimed << ' '
        << f.Sessions << ' ' << f.Calls << ' ' << f.LastDay << ' ' << f.LastTime << " [" << f.Text
        << "]\n";
  }
  for (const TEvent& e : m.events) {
    out << "E " << e.StartDay << ' ' << e.EndDay << ' ' << e.StartTime << ' ' << e.EndTime << ' '
        << int{e.Kind} << '\n';
  }
  for (const TLastCall& c : m.lastCalls) {
    out << "C " << c.Zone << ':' << c.Net << '/' << c.Node << '.' << c.Point << ' ' << c.LastDate
        << ' ' << c.LastTime << '\n';
  }
  for (uint32_t i = 0; i < m.files.files.size(); ++i) {
    const TFileTransfer& f = m.files.files[i];
    out << "F [" << m.files.names.Text(f.Name()) << "] " << f.StartTime() << ' ' << f.EndTime()
        << ' ' << f.Cps() << ' ' << static_cast<int>(f.Outcome()) << ' ' << f.Received()
        << f.Partial() << ' ' << m.files.Size(i) << '\n';
  }
  for (const TFilePartial& p : m.files.partials) {
    out << "P " << p.file << ' ' << p.resumeOffset << ' ' << p.abortPosition << '\n';
  }
  for (const TFileRun& r : m.files.runs) out << "R " << r.session << ' ' << r.first << '\n';
  out << "T " << m.TotalCallingTime << ' ' << m.TotalReceived << ' ' << m.TotalSent << ' '
      << m.TotalOnlineTime << ' ' << m.TotalTransferTime << ' ' << m.TotalCps << ' '
      << m.TotalBbsTime << ' ' << m.BbsSessions << ' ' << m.LeftTime << ' ' << m.PeriodFirstDay
      << ' ' << m.PeriodLastDay << ' ' << m.PeriodFrom.day << '.' << m.PeriodFrom.month << '.'
      << m.PeriodFrom.year << ' ' << m.PeriodTill.day << '.' << m.PeriodTill.month << '.'
      << m.PeriodTill.year << ' ' << m.AnonymousSessions << ' ' << m.UnprotectedSessions << '\n';
  return out.str();
}

}  // namespace zentrak::testing
