// Fuzz target: one template through every pass (header, bodies, footer) for a
// report kind chosen by the first input byte, over a small session model and
// report state. The rest of the input is the template, read from memory; the
// output is dropped: no files stay behind.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <string>

#include "fuzz_support.h"
#include "reports/files_report.h"
#include "template/template_engine.h"

namespace {

using namespace zentrak;

// Files of the first session, ending every way, with names a remote system
// might choose: macro text, printf text, nothing, a whole line of bytes.
void AddFiles(FileTransfers& files) {
  const std::string names[] = {
      "@SYSOP(LEFT,*)@FILENAME(LEFT,*)", "%s%n%%.ZIP", "", std::string(255, '@'), "nodelist.339",
      std::string("a\0b\x01.pkt", 9)};
  const FileOutcome outcomes[] = {FileOutcome::kComplete, FileOutcome::kAborted,
                                  FileOutcome::kSkipped,  FileOutcome::kRefused,
                                  FileOutcome::kDelayed,  FileOutcome::kComplete};
  files.runs.push_back(TFileRun{0, 0});
  for (size_t i = 0; i < std::size(names); ++i) {
    TFileTransfer file;
    file.SetName(files.names.Intern(names[i]));
    file.SetStartTime(86000 + static_cast<int32_t>(i) * 100);
    file.SetEndTime((file.StartTime() + 500) % 86400);
    file.SetOutcome(outcomes[i]);
    file.SetReceived(i % 2 == 0);
    file.SetCps(i == 0 ? TFileTransfer::kNoCps : static_cast<uint16_t>(i * 1000));
    files.Add(file, i == 3 ? INT64_MAX / 4 : 1000 * static_cast<int64_t>(i));
  }
  files.partials.push_back(TFilePartial{1, 500, 800});
  files.partials.push_back(TFilePartial{5, 9999999, 0});
  files.files[1].SetPartial(true);
  files.files[5].SetPartial(true);
}

SessionModel SmallModel() {
  SessionModel model;
  TSession session;
  session.StartTime = 36000;
  session.StartDay = 341;
  session.ConnectTime = 36020;
  session.TransferStart = 36030;
  session.EndTime = 36070;
  session.EndDay = 341;
  session.ConnectSpeed = 33600;
  session.Protocol = 1;
  session.Received = 1000;
  session.Sent = 3000;
  session.Cps = 57;
  session.Address = model.texts.Intern("2:5020/100");
  session.Sysop = model.texts.Intern("Ann Other");
  session.Mailer = model.texts.Intern("Zephyr 2.1/LNX");
  session.Phone = model.texts.Intern("7-095-123-4567");
  model.sessions.push_back(session);
  session.Incoming = true;
  session.Aborted = true;
  session.Received = 3'000'000'000;
  session.Address = model.texts.Intern("2:5020/100.7");
  model.sessions.push_back(session);

  TLink link;
  link.Address = "2:5020/100";
  link.Sysop = "Ann Other";
  link.Mailer = "Zephyr 2.1/LNX";
  link.Phone = "7-095-123-4567";
  link.Received = 3'000'001'000;
  link.Sent = 3000;
  link.OnlineTime = 140;
  link.TransferTime = 80;
  link.Cps = 57;
  model.links.push_back(link);
  link.Address = "1:1/0";
  link.Received = -1;
  link.Sent = -1;
  link.OnlineTime = 0;
  model.links.push_back(link);

  model.events.push_back(TEvent{341, 341, 36000, 36070, kEventOut});
  model.events.push_back(TEvent{340, 341, 86000, 600, kEventBbs});
  model.lastCalls.push_back(TLastCall{2, 5020, 100, 0, 2026 * 365 + 12 * 31 + 7, 36070});
  model.lastCalls.push_back(TLastCall{65535, 65535, 65535, 65535, -1, -1});
  model.TotalReceived = 3'000'001'000;
  model.TotalSent = 3000;
  model.TotalOnlineTime = 140;
  model.TotalTransferTime = 80;
  model.TotalCps = 57;
  model.PeriodFirstDay = 311;
  model.PeriodLastDay = 341;
  AddFiles(model.files);
  return model;
}

ReportState SmallReport() {
  ReportState report;
  report.mailerTable = {{"Zephyr 2.1/LNX", 2}, {"", 0}};
  report.sysopCount = 1;
  report.mailerCount = 1;
  report.stationUsage = "12.50%";
  report.bbsUsage = "0.00%";
  report.diskLetter = 'C';
  report.diskLabel = "root";
  report.diskTotalText = "1,000";
  report.diskFreeText = "10";
  report.fileLine.isFileLine = true;
  report.fileLine.size = 123456;
  return report;
}

// One report: header, a body per record (one past the end as well), footer.
// The files report publishes its own records, through its own generator.
void RunReport(TemplateEngine& engine, ReportContext& ctx, const uint8_t* data, size_t size,
               uint8_t kind) {
  ReportState& report = ctx.report;
  report.reportKind = kind;
  report.lineLength = kind % 3 == 0 ? -1 : 60;
  report.barLength = 20;
  fuzz::MemoryFile output("");
  engine.Open(std::make_unique<fuzz::MemoryFile>(
                  std::string_view(reinterpret_cast<const char*>(data), size)),
              &output);
  if (!engine.TemplateHeader("fuzz.tpl")) {
    engine.ReleaseFiles();
    return;
  }
  if (kind == kFilesReport) {
    WriteFilesRecords(ctx);
    engine.TemplateFooter();
    return;
  }
  for (int32_t i = 0; i <= 2; ++i) {
    report.currentIndex = kind == kMailersReport ? i + 1 : i;
    report.currentLastCall = i;
    report.currentRow = 15 - i;
    report.currentSession.address = i == 0 ? "2:5020/100" : "";
    engine.TemplateBody();
  }
  engine.TemplateFooter();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const uint8_t kKinds[] = {
      kSessionsReport,  kLinksReport,   kTimeReport,    kMailersReport, kFilesReport,
      kHistogramReport, kGraphicReport, kSummaryReport, kDiskReport,    kLastCallReport};
  if (size == 0) return 0;
  uint8_t kind = kKinds[data[0] % sizeof kKinds];
  fuzz::QuietConsole console;
  Settings settings = SetDefaults();
  settings.STATION = "Zentrak Station";
  settings.SYSOP = "Sys Op";
  settings.ADDRESS = "2:5020/9999";
  settings.ChangeTable = {ChangeRule{true, "ann", "@SYSOP()"}};
  SessionModel model = SmallModel();
  ReportState report = SmallReport();
  // The kind byte also picks the files report's name case and its aliases.
  settings.FILE_CASE = data[0] & 0x10 ? "UP" : data[0] & 0x20 ? "LOW" : "ASIS";
  if (data[0] & 0x40) {
    settings.FileAliasTable = {FileAlias{"Nodes", {"nodelist.", ".PKT"}},
                               FileAlias{"@FILENAME(LEFT,*)", {"@", ""}}};
  }
  TemplateEngine engine(MacroSources{settings, model, report, console.console, fuzz::kToday});
  fuzz::SandboxPlatform platform;
  ReportOutcomes outcomes;
  ReportContext ctx{settings, model, report, engine, console.console, platform, outcomes};
  RunReport(engine, ctx, data + 1, size - 1, kind);
  return 0;
}
