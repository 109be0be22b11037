// The failures report: one record per address and reason, the first of an
// address marked, the sessions without an address named, and the sums.
#include "reports/failures_report.h"

#include <gtest/gtest.h>

#include "report_test_fixture.h"

namespace zentrak {
namespace {

TEST(FailuresReportTest, RecordsByAddressAndReasonWithTheirSums) {
  testing::ReportFixture fixture;
  fixture.settings.MAKESTAT_FAILURES = true;
  TFailure refused{"2:5020/52", FailReason::kRefused, false, 0, 2, 340, 3600, "Connection refused"};
  TFailure password{"2:5020/52", FailReason::kBadPassword, true, 1, 0, 340, 7200, "`x': wrong"};
  TFailure nobody{"", FailReason::kBrokenOff, false, 3, 0, 340, 60, ""};
  fixture.model.failures = {refused, password, nobody};
  fixture.model.AnonymousSessions = 3;
  fixture.Template("failures.tpl",
                   "%NEW=\"*\"\n%CLAIMED=\" claimed\"\n@STARTCIRCLE()\n"
                   "@?FAILNEWADDRESS=@NEW(LEFT,1)@FAILADDRESS(LEFT,10) @FAILREASON(LEFT,*) "
                   "@FAILCOUNT(LEFT,*) @FAILLASTTIME(LEFT,*)@?FAILCLAIMED=@CLAIMED(LEFT,*)\n"
                   "@ENDCIRCLE()\n@FAILEDSESSIONS(LEFT,*)/@FAILEDCALLS(LEFT,*)/"
                   "@NOADDRESSSESSIONS(LEFT,*)\n");
  ReportContext ctx = fixture.Context();
  MakeFailuresReport(ctx);
  EXPECT_EQ(fixture.Output("failures.out"),
            "*2:5020/52  connection refused 2 01:00:00\n"
            "2:5020/52  incorrect password 1 02:00:00 claimed\n"  // a false condition adds nothing
            "*(none)     broken off 3 00:01:00\n"
            "4/2/3\n");
}

}  // namespace
}  // namespace zentrak
