// A micro-benchmark of body expansion, off by default: run with
//   template_tests --gtest_also_run_disabled_tests --gtest_filter='*Benchmark*'
// It prints the time per body; it asserts nothing about speed.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "template_test_fixture.h"

namespace zentrak {
namespace {

TEST(TemplateBenchmark, DISABLED_MillionSessionBodies) {
  testing::EngineFixture f;
  f.report.reportKind = kSessionsReport;
  f.report.currentSession =
      CurrentSession{3600, 3700, true, false, 33600, 2, false, "2:5020/9", 77000, 880, 1200};
  const std::string text =
      "%ARROW=\"<-\"\n%BACK=\"->\"\n@STARTCIRCLE()\n"
      "@STARTTIME(LEFT,8) @ENDTIME(LEFT,8) @?IN=@ARROW(LEFT,2)@?OUT=@BACK(LEFT,2) "
      "@ADDRESS(LEFT,20) @CONNECT(RIGHT,6) @RECEIVED(RIGHT,10) @SENT(RIGHT,10) @CPS(RIGHT,5)\n"
      "@ENDCIRCLE()\n";
  testing::WriteFile(f.dir.File("b.tpl"), text);
  std::unique_ptr<File> output = f.platform.OpenFile("/dev/null", FileMode::kWrite);
  f.engine.Open(f.platform.OpenFile(f.dir.File("b.tpl"), FileMode::kRead), output.get());
  ASSERT_TRUE(f.engine.TemplateHeader("bench"));
  const int kBodies = 1000000;
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kBodies; ++i) {
    f.report.currentSession.cps = i % 10000;
    f.engine.TemplateBody();
  }
  auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  f.engine.TemplateFooter();
  std::printf("%d bodies of 9 macros in %.3f s: %.2f us per body\n", kBodies, seconds,
              seconds * 1e6 / kBodies);
}

}  // namespace
}  // namespace zentrak
