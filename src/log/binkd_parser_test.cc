// The binkd reader: its line tables, and the parse under the input a real
// binkd log gives (interleaving, times that go back, reused and wide pids,
// torn and long lines), in every thread count.
#include "log/binkd_parser.h"

#include <gtest/gtest.h>

#include <string>

#include "console/run_stop.h"
#include "model_text.h"
#include "test_support.h"

namespace zentrak {
namespace {

TEST(BinkdLine, ReadsPidMessageAndKind) {
  using K = BinkdKind;
  struct Row {
    std::string line;
    bool ok;
    uint64_t pid;
    K kind;
  } rows[] = {
      {"+ 09 Dec 03:12:01 [4711] call to 2:5020/52@fidonet", true, 4711, K::kCallTo},
      {"? 09 Dec 03:12:01 [1081963032] connection to 2:5020/52@fidonet failed: {111}", true,
       1081963032, K::kCallFailed},
      {"? 09 Dec 03:12:01 [7] unable to connect: {110} Connection timed out", true, 7,
       K::kCallFailed},
      {"+ 09 Dec 03:12:01 [1] incoming session with h [1.2.3.4] (44787)", true, 1, K::kSession},
      {"+ 09 Dec 03:12:01 [1] outgoing session with h:24554 [1.2.3.4]", true, 1, K::kSession},
      {"+ 09 Dec 03:12:01 [1] session with h (1.2.3.4)", true, 1, K::kSession},
      {"- 09 Dec 03:12:01 [1] incoming from 1.2.3.4 (51234)", true, 1, K::kOther},
      {"+ 09 Dec 03:12:01 [1] addr: 2:5020/52@fidonet", true, 1, K::kAddress},
      {"- 09 Dec 03:12:01 [1] SYS x", true, 1, K::kSystem},
      {"- 09 Dec 03:12:01 [1] ZYZ x", true, 1, K::kSysop},
      {"- 09 Dec 03:12:01 [1] LOC x", true, 1, K::kLocation},
      {"- 09 Dec 03:12:01 [1] VER binkd/1.1a", true, 1, K::kMailer},
      {"- 09 Dec 03:12:01 [1] TIME Wed, 9 Dec 2026 03:12:03 +0300", true, 1, K::kOther},
      {"+ 09 Dec 03:12:01 [1] pwd protected session (MD5)", true, 1, K::kProtected},
      {"+ 09 Dec 03:12:01 [1] sending /o/a.pkt as a.pkt (12)", true, 1, K::kSending},
      {"+ 09 Dec 03:12:01 [1] sending a.pkt from 1024", true, 1, K::kSendFrom},
      {"+ 09 Dec 03:12:01 [1] sent: /o/a.pkt (12, 12.00 CPS, 2:5020/52@fidonet)", true, 1,
       K::kSent},
      {"- 09 Dec 03:12:01 [1] receiving a.su0 (567 byte(s), off 0)", true, 1, K::kReceiving},
      {"+ 09 Dec 03:12:01 [1] rcvd: a.su0 (567, 567.00 CPS, 2:5020/52@fidonet)", true, 1,
       K::kReceived},
      {"? 09 Dec 03:12:01 [1] receiving of a.su0 interrupted at 1024", true, 1, K::kInterrupted},
      {"+ 09 Dec 03:12:01 [1] skipping a.zip (non-destructive)", true, 1, K::kSkipped},
      {"? 09 Dec 03:12:01 [1] skipping a.exe (destructive, 12 byte(s), mask *.exe)", true, 1,
       K::kRefused},
      {"+ 09 Dec 03:12:01 [1] already have a.pkt (1700000000, 12 byte(s))", true, 1, K::kSkipped},
      {"+ 09 Dec 03:12:01 [1] a.zip skipped by remote", true, 1, K::kSkippedByRemote},
      {"+ 09 Dec 03:12:01 [1] remote already has a.zip", true, 1, K::kSkippedByRemote},
      {"+ 09 Dec 03:12:01 [1] done (?, failed, S/R: 0/0 (0/0 bytes))", true, 1, K::kDone},
      {"+ 09 Dec 03:12:01 [1]", true, 1, K::kOther},  // torn after the pid
      {"+ 09 Dec 03:12:01 [1", false, 0, K::kOther},
      {"+ 09 Dec 03:12:01 [] call to 1:2/3", false, 0, K::kOther},
      {"+ 09 Dec 03:12:01 [12x] call to 1:2/3", false, 0, K::kOther},
      {"+ 09 Dec 03:12:01 [12 call to 1:2/3", false, 0, K::kOther},
      {"09 Dec 03:12:01 DEBUG mailer line", false, 0, K::kOther},
      {"", false, 0, K::kOther},
  };
  for (const Row& row : rows) {
    BinkdLine got;
    EXPECT_EQ(ReadBinkdLine(row.line, got), row.ok) << row.line;
    if (!row.ok) continue;
    EXPECT_EQ(got.pid, row.pid) << row.line;
    EXPECT_EQ(got.kind, row.kind) << row.line;
  }
}

TEST(BinkdLine, ReadsDoneFiguresSentFirst) {
  struct Row {
    std::string message;
    std::string address;
    int direction;
    bool failed;
    int64_t sent;
    int64_t received;
  } rows[] = {
      {"done (to 2:5020/52@fidonet, OK, S/R: 3/2 (56789/1234 bytes))", "2:5020/52", 1, false, 56789,
       1234},
      {"done (from 2:5020/52.7@fidonet, failed, S/R: 0/1 (0/10 bytes))", "2:5020/52.7", -1, true, 0,
       10},
      {"done (?, failed, S/R: 0/0 (0/0 bytes))", "", 0, true, 0, 0},
      {"done (from 2:5020/1, OK)", "2:5020/1", -1, false, 0, 0},
      {"done (", "", 0, false, 0, 0},
  };
  for (const Row& row : rows) {
    BinkdDone got = ReadBinkdDone(row.message);
    EXPECT_EQ(got.address, row.address) << row.message;
    EXPECT_EQ(got.direction, row.direction) << row.message;
    EXPECT_EQ(got.failed, row.failed) << row.message;
    EXPECT_EQ(got.sentBytes, row.sent) << row.message;
    EXPECT_EQ(got.receivedBytes, row.received) << row.message;
  }
}

TEST(BinkdLine, HostOfEachGenerationsSessionLine) {
  struct Row {
    std::string message;
    std::string host;
  } rows[] = {
      {"incoming session with host.example.net [1.2.3.4]", "host.example.net"},
      {"incoming session with 198.51.100.4", "198.51.100.4"},
      {"outgoing session with f52.n5020.z2.binkp.net:24554 [192.0.2.7]", "f52.n5020.z2.binkp.net"},
      {"outgoing session with 2001:db8::7 [2001:db8::7]", "2001:db8::7"},
      {"incoming session with host [1.2.3.4] (44787)", "host"},
      {"session with host (1.2.3.4)", "host"},
  };
  for (const Row& row : rows) EXPECT_EQ(BinkdHost(row.message), row.host) << row.message;
}

struct Parsed {
  SessionModel model;
  std::string console;
  int status = -1;
};

// threads 0: the line reader's pass.
Parsed Parse(const std::string& log, int threads = 0, bool files = true,
             const std::string& trendsDb = "", TimeWindow window = TimeWindow{60, 0, 0, 86399},
             const std::vector<std::string>& aliases = {}) {
  Parsed out;
  testing::TestConsole console;
  Settings settings = SetDefaults();
  settings.AliasList = aliases;
  settings.timeWindow = window;
  settings.logFormat = LogFormat::kBinkd;
  settings.MAKESTAT_FILES = files;
  settings.TRENDS_DB = trendsDb;
  try {
    if (threads == 0) {
      LineReader reader(log);
      ParseBinkdLogLines(reader, settings, testing::kTestToday, out.model, console.console);
    } else {
      LogBlockReader reader(log, 4096);
      ParseBinkdLogBlocks(reader, settings, testing::kTestToday, out.model, console.console,
                          threads);
    }
  } catch (const RunStop& stop) {
    out.status = stop.exitStatus;
  }
  out.console = console.Masked();
  return out;
}

std::string Line(const std::string& when, const std::string& pid, const std::string& text) {
  return "+ " + when + " [" + pid + "] " + text + "\n";
}

TEST(BinkdParse, TimesThatGoBackNeverLengthenASession) {
  // A clock put back an hour inside a session, and an older line of a second
  // writer: the session lasts as long as its lines run forward, no 23 hours.
  std::string log =
      Line("06 Dec 02:59:50", "1", "incoming session with a") +
      Line("06 Dec 02:59:55", "1", "addr: 1:2/3@fidonet") + Line("06 Dec 02:00:05", "1", "SYS x") +
      Line("06 Dec 02:59:40", "1", "ZYZ y") +
      Line("06 Dec 03:00:05", "1", "done (from 1:2/3@fidonet, OK, S/R: 0/0 (0/0 bytes))");
  Parsed got = Parse(log);
  ASSERT_EQ(got.model.sessions.size(), 1u);
  const TSession& s = got.model.sessions[0];
  EXPECT_EQ(s.StartTime, 2 * 3600 + 59 * 60 + 50);
  EXPECT_EQ(s.EndTime, 3 * 3600 + 5);
  EXPECT_EQ(got.model.links[0].OnlineTime, 15);
}

TEST(BinkdParse, ACallFailsOnOneAddressAndConnectsOnTheNext) {
  std::string log =
      Line("06 Dec 10:00:00", "9", "call to 1:2/3@fidonet") +
      Line("06 Dec 10:00:04", "9",
           "connection to 1:2/3@fidonet failed: {101} Network unreachable") +
      Line("06 Dec 10:00:05", "9", "session with f3.n2.z1.binkp.net (192.0.2.3)") +
      Line("06 Dec 10:00:09", "9", "done (to 1:2/3@fidonet, OK, S/R: 0/0 (0/0 bytes))") +
      // A call whose every address failed leaves dialling time only.
      Line("06 Dec 11:00:00", "9", "call to 1:2/4@fidonet") +
      Line("06 Dec 11:00:02", "9", "unable to connect: {111} Connection refused") +
      Line("06 Dec 11:00:03", "9", "unable to connect: {111} Connection refused") +
      Line("06 Dec 12:00:00", "9", "call to 1:2/5@fidonet") +
      Line("06 Dec 12:00:30", "9", "connection to 1:2/5@fidonet failed: {110} Timed out");
  Parsed got = Parse(log);
  ASSERT_EQ(got.model.sessions.size(), 1u);
  const TSession& s = got.model.sessions[0];
  EXPECT_FALSE(s.Incoming);
  EXPECT_EQ(s.StartTime, 36004);  // the next address is tried as the first one fails
  EXPECT_EQ(s.EndTime, 36009);
  EXPECT_EQ(got.model.TotalCallingTime, 4 + 3 + 30);
  EXPECT_EQ(got.model.LeftTime, 0);
  EXPECT_EQ(got.console, "");
}

TEST(BinkdParse, PidsReusedAndOfAnyWidth) {
  std::string log =
      // Reused weeks later by a line that opens nothing: the old session ended unseen.
      Line("01 Nov 10:00:00", "77", "incoming session with a") +
      Line("01 Nov 10:00:04", "77", "addr: 1:2/3") +
      Line("29 Nov 10:00:00", "77", "done (from 1:2/3, OK, S/R: 0/0 (0/0 bytes))") +
      // A thread address as the pid, with a session of a short pid between.
      Line("06 Dec 10:00:00", "1081963032", "incoming session with b") +
      Line("06 Dec 10:00:01", "10", "incoming session with c") +
      Line("06 Dec 10:00:02", "10", "done (from 1:2/10, OK, S/R: 0/0 (0/0 bytes))") +
      Line("06 Dec 10:00:03", "1081963032", "done (from 1:2/4, OK, S/R: 0/5 (0/7 bytes))") +
      // A pid wider than 64 bits stays one key.
      Line("06 Dec 11:00:00", "123456789012345678901234567890", "incoming session with d") +
      Line("06 Dec 11:00:02", "123456789012345678901234567890",
           "done (from 1:2/5, OK, S/R: 0/0 (0/0 bytes))");
  Parsed got = Parse(log);
  std::string addresses;
  for (const TSession& s : got.model.sessions)
    addresses += std::string(got.model.Text(s.Address)) + " ";
  EXPECT_EQ(addresses, "1:2/10 1:2/4 1:2/5 ");
  EXPECT_EQ(got.model.LeftTime, 4);
  EXPECT_EQ(got.model.sessions[1].Received, 7);
  EXPECT_EQ(got.model.sessions[1].Sent, 0);
  EXPECT_EQ(got.console, "* STAMP Sessions without a \"done\" line, counted as unfinished: 1\n");
}

TEST(BinkdParse, TornLongAndForeignLinesAreLeftOut) {
  std::string longSys(1500, 'S');
  std::string log = "\n" + Line("06 Dec 10:00:00", "5", "incoming session with a") +
                    "+ 06 Dec 10:00:01 [5] SY+ 06 Dec 10:00:01 [6] call to 1:2/9\n" +
                    "+ 06 Dec 10:0\n" + Line("06 Dec 10:00:01", "5", "SYS " + longSys) +
                    "06 Dec 10:00:02 a line of another program\n" +
                    Line("06 Dec 10:00:03", "5", "done (from 1:2/3, OK, S/R: 0/0 (0/0 bytes))");
  Parsed got = Parse(log);
  ASSERT_EQ(got.model.sessions.size(), 1u);
  // Kept to the bound of every shown text.
  EXPECT_EQ(got.model.Text(got.model.RemoteNames(got.model.sessions[0]).system),
            std::string(255, 'S'));
}

TEST(BinkdParse, SessionsOfDeadProcessesAreLetGo) {
  // Far more sessions open at once than binkd ever runs, none of them ended:
  // letting the oldest go on the way, all count as unfinished and the latest still ends.
  std::string log;
  for (int k = 0; k < 70000; ++k)
    log += Line("06 Dec 10:00:00", std::to_string(k), "incoming session with h");
  log += Line("06 Dec 10:00:01", "69999", "done (from 1:2/3, OK, S/R: 0/0 (0/0 bytes))");
  Parsed got = Parse(log, 0, false);
  EXPECT_EQ(got.model.sessions.size(), 1u);
  EXPECT_EQ(got.model.LeftTime, 0);
  EXPECT_EQ(got.console,
            "* STAMP Sessions without a \"done\" line, counted as unfinished: 69999\n");
}

TEST(BinkdParse, KeepsWhatTheTrendsStoreCountsWithoutTheFilesReport) {
  // The store counts each day's files and unfinished time, and how much of
  // each day the log covered, with the files report off too.
  std::string log = Line("05 Dec 23:59:58", "3", "incoming session with a") +
                    Line("06 Dec 00:00:02", "3", "addr: 1:2/3") +  // never done: 4 s on 5 Dec
                    Line("06 Dec 10:00:00", "4", "incoming session with b") +
                    Line("06 Dec 10:00:02", "4", "rcvd: a.su0 (567, 567.00 CPS, 1:2/4@fidonet)") +
                    Line("06 Dec 10:00:03", "4", "done (from 1:2/4, OK, S/R: 0/1 (0/567 bytes))");
  Parsed got = Parse(log, 0, false, "trends.db");
  ASSERT_EQ(got.model.sessions.size(), 1u);
  int32_t dec6 = got.model.sessions[0].StartDay;
  EXPECT_EQ(got.model.FirstLineDay, dec6 - 1);
  EXPECT_EQ(got.model.FirstLineTime, 86398);
  EXPECT_EQ(got.model.LastLineDay, dec6);
  EXPECT_EQ(got.model.LastLineTime, 36003);
  EXPECT_EQ(got.model.LeftTimeByDay, (std::vector<std::pair<int32_t, int64_t>>{{dec6 - 1, 4}}));
  ASSERT_EQ(got.model.SessionFiles.size(), 1u);
  EXPECT_EQ(got.model.SessionFiles[0].received, 1);
  EXPECT_EQ(got.model.files.files.size(), 0u);  // the files report is off
}

TEST(BinkdParse, TheCoveredSpanReachesTheWindowsEdgeWhereTheLogGoesOn) {
  // Window: 6 Dec 00:00 to 11:59:59 (today is 7 Dec); one session at 01:00.
  std::string session = Line("06 Dec 01:00:00", "5", "incoming session with a") +
                        Line("06 Dec 01:05:05", "5", "done (from 1:2/4, OK, S/R: 0/0 (0/0 bytes))");
  std::string before = Line("05 Dec 22:00:00", "4", "incoming session with b");
  std::string after = Line("06 Dec 13:00:00", "6", "incoming session with c");
  struct Row {
    std::string log;
    int32_t from, till;
  } rows[] = {
      {session, 3600, 3905},
      {before + session, 0, 3905},
      {session + after, 3600, 43199},
      {before + session + after, 0, 43199},
  };
  for (const Row& row : rows) {
    Parsed got = Parse(row.log, 0, false, "trends.db", TimeWindow{1, 0, 1, 43199});
    EXPECT_EQ(got.model.FirstLineTime, row.from) << row.log;
    EXPECT_EQ(got.model.LastLineTime, row.till) << row.log;
  }
}

TEST(BinkdParse, AnyThreadCountGivesTheLineReadersModel) {
  std::string log;
  for (int k = 0; k < 300; ++k) {
    std::string pid = std::to_string(100 + k % 7);
    char when[32];
    std::snprintf(when, sizeof when, "06 Dec %02d:%02d:00", k / 60 % 24, k % 60);
    log += Line(when, pid, k % 3 == 0 ? "call to 1:2/3" : "incoming session with h");
    log += Line(when, pid, "addr: 1:2/" + std::to_string(k % 11));
    log += Line(when, pid, "sending /o/f" + std::to_string(k) + " as f (10)");
    if (k % 5 != 0) log += Line(when, pid, "done (to 1:2/3, OK, S/R: 1/0 (10/0 bytes))");
  }
  Parsed expected = Parse(log);
  ASSERT_GT(expected.model.sessions.size(), 200u);
  for (int threads : {1, 2, 3}) {
    Parsed got = Parse(log, threads);
    EXPECT_EQ(testing::ModelText(got.model), testing::ModelText(expected.model)) << threads;
    EXPECT_EQ(got.console, expected.console) << threads;
  }
}

// Each session counted once, whole, by the window it began in: a nightly run
// over 06 Dec and one over 05 and 06 Dec agree on every session of 06 Dec.
TEST(BinkdParse, ASessionBelongsToTheWindowItBeganIn) {
  const std::string done = "done (from 1:2/1, OK, S/R: 1/1 (100/200 bytes))";
  std::string log =
      // Going on when 06 Dec begins: the window before counts it.
      Line("05 Dec 23:59:30", "1", "incoming session with a") +
      Line("06 Dec 00:00:10", "1", "addr: 1:2/1") + Line("06 Dec 00:00:20", "1", done) +
      // A call placed before midnight whose session line comes after it.
      Line("05 Dec 23:59:58", "2", "call to 1:2/2") +
      Line("06 Dec 00:00:02", "2", "outgoing session with n2:24554 [192.0.2.2]") +
      Line("06 Dec 00:00:09", "2", "done (to 1:2/2, OK, S/R: 0/0 (0/0 bytes))") +
      // A threaded binkd's id, free again after a failed call, takes an
      // incoming session: the session begins at its own line.
      Line("06 Dec 10:00:00", "3", "call to 1:2/3") +
      Line("06 Dec 10:00:21", "3", "connection to 1:2/3 failed: {111} Connection refused") +
      Line("06 Dec 10:30:00", "3", "incoming session with c") +
      Line("06 Dec 10:30:10", "3", "done (from 1:2/4, OK, S/R: 0/0 (0/0 bytes))") +
      // Begun before the window's end, ended after it: counted whole, here.
      Line("06 Dec 23:59:40", "5", "incoming session with e") +
      Line("07 Dec 00:00:14", "5", "done (from 1:2/5, OK, S/R: 3/4 (685000/727 bytes))") +
      // A session of the next window is not taken along.
      Line("07 Dec 00:00:30", "6", "incoming session with f") +
      Line("07 Dec 00:00:40", "6", "done (from 1:2/6, OK, S/R: 0/0 (0/0 bytes))");
  Parsed night = Parse(log, 0, false, "", TimeWindow{1, 0, 1, 86399});
  std::string sessions;
  for (const TSession& s : night.model.sessions) {
    sessions += std::string(night.model.Text(s.Address)) + " " + std::to_string(s.StartTime) + "-" +
                std::to_string(s.EndTime) + " " + std::to_string(s.Sent) + ";";
  }
  EXPECT_EQ(sessions, "1:2/4 37800-37810 0;1:2/5 86380-14 685000;") << night.console;
  EXPECT_EQ(night.model.LeftTime, 0);
  EXPECT_EQ(night.model.PeriodLastDay, night.model.PeriodFirstDay);
  Parsed both = Parse(log, 2, false, "", TimeWindow{2, 0, 1, 86399});
  ASSERT_EQ(both.model.sessions.size(), 4u) << both.console;
  EXPECT_EQ(both.model.Text(both.model.sessions[1].Address), "1:2/2");
}

// A "done" line binkd had not finished, or that another writer tore, gives no
// figures: the session is unfinished and the console counts such lines.
TEST(BinkdParse, ADoneLineCutShortIsNoSessionEnd) {
  struct Row {
    std::string doneLine;
    size_t sessions;
  } rows[] = {
      {"done (to 1:2/3, OK, S/R: 5/3 (92736/5433 bytes))\n", 2},
      {"done (to 1:2/3, OK, S/R: 5/3 (92736/54", 1},    // the log ends mid-write
      {"done (to 1:2/3, OK, S/R: 5/3 (92736/54\n", 1},  // torn by a second writer
      {"done (to 1:2/3, OK, S/R: 5/3 (92736/54+ 06 Dec 10:00:09\n", 1},
      {"done (to 1:2/3, OK, S/R: 5/3 (92736/5433 bytes)\n", 1},
  };
  for (const Row& row : rows) {
    std::string log = Line("06 Dec 09:00:00", "8", "incoming session with a") +
                      Line("06 Dec 09:00:01", "8", "done (from 1:2/8, OK, S/R: 0/0 (0/0 bytes))") +
                      Line("06 Dec 10:00:00", "4", "call to 1:2/3") +
                      Line("06 Dec 10:00:01", "4", "outgoing session with h:24554 [192.0.2.3]") +
                      "+ 06 Dec 10:00:09 [4] " + row.doneLine;
    for (int threads : {0, 2}) {
      Parsed got = Parse(log, threads);
      EXPECT_EQ(got.model.sessions.size(), row.sessions) << row.doneLine;
      if (row.sessions == 2) {
        EXPECT_EQ(got.model.sessions[1].Received, 5433);
        continue;
      }
      EXPECT_EQ(got.model.LeftTime, 9) << row.doneLine;
      EXPECT_NE(got.console.find("Lines cut short"), std::string::npos) << got.console;
    }
  }
}

TEST(BinkdParse, AnAddressAnAliasNamesDatesTheAliasesLastCall) {
  // An address line's parts are read before the rules take the line; where
  // ALIAS gives the address another, the last call is the other's all the same.
  std::string log =
      Line("06 Dec 10:00:00", "5", "incoming session with a") +
      Line("06 Dec 10:00:01", "5", "addr: 2:5010/1103@fidonet") +
      Line("06 Dec 10:00:02", "5", "addr: 2:5010/7@fidonet") +
      Line("06 Dec 10:00:09", "5", "done (from 2:5010/1103@fidonet, OK, S/R: 0/0 (0/0 bytes))");
  for (int threads : {0, 2}) {
    Parsed got =
        Parse(log, threads, true, "", TimeWindow{60, 0, 0, 86399}, {"2:5010/1103=2:5020/77"});
    std::string calls;
    for (const TLastCall& call : got.model.lastCalls) {
      calls += LastCallAddress(call) + "@" + std::to_string(call.LastTime) + " ";
    }
    EXPECT_EQ(calls, "2:5020/77@36009 2:5010/7@36002 ") << threads;
  }
}

TEST(BinkdParse, NothingToDoNamesBinkd) {
  std::string mailerLog = "+ 06 Dec 10:00:00  MAIL Incoming call\n";
  Parsed got = Parse(mailerLog);
  EXPECT_EQ(got.status, 2);
  EXPECT_NE(got.console.find("none is a binkd line"), std::string::npos) << got.console;
}

}  // namespace
}  // namespace zentrak

namespace zentrak {
namespace {

// Every failure wording of the three generations, as binkd writes it: a
// fragment of one session or call, and where its failure is booked.
TEST(BinkdFailures, EachWordingOfEachGeneration) {
  using R = FailReason;
  // The session lines of 0.9, 1.0 and 1.1a, incoming and outgoing.
  const std::string in09 = "session with h (192.0.2.1)";
  const std::string in10 = "incoming session with h [192.0.2.1] (44787)";
  const std::string in11 = "incoming session with h [192.0.2.1]";
  const std::string out10 = "outgoing session with h [192.0.2.1] (24554)";
  const std::string out11 = "outgoing session with h:24554 [192.0.2.1]";
  auto session = [](const std::string& opening, const std::string& fault, bool addressed) {
    std::string log = Line("06 Dec 10:00:00", "5", opening);
    if (addressed) log += Line("06 Dec 10:00:01", "5", "addr: 2:5020/52@fidonet");
    log += "? 06 Dec 10:00:02 [5] " + fault + "\n";
    return log + Line("06 Dec 10:00:03", "5",
                      std::string("done (") + (addressed ? "from 2:5020/52@fidonet" : "?") +
                          ", failed, S/R: 0/0 (0/0 bytes))");
  };
  auto call = [](const std::string& session, const std::string& fault) {
    return Line("06 Dec 10:00:00", "5", "call to 2:5020/52@fidonet") + session +
           "? 06 Dec 10:00:02 [5] " + fault + "\n" +
           Line("06 Dec 10:00:03", "5",
                "done (to 2:5020/52@fidonet, failed, S/R: 0/0 (0/0 bytes))");
  };
  auto unconnected = [](const std::string& fault) {
    return Line("06 Dec 10:00:00", "5", "call to 2:5020/52@fidonet") + "? 06 Dec 10:00:02 [5] " +
           fault + "\n";
  };
  struct Row {
    std::string generation;
    std::string log;
    std::string address;
    R reason;
    bool claimed;
    bool isCall;
    std::string text;
  } rows[] = {
      // Calls that never connected.
      {"0.9", unconnected("unable to connect: Connection refused"), "2:5020/52", R::kRefused, false,
       true, "Connection refused"},
      {"0.9", unconnected("unable to connect: Connection timed out"), "2:5020/52", R::kTimeout,
       false, true, "Connection timed out"},
      {"0.9", unconnected("unable to connect: No route to host"), "2:5020/52", R::kNoRoute, false,
       true, "No route to host"},
      {"1.0", unconnected("connection to 2:5020/52@fidonet failed: Connection refused"),
       "2:5020/52", R::kRefused, false, true, "Connection refused"},
      {"1.0", unconnected("connection to 2:5020/52@fidonet failed: Network is unreachable"),
       "2:5020/52", R::kNoRoute, false, true, "Network is unreachable"},
      {"1.1a", unconnected("connection to 2:5020/52@fidonet failed: {111} Connection refused"),
       "2:5020/52", R::kRefused, false, true, "{111} Connection refused"},
      {"1.1a win",
       unconnected("connection to 2:5020/52@fidonet failed: {W32 API error 10060} Connection "
                   "timed out"),
       "2:5020/52", R::kTimeout, false, true, "{W32 API error 10060} Connection timed out"},
      {"1.1a win",
       unconnected("connection to 2:5020/52@fidonet failed: {W32 API error 10065} A socket "
                   "operation was attempted to an unreachable host"),
       "2:5020/52", R::kNoRoute, false, true,
       "{W32 API error 10065} A socket operation was attempted to an"},
      {"1.1a", unconnected("connection to 2:5020/52@fidonet failed: Name or service not known"),
       "2:5020/52", R::kOther, false, true, "Name or service not known"},
      // Sessions that failed, incoming and outgoing.
      {"0.9",
       call(Line("06 Dec 10:00:01", "5", "session with h (192.0.2.1)"),
            "got M_BSY: Remote is busy"),
       "2:5020/52", R::kBusy, false, false, "Remote is busy"},
      {"1.0", call(Line("06 Dec 10:00:01", "5", out10), "got M_BSY: Too many servers"), "2:5020/52",
       R::kBusy, false, false, "Too many servers"},
      {"1.1a", call(Line("06 Dec 10:00:01", "5", out11), "rerror: Bad password"), "2:5020/52",
       R::kRemoteError, false, false, "Bad password"},
      {"0.9", session(in09, "timeout!", true), "2:5020/52", R::kTimeout, false, false, "timeout!"},
      {"1.1a", session(in11, "recv: Connection timed out", true), "2:5020/52", R::kTimeout, false,
       false, "recv: Connection timed out"},
      {"0.9", session(in09, "`secret': incorrect password", true), "2:5020/52", R::kBadPassword,
       true, false, "`secret': incorrect password"},
      {"1.0", session(in10, "inconsistent pwd settings for this node", true), "2:5020/52",
       R::kBadPassword, true, false, "inconsistent pwd settings for this node"},
      {"1.1a", session(in11, "unexpected password digest from the remote", true), "2:5020/52",
       R::kBadPassword, true, false, "unexpected password digest from the remote"},
      {"0.9", session(in09, "Source IP check failed", true), "2:5020/52", R::kNotAllowed, true,
       false, "Source IP check failed"},
      {"1.0", session(in10, "Remote IP check failed", true), "2:5020/52", R::kNotAllowed, true,
       false, "Remote IP check failed"},
      // Refused before any address was accepted: booked to the one claimed.
      {"1.0", session(in10, "addr: 2:5020/52@fidonet (not from allowed remote address)", false),
       "2:5020/52", R::kNotAllowed, true, false,
       "addr: 2:5020/52@fidonet (not from allowed remote address)"},
      {"1.1a",
       session(in11, "addr: 2:5020/52@fidonet (not from allowed remote IP, aborted)", false),
       "2:5020/52", R::kNotAllowed, true, false,
       "addr: 2:5020/52@fidonet (not from allowed remote IP, aborted"},  // cut at 60
      {"0.9", session(in09, "no AKAs in common domains or all AKAs are busy", true), "2:5020/52",
       R::kBusy, false, false, "no AKAs in common domains or all AKAs are busy"},
      {"1.0", session(in10, "Secure AKA 2:5020/52@fidonet busy, drop the session", true),
       "2:5020/52", R::kBusy, false, false, "Secure AKA 2:5020/52@fidonet busy, drop the session"},
      {"0.9", session(in09, "rerror: Unknown node", true), "2:5020/52", R::kRemoteError, false,
       false, "Unknown node"},
      {"0.9", session(in09, "recv: connection closed by foreign host", true), "2:5020/52",
       R::kBrokenOff, false, false, "recv: connection closed by foreign host"},
      {"1.0", session(in10, "send: Connection reset by peer", true), "2:5020/52", R::kBrokenOff,
       false, false, "send: Connection reset by peer"},
      {"1.1a", session(in11, "write: Broken pipe", true), "2:5020/52", R::kBrokenOff, false, false,
       "write: Broken pipe"},
      {"1.1a", session(in11, "called 2:5020/52@fidonet, but remote has no such AKA", true),
       "2:5020/52", R::kOther, false, false,
       "called 2:5020/52@fidonet, but remote has no such AKA"},
      // A port scanner: no address, no reason line.
      {"1.1a", session(in11, "recv: connection closed by foreign host", false), "", R::kBrokenOff,
       false, false, "recv: connection closed by foreign host"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.generation + ": " + row.log);
    Parsed got = Parse(row.log);
    ASSERT_EQ(got.model.failures.size(), 1u);
    const TFailure& f = got.model.failures[0];
    EXPECT_EQ(f.Address, row.address);
    EXPECT_EQ(f.Reason, row.reason);
    EXPECT_EQ(f.Claimed, row.claimed);
    EXPECT_EQ(f.Calls, row.isCall ? 1 : 0);
    EXPECT_EQ(f.Sessions, row.isCall ? 0 : 1);
    EXPECT_EQ(f.LastTime, 10 * 3600 + (row.isCall ? 2 : 3));
    EXPECT_EQ(f.Text, row.text);
  }
}

// The first specific reason names the failure; the broken line after it is
// only its consequence. A failed connect on one address of a call that then
// connected is no failed call.
TEST(BinkdFailures, TheFirstSpecificReasonStaysAndRetriesAreNoFailedCalls) {
  std::string log =
      Line("06 Dec 10:00:00", "5", "incoming session with h [192.0.2.1]") +
      "? 06 Dec 10:00:01 [5] recv: connection closed by foreign host\n" +
      "? 06 Dec 10:00:01 [5] got M_BSY: Too many servers\n" + "? 06 Dec 10:00:02 [5] timeout!\n" +
      Line("06 Dec 10:00:03", "5", "done (from 2:1/2@fidonet, failed, S/R: 0/0 (0/0 bytes))") +
      Line("06 Dec 11:00:00", "6", "call to 2:1/2@fidonet") +
      Line("06 Dec 11:00:01", "6", "connection to 2:1/2@fidonet failed: Connection refused") +
      Line("06 Dec 11:00:02", "6", "outgoing session with h:24554 [192.0.2.1]") +
      Line("06 Dec 11:00:03", "6", "pwd protected session (MD5)") +
      Line("06 Dec 11:00:04", "6", "done (to 2:1/2@fidonet, OK, S/R: 0/0 (0/0 bytes))") +
      Line("06 Dec 12:00:00", "7", "incoming session with 192.0.2.9") +
      Line("06 Dec 12:00:01", "7", "done (?, failed, S/R: 0/0 (0/0 bytes))");
  Parsed got = Parse(log);
  ASSERT_EQ(got.model.failures.size(), 2u);
  EXPECT_EQ(got.model.failures[0].Reason, FailReason::kBusy);
  EXPECT_EQ(got.model.failures[0].Text, "Too many servers");
  EXPECT_EQ(got.model.failures[1].Address, "");  // no address sorts last
  ASSERT_EQ(got.model.links.size(), 1u);
  const TLink& link = got.model.links[0];
  EXPECT_EQ(link.InFailed, 1);
  EXPECT_EQ(link.InOk, 0);
  EXPECT_EQ(link.CallsOk, 1);
  EXPECT_EQ(link.CallsNoConnect, 0);
  EXPECT_EQ(link.Unprotected, 1);
  EXPECT_TRUE(link.LastOk);
  EXPECT_EQ(link.LastTime, 11 * 3600 + 4);
  EXPECT_EQ(got.model.AnonymousSessions, 1);
  EXPECT_EQ(got.model.UnprotectedSessions, 2);
  EXPECT_EQ(got.model.sessions.size(), 3u);
}

}  // namespace
}  // namespace zentrak
