// The parser over short in-memory logs: each rule, the order in which the rules
// meet on one line, the end-of-file steps and bad input.
#include "log/log_parser.h"

#include <gtest/gtest.h>

#include <initializer_list>

#include "console/run_stop.h"
#include "log/nothing_to_do.h"
#include "log_test_texts.h"
#include "test_support.h"

namespace zentrak {
namespace {

using testing::EnglishTexts;
using testing::LogLine;

struct Parsed {
  SessionModel model;
  std::string console;
  int status = -1;  // -1: the run went on
};

// A window of the last 30 days up to the end of today (07 Dec 2026).
Settings WideSettings() {
  Settings settings = SetDefaults();
  settings.timeWindow = TimeWindow{30, 0, 0, 86399};
  return settings;
}

Parsed ParseText(const std::string& bytes, const Settings& settings = WideSettings(),
                 const LocalTime* now = nullptr, const std::vector<TLastCall>& history = {}) {
  testing::TestConsole console;
  if (now != nullptr) console.clock.Set(*now);
  Parsed parsed;
  for (const TLastCall& record : history) {
    parsed.model.lastCallIndex.emplace(LastCallAddress(record), parsed.model.lastCalls.size());
    parsed.model.lastCalls.push_back(record);
  }
  LineReader reader(bytes);
  try {
    ParseLogLines(reader, settings, EnglishTexts(), TodayOn(console.clock), parsed.model,
                  console.console);
  } catch (const RunStop& stop) {
    parsed.status = stop.exitStatus;
  }
  parsed.console = console.Masked();
  return parsed;
}

// Lines of 07 Dec: {"hh:mm:ss", message}.
std::string Today(std::initializer_list<std::pair<const char*, const char*>> lines) {
  std::string log;
  for (const auto& [time, message] : lines) log += LogLine("07 Dec", time, message) + "\r\n";
  return log;
}

std::string Session(const char* address, const char* start, const char* transfer, const char* end,
                    const char* traffic) {
  return Today({{start, "Incoming call"},
                {start, (std::string("Address: ") + address + "@fidonet").c_str()},
                {transfer, "ZModem transfer"},
                {end, (std::string("End of session, in/out: ") + traffic + " bytes").c_str()}});
}

TEST(LogParser, OutgoingSessionFillsSessionLinkEventAndLastCall) {
  Parsed p = ParseText(Today({{"10:00:00", "Outgoing call to 2:5020/100, ATDT79501234567"},
                              {"10:00:20", "Connect 33600/ARQ/V42"},
                              {"10:00:25", "Address: 2:5020/100@fidonet"},
                              {"10:00:25", "Mailer: Zephyr 2.1/LNX"},
                              {"10:00:25", "Sysop: Ann Other"},
                              {"10:00:26", "Password-protected session"},
                              {"10:00:30", "ZModem transfer"},
                              {"10:01:10", "End of session, in/out: 1000/3000 bytes"}}));
  ASSERT_EQ(p.status, -1) << p.console;
  ASSERT_EQ(p.model.sessions.size(), 1u);
  const TSession& s = p.model.sessions[0];
  EXPECT_EQ(s.StartTime, 36000);
  EXPECT_EQ(s.StartDay, 341);
  EXPECT_EQ(s.ConnectTime, 36020);
  EXPECT_EQ(s.ConnectSpeed, 33600);
  EXPECT_EQ(s.TransferStart, 36030);
  EXPECT_EQ(s.EndTime, 36070);
  EXPECT_EQ(s.Protocol, 1);
  EXPECT_EQ(s.Received, 1000);
  EXPECT_EQ(s.Sent, 3000);
  EXPECT_EQ(s.Cps, 100);
  EXPECT_EQ(p.model.Text(s.Phone), "79501234567");
  EXPECT_EQ(p.model.Text(s.Address), "2:5020/100");
  EXPECT_EQ(p.model.Text(s.Mailer), "Zephyr 2.1/LNX");
  EXPECT_EQ(p.model.Text(s.Sysop), "Ann Other");
  EXPECT_FALSE(s.Incoming);
  EXPECT_TRUE(s.Protected);
  EXPECT_FALSE(s.Aborted);

  ASSERT_EQ(p.model.links.size(), 1u);
  const TLink& link = p.model.links[0];
  EXPECT_EQ(link.Address, "2:5020/100");
  EXPECT_EQ(link.OnlineTime, 70);
  EXPECT_EQ(link.TransferTime, 40);
  EXPECT_EQ(link.Cps, 100);
  EXPECT_EQ(link.Phone, "79501234567");

  ASSERT_EQ(p.model.events.size(), 1u);
  EXPECT_EQ(p.model.events[0].Kind, kEventOut);
  EXPECT_EQ(p.model.events[0].StartTime, 36000);
  EXPECT_EQ(p.model.events[0].EndTime, 36070);

  ASSERT_EQ(p.model.lastCalls.size(), 1u);
  EXPECT_EQ(p.model.lastCalls[0].Net, 5020);
  EXPECT_EQ(p.model.lastCalls[0].LastDate, 2026 * 365 + 12 * 31 + 7);
  EXPECT_EQ(p.model.lastCalls[0].LastTime, 36025);

  EXPECT_EQ(p.model.TotalReceived, 1000);
  EXPECT_EQ(p.model.TotalSent, 3000);
  EXPECT_EQ(p.model.TotalOnlineTime, 70);
  EXPECT_EQ(p.model.TotalCps, 100);
  // The period after parsing: the event's days, widened where the window reaches further.
  EXPECT_EQ(p.model.PeriodFirstDay, 341);
  EXPECT_EQ(p.model.PeriodLastDay, 341);
  EXPECT_EQ(p.model.PeriodTill.day, 7);
}

TEST(LogParser, CallFailedClosesThePendingCallBeforeTheOutgoingRuleSeesTheLine) {
  Parsed p = ParseText(Today({{"10:00:00", "Outgoing call to 2:1/1, ATDT111"},
                              {"10:00:45", "Busy; Outgoing call to 2:1/2, ATDT222"},
                              {"10:01:00", "No carrier"},
                              {"10:02:00", "No answer"},  // nothing pending: adds nothing
                              {"10:03:00", "Incoming call"},
                              {"10:03:05", "Address: 2:1/3"},
                              {"10:03:09", "End of session, in/out: 0/0 bytes"}}));
  ASSERT_EQ(p.status, -1) << p.console;
  EXPECT_EQ(p.model.TotalCallingTime, 60);
  ASSERT_EQ(p.model.events.size(), 3u);
  EXPECT_EQ(p.model.events[0].Kind, kEventCall);
  EXPECT_EQ(p.model.events[0].EndTime - p.model.events[0].StartTime, 45);
  EXPECT_EQ(p.model.events[1].StartTime, 36045);
  EXPECT_EQ(p.model.events[2].Kind, kEventIn);
  // Both calls failed: their time is dialling time, none is left unfinished.
  EXPECT_EQ(p.model.LeftTime, 0);
  ASSERT_EQ(p.model.sessions.size(), 1u);
  EXPECT_TRUE(p.model.sessions[0].Incoming);
  EXPECT_EQ(p.model.sessions[0].Phone, kNoText);
}

TEST(LogParser, SpecialAbortHidesTheAbortOfItsOwnSessionOnly) {
  std::string log = Today({{"10:00:00", "Incoming call"},
                           {"10:00:01", "Address: 2:1/1"},
                           {"10:00:02", "Session closed by remote request"},
                           {"10:00:03", "End of session, in/out: 1/2 bytes, session aborted"},
                           {"10:01:00", "Incoming call"},
                           {"10:01:01", "Address: 2:1/2"},
                           {"10:01:03", "End of session, in/out: 1/2 bytes, session aborted"}});
  Settings hide = WideSettings();
  hide.HIDE_SPEC_ABORT = true;
  Parsed hidden = ParseText(log, hide);
  ASSERT_EQ(hidden.model.sessions.size(), 2u);
  EXPECT_FALSE(hidden.model.sessions[0].Aborted);
  EXPECT_TRUE(hidden.model.sessions[1].Aborted);
  EXPECT_EQ(hidden.model.sessions[0].Received, 1);
  EXPECT_EQ(hidden.model.sessions[0].Sent, 2);

  Parsed shown = ParseText(log);
  EXPECT_TRUE(shown.model.sessions[0].Aborted);
}

TEST(LogParser, OpenSessionIsReusedAndDroppedAtEndOfLog) {
  Parsed p = ParseText(Today({{"10:00:00", "Incoming call"},
                              {"10:00:05", "Address: 2:1/1"},
                              {"10:00:06", "Sysop: Gone Away"},
                              {"10:05:00", "Incoming call"},
                              {"10:05:05", "Address: 2:1/2"},
                              {"10:06:00", "End of session, in/out: 5/5 bytes"},
                              {"11:00:00", "Outgoing call to 2:1/3, ATDT3"},
                              {"11:00:30", "Address: 2:1/3"},
                              {"11:40:00", "Rescanning outbound"}}));
  ASSERT_EQ(p.model.sessions.size(), 1u);
  EXPECT_EQ(p.model.Text(p.model.sessions[0].Address), "2:1/2");
  EXPECT_EQ(p.model.sessions[0].Sysop, kNoText);
  // Each abandoned session counts up to its own last line, not to the next
  // call or to lines that were not its own.
  EXPECT_EQ(p.model.LeftTime, 6 + 30);
  EXPECT_EQ(p.model.links.size(), 1u);
  EXPECT_EQ(p.model.lastCalls.size(), 3u);
}

TEST(LogParser, ExcludedAddressLeavesNoTrace) {
  Settings settings = WideSettings();
  settings.ExcludeAddressList = {"^2:5020/*"};
  Parsed p = ParseText(Session("2:5020/1", "10:00:00", "10:00:05", "10:00:10", "10/10") +
                           Session("2:5030/1", "11:00:00", "11:00:05", "11:00:10", "10/10"),
                       settings);
  ASSERT_EQ(p.model.sessions.size(), 1u);
  EXPECT_EQ(p.model.Text(p.model.sessions[0].Address), "2:5030/1");
  ASSERT_EQ(p.model.links.size(), 1u);
  EXPECT_EQ(p.model.events.size(), 1u);
  ASSERT_EQ(p.model.lastCalls.size(), 1u);
  EXPECT_EQ(p.model.lastCalls[0].Net, 5030);
}

TEST(LogParser, AliasMapsInAnyCaseAndKeepsTheLoggedText) {
  Settings settings = WideSettings();
  settings.AliasList = {"other=1:1/1", "MyAlias=2:5020/999"};
  Parsed p = ParseText(Session("mYaLiAs", "10:00:00", "10:00:05", "10:00:10", "1/1"), settings);
  ASSERT_EQ(p.model.sessions.size(), 1u);
  EXPECT_EQ(p.model.Text(p.model.sessions[0].Address), "2:5020/999");
  EXPECT_EQ(p.model.Text(p.model.sessions[0].AliasName), "mYaLiAs");
  EXPECT_EQ(p.model.links[0].AliasName, "mYaLiAs");
  EXPECT_EQ(p.model.lastCalls[0].Node, 999);
}

TEST(LogParser, SessionAcrossMidnightWrapsOnce) {
  std::string log = LogLine("06 Dec", "23:59:00", "Incoming call") + "\n" +
                    LogLine("06 Dec", "23:59:01", "Address: 2:1/1") + "\n" +
                    LogLine("06 Dec", "23:59:30", "Hydra transfer") + "\n" +
                    LogLine("07 Dec", "00:01:00", "End of session, in/out: 900/0 bytes") + "\n";
  Parsed p = ParseText(log);
  ASSERT_EQ(p.model.links.size(), 1u);
  EXPECT_EQ(p.model.links[0].OnlineTime, 120);
  EXPECT_EQ(p.model.links[0].TransferTime, 90);
  EXPECT_EQ(p.model.sessions[0].Cps, 10);
  EXPECT_EQ(p.model.sessions[0].Protocol, 2);
  EXPECT_EQ(p.model.events[0].StartDay, 340);
  EXPECT_EQ(p.model.events[0].EndDay, 341);

  // Starting and ending in the same second is no trip round the clock.
  Parsed instant = ParseText(Session("2:1/2", "10:00:00", "10:00:00", "10:00:00", "5/0"));
  ASSERT_EQ(instant.model.links.size(), 1u);
  EXPECT_EQ(instant.model.links[0].OnlineTime, 0);
  EXPECT_EQ(instant.model.links[0].TransferTime, 0);
}

TEST(LogParser, CpsRoundsHalfAwayAndCaps) {
  struct Row {
    const char* transfer;
    const char* traffic;
    int32_t cps;
  } rows[] = {
      {"10:00:00", "250/0", 0},       // transfer start equals end
      {"09:58:20", "250/0", 3},       // 2.5 -> 3
      {"09:58:20", "249/0", 2},       // 2.49 -> 2
      {"09:59:59", "10000/0", 9999},  // capped
  };
  for (const Row& row : rows) {
    Parsed p = ParseText(Session("2:1/1", "09:00:00", row.transfer, "10:00:00", row.traffic));
    ASSERT_EQ(p.model.sessions.size(), 1u) << row.traffic;
    EXPECT_EQ(p.model.sessions[0].Cps, row.cps) << row.transfer << " " << row.traffic;
    EXPECT_EQ(p.model.links[0].Cps, row.cps) << row.transfer << " " << row.traffic;
  }
  // No protocol line: nothing was transferred, so no transfer time and cps 0.
  Parsed bare = ParseText(Today({{"10:00:00", "Incoming call"},
                                 {"10:00:01", "Address: 2:1/1"},
                                 {"10:00:09", "End of session, in/out: 100/100 bytes"}}));
  EXPECT_EQ(bare.model.sessions[0].Cps, 0);
  EXPECT_EQ(bare.model.links[0].TransferTime, 0);
  EXPECT_EQ(bare.model.links[0].OnlineTime, 9);
  EXPECT_EQ(bare.model.TotalCps, 0);
}

TEST(LogParser, LinksStayInNumericAddressOrderAndMerge) {
  Parsed p = ParseText(Session("2:5020/10", "10:00:00", "10:00:01", "10:00:11", "10/0") +
                       Session("2:5020/9", "10:01:00", "10:01:01", "10:01:11", "10/0") +
                       Session("2:5020/10", "10:02:00", "10:02:01", "10:02:21", "30/0") +
                       Session("1:1/1.5", "10:03:00", "10:03:01", "10:03:11", "10/0") +
                       Session("1:1/1", "10:04:00", "10:04:01", "10:04:11", "10/0"));
  ASSERT_EQ(p.model.links.size(), 4u);
  const char* order[] = {"1:1/1", "1:1/1.5", "2:5020/9", "2:5020/10"};
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(p.model.links[i].Address, order[i]);
  EXPECT_EQ(p.model.links[3].Received, 40);
  EXPECT_EQ(p.model.links[3].TransferTime, 30);
  EXPECT_EQ(p.model.links[3].Cps, 1);  // 40 / 30 = 1.33
  EXPECT_EQ(p.model.sessions.size(), 5u);
  // Last calls keep their order of first appearance.
  EXPECT_EQ(p.model.lastCalls[0].Node, 10);
  EXPECT_EQ(p.model.lastCalls[2].Point, 5);
}

// Runs of lines share their date columns; a change of any of them, even in a
// line that only moves the clock, must give the new day. One address written
// three ways keeps one last-call record, which follows its latest contact.
TEST(LogParser, DaysFollowEveryDateChangeAndAddressesShareLastCalls) {
  struct Row {
    const char* date;
    const char* address;
    int32_t startDay;
  };
  const Row rows[] = {{"05 Dec", "2:5020/1", 339},   {"05 Dec", "2:5020/01", 339},
                      {"06 Dec", "2:5020/1.0", 340}, {"16 Nov", "2:5020/2", 320},
                      {"06 Nov", "2:5020/1", 310},   {"07 Dec", "2:5020/2", 341}};
  std::string log;
  for (const Row& row : rows) {
    log += LogLine(row.date, "09:00:00", "Incoming call") + "\r\n";
    log += LogLine(row.date, "09:00:01", (std::string("Address: ") + row.address).c_str()) + "\r\n";
    log += LogLine(row.date, "09:00:02", "End of session, in/out: 1/1 bytes") + "\r\n";
  }
  Settings settings = WideSettings();
  settings.timeWindow = TimeWindow{60, 0, 0, 86399};
  Parsed p = ParseText(log, settings);
  ASSERT_EQ(p.model.sessions.size(), std::size(rows)) << p.console;
  for (size_t i = 0; i < std::size(rows); ++i) {
    EXPECT_EQ(p.model.sessions[i].StartDay, rows[i].startDay) << i;
  }
  ASSERT_EQ(p.model.lastCalls.size(), 2u);
  EXPECT_EQ(p.model.lastCalls[0].Node, 1);
  EXPECT_EQ(p.model.lastCalls[0].LastDate, 2026 * 365 + 12 * 31 + 6);
  EXPECT_EQ(p.model.lastCalls[1].LastDate, 2026 * 365 + 12 * 31 + 7);
  EXPECT_EQ(p.model.lastCallIndex.size(), 2u);
  EXPECT_EQ(p.model.lastCallIndex.at("2:5020/1"), 0u);
}

// Seen from 2 January, 30 December is day -1 and 31 December day 0: both are
// real days, not the mark of a session that never ended.
TEST(LogParser, LastYearsClosingDaysAreRealDays) {
  std::string log = LogLine("29 Dec", "23:59:00", "Incoming call") + "\n" +
                    LogLine("29 Dec", "23:59:01", "Address: 2:1/1") + "\n" +
                    LogLine("30 Dec", "00:00:06", "End of session, in/out: 6/0 bytes") + "\n" +
                    LogLine("30 Dec", "12:00:00", "Incoming call") + "\n" +
                    LogLine("30 Dec", "12:00:01", "Address: 2:1/2") + "\n" +
                    LogLine("30 Dec", "12:00:09", "End of session, in/out: 9/0 bytes") + "\n" +
                    LogLine("31 Dec", "23:00:00", "Incoming call") + "\n" +
                    LogLine("31 Dec", "23:00:01", "Address: 2:1/3") + "\n";
  Settings settings = SetDefaults();
  settings.timeWindow = TimeWindow{5, 0, 0, 86400};
  LocalTime now{2026, 1, 2, 10, 0, 0};
  Parsed p = ParseText(log, settings, &now);
  ASSERT_EQ(p.status, -1) << p.console;
  ASSERT_EQ(p.model.sessions.size(), 2u);  // the one still open on 31 Dec is dropped
  EXPECT_EQ(p.model.sessions[0].StartDay, -2);
  EXPECT_EQ(p.model.sessions[0].EndDay, -1);
  EXPECT_EQ(p.model.sessions[1].EndDay, -1);
  EXPECT_EQ(p.model.links.size(), 2u);
  EXPECT_EQ(p.model.LeftTime, 1);
  EXPECT_EQ(p.model.PeriodFrom.day, 29);
  EXPECT_EQ(p.model.PeriodFrom.year, 2025);
  EXPECT_EQ(p.model.PeriodTill.day, 30);
  EXPECT_EQ(p.model.PeriodTill.year, 2025);
}

// A later contact replaces the last call across the new year too, although its
// key is smaller; the history's record is dated as the report shows it.
TEST(LogParser, LastCallsFollowTheLatestContactAcrossTheNewYear) {
  auto key = [](int32_t year, int32_t month, int32_t day) {
    return DateKeyOf(CalendarDate{day, month, year});
  };
  struct Contact {
    const char* date;
    const char* time;
  };
  struct Row {
    std::vector<Contact> contacts;
    std::vector<TLastCall> history;
    int32_t date;
    int32_t time;
  } rows[] = {
      {{{"30 Dec", "12:00:00"}, {"01 Jan", "09:00:00"}}, {}, key(2027, 1, 1), 32400},
      // 25 Dec shares its key with 1 Jan; the run knows which one it saw.
      {{{"25 Dec", "12:00:00"}, {"30 Dec", "08:00:00"}}, {}, key(2026, 12, 30), 28800},
      {{{"01 Jan", "09:00:00"}}, {{2, 1, 1, 0, key(2026, 12, 30), 43200}}, key(2027, 1, 1), 32400},
      {{{"30 Dec", "12:00:00"}}, {{2, 1, 1, 0, key(2027, 1, 1), 100}}, key(2027, 1, 1), 100},
      {{{"01 Jan", "09:00:00"}}, {{2, 1, 1, 0, key(2027, 1, 1), 40000}}, key(2027, 1, 1), 40000},
      {{{"31 Dec", "23:00:00"}}, {{2, 1, 1, 0, key(2026, 12, 31), 100}}, key(2026, 12, 31), 82800},
  };
  Settings settings = SetDefaults();
  settings.timeWindow = TimeWindow{30, 0, 0, 86400};
  LocalTime now{2027, 1, 2, 10, 0, 0};
  for (const Row& row : rows) {
    std::string log;
    for (const Contact& contact : row.contacts) {
      log += LogLine(contact.date, contact.time, "Incoming call") + "\n" +
             LogLine(contact.date, contact.time, "Address: 2:1/1") + "\n" +
             LogLine(contact.date, contact.time, "End of session, in/out: 1/0 bytes") + "\n";
    }
    Parsed p = ParseText(log, settings, &now, row.history);
    ASSERT_EQ(p.model.lastCalls.size(), 1u) << p.console;
    EXPECT_EQ(p.model.lastCalls[0].LastDate, row.date) << row.contacts[0].date;
    EXPECT_EQ(p.model.lastCalls[0].LastTime, row.time) << row.contacts[0].date;
  }
}

TEST(LogParser, SumsAreSixtyFourBit) {
  Parsed p =
      ParseText(Session("2:1/1", "10:00:00", "10:00:01", "10:30:00", "2000000000/2000000000") +
                Session("2:1/1", "11:00:00", "11:00:01", "11:30:00", "2000000000/2000000000"));
  EXPECT_EQ(p.model.links[0].Received, 4000000000);
  EXPECT_EQ(p.model.links[0].Sent, 4000000000);
  EXPECT_EQ(p.model.TotalReceived, 4e9);
}

TEST(LogParser, BbsSessionEndsOnTheBbsEndLine) {
  Parsed p = ParseText(Today({{"10:00:00", "Incoming call"},
                              {"10:00:10", "Connect 2400"},
                              {"10:00:20", "BBS caller detected"},
                              {"10:10:20", "  BBS session end 5"}}));
  ASSERT_EQ(p.status, -1) << p.console;
  ASSERT_EQ(p.model.sessions.size(), 1u);
  EXPECT_TRUE(p.model.sessions[0].Bbs);
  EXPECT_EQ(p.model.sessions[0].EndTime, 36620);
  ASSERT_EQ(p.model.events.size(), 1u);
  EXPECT_EQ(p.model.events[0].Kind, kEventBbs);
  EXPECT_EQ(p.model.TotalBbsTime, 620);
  EXPECT_EQ(p.model.BbsSessions, 1);
  EXPECT_TRUE(p.model.links.empty());
}

TEST(LogParser, PhoneRules) {
  Settings settings = WideSettings();
  settings.ExcludePhoneList = {"-"};
  settings.ChangeTable = {ChangeRule{false, "7095", "+7-095"}};
  struct Row {
    const char* callLine;
    bool takeFromCalling;
    const char* phone;
  } rows[] = {
      {"Outgoing call to 2:1/1, atdt7095123", true, "+7-095123"},
      {"Outgoing call to 2:1/1, ATDP 7095-1-2", true, " +7-0951-2"},
      {"Calling via IP 2:1/1, host.example.net", true, "HOST.EXAMPLE.NET"},
      {"Outgoing call to 2:1/1 without phone", true, "after"},
      {"Outgoing call to 2:1/1, ATDT7095123", false, "after"},
  };
  for (const Row& row : rows) {
    settings.TAKE_PHONE_FROM_CALLING = row.takeFromCalling;
    Parsed p = ParseText(Today({{"10:00:00", row.callLine},
                                {"10:00:01", "Address: 2:1/1@fidonet, after"},
                                {"10:00:09", "End of session, in/out: 1/1 bytes"}}),
                         settings);
    ASSERT_EQ(p.model.sessions.size(), 1u) << row.callLine;
    EXPECT_EQ(p.model.Text(p.model.sessions[0].Phone), row.phone) << row.callLine;
  }
}

// Each way to find nothing tells which one it was; a log that could not be
// understood ends with status 2, a quiet one with 0.
TEST(LogParser, NothingToDoSaysWhy) {
  struct Row {
    std::string log;
    std::string reason;
    int status;
  };
  const std::string session = Session("2:1/1", "10:00:00", "10:00:05", "10:00:09", "1/1");
  std::string crOnly = session;
  std::erase(crOnly, '\n');
  std::string utf16 = "\xFF\xFE";
  for (char c : session) utf16 += std::string{c, '\0'};
  const Row rows[] = {
      {"", "The log holds no line", 0},
      {"\r\n\r\n", "The log holds no line", 0},
      // Before the window, and after today.
      {"* 01 Nov 10:00:00 P001 Incoming call\r\n* 21 Dec 10:00:09 P001 End of session, "
       "in/out: 1/1 bytes\r\n",
       "No line of the log falls in the period 07 Nov 2026 00:00:00 - 07 Dec 2026 23:59:59 (the "
       "log runs from 01 Nov 2026 to 21 Dec 2026)",
       0},
      // A session that never ended, and a dial that failed.
      {Today({{"10:00:00", "Incoming call"},
              {"10:00:01", "Address: 2:1/1"},
              {"10:05:00", "Outgoing call to 2:1/2"},
              {"10:05:40", "Busy"}}),
       "4 lines of the log fall in the period, but no session ended in it", 0},
      // Another language: the fixed texts alone recognise nothing.
      {Today({{"10:00:00", "Eingehender Anruf"},
              {"10:00:01", "Modem reports: OK"},
              {"10:00:09", "Ende der Sitzung"}}),
       "3 lines of the log fall in the period, but none is recognised: the language file "
       "(english.lng) may not match the mailer's language",
       2},
      {"2026-12-07 10:00:00 Incoming call\n2026-12-07 10:00:09 End of session\n",
       "No line of the log has a date as \"DD Mon hh:mm:ss\" in column 3", 2},
      {utf16, "The log is not text Zentrak can read (UTF-16)", 2},
      {utf16.substr(2), "The log is not text Zentrak can read (UTF-16)", 2},  // no mark
      // No mark and an empty first line: the first line that is not empty tells.
      {std::string("\n\0", 2) + utf16.substr(2), "The log is not text Zentrak can read (UTF-16)",
       2},
      {std::string("\r\0\n\0", 4) + utf16.substr(2),
       "The log is not text Zentrak can read (UTF-16)", 2},
      // Dates of the period, but no time a line can be placed by.
      {"> 07 Dec 10.00.00 P001 Incoming call\r\n> 07 Dec 10.00.09 P001 End of session\r\n",
       "No line of the log has a date as \"DD Mon hh:mm:ss\" in column 3", 2},
      // One NUL in an 8-bit line is a byte of it, not UTF-16.
      {LogLine("07 Dec", "09:59:00", std::string_view("Modem\0init", 10)) + "\r\n" +
           Today({{"10:00:00", "Incoming call"}}),
       "2 lines of the log fall in the period, but no session ended in it", 0},
      {crOnly, "The log is not text Zentrak can read (no line ends)", 2},
  };
  Settings settings = WideSettings();
  settings.LNGFILE = "english.lng";
  for (const Row& row : rows) {
    Parsed p = ParseText(row.log, settings);
    EXPECT_EQ(p.status, row.status) << row.log;
    EXPECT_EQ(p.console, "! STAMP " + row.reason + "\n* STAMP There is nothing to do...\n")
        << row.log;
  }
  // The same through the blocks the run reads.
  std::string blank = std::string("\r\0\n\0", 4) + utf16.substr(2);
  LogBlockReader blocks(blank, 4096);
  LogBlock first;
  ASSERT_TRUE(blocks.Next(first));
  EXPECT_EQ(FirstLineText(first.Bytes(), blocks.FirstLine()), LogOutline::Text::kUtf16);
  // A byte-order mark is no part of the first line's date.
  Parsed marked = ParseText("\xEF\xBB\xBF" + session);
  EXPECT_EQ(marked.status, -1) << marked.console;
  EXPECT_EQ(marked.model.sessions.size(), 1u);
}

// A session is counted by the window it began in, whole: one going on when
// the window begins is the window before's, one going on when it ends is read
// to its end line, and the next session stays out.
TEST(LogParser, ASessionBelongsToTheWindowItBeganIn) {
  auto at = [](const char* day, const char* time, const std::string& message) {
    return LogLine(day, time, message) + "\r\n";
  };
  std::string log = at("05 Dec", "23:59:00", "Incoming call") +
                    at("05 Dec", "23:59:01", "Address: 2:1/1@fidonet") +
                    at("06 Dec", "00:00:10", "End of session, in/out: 1/1 bytes") +
                    at("06 Dec", "23:59:40", "Incoming call") +
                    at("06 Dec", "23:59:41", "Address: 2:1/2@fidonet") +
                    at("06 Dec", "23:59:42", "ZModem transfer") +
                    at("07 Dec", "00:00:14", "End of session, in/out: 685000/727 bytes") +
                    at("07 Dec", "00:01:00", "Incoming call") +
                    at("07 Dec", "00:01:01", "Address: 2:1/3@fidonet") +
                    at("07 Dec", "00:01:09", "End of session, in/out: 5/5 bytes");
  Settings night = WideSettings();
  night.timeWindow = TimeWindow{1, 0, 1, 86399};
  Parsed p = ParseText(log, night);
  ASSERT_EQ(p.model.sessions.size(), 1u) << p.console;
  EXPECT_EQ(p.model.Text(p.model.sessions[0].Address), "2:1/2");
  EXPECT_EQ(p.model.sessions[0].Received, 685000);
  EXPECT_EQ(p.model.links[0].OnlineTime, 34);
  EXPECT_EQ(p.model.PeriodTill.day, 6);

  // The log's last line without its line end: its figures are not read.
  std::string cut = Session("2:1/4", "10:00:00", "10:00:01", "10:00:02", "1/1") +
                    Today({{"11:00:00", "Incoming call"}, {"11:00:01", "Address: 2:1/5@fidonet"}}) +
                    LogLine("07 Dec", "11:00:09", "End of session, in/out: 92736/54");
  Parsed c = ParseText(cut);
  ASSERT_EQ(c.model.sessions.size(), 1u);
  EXPECT_EQ(c.model.LeftTime, 9);
  EXPECT_NE(c.console.find("Lines cut short, their figures not used"), std::string::npos);
}

TEST(LogParser, ParseLogReportsAMissingLog) {
  testing::TempDir dir;
  testing::TestConsole console;
  Settings settings = WideSettings();
  settings.LOG = dir.File("missing.log");
  SessionModel model;
  try {
    ParseLog(settings, EnglishTexts(), testing::kTestToday, model, console.console,
             NativePlatform());
    FAIL() << "the run went on";
  } catch (const RunStop& stop) {
    EXPECT_EQ(stop.exitStatus, 1);
  }
  EXPECT_EQ(console.Masked(), "! STAMP Unable to open log file (" + settings.LOG +
                                  ")\n! STAMP No such file or directory\n");

  testing::WriteFile(dir.File("mailer.log"),
                     Session("2:1/1", "10:00:00", "10:00:01", "10:00:11", "10/0"));
  settings.LOG = dir.File("mailer.log");
  console.Clear();
  ParseLog(settings, EnglishTexts(), testing::kTestToday, model, console.console, NativePlatform());
  EXPECT_TRUE(console.Masked().starts_with("% STAMP Reading log file (" + settings.LOG + ")\n"));
  EXPECT_EQ(model.sessions.size(), 1u);
}

TEST(LogParser, BadInputIsSkippedOrReadForgivingly) {
  std::string nul = LogLine("07 Dec", "10:00:02", "Sysop: A");
  nul += '\0';
  nul += "B";
  std::string log = "x\r\n* 07 Dec\r\n\r\n" + LogLine("07 Foo", "10:00:00", "Incoming call") +
                    "\r\n" + LogLine("07 Dec", "1O:00:00", "Incoming call") + "\r\n" +
                    LogLine("07 Dec", "10:00:00", "Incoming call") + "\r\n" +
                    LogLine("07 Dec", "10:00:01", "Connect fast") + "\r\n" + nul + "\r\n" +
                    LogLine("07 Dec", "10:00:03", "Address: 2:99999/1@fidonet") + "\r\n" +
                    LogLine("07 Dec", "10:00:04", "Mailer: " + std::string(400, 'm')) + "\r\n" +
                    LogLine("07 Dec", "10:00:05", "ZModem transfer") + "\r\n" +
                    LogLine("07 Dec", "10:00:09", "End of session, in/out: 12x/abc bytes") + "\r\n";
  Parsed p = ParseText(log);
  ASSERT_EQ(p.status, -1) << p.console;
  ASSERT_EQ(p.model.sessions.size(), 1u);
  const TSession& s = p.model.sessions[0];
  EXPECT_EQ(s.StartTime, 36000);
  EXPECT_EQ(s.ConnectSpeed, 0);
  EXPECT_EQ(p.model.Text(s.Sysop), std::string("A\0B", 3));
  EXPECT_EQ(p.model.Text(s.Address), "2:99999/1");
  EXPECT_EQ(p.model.Text(s.Mailer).size(), 255u - 31u);
  EXPECT_EQ(s.Received, 12);
  EXPECT_EQ(s.Sent, 0);
  EXPECT_TRUE(p.model.lastCalls.empty());
  EXPECT_EQ(p.model.links.size(), 1u);
}

TEST(LogParser, IgnoredLinesAreSkippedBeforeAnyRule) {
  Parsed p = ParseText(Today({{"10:00:00", "Incoming call"},
                              {"10:00:01", "Address: 2:1/1"},
                              {"10:00:02", "Port 001: modem idle; Sysop: Hidden"},
                              {"10:00:03", "Modem reports: Sysop: Hidden"},
                              {"10:00:04", "Outbound refreshing time: Sysop: Hidden"},
                              {"10:00:09", "End of session, in/out: 1/1 bytes"}}));
  ASSERT_EQ(p.model.sessions.size(), 1u);
  EXPECT_EQ(p.model.sessions[0].Sysop, kNoText);
}

}  // namespace
}  // namespace zentrak
