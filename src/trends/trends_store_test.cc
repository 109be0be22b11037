#include "trends/trends_store.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <functional>
#include <map>

#include "test_support.h"

namespace zentrak {
namespace {

using testing::TempDir;

constexpr int32_t kWholeDay = 86400;

TrendsRunDay Day(const std::string& date, int32_t from, int32_t till,
                 std::vector<std::pair<std::string, int64_t>> received) {
  TrendsRunDay day;
  std::sscanf(date.c_str(), "%d-%d-%d", &day.date.year, &day.date.month, &day.date.day);
  day.coveredFrom = from;
  day.coveredTill = till;
  day.station.sessions = static_cast<int64_t>(received.size());
  for (auto& [address, bytes] : received) {
    TrendsLinkSums sums;
    sums.sessionsIn = 1;
    sums.received = bytes;
    sums.filesReceived = 2;
    day.links.emplace_back(address, sums);
  }
  return day;
}

std::string Text(const CalendarDate& date) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
  return text;
}

// Every stored day's bytes received, by date.
std::map<std::string, int64_t> StoredDays(TrendsStore& store) {
  std::map<std::string, int64_t> days;
  for (const TrendsDay& day : ReadTrendsDays(store, 800)) {
    if (day.stored) days[Text(day.date)] = day.links.received;
  }
  return days;
}

void Sql(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sql;
  sqlite3_close(db);
}

TEST(TrendsStore, CountsEachDayOnceWhateverTheRunsCover) {
  struct Case {
    const char* name;
    std::vector<std::vector<TrendsRunDay>> runs;
    std::map<std::string, int64_t> expected;
  };
  const std::vector<Case> cases = {
      {"the same window twice",
       {{Day("2026-03-01", 0, kWholeDay, {{"1:2/3", 10}}),
         Day("2026-03-02", 0, 500, {{"1:2/3", 2}})},
        {Day("2026-03-01", 0, kWholeDay, {{"1:2/3", 10}}),
         Day("2026-03-02", 0, 500, {{"1:2/3", 2}})}},
       {{"2026-03-01", 10}, {"2026-03-02", 2}}},
      {"overlapping windows",
       {{Day("2026-03-01", 0, kWholeDay, {{"1:2/3", 10}}),
         Day("2026-03-02", 0, kWholeDay, {{"1:2/3", 20}})},
        {Day("2026-03-02", 40000, kWholeDay, {{"1:2/3", 5}}),
         Day("2026-03-03", 0, kWholeDay, {{"1:2/4", 30}})}},
       {{"2026-03-01", 10}, {"2026-03-02", 20}, {"2026-03-03", 30}}},
      {"a day seen partly, then whole",
       {{Day("2026-03-01", 0, 50000, {{"1:2/3", 5}})},
        {Day("2026-03-01", 0, kWholeDay, {{"1:2/3", 10}, {"1:2/4", 1}})}},
       {{"2026-03-01", 11}}},
      {"a cut log keeps the older days and the whole one",
       {{Day("2026-03-01", 0, kWholeDay, {{"1:2/3", 10}}),
         Day("2026-03-02", 0, kWholeDay, {{"1:2/3", 20}})},
        {Day("2026-03-02", 43200, kWholeDay, {{"1:2/3", 3}}),
         Day("2026-03-03", 0, 600, {{"1:2/3", 1}})}},
       {{"2026-03-01", 10}, {"2026-03-02", 20}, {"2026-03-03", 1}}},
      {"a wider view replaces a narrower one even with less in it",
       {{Day("2026-03-01", 3600, 7200, {{"1:2/3", 100}})}, {Day("2026-03-01", 0, kWholeDay, {})}},
       {{"2026-03-01", 0}}},
      {"the same view with other sums, or a link fewer",
       {{Day("2026-03-01", 0, kWholeDay, {{"1:2/3", 10}, {"1:2/4", 1}}),
         Day("2026-03-02", 0, kWholeDay, {{"1:2/3", 10}})},
        {Day("2026-03-01", 0, kWholeDay, {{"1:2/3", 10}}),
         Day("2026-03-02", 0, kWholeDay, {{"1:2/3", 12}})}},
       {{"2026-03-01", 10}, {"2026-03-02", 12}}},
      {"the new year",
       {{Day("2025-12-31", 0, kWholeDay, {{"1:2/3", 7}}),
         Day("2026-01-01", 0, 3600, {{"1:2/3", 1}})},
        {Day("2026-01-01", 0, kWholeDay, {{"1:2/3", 4}})}},
       {{"2025-12-31", 7}, {"2026-01-01", 4}}},
  };
  for (const Case& c : cases) {
    TempDir dir;
    std::string path = dir.File("trends.db");
    for (const auto& run : c.runs) {
      TrendsStore store = OpenTrendsStore(path, TrendsAccess::kWrite);
      ASSERT_TRUE(store.IsOpen()) << c.name << ": " << store.why();
      EXPECT_GE(WriteTrendsRunDays(store, run), 0) << c.name;
    }
    TrendsStore store = OpenTrendsStore(path, TrendsAccess::kRead);
    EXPECT_EQ(StoredDays(store), c.expected) << c.name;
  }
}

TEST(TrendsStore, ReadsDaysMonthsYearsTopLinksAndTotals) {
  TempDir dir;
  TrendsStore store = OpenTrendsStore(dir.File("t.db"), TrendsAccess::kWrite);
  WriteTrendsRunDays(store, {Day("2025-12-30", 0, kWholeDay, {{"1:2/3", 100}, {"2:5/6", 5}}),
                             Day("2026-01-02", 0, 3600, {{"1:2/3", 1}}),
                             Day("2026-02-10", 0, kWholeDay, {{"2:5/6", 50}})});
  std::vector<TrendsDay> days = ReadTrendsDays(store, 3);
  ASSERT_EQ(days.size(), 3u);
  EXPECT_EQ(Text(days[0].date), "2026-02-08");
  EXPECT_FALSE(days[1].stored);
  EXPECT_EQ(days[2].links.received, 50);
  EXPECT_EQ(days[2].links.filesReceived, 2);
  std::vector<TrendsMonth> months = ReadTrendsMonths(store, 3);
  ASSERT_EQ(months.size(), 3u);
  EXPECT_EQ(months[0].date.year * 100 + months[0].date.month, 202512);
  EXPECT_EQ(months[0].links.received, 105);
  EXPECT_EQ(months[1].coveredSeconds, 3600);
  EXPECT_EQ(months[2].links.sessionsIn, 1);
  std::vector<TrendsYear> years = ReadTrendsYears(store);
  ASSERT_EQ(years.size(), 2u);
  EXPECT_EQ(years[0].station.sessions, 2);
  EXPECT_EQ(years[1].links.received, 51);
  std::vector<TrendsTopLink> top = ReadTopLinks(store, 2026, 0, 10);
  ASSERT_EQ(top.size(), 2u);
  EXPECT_EQ(top[0].address, "2:5/6");
  EXPECT_EQ(ReadTopLinks(store, 2025, 12, 1).at(0).sums.received, 100);
  TrendsTotals totals = ReadTrendsTotals(store);
  EXPECT_EQ(totals.daysStored, 3);
  EXPECT_EQ(totals.linkCount, 2);
  EXPECT_EQ(totals.links.received, 156);
  EXPECT_EQ(Text(totals.firstDay), "2025-12-30");
}

// Day numbers 0 and below are last year's: the new year falls between 0 and 1.
TEST(TrendsStore, GathersTheDaysOfTheSessionModel) {
  SessionModel model;
  model.links.emplace_back();
  model.links.back().Address = "1:2/3";
  auto session = [&](int32_t day, bool incoming, int32_t start, int32_t end, int64_t bytes) {
    TSession s;
    s.StartDay = s.EndDay = day;
    s.StartTime = start;
    s.EndTime = end;
    s.TransferStart = start + 10;
    s.Received = bytes;
    s.Sent = 1;
    s.Incoming = incoming;
    s.Address = model.texts.Intern(incoming ? "1:2/3.0" : "1:2/3");
    model.sessions.push_back(s);
  };
  session(0, true, 86000, 200, 100);  // past midnight: counts on its first day
  session(1, false, 100, 160, 7);
  session(1, false, 300, 400, 0);
  model.sessions.back().Bbs = true;
  // Begun on the first day, ended after the second day's: still one row of the first day.
  session(0, true, 80000, 300, 5);
  model.SessionFiles.push_back(TSessionFiles{1, 2, 1});
  model.events.push_back(TEvent{0, 0, 100, 130, kEventCall});
  model.events.push_back(TEvent{1, 1, 300, 400, kEventBbs});
  model.LeftTimeByDay.emplace_back(1, 55);
  model.FirstLineDay = 0;
  model.FirstLineTime = 50;
  model.LastLineDay = 1;
  model.LastLineTime = 999;

  std::vector<TrendsRunDay> days = GatherTrendsDays(model, 2026);
  ASSERT_EQ(days.size(), 2u);
  EXPECT_EQ(Text(days[0].date), "2025-12-31");
  EXPECT_EQ(days[0].coveredFrom, 50);
  EXPECT_EQ(days[0].coveredTill, kWholeDay);
  EXPECT_EQ(days[1].coveredTill, 1000);
  ASSERT_EQ(days[0].links.size(), 1u);
  const TrendsLinkSums& first = days[0].links[0].second;
  EXPECT_EQ(days[0].links[0].first, "1:2/3");
  EXPECT_EQ(first.sessionsIn, 2);
  EXPECT_EQ(first.onlineSeconds, 600 + 6700);
  EXPECT_EQ(first.transferSeconds, 590 + 6690);
  EXPECT_EQ(days[0].hours[22].received, 5);
  const TrendsLinkSums& second = days[1].links.at(0).second;
  EXPECT_EQ(second.sessionsOut, 1);
  EXPECT_EQ(second.filesReceived, 2);
  EXPECT_EQ(second.filesSent, 1);
  EXPECT_EQ(days[0].station.failedCalls, 1);
  EXPECT_EQ(days[0].station.callingSeconds, 30);
  EXPECT_EQ(days[1].station.sessions, 2);
  EXPECT_EQ(days[1].station.bbsSeconds, 100);
  EXPECT_EQ(days[1].station.unfinishedSeconds, 55);
  // By the hour the session began: 23:53 on the first day, 00:01 on the second.
  EXPECT_EQ(days[0].hours[23].received, 100);
  EXPECT_EQ(days[1].hours[0].sessionsOut, 1);
  EXPECT_EQ(days[1].hours[0].filesReceived, 2);
  EXPECT_EQ(days[0].hours[0], TrendsLinkSums());
}

constexpr const char* kSchemaV1 =
    "CREATE TABLE days (day TEXT PRIMARY KEY NOT NULL, covered_from INTEGER NOT NULL,"
    " covered_till INTEGER NOT NULL, calling_seconds INTEGER NOT NULL, bbs_seconds INTEGER NOT"
    " NULL, unfinished_seconds INTEGER NOT NULL, failed_calls INTEGER NOT NULL, sessions INTEGER"
    " NOT NULL) WITHOUT ROWID;"
    "CREATE TABLE day_links (day TEXT NOT NULL, address TEXT NOT NULL, sessions_in INTEGER NOT"
    " NULL, sessions_out INTEGER NOT NULL, aborted INTEGER NOT NULL, bytes_received INTEGER NOT"
    " NULL, bytes_sent INTEGER NOT NULL, online_seconds INTEGER NOT NULL, transfer_seconds"
    " INTEGER NOT NULL, PRIMARY KEY (day, address)) WITHOUT ROWID;"
    "INSERT INTO days VALUES ('2026-01-05', 0, 86400, 1, 2, 3, 4, 5);"
    "INSERT INTO day_links VALUES ('2026-01-05', '1:2/3', 1, 2, 0, 300, 400, 60, 50);"
    "PRAGMA application_id = 1515475531; PRAGMA user_version = 1;";

// What version 2 added to version 1.
constexpr const char* kToV2 =
    "ALTER TABLE day_links ADD COLUMN files_received INTEGER NOT NULL DEFAULT 0;"
    "ALTER TABLE day_links ADD COLUMN files_sent INTEGER NOT NULL DEFAULT 0;"
    "UPDATE day_links SET files_received = 7; PRAGMA user_version = 2;";

TEST(TrendsStore, ReadsAnOlderStoreAsItIsAndMigratesItInPlaceToWrite) {
  for (int version : {1, 2}) {
    TempDir dir;
    std::string path = dir.File("old.db");
    Sql(path, kSchemaV1);
    if (version == 2) Sql(path, kToV2);
    std::string before = testing::ReadFile(path);
    {
      TrendsStore reader = OpenTrendsStore(path, TrendsAccess::kRead, {{"2:5020/1"}, "Node"});
      ASSERT_TRUE(reader.IsOpen()) << reader.why();
      EXPECT_EQ(reader.schema(), version);
      EXPECT_EQ(ReadTrendsTotals(reader).links.sent, 400);
      EXPECT_TRUE(ReadTrendsHours(reader, 24).empty());
      EXPECT_FALSE(reader.foreign());
    }
    EXPECT_EQ(testing::ReadFile(path), before);
    TrendsStore writer = OpenTrendsStore(path, TrendsAccess::kWrite, {{"2:5020/1"}, "Node"});
    ASSERT_TRUE(writer.IsOpen()) << writer.why();
    EXPECT_EQ(writer.schema(), kTrendsSchemaVersion);
    TrendsRunDay day = Day("2026-01-06", 0, kWholeDay, {{"1:2/3", 9}});
    day.hours[5].received = 9;
    ASSERT_EQ(WriteTrendsRunDays(writer, {day}), 1);
    TrendsTotals totals = ReadTrendsTotals(writer);
    EXPECT_EQ(totals.links.received, 309) << version;
    EXPECT_EQ(totals.links.filesReceived, version == 2 ? 9 : 2) << version;
    EXPECT_EQ(totals.station.failedCalls, 4);
    std::vector<TrendsHour> hours = ReadTrendsHours(writer, 24);
    ASSERT_EQ(hours.size(), 24u);
    EXPECT_EQ(Text(hours[0].date), "2026-01-06");
    EXPECT_EQ(hours[5].links.received, 9);
    EXPECT_EQ(writer.station(), (TrendsStation{{"2:5020/1"}, "Node"}));
  }
}

TEST(TrendsStore, KeepsHoursAndTellsTheBusiestDays) {
  TempDir dir;
  TrendsStore store = OpenTrendsStore(dir.File("t.db"), TrendsAccess::kWrite);
  TrendsRunDay first = Day("2026-03-01", 0, kWholeDay, {{"1:2/3", 100}});
  first.hours[22].received = 60;
  first.hours[23].received = 40;
  TrendsRunDay second = Day("2026-03-02", 0, 7200, {{"1:2/3", 5}});
  second.hours[1].received = 5;
  ASSERT_EQ(WriteTrendsRunDays(store, {first, second}), 2);
  // The same days again change nothing; other hours alone do.
  EXPECT_EQ(WriteTrendsRunDays(store, {first, second}), 0);
  second.hours[1].received = 4;
  second.hours[0].received = 1;
  EXPECT_EQ(WriteTrendsRunDays(store, {second}), 1);
  std::vector<TrendsHour> hours = ReadTrendsHours(store, 4);
  ASSERT_EQ(hours.size(), 4u);
  EXPECT_EQ(Text(hours[0].date) + " " + std::to_string(hours[0].hour), "2026-03-01 22");
  EXPECT_EQ(hours[0].links.received, 60);
  EXPECT_EQ(hours[2].links.received, 1);
  EXPECT_EQ(hours[3].links.received, 4);
  std::vector<TrendsDay> top = ReadTopDays(store, 5);
  ASSERT_EQ(top.size(), 2u);
  EXPECT_EQ(Text(top[0].date), "2026-03-01");
  EXPECT_EQ(top[1].coveredSeconds, 7200);
  ASSERT_EQ(ReadTrendsLinkTotals(store).size(), 1u);
  EXPECT_EQ(ReadTrendsLinkTotals(store)[0].sums.received, 105);
}

// Writes a sound store with enough rows to fill several pages.
void SoundStore(const std::string& path) {
  TrendsStore store = OpenTrendsStore(path, TrendsAccess::kWrite);
  std::vector<TrendsRunDay> days;
  for (int d = 1; d <= 28; ++d) {
    std::vector<std::pair<std::string, int64_t>> links;
    for (int l = 0; l < 40; ++l) links.emplace_back("2:5020/" + std::to_string(l), d * l);
    days.push_back(
        Day("2026-02-" + std::string(d < 10 ? "0" : "") + std::to_string(d), 0, kWholeDay, links));
  }
  WriteTrendsRunDays(store, days);
}

void Overwrite(const std::string& path, size_t offset, const std::string& bytes) {
  std::string content = testing::ReadFile(path);
  content.replace(offset, bytes.size(), bytes);
  testing::WriteFile(path, content);
}

TEST(TrendsStore, LeavesEveryUnusableFileAsItWasAndSaysWhy) {
  struct Case {
    const char* name;
    std::function<void(const std::string&)> make;
    TrendsFault onWrite;
    TrendsFault onRead;
    bool writeProtected = false;  // only where the file system enforces it (not for root)
  };
  const std::string garbage(512, '\x5a');
  const std::vector<Case> cases = {
      {"a text file", [](const std::string& p) { testing::WriteFile(p, "LOG mailer.log\n"); },
       TrendsFault::kNotAStore, TrendsFault::kNotAStore},
      {"another program's database",
       [](const std::string& p) {
         Sql(p, "CREATE TABLE notes (t TEXT); INSERT INTO notes VALUES (1)");
       },
       TrendsFault::kNotAStore, TrendsFault::kNotAStore},
      {"a newer schema",
       [](const std::string& p) {
         SoundStore(p);
         Sql(p, "PRAGMA user_version = 9");
       },
       TrendsFault::kNewerSchema, TrendsFault::kNewerSchema},
      {"a damaged page",
       [&](const std::string& p) {
         SoundStore(p);
         Overwrite(p, 4096 + 8, garbage);
       },
       TrendsFault::kDamaged, TrendsFault::kDamaged},
      {"a damaged header",
       [&](const std::string& p) {
         SoundStore(p);
         Overwrite(p, 16, garbage.substr(0, 40));
       },
       TrendsFault::kDamaged, TrendsFault::kDamaged},
      {"a folder", [](const std::string& p) { std::filesystem::create_directory(p); },
       TrendsFault::kUnopenable, TrendsFault::kUnopenable},
      {"our stamp and no tables",
       [](const std::string& p) {
         Sql(p,
             "CREATE TABLE notes (t); PRAGMA application_id = 1515475531;"
             " PRAGMA user_version = 3");
       },
       TrendsFault::kDamaged, TrendsFault::kDamaged},
      {"a table without its columns",
       [](const std::string& p) {
         SoundStore(p);
         Sql(p, "DROP TABLE day_hours; CREATE TABLE day_hours (day TEXT)");
       },
       TrendsFault::kDamaged, TrendsFault::kDamaged},
      {"a trigger on the day table",
       [](const std::string& p) {
         SoundStore(p);
         Sql(p,
             "CREATE TABLE seen (t); CREATE TRIGGER t AFTER INSERT ON days BEGIN"
             " INSERT INTO seen VALUES (new.day); END");
       },
       TrendsFault::kRunsCode, TrendsFault::kRunsCode},
      {"another station's store",
       [](const std::string& p) {
         SoundStore(p);
         Sql(p, "INSERT INTO station VALUES ('2:5020/999', 'Other')");
       },
       TrendsFault::kForeign, TrendsFault::kNone},
      {"a file the run may not write",
       [](const std::string& p) {
         SoundStore(p);
         std::filesystem::permissions(p, std::filesystem::perms::owner_read);
       },
       TrendsFault::kUnopenable, TrendsFault::kNone, true},
      {"a file in a missing folder", nullptr, TrendsFault::kUnopenable, TrendsFault::kNone},
  };
  for (const Case& c : cases) {
    TempDir dir;
    std::string path = c.make ? dir.File("trends.db") : dir.File("missing/trends.db");
    if (c.make) c.make(path);
    if (c.writeProtected) {
      std::FILE* file = std::fopen(path.c_str(), "r+");
      if (file != nullptr) {
        std::fclose(file);
        continue;
      }
    }
    auto content = [&] {
      return std::filesystem::is_directory(path) ? "(folder)" : testing::ReadFile(path);
    };
    std::string before = content();
    for (TrendsAccess access : {TrendsAccess::kWrite, TrendsAccess::kRead}) {
      TrendsStore store = OpenTrendsStore(path, access, {{"2:5020/1"}, "Node"});
      bool writing = access == TrendsAccess::kWrite;
      TrendsFault expected = writing ? c.onWrite : c.onRead;
      EXPECT_EQ(store.fault(), expected) << c.name << (writing ? " (write)" : " (read)");
      EXPECT_EQ(store.IsOpen(), expected == TrendsFault::kNone) << c.name;
      EXPECT_EQ(store.why().empty(), store.IsOpen()) << c.name;
      // The reason names the fault, never SQLite's word for success.
      EXPECT_EQ(store.why().find("not an error"), std::string::npos) << c.name << store.why();
    }
    EXPECT_EQ(content(), before) << c.name;
    EXPECT_EQ(testing::FileExists(path), c.make != nullptr) << c.name;
    EXPECT_FALSE(testing::FileExists(path + "-journal")) << c.name;
  }
}

TEST(TrendsStore, LeavesASysopsViewsAndTablesAlone) {
  TempDir dir;
  std::string path = dir.File("trends.db");
  SoundStore(path);
  Sql(path,
      "CREATE VIEW dashboard AS SELECT day, sum(bytes_received) FROM day_links GROUP BY day;"
      " CREATE TABLE notes (t); INSERT INTO notes VALUES ('mine')");
  {
    TrendsStore store = OpenTrendsStore(path, TrendsAccess::kWrite);
    ASSERT_TRUE(store.IsOpen()) << store.why();
    EXPECT_EQ(WriteTrendsRunDays(store, {Day("2026-03-01", 0, kWholeDay, {{"1:2/3", 1}})}), 1);
  }
  Sql(path,
      "CREATE TABLE check_view AS SELECT count(*) AS n FROM dashboard;"
      " CREATE TABLE check_notes AS SELECT t FROM notes");
  TrendsStore store = OpenTrendsStore(path, TrendsAccess::kRead);
  EXPECT_EQ(ReadTrendsTotals(store).daysStored, 29);
}

// A run killed inside its transaction: the database file holds part of the new
// pages, and the journal beside it the old ones.
TEST(TrendsStore, ReadsWhatTheLastCompletedRunLeftBesideAStoppedRunsJournal) {
  TempDir dir;
  std::string path = dir.File("trends.db");
  SoundStore(path);
  std::string stopped = dir.File("stopped.db");
  {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "PRAGMA cache_size = 1; BEGIN; DELETE FROM day_links;", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    ASSERT_TRUE(testing::FileExists(path + "-journal"));
    std::filesystem::copy_file(path, stopped);
    std::filesystem::copy_file(path + "-journal", stopped + "-journal");
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
  int64_t whole = 0;
  {
    TrendsStore store = OpenTrendsStore(path, TrendsAccess::kRead);
    whole = ReadTrendsTotals(store).links.received;
  }
  std::string before = testing::ReadFile(stopped);
  {
    TrendsStore reader = OpenTrendsStore(stopped, TrendsAccess::kRead);
    ASSERT_TRUE(reader.IsOpen()) << reader.why();
    EXPECT_TRUE(reader.stoppedRun());
    EXPECT_EQ(ReadTrendsTotals(reader).links.received, whole);
  }
  EXPECT_EQ(testing::ReadFile(stopped), before);
  EXPECT_TRUE(testing::FileExists(stopped + "-journal"));
  TrendsStore writer = OpenTrendsStore(stopped, TrendsAccess::kWrite);
  ASSERT_TRUE(writer.IsOpen()) << writer.why();
  EXPECT_EQ(ReadTrendsTotals(writer).links.received, whole);
}

}  // namespace
}  // namespace zentrak
