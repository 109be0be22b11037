// One thread against several: the blocks of a log, classified by any thread
// and given to the rules in log order, must leave the same model, console
// lines and exit status as the line reader's pass, on hostile logs too.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "console/run_stop.h"
#include "log/log_parser.h"
#include "log_test_texts.h"
#include "model_text.h"
#include "support/work_threads.h"
#include "test_support.h"

namespace zentrak {
namespace {

using testing::LogLine;

struct Outcome {
  std::string model;
  std::string console;
  int status = -1;
  bool operator==(const Outcome&) const = default;
};

// threads 0: the line reader's pass, the one every other is held against.
Outcome Parse(const std::string& log, const Settings& settings, int threads, size_t blockSize) {
  testing::TestConsole console;
  SessionModel model;
  Outcome outcome;
  try {
    if (threads == 0) {
      LineReader reader(log);
      ParseLogLines(reader, settings, testing::EnglishTexts(), testing::kTestToday, model,
                    console.console);
    } else {
      LogBlockReader reader(log, blockSize);
      ParseLogBlocks(reader, settings, testing::EnglishTexts(), testing::kTestToday, model,
                     console.console, threads);
    }
  } catch (const RunStop& stop) {
    outcome.status = stop.exitStatus;
  }
  outcome.model = testing::ModelText(model);
  outcome.console = console.Masked();
  return outcome;
}

std::vector<Settings> SettingsToTry() {
  std::vector<Settings> all;
  Settings wide = SetDefaults();
  wide.timeWindow = TimeWindow{400, 0, 0, 86399};
  all.push_back(wide);
  Settings narrow = wide;  // yesterday's afternoon, with the files and the odd switches
  narrow.timeWindow = TimeWindow{1, 43200, 0, 3600};
  narrow.MAKESTAT_FILES = true;
  narrow.TAKE_PHONE_FROM_CALLING = true;
  narrow.HIDE_SPEC_ABORT = true;
  all.push_back(narrow);
  Settings files = wide;
  files.MAKESTAT_FILES = true;
  files.AliasList = {"HUB=2:5020/1"};
  files.ExcludeAddressList = {"2:5020/9*"};
  all.push_back(files);
  return all;
}

void ExpectSameForAnyThreads(const std::string& log, const std::string& name,
                             std::mt19937& random) {
  for (const Settings& settings : SettingsToTry()) {
    Outcome expected = Parse(log, settings, 0, 0);
    for (int threads : {1, 2, 3}) {
      size_t block = 400 + random() % 4000;
      Outcome got = Parse(log, settings, threads, block);
      EXPECT_EQ(got.status, expected.status) << name << ", " << threads << " threads";
      EXPECT_EQ(got.console, expected.console) << name << ", " << threads << " threads";
      ASSERT_EQ(got.model, expected.model) << name << ", " << threads << " threads, " << block;
    }
  }
}

// A day of sessions and of everything a log should not hold: NULs, 8-bit and
// UTF-16 bytes, lines far past the bound, dates in the wrong columns, CR-only
// line ends, byte-order marks, file lines, and no line end at the very end.
std::string HostileLog(std::mt19937& random) {
  const char* const messages[] = {"Incoming call",
                                  "Outgoing call to 2:5020/9, ATDT123",
                                  "Connect 33600/ARQ",
                                  "Address: 2:5020/1@fidonet",
                                  "Address: HUB",
                                  "Address: 2:5020/95.1@fidonet",
                                  "Mailer: Owl\0 0.9",
                                  "Sysop: \310\342\340\355 Petrov",
                                  "Password-protected session",
                                  "ZModem transfer",
                                  "Hydra transfer",
                                  "BBS caller detected",
                                  "  BBS session end (3 min)",
                                  "Receiving file A.ZIP (100 bytes)",
                                  "Received A.ZIP (50 cps)",
                                  "Sending file B (9 bytes)",
                                  "B (aborted at 3)",
                                  "No carrier",
                                  "Busy",
                                  "Session closed by remote request",
                                  "End of session, in/out: 100/200 bytes",
                                  "End of session, in/out: 1/2 bytes, session aborted",
                                  "Port 001: modem idle",
                                  "Modem reports: RING",
                                  ""};
  const char* const dates[] = {"06 Dec", "07 Dec", "05 Dec", "31 Dec", "6 Dec", "06 Dce", ""};
  std::string log = random() % 10 == 0 ? "\xEF\xBB\xBF" : "";
  int seconds = 0;
  for (int n = static_cast<int>(random() % 400); n > 0; --n) {
    seconds = (seconds + static_cast<int>(random() % 900)) % 86400;
    char time[16];
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    std::string message = messages[random() % std::size(messages)];
    if (random() % 30 == 0) message += std::string(300 + random() % 3000, 'M');
    if (random() % 40 == 0) message += std::string("\0\0\xFF\xFE", 4);
    log += LogLine(dates[random() % 4 == 0 ? random() % std::size(dates) : 0], time, message);
    int end = static_cast<int>(random() % 20);
    log += end == 0 ? "\r" : end == 1 ? "\r\n\n" : end < 8 ? "\r\n" : "\n";
  }
  if (!log.empty() && random() % 3 == 0) log.pop_back();
  return log;
}

TEST(WorkThreads, HostileLogsGiveTheSameModelWithAnyNumberOfThreads) {
  std::mt19937 random(2027);
  for (int round = 0; round < 150; ++round) {
    ExpectSameForAnyThreads(HostileLog(random), "round " + std::to_string(round), random);
  }
  // Not text at all: UTF-16 and one endless line.
  ExpectSameForAnyThreads(std::string("\xFF\xFE\x30\0 \0\x30\0", 8), "utf-16", random);
  ExpectSameForAnyThreads(std::string(70000, 'x'), "no line end", random);
}

// The checked-in logs of the end-to-end stations and the fuzzing seeds.
TEST(WorkThreads, FixtureLogsGiveTheSameModelWithAnyNumberOfThreads) {
  namespace fs = std::filesystem;
  std::mt19937 random(7);
  std::vector<fs::path> logs;
  std::error_code error;
  for (const fs::path& root : {fs::path(ZENTRAK_SOURCE_DIR) / "tests" / "e2e",
                               fs::path(ZENTRAK_SOURCE_DIR) / "fuzz" / "corpus" / "log_parser"}) {
    for (const auto& entry : fs::recursive_directory_iterator(root, error)) {
      if (entry.path().extension() == ".log") logs.push_back(entry.path());
    }
  }
  if (logs.empty()) GTEST_SKIP() << "no source tree here";
  for (const fs::path& path : logs) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    ExpectSameForAnyThreads(bytes.str(), path.string(), random);
  }
}

// A disk that fails half way through the log: the run stops before any report
// could publish the figures of half a log, and says why.
TEST(ParseLogBlocks, AReadErrorStopsTheRunWithTheReason) {
  class FailingLog : public File {
   public:
    explicit FailingLog(std::string bytes) : bytes_(std::move(bytes)) {}
    size_t Read(char* data, size_t size) override {
      size_t got = std::min(size, bytes_.size() - at_);
      std::copy_n(bytes_.data() + at_, got, data);
      at_ += got;
      failed_ = at_ == bytes_.size();
      errno = failed_ ? EIO : 0;
      return failed_ ? 0 : got;
    }
    bool ReadFailed() const override { return failed_; }
    bool Write(std::string_view) override { return false; }
    bool Seek(uint64_t) override { return false; }
    bool Flush() override { return false; }
    bool Sync() override { return false; }
    bool Close() override { return true; }

   private:
    std::string bytes_;
    size_t at_ = 0;
    bool failed_ = false;
  };
  std::string log;
  for (int k = 0; k < 2000; ++k) log += LogLine("06 Dec", "10:00:00", "Z001 Incoming call") + "\n";
  Settings settings = SetDefaults();
  settings.LOG = "mailer.log";
  for (int threads : {1, 2}) {
    FailingLog file(log);
    LogBlockReader reader(file, 4096);
    testing::TestConsole console;
    SessionModel model;
    int status = -1;
    try {
      ParseLogBlocks(reader, settings, testing::EnglishTexts(), testing::kTestToday, model,
                     console.console, threads);
    } catch (const RunStop& stop) {
      status = stop.exitStatus;
    }
    EXPECT_EQ(status, 1) << threads;
    EXPECT_EQ(console.Masked(), "! STAMP Unable to read log file (mailer.log)\n! STAMP " +
                                    std::string(std::strerror(EIO)) + "\n")
        << threads;
  }
}

// The environment chooses the threads within 1 to 4; anything else leaves the
// choice to the machine, which stays within the same bounds.
TEST(WorkThreads, TheEnvironmentChoosesWithinBounds) {
  auto set = [](const char* value) {
#ifdef _WIN32
    _putenv_s("ZENTRAK_THREADS", value);
#else
    setenv("ZENTRAK_THREADS", value, 1);
#endif
  };
  set("3");
  EXPECT_EQ(WorkThreads(), 3);
  set("1");
  EXPECT_EQ(WorkThreads(), 1);
  set("64");
  EXPECT_EQ(WorkThreads(), 4);
  for (const char* value : {"0", "-2", "many", ""}) {
    set(value);
    EXPECT_GE(WorkThreads(), 1) << value;
    EXPECT_LE(WorkThreads(), 4) << value;
  }
  set("");
}

}  // namespace
}  // namespace zentrak
