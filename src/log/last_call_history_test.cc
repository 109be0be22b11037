// The history file: its byte layout, damaged and odd-sized files, the order of
// the records, the atomic save, and a history carried across two runs.
#include "log/last_call_history.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <random>
#include <vector>

#include "log/log_dates.h"
#include "support/temporary_path.h"
#include "test_support.h"

namespace zentrak {
namespace {

using testing::FileExists;
using testing::ReadFile;
using testing::TempDir;
using testing::TestPlatform;
using testing::WriteFile;

TLastCall Record(uint16_t zone, uint16_t net, uint16_t node, uint16_t point, int32_t date,
                 int32_t time) {
  return TLastCall{zone, net, node, point, date, time};
}

// The run's today for the orders below.
constexpr CalendarDate kToday{9, 12, 2026};

std::string Addresses(const SessionModel& model) {
  std::string text;
  for (const TLastCall& record : model.lastCalls) text += LastCallAddress(record) + " ";
  return text;
}

TEST(HistoryPathTest, AbsoluteNamesStandAndOthersJoinTheProgramDirectory) {
  struct Row {
    const char* dir;
    const char* histFile;
    char separator;
    const char* expected;
  } rows[] = {
      {"/opt/zt/", "lastcall.bin", '/', "/opt/zt/lastcall.bin"},
      {"/opt/zt/", "/var/lib/zt/calls.bin", '/', "/var/lib/zt/calls.bin"},
      {"/opt/zt/", "data/calls.bin", '/', "/opt/zt/data/calls.bin"},
      {"C:\\ZT\\", "D:\\HIST\\calls.bin", '\\', "D:\\HIST\\calls.bin"},
      {"C:\\ZT\\", "\\HIST\\calls.bin", '\\', "\\HIST\\calls.bin"},
      {"C:\\ZT\\", "calls.bin", '\\', "C:\\ZT\\calls.bin"},
      {"C:\\ZT\\", "/calls.bin", '\\', "C:\\ZT\\/calls.bin"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(HistoryPath(row.dir, row.histFile, row.separator), row.expected) << row.histFile;
  }
}

TEST(LastCallFileTest, RecordsAreSixteenLittleEndianBytes) {
  TempDir dir;
  TestPlatform platform;
  SessionModel model;
  model.lastCalls = {Record(2, 5020, 0x1234, 7, 2026 * 365 + 12 * 31 + 7, 38588),
                     Record(65535, 1, 2, 0, -1, -2)};
  ASSERT_EQ(SaveLastCalls(dir.File("h.bin"), model, platform), 0);
  std::string expected(
      "\x02\x00\x9c\x13\x34\x12\x07\x00"
      "\x81\x2d\x0b\x00\xbc\x96\x00\x00"
      "\xff\xff\x01\x00\x02\x00\x00\x00"
      "\xff\xff\xff\xff\xfe\xff\xff\xff",
      32);
  int32_t key = 2026 * 365 + 12 * 31 + 7;
  expected[8] = static_cast<char>(key & 0xFF);
  expected[9] = static_cast<char>((key >> 8) & 0xFF);
  expected[10] = static_cast<char>((key >> 16) & 0xFF);
  EXPECT_EQ(ReadFile(dir.File("h.bin")), expected);

  SessionModel loaded;
  LoadLastCalls(dir.File("h.bin"), loaded, NativePlatform());
  ASSERT_EQ(loaded.lastCalls.size(), 2u);
  EXPECT_EQ(LastCallAddress(loaded.lastCalls[0]), "2:5020/4660.7");
  EXPECT_EQ(loaded.lastCalls[0].LastDate, key);
  EXPECT_EQ(loaded.lastCalls[0].LastTime, 38588);
  EXPECT_EQ(LastCallAddress(loaded.lastCalls[1]), "65535:1/2");
  EXPECT_EQ(loaded.lastCalls[1].LastDate, -1);
  EXPECT_EQ(loaded.lastCalls[1].LastTime, -2);
  EXPECT_EQ(loaded.lastCallIndex.at("2:5020/4660.7"), 0u);
  EXPECT_EQ(loaded.lastCallIndex.at("65535:1/2"), 1u);
}

TEST(LastCallFileTest, OnlyWholeRecordsLoad) {
  TempDir dir;
  struct Row {
    size_t bytes;
    size_t records;
  } rows[] = {{0, 0}, {15, 0}, {16, 1}, {40, 2}, {48, 3}, {16 * 300 + 9, 300}};
  for (const Row& row : rows) {
    std::string bytes(row.bytes, '\x01');
    WriteFile(dir.File("h.bin"), bytes);
    SessionModel model;
    LoadLastCalls(dir.File("h.bin"), model, NativePlatform());
    EXPECT_EQ(model.lastCalls.size(), row.records) << row.bytes << " bytes";
  }
}

TEST(LastCallFileTest, ADamagedFileNamingOneAddressTwiceAnswersWithTheFirstRecord) {
  TempDir dir;
  TestPlatform platform;
  SessionModel model;
  model.lastCalls = {Record(1, 1, 1, 0, 9, 9), Record(2, 2, 2, 0, 5, 5), Record(1, 1, 1, 0, 1, 1)};
  ASSERT_EQ(SaveLastCalls(dir.File("h.bin"), model, platform), 0);
  SessionModel loaded;
  LoadLastCalls(dir.File("h.bin"), loaded, NativePlatform());
  EXPECT_EQ(loaded.lastCallIndex.at("1:1/1"), 0u);
  SortLastCalls(loaded, kToday);
  EXPECT_EQ(loaded.lastCallIndex.at("1:1/1"), 0u);
  EXPECT_EQ(loaded.lastCalls[0].LastDate, 1);
}

TEST(LastCallFileTest, MissingFileLeavesTheCollectionEmpty) {
  TempDir dir;
  SessionModel model;
  LoadLastCalls(dir.File("none.bin"), model, NativePlatform());
  EXPECT_TRUE(model.lastCalls.empty());
  EXPECT_TRUE(model.lastCallIndex.empty());
}

TEST(LastCallFileTest, RandomBytesLoadSortAndSaveBack) {
  TempDir dir;
  TestPlatform platform;
  std::mt19937 random(6);
  std::string bytes(1 << 20, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random() & 0xFF);
  WriteFile(dir.File("h.bin"), bytes);
  SessionModel model;
  LoadLastCalls(dir.File("h.bin"), model, NativePlatform());
  ASSERT_EQ(model.lastCalls.size(), 65536u);
  SortLastCalls(model, kToday);
  for (size_t k = 1; k < model.lastCalls.size(); ++k) {
    const TLastCall& a = model.lastCalls[k - 1];
    const TLastCall& b = model.lastCalls[k];
    int64_t dateA = DateOrder(DecodeDateKey(a.LastDate, kToday));
    int64_t dateB = DateOrder(DecodeDateKey(b.LastDate, kToday));
    ASSERT_TRUE(dateA < dateB || (dateA == dateB && a.LastTime <= b.LastTime));
  }
  ASSERT_EQ(SaveLastCalls(dir.File("h.bin"), model, platform), 0);
  EXPECT_EQ(platform.FileSize(dir.File("h.bin")), std::optional<uint64_t>(1 << 20));
}

TEST(SortLastCallsTest, TiesComeOutAsTheExchangeLeavesThem) {
  struct Row {
    std::vector<TLastCall> records;
    const char* expected;
  } rows[] = {
      // 1:1/3 is exchanged with the held 1:1/1, which lands behind its twin 1:1/2.
      {{Record(1, 1, 1, 0, 100, 5), Record(1, 1, 2, 0, 100, 5), Record(1, 1, 3, 0, 50, 0),
        Record(1, 1, 4, 0, 200, 0)},
       "1:1/3 1:1/2 1:1/1 1:1/4 "},
      // Nothing smaller behind them: twins keep their order.
      {{Record(1, 1, 1, 0, 500, 10), Record(1, 1, 2, 0, 100, 5), Record(1, 1, 3, 0, 100, 5),
        Record(1, 1, 9, 0, 100, 1), Record(1, 1, 4, 0, 100, 5), Record(1, 1, 5, 0, 499, 9)},
       "1:1/9 1:1/2 1:1/3 1:1/4 1:1/5 1:1/1 "},
  };
  for (Row& row : rows) {
    SessionModel model;
    model.lastCalls = row.records;
    SortLastCalls(model, kToday);
    EXPECT_EQ(Addresses(model), row.expected);
    EXPECT_EQ(LastCallAddress(model.lastCalls[model.lastCallIndex.at("1:1/1")]), "1:1/1");
  }
}

// Keys do not order across the new year (1 Jan of one year has a smaller key
// than 30 Dec of the year before); the dates they stand for seen from today do.
TEST(SortLastCallsTest, DistinctKeysSortByDateThenTime) {
  auto key = [](int32_t year, int32_t month, int32_t day) {
    return DateKeyOf(CalendarDate{day, month, year});
  };
  struct Row {
    CalendarDate today;
    std::vector<TLastCall> records;
    const char* expected;
  } rows[] = {
      {kToday,
       {Record(1, 1, 1, 0, 7, 3), Record(1, 1, 2, 0, -3, 100), Record(1, 1, 3, 0, 7, -5),
        Record(1, 1, 4, 0, 6, 86399)},
       "1:1/2 1:1/4 1:1/3 1:1/1 "},
      {{2, 1, 2027},
       {Record(1, 1, 1, 0, key(2027, 1, 1), 10), Record(1, 1, 2, 0, key(2026, 12, 30), 43209),
        Record(1, 1, 3, 0, key(2027, 1, 2), 5), Record(1, 1, 4, 0, key(2026, 12, 24), 0),
        Record(1, 1, 5, 0, key(2026, 12, 31), 86395)},
       "1:1/4 1:1/2 1:1/5 1:1/1 1:1/3 "},
  };
  for (Row& row : rows) {
    SessionModel model;
    model.lastCalls = row.records;
    SortLastCalls(model, row.today);
    EXPECT_EQ(Addresses(model), row.expected);
  }
}

TEST(SaveLastCallsTest, AFailedSaveKeepsTheOldHistoryAndLeavesNoTemporaryFile) {
  TempDir dir;
  TestPlatform platform;
  std::string path = dir.File("lastcall.bin");
  WriteFile(path, std::string(32, 'x'));
  SessionModel model;
  model.lastCalls = {Record(2, 5020, 1, 0, 1, 1)};
  platform.failReplace = true;
  EXPECT_NE(SaveLastCalls(path, model, platform), 0);
  EXPECT_EQ(ReadFile(path), std::string(32, 'x'));
  EXPECT_FALSE(FileExists(TemporaryPathFor(path, platform)));

  EXPECT_EQ(SaveLastCalls(dir.File("no/such/dir/lastcall.bin"), model, platform), ENOENT);
}

// Only a history that is not there is normal; one that cannot be read says why.
TEST(LoadLastCallsTest, AMissingHistoryIsNoErrorAnUnreadableOneIs) {
  TempDir dir;
  SessionModel model;
  EXPECT_EQ(LoadLastCalls(dir.File("none.bin"), model, NativePlatform()), 0);
  std::filesystem::create_directory(dir.File("folder.bin"));
  EXPECT_NE(LoadLastCalls(dir.File("folder.bin"), model, NativePlatform()), 0);
}

TEST(LastCallHistoryTest, TwoRunsKeepOneRecordPerAddress) {
  TempDir dir;
  TestPlatform platform;
  std::string path = dir.File("lastcall.bin");
  // First run: no file yet; the log brings three addresses.
  SessionModel first;
  LoadLastCalls(path, first, NativePlatform());
  first.lastCalls = {Record(2, 5020, 10, 0, 900, 300), Record(2, 5020, 9, 0, 899, 500),
                     Record(1, 1, 1, 1, 900, 100)};
  SortLastCalls(first, kToday);
  ASSERT_EQ(SaveLastCalls(path, first, platform), 0);

  // Second run: the same addresses again, one of them later than before.
  SessionModel second;
  LoadLastCalls(path, second, NativePlatform());
  ASSERT_EQ(Addresses(second), "2:5020/9 1:1/1.1 2:5020/10 ");
  second.lastCalls[second.lastCallIndex.at("2:5020/9")].LastDate = 901;
  SortLastCalls(second, kToday);
  ASSERT_EQ(SaveLastCalls(path, second, platform), 0);

  SessionModel third;
  LoadLastCalls(path, third, NativePlatform());
  EXPECT_EQ(Addresses(third), "1:1/1.1 2:5020/10 2:5020/9 ");
  EXPECT_EQ(ReadFile(path).size(), 3 * kLastCallRecordSize);
}

}  // namespace
}  // namespace zentrak
