// An engine over in-memory templates and a fake report state, for the
// template engine's tests.
#pragma once

#include <memory>
#include <string>

#include "template/template_engine.h"
#include "test_support.h"

namespace zentrak::testing {

struct EngineFixture {
  /// Runs a whole template: header, `records` bodies, footer. Returns the output.
  std::string Run(const std::string& text, int records = 1) {
    if (!Header(text)) return Output();
    for (int i = 0; i < records; ++i) engine.TemplateBody();
    engine.TemplateFooter();
    return Output();
  }
  /// Opens the template and the output and runs the header.
  bool Header(const std::string& text) {
    WriteFile(dir.File("t.tpl"), text);
    engine.ReleaseFiles();
    output = platform.OpenFile(dir.File("t.out"), FileMode::kWrite);
    engine.Open(platform.OpenFile(dir.File("t.tpl"), FileMode::kRead), output.get());
    headerResult = engine.TemplateHeader("test");
    if (!headerResult) engine.ReleaseFiles();
    return headerResult;
  }
  /// What the engine wrote (it flushes the output whenever it lets go of it).
  std::string Output() const { return ReadFile(dir.File("t.out")); }
  /// Expands one line for a pass in report kind `kind`.
  std::string Expand(const std::string& line, int pass, uint8_t kind) {
    report.reportKind = kind;
    return engine.ExpandLine(line, pass);
  }
  /// Reads definition lines (and an empty loop) so that ExpandLine sees them.
  bool Defines(const std::string& lines) {
    return Header(lines + "@STARTCIRCLE()\n@ENDCIRCLE()\n");
  }

  TempDir dir;
  TestConsole console;
  // Declared before the engine, which must let go of the output before it goes.
  TestPlatform platform;
  std::unique_ptr<File> output;
  Settings settings = SetDefaults();
  SessionModel model;
  ReportState report;
  TemplateEngine engine{
      MacroSources{settings, model, report, console.console, testing::kTestToday}};
  bool headerResult = false;
};

}  // namespace zentrak::testing
