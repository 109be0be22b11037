// The files report's rules one by one: alias masks, name case, the figures of
// each kind of ending, and where the report puts its records and "@?ENDFILES".
#include "reports/files_report.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "report_test_fixture.h"

namespace zentrak {
namespace {

using testing::MakeLink;
using testing::ReportFixture;

// A session of `address` that ended, as the parser leaves one.
void AddSession(SessionModel& model, const char* address) {
  TSession session;
  session.StartDay = session.EndDay = 340;
  session.StartTime = 100;
  session.EndTime = 200;
  session.Address = model.texts.Intern(address);
  model.sessions.push_back(session);
}

// The files report the fixture's model gives with the template `text`.
std::string FilesOut(ReportFixture& fixture, const std::string& text) {
  fixture.Template("files.tpl", text);
  ReportContext ctx = fixture.Context();
  MakeFilesReport(ctx);
  return fixture.Output("files.out");
}

// A file of `size` bytes that came or went whole in ten seconds.
void AddFile(SessionModel& model, const std::string& name, int64_t size, bool received) {
  TFileTransfer record;
  record.SetName(model.files.names.Intern(name));
  record.SetReceived(received);
  record.SetOutcome(FileOutcome::kComplete);
  record.SetStartTime(120);
  record.SetEndTime(130);
  model.files.Add(record, size);
}

TEST(FilesReport, AliasMasksMatchAsPartsOfTheNameIgnoringCase) {
  FileAliasMatcher matcher({FileAlias{"Nodelists", {".nl", "nodelist."}},
                            FileAlias{"Bundles", {".MO", ".tu"}}, FileAlias{"Rest", {""}}});
  struct Row {
    std::string_view name;
    int alias;
  };
  const Row rows[] = {
      {"NODELIST.339", 0}, {"z2.NL3", 0}, {"a.nlx.zip", 0},
      {"0000FE12.mo1", 1}, {"x.TU0", 1},  {"NODELIST.MO1", 0},  // the first alias wins
      {"README", 2},       {"", 2},  // a mask of wildcards only takes every name
  };
  for (const Row& row : rows) EXPECT_EQ(matcher.Match(row.name), row.alias) << row.name;
  EXPECT_EQ(FileAliasMatcher({FileAlias{"None", {}}}).Match("x"), -1);
}

TEST(FilesReport, NameCase) {
  EXPECT_EQ(NameInCase("Photo 1.jpg\xe4", "UP"), "PHOTO 1.JPG\xe4");
  EXPECT_EQ(NameInCase("Photo 1.JPG\xc4", "LOW"), "photo 1.jpg\xc4");
  EXPECT_EQ(NameInCase("Photo 1.JPG", "ASIS"), "Photo 1.JPG");
}

// One file of each ending, with the figures the macros show.
TEST(FilesReport, FiguresOfEachEnding) {
  FileTransfers files;
  auto add = [&](FileOutcome outcome, int64_t size, int32_t start, int32_t end, uint16_t cps) {
    TFileTransfer file;
    file.SetOutcome(outcome);
    file.SetStartTime(start);
    file.SetEndTime(end);
    file.SetCps(cps);
    files.Add(file, size);
  };
  add(FileOutcome::kComplete, 1000, 100, 110, TFileTransfer::kNoCps);  // cps worked out
  add(FileOutcome::kComplete, 1000, 86390, 5, 77);                     // past midnight
  add(FileOutcome::kAborted, 1000, 100, 104, 0);                       // broke off at 600
  add(FileOutcome::kAborted, 1000, 100, 104, 0);                       // cut off by the session
  add(FileOutcome::kSkipped, 1000, 100, 100, 0);
  add(FileOutcome::kComplete, 100, 100, 101, TFileTransfer::kNoCps);  // resumed past its end
  files.partials = {{2, 200, 600}, {5, 500, 0}};
  files.files[2].SetPartial(true);
  files.files[5].SetPartial(true);
  struct Row {
    int64_t timeField, seconds, moved;
    int32_t cps;
    bool transferred;
  };
  const Row rows[] = {
      {10, 10, 1000, 100, true},
      {15, 15, 1000, 77, true},
      {kFileTimeAborted, 4, 400, 100, true},
      {kFileTimeAborted, 4, 0, 0, false},
      {kFileTimeSkipped, 0, 0, 0, false},
      {1, 1, 0, 0, true},
  };
  for (uint32_t i = 0; i < std::size(rows); ++i) {
    FileFigures figures = FiguresOf(files, i);
    EXPECT_EQ(figures.timeField, rows[i].timeField) << i;
    EXPECT_EQ(figures.seconds, rows[i].seconds) << i;
    EXPECT_EQ(figures.moved, rows[i].moved) << i;
    EXPECT_EQ(figures.cps, rows[i].cps) << i;
    EXPECT_EQ(figures.transferred, rows[i].transferred) << i;
  }
}

// Two links, one without files; the record lines carry the condition values,
// the files of no alias have a group line of their own, and "@?ENDFILES" shows
// only on the body's last line after a link's last record.
TEST(FilesReport, RecordsPerLinkAndEndFiles) {
  ReportFixture fixture;
  SessionModel& model = fixture.model;
  for (const char* address : {"2:5020/10", "2:5020/2", "1:1/1"}) {
    AddSession(model, address);
    model.links.push_back(MakeLink(address, "Sysop"));
  }
  model.files.runs = {{0, 0}, {1, 2}};  // 2:5020/10 has two files, 2:5020/2 one
  AddFile(model, "b.pkt", 50, true);
  AddFile(model, "A.MO1", 50, false);
  AddFile(model, "c.zip", 50, true);
  fixture.settings.FileAliasTable = {FileAlias{"Mail", {".mo"}}};
  fixture.settings.FILE_CASE = "LOW";
  EXPECT_EQ(FilesOut(fixture,
                     "%E=\"--\"\n%A=\"alias\"\nhead @FILENAME(LEFT,*)\n@STARTCIRCLE()\n"
                     "@ADDRESS(LEFT,10)|@?FILEALIAS=@A(LEFT,*)@FILENAME(LEFT,*)|@FILEALIAS(LEFT,*)|"
                     "@FILESIZE(LEFT,*)|@?ENDFILES=@E(LEFT,*)\n"
                     "@?ENDFILES=@E(LEFT,*)\n@ENDCIRCLE()\nfoot @?ENDFILES=@E(LEFT,*)\n"),
            "head @FILENAME(LEFT,*)\n"
            "2:5020/2  |alias|Other files|50|\n"
            "          |c.zip|Other files|50|\n"
            "--\n"
            "2:5020/10 |alias|Mail|50|\n"
            "          |a.mo1|Mail|50|\n"
            "          |alias|Other files|50|\n"
            "          |b.pkt|Other files|50|\n"
            "--\n"
            "foot \n");
  EXPECT_EQ(fixture.console.Masked(),
            ". STAMP Processing files.out\n"
            ". STAMP   Creating files statistic to 2:5020/2\n"
            ". STAMP   Creating files statistic to 2:5020/10\n");
}

// A remote system can announce any size: an alias's total stops at the largest
// number rather than wrapping to a negative one.
TEST(FilesReport, AliasTotalOfAbsurdSizesSaturates) {
  ReportFixture fixture;
  SessionModel& model = fixture.model;
  AddSession(model, "2:5020/10");
  model.links.push_back(MakeLink("2:5020/10", "Sysop"));
  for (const char* name : {"a.pkt", "b.pkt", "c.pkt"}) AddFile(model, name, INT64_MAX - 1, false);
  model.files.runs = {{0, 0}};
  fixture.settings.FileAliasTable = {FileAlias{"Mail", {".pkt"}}};
  EXPECT_EQ(FilesOut(fixture,
                     "@STARTCIRCLE()\n@?FILEALIAS=@FILEALIAS(LEFT,*)|@FILESIZE(LEFT,*)\n"
                     "@ENDCIRCLE()\n"),
            "Mail|9223372036854775807\n|9223372036854775806\n|9223372036854775806\n"
            "|9223372036854775806\n");
}

// Without any FILE_ALIAS there is nothing to tell the files apart from: no
// group line at all.
TEST(FilesReport, NoGroupLineWithoutAliases) {
  ReportFixture fixture;
  SessionModel& model = fixture.model;
  AddSession(model, "2:5020/10");
  model.links.push_back(MakeLink("2:5020/10", "Sysop"));
  AddFile(model, "a.pkt", 10, false);
  AddFile(model, "b.zip", 20, true);
  model.files.runs = {{0, 0}};
  EXPECT_EQ(FilesOut(fixture,
                     "@STARTCIRCLE()\n@?FILEALIAS=@FILEALIAS(LEFT,*)|@FILENAME(LEFT,*)\n"
                     "@ENDCIRCLE()\n"),
            "|a.pkt\n|b.zip\n");
}

// Links whose sessions interleave over a long log, each with files of several
// aliases: every link lists each alias's files, then the rest, in log order.
// The reference below is the plain reading of that rule.
TEST(FilesReport, GroupsKeepLogOrderOverInterleavedSessions) {
  ReportFixture fixture;
  SessionModel& model = fixture.model;
  const char* addresses[] = {"2:5020/1", "2:5020/2", "2:5020/3"};
  for (const char* address : addresses) model.links.push_back(MakeLink(address, "Sysop"));
  const char* endings[] = {".pkt", ".tic", ".zip", ".mo1"};  // aliases: pkt, tic; the rest none
  fixture.settings.FileAliasTable = {FileAlias{"P", {".pkt"}}, FileAlias{"T", {".tic"}}};
  std::mt19937 random(7);
  std::vector<std::vector<std::string>> expected(3, std::vector<std::string>(3));
  for (uint32_t s = 0; s < 300; ++s) {
    size_t link = random() % 3;
    AddSession(model, addresses[link]);
    model.files.runs.push_back({s, static_cast<uint32_t>(model.files.files.size())});
    for (size_t n = random() % 4; n > 0; --n) {
      size_t ending = random() % 4;
      std::string name = "f" + std::to_string(model.files.files.size()) + endings[ending];
      AddFile(model, name, 1, false);
      expected[link][std::min<size_t>(ending, 2)] += name + "\n";
    }
  }
  std::string reference;
  for (const std::vector<std::string>& link : expected) {
    for (const std::string& group : link) reference += group;
  }
  EXPECT_EQ(FilesOut(fixture, "@STARTCIRCLE()\n@?FILENAME=@FILENAME(LEFT,*)\n@ENDCIRCLE()\n"),
            reference);
}

}  // namespace
}  // namespace zentrak
