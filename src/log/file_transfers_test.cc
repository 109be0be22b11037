// Collecting file transfers through the parser: which session a file belongs
// to, how each kind of line ends it, and which files are dropped.
#include "log/file_transfers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>

#include "log/log_parser.h"
#include "log_parse_text.h"
#include "log_test_texts.h"
#include "test_support.h"

namespace zentrak {
namespace {

using testing::LogLine;

std::string Today(std::initializer_list<std::pair<const char*, std::string>> lines) {
  std::string log;
  for (const auto& [time, message] : lines) log += LogLine("07 Dec", time, message) + "\n";
  return log;
}

std::string Call(const char* time, const char* address) {
  return Today({{time, "Incoming call"}, {time, std::string("Address: ") + address}});
}

std::string End(const char* time) { return Today({{time, "End of session, in/out: 0/0 bytes"}}); }

SessionModel Parse(const std::string& log, bool files = true,
                   std::vector<std::string> excluded = {}) {
  Settings settings = SetDefaults();
  settings.timeWindow = TimeWindow{30, 0, 0, 86399};
  settings.MAKESTAT_FILES = files;
  settings.ExcludeAddressList = std::move(excluded);
  return testing::ParseEnglishLog(log, settings);
}

struct Seen {
  std::string name;
  bool received;
  FileOutcome outcome;
  int32_t start;
  int32_t end;
};

std::vector<Seen> Files(const SessionModel& model) {
  std::vector<Seen> seen;
  for (const TFileTransfer& f : model.files.files) {
    seen.push_back({std::string(model.files.names.Text(f.Name())), f.Received(), f.Outcome(),
                    f.StartTime(), f.EndTime()});
  }
  return seen;
}

TEST(FileTransfers, EveryEndingOfAFile) {
  std::string log = Call("01:00:00", "2:5020/1") +
                    Today({{"01:00:10", "Receiving file A.PKT (100 bytes)"},
                           {"01:00:11", "Sending file B.PKT (200 bytes)"},
                           {"01:00:12", "A.PKT: resuming from offset 40"},
                           {"01:00:20", "Received A.PKT (30 cps)"},
                           {"01:00:30", "Sent B.PKT"},
                           {"01:01:00", "Receiving file C.ZIP (5000 bytes)"},
                           {"01:01:01", "File C.ZIP    skipped"},
                           {"01:01:02", "Receiving file D.ZIP (5000 bytes)"},
                           {"01:01:03", "File D.ZIP    refused"},
                           {"01:01:04", "Sending file E (1 bytes)"},
                           {"01:01:05", "Remote skipped E"},
                           {"01:01:06", "Sending file F (1 bytes)"},
                           {"01:01:07", "Remote refused F"},
                           {"01:01:08", "Sending file G (1 bytes)"},
                           {"01:01:09", "Remote delayed G"},
                           {"01:02:00", "Receiving file H (900 bytes)"},
                           {"01:02:10", "H (aborted at 600)"},
                           {"01:03:00", "Receiving file I (900 bytes)"},
                           {"01:03:05", "Receiving file J (900 bytes)"},  // I never ended
                           {"01:03:06", "J -> [renamed K]"}}) +
                    End("01:04:00");
  SessionModel model = Parse(log);
  using O = FileOutcome;
  std::vector<Seen> files = Files(model);
  ASSERT_EQ(files.size(), 10u);
  const Seen expected[] = {
      {"A.PKT", true, O::kComplete, 3610, 3620}, {"B.PKT", false, O::kComplete, 3611, 3630},
      {"C.ZIP", true, O::kSkipped, 3660, 3661},  {"D.ZIP", true, O::kRefused, 3662, 3663},
      {"E", false, O::kSkipped, 3664, 3665},     {"F", false, O::kRefused, 3666, 3667},
      {"G", false, O::kDelayed, 3668, 3669},     {"H", true, O::kAborted, 3720, 3730},
      {"I", true, O::kAborted, 3780, 3785},      {"J", true, O::kAborted, 3785, 3840},
  };
  for (size_t i = 0; i < files.size(); ++i) {
    EXPECT_EQ(files[i].name, expected[i].name) << i;
    EXPECT_EQ(files[i].received, expected[i].received) << i;
    EXPECT_EQ(files[i].outcome, expected[i].outcome) << i;
    EXPECT_EQ(files[i].start, expected[i].start) << i;
    EXPECT_EQ(files[i].end, expected[i].end) << i;
  }
  EXPECT_EQ(model.files.Size(0), 100);
  EXPECT_EQ(model.files.files[0].Cps(), 30);
  EXPECT_EQ(model.files.files[1].Cps(), TFileTransfer::kNoCps);
  ASSERT_NE(model.files.Partial(0), nullptr);
  EXPECT_EQ(model.files.Partial(0)->resumeOffset, 40);
  EXPECT_EQ(model.files.Partial(7)->abortPosition, 600);
  EXPECT_EQ(model.files.Partial(1), nullptr);
  ASSERT_EQ(model.files.runs.size(), 1u);
  EXPECT_EQ(model.files.runs[0].session, 0u);
}

// With both directions open, resume and abort lines go to the file they name.
TEST(FileTransfers, ResumeAndAbortFindTheirFileByName) {
  std::string log = Call("01:00:00", "2:5020/1") +
                    Today({{"01:00:10", "Receiving file LONGER.NAME (100 bytes)"},
                           {"01:00:11", "Sending file LONG (200 bytes)"},
                           {"01:00:12", "LONGER.NAME: resuming from offset 7"},
                           {"01:00:13", "LONG (aborted at 9)"},
                           {"01:00:14", "unknown: resuming from offset 5"}}) +
                    End("01:01:00");
  SessionModel model = Parse(log);
  ASSERT_EQ(model.files.files.size(), 2u);
  EXPECT_EQ(model.files.Partial(0)->resumeOffset, 5);  // none named: the open one
  EXPECT_EQ(model.files.Partial(0)->abortPosition, 0);
  EXPECT_EQ(model.files.Partial(1)->abortPosition, 9);
  EXPECT_EQ(model.files.files[1].Outcome(), FileOutcome::kAborted);
}

// The packed record keeps every field apart at its extremes, and a size of any
// width comes back exactly, also after a dropped session took its table entry.
TEST(FileTransfers, RecordsKeepExtremeValues) {
  FileTransfers store;
  const int64_t sizes[] = {0, TFileTransfer::kLargestInlineSize,
                           TFileTransfer::kLargestInlineSize + 1, INT64_MAX};
  const int32_t times[][2] = {{0, 86399}, {86399, 0}, {-1, -1}, {-1, 86399}};
  for (int i = 0; i < 4; ++i) {
    TFileTransfer record;
    record.SetName(i == 3 ? UINT32_MAX : static_cast<uint32_t>(i));
    record.SetStartTime(times[i][0]);
    record.SetEndTime(times[i][1]);
    record.SetCps(i == 2 ? TFileTransfer::kNoCps : 9999);
    record.SetOutcome(i == 1 ? FileOutcome::kDelayed : FileOutcome::kComplete);
    record.SetReceived(i % 2 == 0);
    record.SetPartial(i >= 2);
    store.Add(record, sizes[i]);
  }
  ASSERT_EQ(store.largeSizes.size(), 2u);
  for (uint32_t i = 0; i < 4; ++i) {
    const TFileTransfer& record = store.files[i];
    EXPECT_EQ(store.Size(i), sizes[i]) << i;
    EXPECT_EQ(record.Name(), i == 3 ? UINT32_MAX : i) << i;
    EXPECT_EQ(record.StartTime(), times[i][0]) << i;
    EXPECT_EQ(record.EndTime(), times[i][1]) << i;
    EXPECT_EQ(record.Cps(), i == 2 ? TFileTransfer::kNoCps : 9999) << i;
    EXPECT_EQ(record.Outcome(), i == 1 ? FileOutcome::kDelayed : FileOutcome::kComplete) << i;
    EXPECT_EQ(record.Received(), i % 2 == 0) << i;
    EXPECT_EQ(record.Partial(), i >= 2) << i;
  }
  // A fresh record knows nothing yet.
  TFileTransfer fresh;
  EXPECT_EQ(fresh.StartTime(), -1);
  EXPECT_EQ(fresh.EndTime(), -1);
  EXPECT_EQ(fresh.Cps(), TFileTransfer::kNoCps);
  EXPECT_EQ(fresh.Outcome(), FileOutcome::kOpen);
}

// A huge size read from a log line survives, and a session dropped after it
// leaves no stale table entry behind for the files that follow.
TEST(FileTransfers, HugeSizesFromTheLog) {
  std::string log = Call("01:00:00", "2:5020/1") +
                    Today({{"01:00:10", "Receiving file BIG.ISO (999999999999999999 bytes)"},
                           {"01:00:20", "Received BIG.ISO (30 cps)"}}) +
                    End("01:00:30") + Call("02:00:00", "2:5020/2") +
                    Today({{"02:00:10", "Receiving file HUGE (9000000000000 bytes)"}}) +
                    Call("03:00:00", "2:5020/3") +
                    Today({{"03:00:10", "Receiving file SMALL (7 bytes)"}}) + End("03:00:30");
  SessionModel model = Parse(log);
  ASSERT_EQ(model.files.files.size(), 2u);
  EXPECT_EQ(model.files.Size(0), 999999999999999999);
  EXPECT_EQ(model.files.Size(1), 7);
  EXPECT_EQ(model.files.largeSizes.size(), 1u);
}

TEST(FileTransfers, FilesOutsideAnOpenSessionAreDropped) {
  std::string log =
      Today({{"00:10:00", "Receiving file BEFORE (1 bytes)"}}) +  // no session yet
      Call("01:00:00", "2:5020/1") + Today({{"01:00:05", "Receiving file KEPT (1 bytes)"}}) +
      End("01:00:10") +
      Today({{"01:00:20", "Receiving file AFTER.END (1 bytes)"}}) +  // session over
      Today({{"02:00:00", "Incoming call"}, {"02:00:01", "Receiving file EXCLUDED1 (1 bytes)"}}) +
      Today({{"02:00:02", "Address: 2:9999/1"}, {"02:00:03", "Sending file EXCLUDED2 (1 bytes)"}}) +
      End("02:00:09") + Call("03:00:00", "2:5020/2") +
      Today({{"03:00:05", "Receiving file UNFINISHED (1 bytes)"}}) +  // call, no end: reused
      Call("04:00:00", "2:5020/3") + Today({{"04:00:05", "Sending file SECOND (1 bytes)"}}) +
      End("04:00:09") + Call("05:00:00", "2:5020/4") +
      Today({{"05:00:05", "Sending file LAST.UNFINISHED (1 bytes)"}});
  SessionModel model = Parse(log, true, {"2:9999/*"});
  std::vector<Seen> files = Files(model);
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].name, "KEPT");
  EXPECT_EQ(files[0].outcome, FileOutcome::kAborted);  // cut off by its session's end
  EXPECT_EQ(files[0].end, 3610);
  EXPECT_EQ(files[1].name, "SECOND");
  ASSERT_EQ(model.files.runs.size(), 2u);
  EXPECT_EQ(model.Text(model.sessions[model.files.runs[0].session].Address), "2:5020/1");
  EXPECT_EQ(model.Text(model.sessions[model.files.runs[1].session].Address), "2:5020/3");
  EXPECT_EQ(model.files.RunEnd(1), 2u);
}

TEST(FileTransfers, NothingIsCollectedWithoutTheFilesReport) {
  std::string log = Call("01:00:00", "2:5020/1") +
                    Today({{"01:00:05", "Receiving file A (1 bytes)"}}) + End("01:00:10");
  EXPECT_EQ(Parse(log, false).files.files.size(), 0u);
  EXPECT_EQ(Parse(log, true).files.files.size(), 1u);
}

}  // namespace
}  // namespace zentrak
