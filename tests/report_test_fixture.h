// A report run around real files in a temporary directory, for the reports' tests.
#pragma once

#include <string>
#include <vector>

#include "reports/report_frame.h"
#include "test_support.h"

namespace zentrak::testing {

struct ReportFixture {
  ReportFixture() {
    settings.OUTPUT = dir.Path();
    settings.TEMPLATE = dir.Path();
  }
  ReportContext Context() { return Context(platform); }
  /// The same context on another platform (one that fails file operations, say).
  ReportContext Context(Platform& other) {
    return {settings, model, report, engine, console.console, other, outcomes};
  }
  /// Writes a template file into the directory.
  void Template(const std::string& name, const std::string& text) {
    WriteFile(dir.File(name), text);
  }
  /// The text of an output file; empty when it was not written.
  std::string Output(const std::string& name) const { return ReadTextFile(dir.File(name)); }

  TempDir dir;
  TestConsole console;
  Settings settings = SetDefaults();
  SessionModel model;
  ReportState report;
  ReportOutcomes outcomes;
  TemplateEngine engine{
      MacroSources{settings, model, report, console.console, testing::kTestToday}};
  Platform& platform = NativePlatform();
};

/// A link with the fields the link reports sort and show.
inline TLink MakeLink(std::string address, std::string sysop, std::string mailer = "",
                      int32_t cps = 0, int64_t received = 0, int64_t sent = 0, int64_t online = 0) {
  TLink link;
  link.Address = std::move(address);
  link.Sysop = std::move(sysop);
  link.Mailer = std::move(mailer);
  link.Cps = cps;
  link.Received = received;
  link.Sent = sent;
  link.OnlineTime = online;
  return link;
}

}  // namespace zentrak::testing
