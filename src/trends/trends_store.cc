// The trends store's SQL: opening with its checks and migrations, the one
// transaction of a run, and the sums the reports read back.
#include "trends/trends_store.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <utility>

#include "log/log_dates.h"

namespace zentrak {
namespace {

// "ZTRK": tells our database from any other SQLite file.
constexpr int kApplicationId = 0x5A54524B;

// Version 1 had no file counts; version 2 added them.
constexpr const char* kSchemaV2 =
    "CREATE TABLE days ("
    " day TEXT PRIMARY KEY NOT NULL,"
    " covered_from INTEGER NOT NULL, covered_till INTEGER NOT NULL,"
    " calling_seconds INTEGER NOT NULL, bbs_seconds INTEGER NOT NULL,"
    " unfinished_seconds INTEGER NOT NULL, failed_calls INTEGER NOT NULL,"
    " sessions INTEGER NOT NULL) WITHOUT ROWID;"
    "CREATE TABLE day_links ("
    " day TEXT NOT NULL, address TEXT NOT NULL,"
    " sessions_in INTEGER NOT NULL, sessions_out INTEGER NOT NULL, aborted INTEGER NOT NULL,"
    " bytes_received INTEGER NOT NULL, bytes_sent INTEGER NOT NULL,"
    " online_seconds INTEGER NOT NULL, transfer_seconds INTEGER NOT NULL,"
    " files_received INTEGER NOT NULL DEFAULT 0, files_sent INTEGER NOT NULL DEFAULT 0,"
    " PRIMARY KEY (day, address)) WITHOUT ROWID;"
    "PRAGMA application_id = 1515475531;"
    "PRAGMA user_version = 2;";

// Each step takes a store at version N to N + 1, inside the caller's transaction.
constexpr const char* kMigrations[] = {
    nullptr,
    "ALTER TABLE day_links ADD COLUMN files_received INTEGER NOT NULL DEFAULT 0;"
    "ALTER TABLE day_links ADD COLUMN files_sent INTEGER NOT NULL DEFAULT 0;"
    "PRAGMA user_version = 2;",
};
static_assert(std::size(kMigrations) == kTrendsSchemaVersion);

class Statement {
 public:
  Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr); }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  bool ok() const { return stmt_ != nullptr; }
  Statement& Bind(int index, int64_t value) {
    sqlite3_bind_int64(stmt_, index, value);
    return *this;
  }
  Statement& Bind(int index, const std::string& text) {
    sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    return *this;
  }
  /// SQLITE_ROW, SQLITE_DONE or an error.
  int Step() { return stmt_ == nullptr ? SQLITE_ERROR : sqlite3_step(stmt_); }
  void Reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
  }
  int64_t Int(int column) const { return sqlite3_column_int64(stmt_, column); }
  std::string Text(int column) const {
    const unsigned char* text = sqlite3_column_text(stmt_, column);
    return text == nullptr ? std::string()
                           : std::string(reinterpret_cast<const char*>(text),
                                         static_cast<size_t>(sqlite3_column_bytes(stmt_, column)));
  }

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

std::string DateText(const CalendarDate& date) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year % 10000, date.month, date.day);
  return text;
}

CalendarDate DateOf(const std::string& text) {
  CalendarDate date;
  std::sscanf(text.c_str(), "%d-%d-%d", &date.year, &date.month, &date.day);
  return date;
}

bool Exec(sqlite3* db, const char* sql) {
  return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// Asks one number of the database; nullopt-like -1 with `code` set on failure.
int64_t Ask(sqlite3* db, const char* sql, int& code) {
  Statement statement(db, sql);
  code = statement.Step();
  if (code == SQLITE_ROW) {
    code = SQLITE_OK;
    return statement.Int(0);
  }
  if (!statement.ok()) code = sqlite3_errcode(db);
  return -1;
}

// A file that begins like an SQLite database but that SQLite refuses is one of
// ours or someone's, damaged; anything else is not a database at all.
bool HasSqliteHeader(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  char header[16] = {};
  size_t got = std::fread(header, 1, sizeof header, file);
  std::fclose(file);
  return got == sizeof header && std::memcmp(header, "SQLite format 3", 16) == 0;
}

// Anything at the path, a folder too: only nothing at all reads as an empty store.
bool FileExists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(std::filesystem::path(path), error) || error;
}

TrendsFault FaultOfCode(int code, const std::string& path) {
  switch (code & 0xff) {
    case SQLITE_NOTADB:
      return HasSqliteHeader(path) ? TrendsFault::kDamaged : TrendsFault::kNotAStore;
    case SQLITE_CORRUPT:
      return TrendsFault::kDamaged;
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_AUTH:
    case SQLITE_READONLY:
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return TrendsFault::kUnopenable;
    default:
      return TrendsFault::kFailed;
  }
}

std::string WhyOf(TrendsFault fault, sqlite3* db) {
  std::string detail = db != nullptr ? sqlite3_errmsg(db) : "out of memory";
  switch (fault) {
    case TrendsFault::kUnopenable:
      return "cannot be opened: " + detail;
    case TrendsFault::kNotAStore:
      return "not a Zentrak trends store";
    case TrendsFault::kDamaged:
      return "damaged: " + detail;
    case TrendsFault::kNewerSchema:
      return "written by a newer Zentrak";
    default:
      return "failed: " + detail;
  }
}

// Creates a new store's tables, or brings an older one to this version; both in
// one transaction, so a killed run leaves the file as it was.
bool CreateOrMigrate(sqlite3* db, int version) {
  if (!Exec(db, "BEGIN IMMEDIATE")) return false;
  bool done = version == 0 ? Exec(db, kSchemaV2) : true;
  for (int step = version; done && step > 0 && step < kTrendsSchemaVersion; ++step) {
    done = Exec(db, kMigrations[step]);
  }
  if (done && Exec(db, "COMMIT")) return true;
  Exec(db, "ROLLBACK");
  return false;
}

struct Checked {
  TrendsFault fault = TrendsFault::kNone;
  int version = 0;
};

// What the file is: ours and sound (at which version), new and empty, or why not.
Checked CheckFile(sqlite3* db, const std::string& path) {
  int code = SQLITE_OK;
  int64_t objects = Ask(db, "SELECT count(*) FROM sqlite_master", code);
  if (code != SQLITE_OK) return {FaultOfCode(code, path)};
  int64_t application = Ask(db, "PRAGMA application_id", code);
  int64_t version = Ask(db, "PRAGMA user_version", code);
  if (code != SQLITE_OK) return {FaultOfCode(code, path)};
  if (objects == 0 && application == 0 && version == 0) return {TrendsFault::kNone, 0};
  if (application != kApplicationId || version < 1) return {TrendsFault::kNotAStore};
  if (version > kTrendsSchemaVersion) return {TrendsFault::kNewerSchema};
  Statement check(db, "PRAGMA quick_check");
  code = check.Step();
  if (code != SQLITE_ROW) return {FaultOfCode(code == SQLITE_DONE ? SQLITE_CORRUPT : code, path)};
  if (check.Text(0) != "ok") return {TrendsFault::kDamaged};
  return {TrendsFault::kNone, static_cast<int>(version)};
}

void CloseWithFault(TrendsStore& store, sqlite3*& db, TrendsFault fault, std::string why) {
  store.SetFault(fault, std::move(why));
  sqlite3_close(db);
  db = nullptr;
}

// The sums of link rows in the column order of TrendsLinkSums; the file counts
// of a version 1 store read as 0.
std::string LinkSumColumns(int schema) {
  std::string files = schema >= 2 ? "sum(files_received), sum(files_sent)" : "0, 0";
  return "sum(sessions_in), sum(sessions_out), sum(aborted), sum(bytes_received), "
         "sum(bytes_sent), sum(online_seconds), sum(transfer_seconds), " +
         files;
}

TrendsLinkSums LinkSumsAt(const Statement& row, int first) {
  TrendsLinkSums sums;
  int64_t* fields[] = {&sums.sessionsIn,      &sums.sessionsOut,   &sums.aborted,
                       &sums.received,        &sums.sent,          &sums.onlineSeconds,
                       &sums.transferSeconds, &sums.filesReceived, &sums.filesSent};
  for (int64_t* field : fields) *field = row.Int(first++);
  return sums;
}

constexpr const char* kStationSumColumns =
    "sum(calling_seconds), sum(bbs_seconds), sum(unfinished_seconds), sum(failed_calls), "
    "sum(sessions)";

TrendsStationSums StationSumsAt(const Statement& row, int first) {
  TrendsStationSums sums;
  int64_t* fields[] = {&sums.callingSeconds, &sums.bbsSeconds, &sums.unfinishedSeconds,
                       &sums.failedCalls, &sums.sessions};
  for (int64_t* field : fields) *field = row.Int(first++);
  return sums;
}

// Sums of the days [from, till] grouped by the first `keyLength` characters of
// the date (10 a day, 7 a month, 4 a year, 0 everything).
struct Group {
  int32_t daysStored = 0;
  int64_t coveredSeconds = 0;
  int32_t coveredFrom = 0;
  int32_t coveredTill = 0;
  TrendsLinkSums links;
  TrendsStationSums station;
};

std::map<std::string, Group> Groups(TrendsStore& store, int keyLength, const std::string& from,
                                    const std::string& till) {
  std::map<std::string, Group> groups;
  if (!store.IsOpen()) return groups;
  std::string key = "substr(day, 1, " + std::to_string(keyLength) + ")";
  std::string days = "SELECT " + key +
                     ", count(*), sum(covered_till - covered_from), min(covered_from), "
                     "max(covered_till), " +
                     kStationSumColumns + " FROM days WHERE day BETWEEN ?1 AND ?2 GROUP BY 1";
  Statement dayRows(store.handle(), days.c_str());
  dayRows.Bind(1, from).Bind(2, till);
  while (dayRows.Step() == SQLITE_ROW) {
    Group& group = groups[dayRows.Text(0)];
    group.daysStored = static_cast<int32_t>(dayRows.Int(1));
    group.coveredSeconds = dayRows.Int(2);
    group.coveredFrom = static_cast<int32_t>(dayRows.Int(3));
    group.coveredTill = static_cast<int32_t>(dayRows.Int(4));
    group.station = StationSumsAt(dayRows, 5);
  }
  std::string links = "SELECT " + key + ", " + LinkSumColumns(store.schema()) +
                      " FROM day_links WHERE day BETWEEN ?1 AND ?2 GROUP BY 1";
  Statement linkRows(store.handle(), links.c_str());
  linkRows.Bind(1, from).Bind(2, till);
  while (linkRows.Step() == SQLITE_ROW) groups[linkRows.Text(0)].links = LinkSumsAt(linkRows, 1);
  return groups;
}

std::string LastStoredDay(TrendsStore& store) {
  if (!store.IsOpen()) return std::string();
  Statement last(store.handle(), "SELECT max(day) FROM days");
  return last.Step() == SQLITE_ROW ? last.Text(0) : std::string();
}

std::string FirstStoredDay(TrendsStore& store) {
  if (!store.IsOpen()) return std::string();
  Statement first(store.handle(), "SELECT min(day) FROM days");
  return first.Step() == SQLITE_ROW ? first.Text(0) : std::string();
}

template <typename Row>
void FillFrom(Row& row, const Group& group) {
  row.daysStored = group.daysStored;
  row.coveredSeconds = group.coveredSeconds;
  row.links = group.links;
  row.station = group.station;
}

int32_t Span(int32_t from, int32_t till) {
  return till >= from ? till - from : till - from + kSecondsPerDay;
}

}  // namespace

TrendsStore::TrendsStore() = default;

TrendsStore::~TrendsStore() {
  if (db_ != nullptr) sqlite3_close(db_);
}

TrendsStore::TrendsStore(TrendsStore&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)),
      schema_(other.schema_),
      fault_(other.fault_),
      why_(std::move(other.why_)) {}

TrendsStore& TrendsStore::operator=(TrendsStore&& other) noexcept {
  if (this != &other) {
    if (db_ != nullptr) sqlite3_close(db_);
    db_ = std::exchange(other.db_, nullptr);
    schema_ = other.schema_;
    fault_ = other.fault_;
    why_ = std::move(other.why_);
  }
  return *this;
}

void TrendsStore::SetFault(TrendsFault fault, std::string why) {
  fault_ = fault;
  why_ = std::move(why);
}

TrendsStore OpenTrendsStore(const std::string& path, TrendsAccess access) {
  TrendsStore store;
  bool reading = access == TrendsAccess::kRead;
  // Reading a store that does not exist yet reads an empty one.
  bool empty = reading && !FileExists(path);
  sqlite3* db = nullptr;
  int code = empty ? sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE, nullptr)
                   : sqlite3_open_v2(path.c_str(), &db,
                                     reading ? SQLITE_OPEN_READONLY
                                             : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                                     nullptr);
  if (code != SQLITE_OK) {
    CloseWithFault(store, db, TrendsFault::kUnopenable, WhyOf(TrendsFault::kUnopenable, db));
    return store;
  }
  // Another run on the same store waits a little rather than failing at once.
  sqlite3_busy_timeout(db, 2000);
  Checked checked = CheckFile(db, path);
  if (checked.fault != TrendsFault::kNone) {
    CloseWithFault(store, db, checked.fault, WhyOf(checked.fault, db));
    return store;
  }
  bool create = checked.version < kTrendsSchemaVersion && (!reading || checked.version == 0);
  if (create && !CreateOrMigrate(db, checked.version)) {
    TrendsFault fault = FaultOfCode(sqlite3_errcode(db), path);
    CloseWithFault(store, db, fault, WhyOf(fault, db));
    return store;
  }
  // A run writes a few megabytes at most: keep them in memory until the commit.
  Exec(db, "PRAGMA cache_size = -32000");
  store.db_ = db;
  store.schema_ = create ? kTrendsSchemaVersion : checked.version;
  return store;
}

std::vector<TrendsRunDay> GatherTrendsDays(const SessionModel& model, int32_t currentYear) {
  std::vector<TrendsRunDay> days;
  if (model.FirstLineDay == kDayNotSeen) return days;
  int32_t first = model.FirstLineDay;
  int32_t count = model.LastLineDay - first + 1;
  if (count <= 0) return days;
  days.resize(static_cast<size_t>(count));
  for (int32_t k = 0; k < count; ++k) {
    TrendsRunDay& day = days[static_cast<size_t>(k)];
    day.date = DayNumberToDate(first + k, currentYear);
    day.coveredFrom = k == 0 ? model.FirstLineTime : 0;
    day.coveredTill =
        k == count - 1 ? std::min(model.LastLineTime + 1, kSecondsPerDay) : kSecondsPerDay;
  }
  auto dayOf = [&](int32_t dayNumber) -> TrendsRunDay* {
    int64_t k = static_cast<int64_t>(dayNumber) - first;
    return k >= 0 && k < count ? &days[static_cast<size_t>(k)] : nullptr;
  };

  // A session's link: the link whose address means the same (2:1/2.0 is 2:1/2).
  std::map<AddressKey, uint32_t> linkOfKey;
  for (size_t k = 0; k < model.links.size(); ++k) {
    linkOfKey.emplace(AddressKeyOf(model.links[k].Address), static_cast<uint32_t>(k));
  }
  constexpr uint32_t kNoLink = UINT32_MAX;
  constexpr uint32_t kUnknown = UINT32_MAX - 1;
  std::vector<uint32_t> linkOfText(model.texts.Size(), kUnknown);
  auto linkOf = [&](TextId text) {
    if (text >= linkOfText.size()) return kNoLink;
    uint32_t& link = linkOfText[text];
    if (link == kUnknown) {
      auto found = linkOfKey.find(AddressKeyOf(model.Text(text)));
      link = found == linkOfKey.end() ? kNoLink : found->second;
    }
    return link;
  };

  // (day, link) -> sums; a day's links come out in address order since the
  // links are.
  std::map<std::pair<int32_t, uint32_t>, TrendsLinkSums> sums;
  size_t counted = 0;
  for (size_t s = 0; s < model.sessions.size(); ++s) {
    const TSession& session = model.sessions[s];
    if (session.EndDay == kDayNotSeen) continue;
    TrendsRunDay* day = dayOf(session.StartDay);
    if (day == nullptr) continue;
    ++day->station.sessions;
    if (session.Bbs) continue;
    uint32_t link = linkOf(session.Address);
    if (link == kNoLink) continue;
    TrendsLinkSums& to = sums[{session.StartDay, link}];
    ++(session.Incoming ? to.sessionsIn : to.sessionsOut);
    to.aborted += session.Aborted ? 1 : 0;
    to.received += std::max<int64_t>(0, session.Received);
    to.sent += std::max<int64_t>(0, session.Sent);
    to.onlineSeconds += Span(session.StartTime, session.EndTime);
    if (session.TransferStart >= 0)
      to.transferSeconds += Span(session.TransferStart, session.EndTime);
    const std::vector<TSessionFiles>& files = model.SessionFiles;
    while (counted < files.size() && files[counted].session < s) ++counted;
    if (counted < files.size() && files[counted].session == s) {
      to.filesReceived += files[counted].received;
      to.filesSent += files[counted].sent;
    }
  }
  for (const auto& [key, linkSums] : sums) {
    dayOf(key.first)->links.emplace_back(model.links[key.second].Address, linkSums);
  }
  for (const TEvent& event : model.events) {
    TrendsRunDay* day = dayOf(event.StartDay);
    if (day == nullptr) continue;
    if (event.Kind == kEventCall) {
      ++day->station.failedCalls;
      day->station.callingSeconds += Span(event.StartTime, event.EndTime);
    } else if (event.Kind == kEventBbs) {
      day->station.bbsSeconds += Span(event.StartTime, event.EndTime);
    }
  }
  for (const auto& [dayNumber, seconds] : model.LeftTimeByDay) {
    if (TrendsRunDay* day = dayOf(dayNumber)) day->station.unfinishedSeconds += seconds;
  }
  return days;
}

// Whether the stored link rows of `date` are `links`, row for row. A nightly run
// over a long window sees most of its days again unchanged: reading them is
// much cheaper than writing them again.
bool SameLinks(Statement& stored, const std::string& date, const TrendsRunDay& day, int schema) {
  std::vector<const std::pair<std::string, TrendsLinkSums>*> links;
  links.reserve(day.links.size());
  for (const auto& link : day.links) links.push_back(&link);
  std::sort(links.begin(), links.end(), [](auto* a, auto* b) { return a->first < b->first; });
  stored.Bind(1, date);
  size_t k = 0;
  bool same = schema >= 2;
  while (same && stored.Step() == SQLITE_ROW) {
    same = k < links.size() && stored.Text(0) == links[k]->first &&
           LinkSumsAt(stored, 1) == links[k]->second;
    ++k;
  }
  stored.Reset();
  return same && k == links.size();
}

int WriteTrendsRunDays(TrendsStore& store, const std::vector<TrendsRunDay>& days) {
  sqlite3* db = store.handle();
  if (db == nullptr) return -1;
  auto fail = [&]() {
    TrendsFault fault = FaultOfCode(sqlite3_extended_errcode(db), "");
    if (fault == TrendsFault::kNotAStore) fault = TrendsFault::kDamaged;
    store.SetFault(fault, WhyOf(fault, db));
    Exec(db, "ROLLBACK");
    return -1;
  };
  if (!Exec(db, "BEGIN IMMEDIATE")) return fail();
  Statement stored(db,
                   "SELECT covered_from, covered_till, calling_seconds, bbs_seconds, "
                   "unfinished_seconds, failed_calls, sessions FROM days WHERE day = ?1");
  Statement storedLinks(db,
                        "SELECT address, sessions_in, sessions_out, aborted, bytes_received, "
                        "bytes_sent, online_seconds, transfer_seconds, files_received, files_sent "
                        "FROM day_links WHERE day = ?1 ORDER BY address");
  Statement dropLinks(db, "DELETE FROM day_links WHERE day = ?1");
  Statement putDay(db, "INSERT OR REPLACE INTO days VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
  Statement putLink(db,
                    "INSERT INTO day_links VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)");
  if (!stored.ok() || !storedLinks.ok() || !dropLinks.ok() || !putDay.ok() || !putLink.ok()) {
    return fail();
  }
  int written = 0;
  for (const TrendsRunDay& day : days) {
    std::string date = DateText(day.date);
    stored.Bind(1, date);
    int code = stored.Step();
    if (code != SQLITE_ROW && code != SQLITE_DONE) return fail();
    // A day is only ever replaced by a view of it at least as wide.
    bool keep =
        code == SQLITE_ROW && (day.coveredFrom > stored.Int(0) || day.coveredTill < stored.Int(1));
    bool same = code == SQLITE_ROW && day.coveredFrom == stored.Int(0) &&
                day.coveredTill == stored.Int(1) && StationSumsAt(stored, 2) == day.station;
    stored.Reset();
    if (keep || (same && SameLinks(storedLinks, date, day, store.schema()))) continue;
    dropLinks.Bind(1, date);
    if (dropLinks.Step() != SQLITE_DONE) return fail();
    dropLinks.Reset();
    const TrendsStationSums& st = day.station;
    putDay.Bind(1, date).Bind(2, day.coveredFrom).Bind(3, day.coveredTill);
    putDay.Bind(4, st.callingSeconds).Bind(5, st.bbsSeconds).Bind(6, st.unfinishedSeconds);
    putDay.Bind(7, st.failedCalls).Bind(8, st.sessions);
    if (putDay.Step() != SQLITE_DONE) return fail();
    putDay.Reset();
    for (const auto& [address, s] : day.links) {
      putLink.Bind(1, date).Bind(2, address).Bind(3, s.sessionsIn).Bind(4, s.sessionsOut);
      putLink.Bind(5, s.aborted).Bind(6, s.received).Bind(7, s.sent).Bind(8, s.onlineSeconds);
      putLink.Bind(9, s.transferSeconds).Bind(10, s.filesReceived).Bind(11, s.filesSent);
      if (putLink.Step() != SQLITE_DONE) return fail();
      putLink.Reset();
    }
    ++written;
  }
  if (!Exec(db, "COMMIT")) return fail();
  return written;
}

bool WriteTrendsDays(TrendsStore& store, const SessionModel& model, int32_t currentYear) {
  return WriteTrendsRunDays(store, GatherTrendsDays(model, currentYear)) >= 0;
}

std::vector<TrendsDay> ReadTrendsDays(TrendsStore& store, int32_t count) {
  std::vector<TrendsDay> rows;
  std::string last = LastStoredDay(store);
  if (last.empty() || count <= 0) return rows;
  int64_t lastDay = DaysFromCivil(DateOf(last));
  std::string from = DateText(CivilFromDays(lastDay - count + 1));
  std::map<std::string, Group> groups = Groups(store, 10, from, last);
  for (int64_t d = lastDay - count + 1; d <= lastDay; ++d) {
    TrendsDay row;
    row.date = CivilFromDays(d);
    auto found = groups.find(DateText(row.date));
    if (found != groups.end()) {
      const Group& group = found->second;
      row.stored = group.daysStored > 0;
      row.coveredFrom = group.coveredFrom;
      row.coveredTill = group.coveredTill;
      row.coveredSeconds = group.coveredSeconds;
      row.links = group.links;
      row.station = group.station;
    }
    rows.push_back(row);
  }
  return rows;
}

std::vector<TrendsMonth> ReadTrendsMonths(TrendsStore& store, int32_t count) {
  std::vector<TrendsMonth> rows;
  std::string last = LastStoredDay(store);
  if (last.empty() || count <= 0) return rows;
  CalendarDate end = DateOf(last);
  int64_t lastMonth = int64_t{end.year} * 12 + end.month - 1;
  int64_t firstMonth = lastMonth - count + 1;
  CalendarDate start{1, static_cast<int32_t>(firstMonth % 12) + 1,
                     static_cast<int32_t>(firstMonth / 12)};
  std::map<std::string, Group> groups = Groups(store, 7, DateText(start), last);
  for (int64_t m = firstMonth; m <= lastMonth; ++m) {
    TrendsMonth row;
    row.date = CalendarDate{0, static_cast<int32_t>(m % 12) + 1, static_cast<int32_t>(m / 12)};
    auto found = groups.find(DateText(CalendarDate{1, row.date.month, row.date.year}).substr(0, 7));
    if (found != groups.end()) FillFrom(row, found->second);
    rows.push_back(row);
  }
  return rows;
}

std::vector<TrendsYear> ReadTrendsYears(TrendsStore& store) {
  std::vector<TrendsYear> rows;
  std::string first = FirstStoredDay(store);
  std::string last = LastStoredDay(store);
  if (first.empty()) return rows;
  std::map<std::string, Group> groups = Groups(store, 4, first, last);
  for (int32_t year = DateOf(first).year; year <= DateOf(last).year; ++year) {
    TrendsYear row;
    row.date = CalendarDate{0, 0, year};
    auto found = groups.find(DateText(CalendarDate{1, 1, year}).substr(0, 4));
    if (found != groups.end()) FillFrom(row, found->second);
    rows.push_back(row);
  }
  return rows;
}

std::vector<TrendsTopLink> ReadTopLinks(TrendsStore& store, int32_t year, int32_t month,
                                        int32_t count) {
  std::vector<TrendsTopLink> rows;
  if (!store.IsOpen() || count <= 0) return rows;
  std::string from = DateText(CalendarDate{1, month == 0 ? 1 : month, year});
  std::string till = DateText(CalendarDate{31, month == 0 ? 12 : month, year});
  std::string sql = "SELECT address, count(*), " + LinkSumColumns(store.schema()) +
                    " FROM day_links WHERE day BETWEEN ?1 AND ?2 GROUP BY address"
                    " ORDER BY sum(bytes_received) + sum(bytes_sent) DESC, address LIMIT ?3";
  Statement top(store.handle(), sql.c_str());
  top.Bind(1, from).Bind(2, till).Bind(3, count);
  while (top.Step() == SQLITE_ROW) {
    rows.push_back(
        TrendsTopLink{top.Text(0), static_cast<int32_t>(top.Int(1)), LinkSumsAt(top, 2)});
  }
  return rows;
}

TrendsTotals ReadTrendsTotals(TrendsStore& store) {
  TrendsTotals totals;
  std::string first = FirstStoredDay(store);
  if (first.empty()) return totals;
  std::string last = LastStoredDay(store);
  totals.firstDay = DateOf(first);
  totals.lastDay = DateOf(last);
  std::map<std::string, Group> groups = Groups(store, 0, first, last);
  for (const auto& [key, group] : groups) {
    totals.daysStored = group.daysStored;
    totals.coveredSeconds = group.coveredSeconds;
    totals.links = group.links;
    totals.station = group.station;
  }
  Statement links(store.handle(), "SELECT count(DISTINCT address) FROM day_links");
  if (links.Step() == SQLITE_ROW) totals.linkCount = static_cast<int32_t>(links.Int(0));
  return totals;
}

}  // namespace zentrak
