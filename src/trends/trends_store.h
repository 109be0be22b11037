// The trends store: every run's days kept in an SQLite database so that the
// statistics outlive the log's window. This layer alone speaks SQL; the run
// writes a run's days through it and the reports read rows back as plain
// records.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "log/session_model.h"

struct sqlite3;

namespace zentrak {

/// The schema version this program writes (PRAGMA user_version).
inline constexpr int kTrendsSchemaVersion = 3;

/// The sums kept per day and link; summed over links, days, months or years
/// when read back.
struct TrendsLinkSums {
  int64_t sessionsIn = 0;
  int64_t sessionsOut = 0;
  int64_t aborted = 0;
  int64_t received = 0;  // bytes
  int64_t sent = 0;      // bytes
  int64_t onlineSeconds = 0;
  int64_t transferSeconds = 0;
  int64_t filesReceived = 0;
  int64_t filesSent = 0;
  bool operator==(const TrendsLinkSums&) const = default;
};

/// The sums kept per day for the station as a whole.
struct TrendsStationSums {
  int64_t callingSeconds = 0;  // dialling
  int64_t bbsSeconds = 0;
  int64_t unfinishedSeconds = 0;  // sessions that never reached their end line
  int64_t failedCalls = 0;
  int64_t sessions = 0;
  bool operator==(const TrendsStationSums&) const = default;
};

/// One calendar day. `coveredSeconds` is the part of the day the stored log
/// covered (0 for a day the store has nothing about).
struct TrendsDay {
  CalendarDate date;
  bool stored = false;
  int32_t coveredFrom = 0;  // second of the day, inclusive
  int32_t coveredTill = 0;  // second of the day, exclusive (86400: to midnight)
  int64_t coveredSeconds = 0;
  TrendsLinkSums links;  // summed over the day's links
  TrendsStationSums station;
};

/// One hour of a day, summed over the day's links (a session counts in the hour
/// it began).
struct TrendsHour {
  CalendarDate date;
  int32_t hour = 0;  // 0-23
  bool stored = false;
  TrendsLinkSums links;
};

/// One calendar month (`date.day` is 0).
struct TrendsMonth {
  CalendarDate date;
  int32_t daysStored = 0;
  int64_t coveredSeconds = 0;
  TrendsLinkSums links;
  TrendsStationSums station;
};

/// One calendar year (`date.day` and `date.month` are 0).
struct TrendsYear {
  CalendarDate date;
  int32_t daysStored = 0;
  int64_t coveredSeconds = 0;
  TrendsLinkSums links;
  TrendsStationSums station;
};

/// One link's sums over a month or a year.
struct TrendsTopLink {
  std::string address;
  int32_t daysSeen = 0;
  TrendsLinkSums sums;
};

/// Everything stored.
struct TrendsTotals {
  CalendarDate firstDay;  // all 0 when the store is empty
  CalendarDate lastDay;
  int32_t daysStored = 0;
  int64_t coveredSeconds = 0;
  int32_t linkCount = 0;  // distinct addresses
  TrendsLinkSums links;
  TrendsStationSums station;
};

/// How a store is opened: to write a run's days into it, or to read only
/// (`--check`, `--trends`, the reports of a run that must not write).
enum class TrendsAccess { kWrite, kRead };

/// Why a store could not be opened or written; why() words it for the "!" line.
enum class TrendsFault {
  kNone,
  kUnopenable,
  kNotAStore,
  kDamaged,
  kNewerSchema,
  kFailed,
  kForeign,   // kept for another station
  kRunsCode,  // its schema holds a trigger
};

/// Whose store it is: the station's address(es) and name. An empty list knows
/// no station (a store written before stores knew theirs, or a configuration
/// without ADDRESS).
struct TrendsStation {
  std::vector<std::string> addresses;
  std::string name;
  bool operator==(const TrendsStation&) const = default;
};

/// Whether a store kept for `stored` may take the days of `run`: either knows
/// no station, or they share an address.
bool SameTrendsStation(const TrendsStation& stored, const TrendsStation& run);

/// "2:5020/1 (Name)": a station as the console names it.
std::string TrendsStationText(const TrendsStation& station);

/// The reason a store kept for `stored` is refused: "kept for another station: ...".
std::string TrendsForeignText(const TrendsStation& stored);

/// The days a run covers, gathered from the session model: the part of the
/// link and station sums that the store keeps. Built by GatherTrendsDays.
struct TrendsRunDay {
  CalendarDate date;
  int32_t coveredFrom = 0;
  int32_t coveredTill = 0;
  TrendsStationSums station;
  std::vector<std::pair<std::string, TrendsLinkSums>> links;  // by address, ascending
  std::array<TrendsLinkSums, 24> hours{};  // summed over the links, by the hour sessions began
};

/// What a write did with the days it was given.
struct TrendsWriteCounts {
  int added = 0;     // days the store did not have
  int replaced = 0;  // days stored before, now as the new view of them
  int kept = 0;      // days left as they were: stored wider, whole, or the same
};

/// An opened trends store. Move-only; closes the database when destroyed.
class TrendsStore {
 public:
  TrendsStore();
  ~TrendsStore();
  TrendsStore(TrendsStore&& other) noexcept;
  TrendsStore& operator=(TrendsStore&& other) noexcept;
  TrendsStore(const TrendsStore&) = delete;
  TrendsStore& operator=(const TrendsStore&) = delete;

  /// True when a database is open.
  bool IsOpen() const { return db_ != nullptr; }
  /// The fault of the last operation that failed.
  TrendsFault fault() const { return fault_; }
  /// A short text for the "!" line: why the last operation failed.
  const std::string& why() const { return why_; }

  /// For the layer's own code only.
  sqlite3* handle() const { return db_; }
  /// The schema version of the opened file (an older one is read as it is).
  int schema() const { return schema_; }
  void SetFault(TrendsFault fault, std::string why);
  /// The station the store was kept for (empty: it knows none yet).
  const TrendsStation& station() const { return station_; }
  /// True when the store was kept for another station than the one it was
  /// opened for (a store opened to read only; one to write is refused).
  bool foreign() const { return foreign_; }
  /// True when a run stopped inside its transaction: what is read is the store
  /// as the last completed run left it, and the next run rolls the rest back.
  bool stoppedRun() const { return stoppedRun_; }

 private:
  sqlite3* db_ = nullptr;
  int schema_ = 0;
  TrendsFault fault_ = TrendsFault::kNone;
  std::string why_;
  TrendsStation station_;
  TrendsStation claim_;  // recorded by the first write
  bool foreign_ = false;
  bool stoppedRun_ = false;
  friend TrendsStore OpenTrendsStore(const std::string& path, TrendsAccess access,
                                     const TrendsStation& station);
  friend int WriteTrendsRunDays(TrendsStore& store, const std::vector<TrendsRunDay>& days,
                                TrendsWriteCounts* counts, bool keepWhole);
};

/// Opens (for kWrite: creates, or migrates an older schema in place) the store
/// at `path` for `station`. On a fault the returned store is closed, the file is
/// left as it was, and fault()/why() say what is wrong: a store kept for another
/// station is refused for kWrite and marked foreign() for kRead; one whose
/// schema holds a trigger is refused either way. kRead never creates a file; a
/// missing file gives an open, empty store for reading in memory.
TrendsStore OpenTrendsStore(const std::string& path, TrendsAccess access,
                            const TrendsStation& station = {});

/// Writes the days of the run's period from the session model, in one
/// transaction: a stored day is replaced only when the run covers at least the
/// part of it that is stored. `currentYear` turns the model's day numbers into
/// dates. Returns false (and sets the store's fault) when nothing was written.
bool WriteTrendsDays(TrendsStore& store, const SessionModel& model, int32_t currentYear);

/// The run's days, oldest first, from the first to the last line the parser
/// applied. A session, call or BBS visit counts on the day it began.
std::vector<TrendsRunDay> GatherTrendsDays(const SessionModel& model, int32_t currentYear);

/// Writes `days` in one transaction; a stored day is replaced only when the
/// new one covers at least the part of it that is stored, and is left alone
/// when it holds the same sums already, or (`keepWhole`, for an import) when
/// it is stored whole. May be called again on the same store (one transaction
/// each); the first call records the store's station. Returns the number of
/// days written, or -1 (and sets the store's fault) when nothing was written;
/// `counts`, when given, gains the days added, replaced and left as they were.
int WriteTrendsRunDays(TrendsStore& store, const std::vector<TrendsRunDay>& days,
                       TrendsWriteCounts* counts = nullptr, bool keepWhole = false);

/// The last `count` calendar days up to and including the last stored day,
/// oldest first; days the store has nothing about come with `stored` false.
std::vector<TrendsDay> ReadTrendsDays(TrendsStore& store, int32_t count);

/// The last `count` hours up to the last hour the last stored day covers,
/// oldest first; hours without a stored sum come with `stored` false.
std::vector<TrendsHour> ReadTrendsHours(TrendsStore& store, int32_t count);

/// The `count` stored days with the most traffic, busiest first; ties by date.
std::vector<TrendsDay> ReadTopDays(TrendsStore& store, int32_t count);

/// The sums of one link over everything stored.
struct TrendsLinkTotal {
  std::string address;
  TrendsLinkSums sums;
};

/// Every link's sums over everything stored, by address.
std::vector<TrendsLinkTotal> ReadTrendsLinkTotals(TrendsStore& store);

/// The last `count` calendar months up to the last stored one, oldest first.
std::vector<TrendsMonth> ReadTrendsMonths(TrendsStore& store, int32_t count);

/// Every year from the first stored one to the last, oldest first.
std::vector<TrendsYear> ReadTrendsYears(TrendsStore& store);

/// The `count` links with the most traffic (received + sent) in `year`, and
/// within it in `month` (1-12; 0: the whole year); ties by address.
std::vector<TrendsTopLink> ReadTopLinks(TrendsStore& store, int32_t year, int32_t month,
                                        int32_t count);

/// The sums over everything stored.
TrendsTotals ReadTrendsTotals(TrendsStore& store);

}  // namespace zentrak
