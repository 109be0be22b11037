// Fuzz target: the trends store opener and everything that reads a store. The
// first byte chooses the input's kind: even, the rest is the file itself
// (arbitrary bytes as TRENDS_DB); odd, the rest is SQL run over a sound store
// first (a store from elsewhere with hostile contents: odd values, text where
// numbers belong, triggers, views, a changed schema). Then the store is opened
// to read and to write as a run would, a day is written, and every view,
// --trends table and the metrics are read back from it.
#include <sqlite3.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "app/trends_command.h"
#include "trends/trends_metrics.h"
#include "trends/trends_store.h"

namespace {

using namespace zentrak;

constexpr const char* kPath = "fuzz-trends.db";

void WriteBytes(const uint8_t* data, size_t size) {
  std::FILE* file = std::fopen(kPath, "wb");
  if (file == nullptr) return;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
}

// A store as a few nights of runs leave it, made once.
const std::string& SoundStore() {
  static const std::string bytes = [] {
    std::remove(kPath);
    {
      TrendsStore store = OpenTrendsStore(kPath, TrendsAccess::kWrite, {{"2:5020/1"}, "Node"});
      std::vector<TrendsRunDay> days(3);
      for (int d = 0; d < 3; ++d) {
        TrendsRunDay& day = days[d];
        day.date = {28 + d, 2, 2026};
        day.coveredTill = 86400;
        day.station.sessions = 3;
        TrendsLinkSums sums;
        sums.sessionsIn = 2;
        sums.received = 1000 * d;
        day.links = {{"1:2/3", sums}, {"2:5020/" + std::to_string(d), sums}};
        day.hours[d + 5] = sums;
      }
      WriteTrendsRunDays(store, days);
    }
    std::string content;
    if (std::FILE* file = std::fopen(kPath, "rb")) {
      char buffer[4096];
      size_t got = 0;
      while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) content.append(buffer, got);
      std::fclose(file);
    }
    return content;
  }();
  return bytes;
}

// The hostile SQL may change rows and the schema but never reach another file.
int Authorize(void*, int action, const char*, const char*, const char*, const char*) {
  switch (action) {
    case SQLITE_ATTACH:
    case SQLITE_DETACH:
      return SQLITE_DENY;
    default:
      return SQLITE_OK;
  }
}

void RunHostileSql(const uint8_t* data, size_t size) {
  const std::string& sound = SoundStore();
  WriteBytes(reinterpret_cast<const uint8_t*>(sound.data()), sound.size());
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(kPath, &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
    sqlite3_set_authorizer(db, Authorize, nullptr);
    sqlite3_exec(db, "PRAGMA synchronous = OFF", nullptr, nullptr, nullptr);
    std::string sql(reinterpret_cast<const char*>(data), size);
    sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
  }
  sqlite3_close(db);
}

void ReadEverything(TrendsStore& store) {
  ReadTrendsDays(store, 40);
  ReadTrendsMonths(store, 14);
  ReadTrendsYears(store);
  ReadTopLinks(store, 2026, 2, 10);
  ReadTopLinks(store, 2026, 0, 10);
  ReadTrendsHours(store, 30);
  ReadTopDays(store, 10);
  ReadTrendsTotals(store);
  TrendsMetricsText(store, store.station(), {{"1:2/3", "Sys\"", "Op\n"}}, 1796640188);
  for (const char* view : {"days", "months", "years", "top", "hours", "topdays", "oneline"}) {
    TrendsText(store, view, false);
    TrendsText(store, view, true);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  for (const char* suffix : {"-journal", "-wal", "-shm"}) {
    std::remove((std::string(kPath) + suffix).c_str());
  }
  if (data[0] % 2 == 0) {
    WriteBytes(data + 1, size - 1);
  } else {
    RunHostileSql(data + 1, size - 1);
  }
  const TrendsStation station{{"2:5020/1"}, "Node"};
  {
    TrendsStore reader = OpenTrendsStore(kPath, TrendsAccess::kRead, station);
    if (reader.IsOpen()) ReadEverything(reader);
  }
  TrendsStore writer = OpenTrendsStore(kPath, TrendsAccess::kWrite, station);
  if (!writer.IsOpen()) return 0;
  TrendsRunDay day;
  day.date = {1, 3, 2026};
  day.coveredTill = 86400;
  day.links = {{"1:2/3", TrendsLinkSums{1, 1, 0, 5, 5, 60, 50, 1, 1}}};
  day.hours[3] = day.links[0].second;
  // A write that fails must leave the store usable for the reads that follow.
  WriteTrendsRunDays(writer, {day});
  ReadEverything(writer);
  return 0;
}
