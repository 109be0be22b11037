// Tests of the sessions and links reports: which records are listed, in which order.
#include "reports/sessions_report.h"

#include <gtest/gtest.h>

#include "report_test_fixture.h"
#include "reports/links_report.h"
#include "reports/sysops_report.h"

namespace zentrak {
namespace {

TSession Session(std::string address, int64_t received, int64_t sent, bool bbs = false) {
  TSession session;
  session.Address = std::move(address);
  session.Received = received;
  session.Sent = sent;
  session.Bbs = bbs;
  return session;
}

TEST(SessionsReport, ListsMailerSessionsInLogOrderAndHidesNullOnesOnRequest) {
  struct Row {
    bool hideNull;
    const char* expected;
  };
  const Row rows[] = {
      {false, "[\n2:1/3\n2:1/1\n2:1/2\n2:1/4\n]\n"},
      {true, "[\n2:1/3\n2:1/2\n]\n"},
  };
  for (const Row& row : rows) {
    testing::ReportFixture fixture;
    fixture.settings.HIDE_NULL_SESSIONS = row.hideNull;
    fixture.model.sessions = {Session("2:1/3", 10, 0), Session("2:1/1", 0, 0),
                              Session("2:1/9", 5, 5, true), Session("2:1/2", 0, 7),
                              Session("2:1/4", 0, 0)};
    fixture.Template("sessions.tpl", "[\n@STARTCIRCLE()\n@ADDRESS(LEFT,*)\n@ENDCIRCLE()\n]\n");
    ReportContext ctx = fixture.Context();
    MakeSessionsReport(ctx);
    EXPECT_EQ(fixture.Output("sessions.out"), row.expected);
  }
}

TEST(LinkReports, LinksKeepTheListOrderSysopsSortAndStayed) {
  testing::ReportFixture fixture;
  using testing::MakeLink;
  fixture.model.links = {MakeLink("2:5020/12", "bob"), MakeLink("2:5020/100", "Bob"),
                         MakeLink("2:5020/200", ""), MakeLink("2:5020/300", "Bo")};
  const char* body = "@STARTCIRCLE()\n@ADDRESS(LEFT,*) @SYSOP(LEFT,*)\n@ENDCIRCLE()\n";
  fixture.Template("links.tpl", body);
  fixture.Template("sysops.tpl", body);
  ReportContext ctx = fixture.Context();
  MakeLinksReport(ctx);
  MakeSysopsReport(ctx);
  EXPECT_EQ(fixture.Output("link.out"),
            "2:5020/12 bob\n2:5020/100 Bob\n2:5020/200 \n2:5020/300 Bo\n");
  EXPECT_EQ(fixture.Output("sysops.out"),
            "2:5020/200 \n2:5020/300 Bo\n2:5020/100 Bob\n2:5020/12 bob\n");
  EXPECT_EQ(fixture.model.links[0].Address, "2:5020/200");
}

}  // namespace
}  // namespace zentrak
