// The trends store's SQL: opening with its checks and migrations, the one
// transaction of a run, and the sums the reports read back.
#include "trends/trends_store.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <utility>

#include "log/log_dates.h"
#include "support/text.h"

namespace zentrak {
namespace {

// "ZTRK": tells our database from any other SQLite file.
constexpr int kApplicationId = 0x5A54524B;

// Version 1 had no file counts; version 2 added them; version 3 added the
// hours and the station the store is kept for.
constexpr const char* kSchemaDays =
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
    " PRIMARY KEY (day, address)) WITHOUT ROWID;";

constexpr const char* kSchemaV3Tables =
    "CREATE TABLE day_hours ("
    " day TEXT NOT NULL, hour INTEGER NOT NULL,"
    " sessions_in INTEGER NOT NULL, sessions_out INTEGER NOT NULL, aborted INTEGER NOT NULL,"
    " bytes_received INTEGER NOT NULL, bytes_sent INTEGER NOT NULL,"
    " online_seconds INTEGER NOT NULL, transfer_seconds INTEGER NOT NULL,"
    " files_received INTEGER NOT NULL, files_sent INTEGER NOT NULL,"
    " PRIMARY KEY (day, hour)) WITHOUT ROWID;"
    "CREATE TABLE station ("
    " address TEXT PRIMARY KEY NOT NULL, name TEXT NOT NULL) WITHOUT ROWID;";

constexpr const char* kSchemaStamp =
    "PRAGMA application_id = 1515475531;"
    "PRAGMA user_version = 3;";

// Each step takes a store at version N to N + 1, inside the caller's transaction.
constexpr const char* kMigrations[] = {
    nullptr,
    "ALTER TABLE day_links ADD COLUMN files_received INTEGER NOT NULL DEFAULT 0;"
    "ALTER TABLE day_links ADD COLUMN files_sent INTEGER NOT NULL DEFAULT 0;"
    "PRAGMA user_version = 2;",
    nullptr,  // kSchemaV3Tables and the stamp
};
static_assert(std::size(kMigrations) == kTrendsSchemaVersion);

// The columns every table of a version must have: a file that lacks one is not
// a store the run could write.
struct TableColumns {
  int since;
  const char* table;
  const char* columns;
};
constexpr TableColumns kTables[] = {
    {1, "days",
     "day, covered_from, covered_till, calling_seconds, bbs_seconds, unfinished_seconds, "
     "failed_calls, sessions"},
    {1, "day_links",
     "day, address, sessions_in, sessions_out, aborted, bytes_received, bytes_sent, "
     "online_seconds, transfer_seconds"},
    {2, "day_links", "files_received, files_sent"},
    {3, "day_hours",
     "day, hour, sessions_in, sessions_out, aborted, bytes_received, bytes_sent, "
     "online_seconds, transfer_seconds, files_received, files_sent"},
    {3, "station", "address, name"},
};

class Statement {
 public:
  Statement(sqlite3* db, const char* sql) : db_(db) {
    if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK) Note();
  }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  bool ok() const { return stmt_ != nullptr; }
  Statement& Bind(int index, int64_t value) {
    sqlite3_bind_int64(stmt_, index, value);
    return *this;
  }
  // The text must outlive the statement's next Step: no copy is made.
  Statement& Bind(int index, const std::string& text) {
    sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
    return *this;
  }
  /// SQLITE_ROW, SQLITE_DONE or an error.
  int Step() {
    if (stmt_ == nullptr) return SQLITE_ERROR;
    int code = sqlite3_step(stmt_);
    if (code != SQLITE_ROW && code != SQLITE_DONE) Note();
    return code;
  }
  /// SQLite's words for the first failure of this statement; a later call on
  /// the connection would have replaced them.
  const std::string& error() const { return error_; }
  int errorCode() const { return errorCode_; }
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
  void Note() {
    if (!error_.empty()) return;
    error_ = db_ != nullptr ? sqlite3_errmsg(db_) : "out of memory";
    errorCode_ = db_ != nullptr ? sqlite3_extended_errcode(db_) : SQLITE_NOMEM;
  }
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
  std::string error_;
  int errorCode_ = SQLITE_OK;
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

std::string ErrorOf(sqlite3* db) { return db != nullptr ? sqlite3_errmsg(db) : "out of memory"; }

// One number of the database, or the failure's code and words.
struct Answer {
  int64_t value = -1;
  int code = SQLITE_OK;  // extended
  std::string error;
};

Answer Ask(sqlite3* db, const char* sql) {
  Statement statement(db, sql);
  Answer answer;
  if (statement.Step() == SQLITE_ROW) {
    answer.value = statement.Int(0);
  } else {
    answer.code = statement.errorCode() == SQLITE_OK ? SQLITE_ERROR : statement.errorCode();
    answer.error = statement.error();
  }
  return answer;
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

std::string WhyOf(TrendsFault fault, const std::string& detail) {
  switch (fault) {
    case TrendsFault::kUnopenable:
      return "cannot be opened: " + detail;
    case TrendsFault::kNotAStore:
      return "not a Zentrak trends store";
    case TrendsFault::kDamaged:
      return "damaged: " + detail;
    case TrendsFault::kNewerSchema:
      return "written by a newer Zentrak";
    case TrendsFault::kRunsCode:
      return "holds a trigger, and Zentrak runs no code from a store";
    case TrendsFault::kForeign:
      return "kept for another station: " + detail;
    default:
      return "failed: " + detail;
  }
}

// A store may come from anywhere: nothing in it runs. Zentrak's own statements
// use no view, trigger, extension or function of the schema.
void Defend(sqlite3* db) {
  sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
}

// Creates a new store's tables, or brings an older one to this version; both in
// one transaction, so a killed run leaves the file as it was.
bool CreateOrMigrate(sqlite3* db, int version) {
  if (!Exec(db, "BEGIN IMMEDIATE")) return false;
  bool done = version == 0 ? Exec(db, kSchemaDays) : true;
  for (int step = version; done && step > 0 && step < 2; ++step) done = Exec(db, kMigrations[step]);
  done = done && Exec(db, kSchemaV3Tables) && Exec(db, kSchemaStamp);
  if (done && Exec(db, "COMMIT")) return true;
  Exec(db, "ROLLBACK");
  return false;
}

struct Checked {
  TrendsFault fault = TrendsFault::kNone;
  int version = 0;
  std::string why;
};

Checked Refused(TrendsFault fault, const std::string& detail) {
  return {fault, 0, WhyOf(fault, detail)};
}

// quick_check's first finding, on one line.
std::string Finding(std::string text) {
  std::replace(text.begin(), text.end(), '\n', ' ');
  return CutTo(text, 160);
}

// Every table the version has, with its columns: a file without them is
// refused as the run would fail on it.
Checked CheckTables(sqlite3* db, int version) {
  for (const TableColumns& table : kTables) {
    if (table.since > version) continue;
    Statement kind(db, "SELECT type FROM sqlite_master WHERE name = ?1 COLLATE NOCASE");
    std::string name = table.table;
    kind.Bind(1, name);
    if (kind.Step() != SQLITE_ROW || kind.Text(0) != "table") {
      return Refused(TrendsFault::kDamaged, "no table " + name);
    }
    std::string sql = std::string("SELECT ") + table.columns + " FROM " + name + " LIMIT 0";
    Statement probe(db, sql.c_str());
    if (!probe.ok()) return Refused(TrendsFault::kDamaged, probe.error());
  }
  return {TrendsFault::kNone, version, {}};
}

// What the file is: ours and sound (at which version), new and empty, or why not.
Checked CheckFile(sqlite3* db, const std::string& path) {
  Answer objects = Ask(db, "SELECT count(*) FROM sqlite_master");
  if (objects.code != SQLITE_OK) return Refused(FaultOfCode(objects.code, path), objects.error);
  Answer application = Ask(db, "PRAGMA application_id");
  Answer version = Ask(db, "PRAGMA user_version");
  for (const Answer* answer : {&application, &version}) {
    if (answer->code != SQLITE_OK) return Refused(FaultOfCode(answer->code, path), answer->error);
  }
  if (objects.value == 0 && application.value == 0 && version.value == 0) return {};
  if (application.value != kApplicationId || version.value < 1) {
    return Refused(TrendsFault::kNotAStore, "");
  }
  if (version.value > kTrendsSchemaVersion) return Refused(TrendsFault::kNewerSchema, "");
  Statement check(db, "PRAGMA quick_check");
  int code = check.Step();
  if (code == SQLITE_DONE) return Refused(TrendsFault::kDamaged, "quick_check said nothing");
  if (code != SQLITE_ROW) return Refused(FaultOfCode(check.errorCode(), path), check.error());
  if (check.Text(0) != "ok") return Refused(TrendsFault::kDamaged, Finding(check.Text(0)));
  Answer triggers = Ask(db, "SELECT count(*) FROM sqlite_master WHERE type = 'trigger'");
  if (triggers.code != SQLITE_OK) return Refused(FaultOfCode(triggers.code, path), triggers.error);
  if (triggers.value > 0) return Refused(TrendsFault::kRunsCode, "");
  return CheckTables(db, static_cast<int>(version.value));
}

TrendsStation ReadStation(sqlite3* db) {
  TrendsStation station;
  Statement rows(db, "SELECT address, name FROM station ORDER BY address");
  while (rows.Step() == SQLITE_ROW) {
    station.addresses.push_back(rows.Text(0));
    if (station.name.empty()) station.name = rows.Text(1);
  }
  return station;
}

// Whether the run may write the file and its folder (for the journal): a
// transaction that writes one page of the header and is rolled back, so that a
// store the run may not write is said on every run, not only on a night that
// changes a day.
std::string WriteProbe(sqlite3* db) {
  if (sqlite3_db_readonly(db, "main") == 1) return "attempt to write a readonly database";
  if (!Exec(db, "BEGIN IMMEDIATE")) return ErrorOf(db);
  std::string error = Exec(db, kSchemaStamp) ? std::string() : ErrorOf(db);
  Exec(db, "ROLLBACK");
  return error;
}

// A run killed inside its transaction leaves a journal that only a writer may
// roll back. A reader rolls back a copy of both files in a folder of its own and
// reads that, in memory; the store itself waits for the next run.
sqlite3* RolledBackCopy(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::path base = fs::temp_directory_path(error);
  if (error) return nullptr;
  std::random_device random;
  fs::path folder =
      base / ("zentrak-trends-" + std::to_string(random()) + std::to_string(random()));
  if (!fs::create_directory(folder, error)) return nullptr;
  fs::path copy = folder / "trends.db";
  sqlite3* disk = nullptr;
  sqlite3* memory = nullptr;
  bool done =
      fs::copy_file(fs::path(path), copy, error) &&
      fs::copy_file(fs::path(path + "-journal"), folder / "trends.db-journal", error) &&
      sqlite3_open_v2(copy.string().c_str(), &disk, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
      sqlite3_open_v2(":memory:", &memory, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK;
  if (done) {
    Defend(disk);
    sqlite3_backup* backup = sqlite3_backup_init(memory, "main", disk, "main");
    done = backup != nullptr && sqlite3_backup_step(backup, -1) == SQLITE_DONE;
    done = sqlite3_backup_finish(backup) == SQLITE_OK && done;
  }
  sqlite3_close(disk);
  fs::remove_all(folder, error);
  if (done) return memory;
  sqlite3_close(memory);
  return nullptr;
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

void Add(TrendsLinkSums& to, const TrendsLinkSums& one) {
  to.sessionsIn += one.sessionsIn;
  to.sessionsOut += one.sessionsOut;
  to.aborted += one.aborted;
  to.received += one.received;
  to.sent += one.sent;
  to.onlineSeconds += one.onlineSeconds;
  to.transferSeconds += one.transferSeconds;
  to.filesReceived += one.filesReceived;
  to.filesSent += one.filesSent;
}

int32_t Span(int32_t from, int32_t till) {
  return till >= from ? till - from : till - from + kSecondsPerDay;
}

}  // namespace

TrendsStore::TrendsStore() = default;

TrendsStore::~TrendsStore() {
  if (db_ != nullptr) sqlite3_close(db_);
}

TrendsStore::TrendsStore(TrendsStore&& other) noexcept { *this = std::move(other); }

TrendsStore& TrendsStore::operator=(TrendsStore&& other) noexcept {
  if (this != &other) {
    if (db_ != nullptr) sqlite3_close(db_);
    db_ = std::exchange(other.db_, nullptr);
    schema_ = other.schema_;
    fault_ = other.fault_;
    why_ = std::move(other.why_);
    station_ = std::move(other.station_);
    claim_ = std::move(other.claim_);
    foreign_ = other.foreign_;
    stoppedRun_ = other.stoppedRun_;
  }
  return *this;
}

void TrendsStore::SetFault(TrendsFault fault, std::string why) {
  fault_ = fault;
  why_ = std::move(why);
}

bool SameTrendsStation(const TrendsStation& stored, const TrendsStation& run) {
  if (stored.addresses.empty() || run.addresses.empty()) return true;
  for (const std::string& address : run.addresses) {
    if (std::find(stored.addresses.begin(), stored.addresses.end(), address) !=
        stored.addresses.end()) {
      return true;
    }
  }
  return false;
}

std::string TrendsStationText(const TrendsStation& station) {
  std::string text;
  for (const std::string& address : station.addresses) {
    text += (text.empty() ? "" : ", ") + CutTo(address, 40);
  }
  if (text.empty()) text = "no address";
  if (!station.name.empty()) text += " (" + CutTo(station.name, 80) + ")";
  return text;
}

std::string TrendsForeignText(const TrendsStation& stored) {
  return WhyOf(TrendsFault::kForeign, TrendsStationText(stored));
}

TrendsStore OpenTrendsStore(const std::string& path, TrendsAccess access,
                            const TrendsStation& station) {
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
    CloseWithFault(store, db, TrendsFault::kUnopenable,
                   WhyOf(TrendsFault::kUnopenable, ErrorOf(db)));
    return store;
  }
  Defend(db);
  // Another run on the same store waits a little rather than failing at once.
  sqlite3_busy_timeout(db, 2000);
  Checked checked = CheckFile(db, path);
  if (reading && checked.fault != TrendsFault::kNone &&
      sqlite3_extended_errcode(db) == SQLITE_READONLY_ROLLBACK) {
    if (sqlite3* copy = RolledBackCopy(path)) {
      sqlite3_close(db);
      db = copy;
      store.stoppedRun_ = true;
      checked = CheckFile(db, path);
    }
  }
  if (checked.fault != TrendsFault::kNone) {
    CloseWithFault(store, db, checked.fault, checked.why);
    return store;
  }
  if (checked.version >= 3) store.station_ = ReadStation(db);
  if (!SameTrendsStation(store.station_, station)) {
    if (!reading) {
      CloseWithFault(store, db, TrendsFault::kForeign,
                     WhyOf(TrendsFault::kForeign, TrendsStationText(store.station_)));
      return store;
    }
    store.foreign_ = true;
  }
  bool create = checked.version < kTrendsSchemaVersion && (!reading || checked.version == 0);
  if (create && !CreateOrMigrate(db, checked.version)) {
    std::string error = ErrorOf(db);
    TrendsFault fault = FaultOfCode(sqlite3_extended_errcode(db), path);
    CloseWithFault(store, db, fault, WhyOf(fault, error));
    return store;
  }
  if (!reading && !create) {
    std::string error = WriteProbe(db);
    if (!error.empty()) {
      CloseWithFault(store, db, TrendsFault::kUnopenable, "cannot be written: " + error);
      return store;
    }
  }
  // SQLite's own page cache (2 MB): a nightly run writes a few pages, and a
  // window rewritten whole spills to the file, which costs less than holding
  // the store in memory beside the session model.
  store.db_ = db;
  store.schema_ = create ? kTrendsSchemaVersion : checked.version;
  if (!reading) store.claim_ = station;
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

  // One pass over the sessions: each day gathers its links as they come, and
  // each link remembers where it stands on the latest day it was seen (a
  // link's sessions mostly come day after day), so there is no node per day
  // and link and nothing per session. Sorted by link at the end, a day's links
  // stand in address order since the links do.
  struct Slot {
    int64_t day = -1;
    uint32_t index = 0;
  };
  std::vector<Slot> slotOf(model.links.size());
  std::vector<std::vector<std::pair<uint32_t, TrendsLinkSums>>> linksOf(days.size());
  auto sumsOf = [&](size_t dayIndex, uint32_t link) -> TrendsLinkSums& {
    auto& dayLinks = linksOf[dayIndex];
    Slot& slot = slotOf[link];
    int64_t at = static_cast<int64_t>(dayIndex);
    if (slot.day == at) return dayLinks[slot.index].second;
    if (slot.day > at) {  // a session of an earlier day that ended late
      for (auto& entry : dayLinks) {
        if (entry.first == link) return entry.second;
      }
      dayLinks.emplace_back(link, TrendsLinkSums());
      return dayLinks.back().second;
    }
    slot = {at, static_cast<uint32_t>(dayLinks.size())};
    dayLinks.emplace_back(link, TrendsLinkSums());
    return dayLinks.back().second;
  };
  const std::vector<TSessionFiles>& files = model.SessionFiles;
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
    TrendsLinkSums one;
    one.sessionsIn = session.Incoming ? 1 : 0;
    one.sessionsOut = session.Incoming ? 0 : 1;
    one.aborted = session.Aborted ? 1 : 0;
    one.received = std::max<int64_t>(0, session.Received);
    one.sent = std::max<int64_t>(0, session.Sent);
    one.onlineSeconds = Span(session.StartTime, session.EndTime);
    if (session.TransferStart >= 0) {
      one.transferSeconds = Span(session.TransferStart, session.EndTime);
    }
    while (counted < files.size() && files[counted].session < s) ++counted;
    if (counted < files.size() && files[counted].session == s) {
      one.filesReceived = files[counted].received;
      one.filesSent = files[counted].sent;
    }
    Add(sumsOf(static_cast<size_t>(day - days.data()), link), one);
    Add(day->hours[std::clamp(session.StartTime / 3600, 0, 23)], one);
  }
  for (size_t d = 0; d < days.size(); ++d) {
    auto& dayLinks = linksOf[d];
    std::sort(dayLinks.begin(), dayLinks.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    days[d].links.reserve(dayLinks.size());
    for (const auto& [link, sums] : dayLinks) {
      days[d].links.emplace_back(model.links[link].Address, sums);
    }
    std::vector<std::pair<uint32_t, TrendsLinkSums>>().swap(dayLinks);
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

// Whether the stored hour rows of `date` are the day's hours.
bool SameHours(Statement& stored, const std::string& date, const TrendsRunDay& day) {
  stored.Bind(1, date);
  std::array<bool, 24> seen{};
  bool same = true;
  while (same && stored.Step() == SQLITE_ROW) {
    int64_t hour = stored.Int(0);
    same = hour >= 0 && hour < 24 && LinkSumsAt(stored, 1) == day.hours[hour];
    if (same) seen[hour] = true;
  }
  stored.Reset();
  for (size_t hour = 0; same && hour < 24; ++hour) {
    same = seen[hour] || day.hours[hour] == TrendsLinkSums();
  }
  return same;
}

// The statements of one write, prepared once for all its days.
struct DayWriter {
  explicit DayWriter(sqlite3* db)
      : stored(db,
               "SELECT covered_from, covered_till, calling_seconds, bbs_seconds, "
               "unfinished_seconds, failed_calls, sessions FROM days WHERE day = ?1"),
        storedLinks(db,
                    "SELECT address, sessions_in, sessions_out, aborted, bytes_received, "
                    "bytes_sent, online_seconds, transfer_seconds, files_received, files_sent "
                    "FROM day_links WHERE day = ?1 ORDER BY address"),
        storedHours(db,
                    "SELECT hour, sessions_in, sessions_out, aborted, bytes_received, "
                    "bytes_sent, online_seconds, transfer_seconds, files_received, files_sent "
                    "FROM day_hours WHERE day = ?1"),
        dropLinks(db, "DELETE FROM day_links WHERE day = ?1"),
        dropHours(db, "DELETE FROM day_hours WHERE day = ?1"),
        putDay(db, "INSERT OR REPLACE INTO days VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)"),
        putLink(db, "INSERT INTO day_links VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)"),
        putHour(db, "INSERT INTO day_hours VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)"),
        putStation(db, "INSERT OR REPLACE INTO station VALUES (?1, ?2)") {}

  Statement* Failed() {
    for (Statement* s : {&stored, &storedLinks, &storedHours, &dropLinks, &dropHours, &putDay,
                         &putLink, &putHour, &putStation}) {
      if (!s->ok() || !s->error().empty()) return s;
    }
    return nullptr;
  }
  static void BindSums(Statement& put, const TrendsLinkSums& s) {
    put.Bind(3, s.sessionsIn).Bind(4, s.sessionsOut).Bind(5, s.aborted).Bind(6, s.received);
    put.Bind(7, s.sent).Bind(8, s.onlineSeconds).Bind(9, s.transferSeconds);
    put.Bind(10, s.filesReceived).Bind(11, s.filesSent);
  }
  // Whether the day must be written: it is new, or covers at least what is
  // stored and differs from it.
  enum class Want { kAdd, kReplace, kKeep };
  Want Wanted(const TrendsRunDay& day, const std::string& date, int schema, bool keepWhole) {
    int code = stored.Step();
    if (code != SQLITE_ROW) {
      stored.Reset();
      return Want::kAdd;  // new, or a failure that the write itself reports
    }
    // A day is only ever replaced by a view of it at least as wide.
    bool keep = day.coveredFrom > stored.Int(0) || day.coveredTill < stored.Int(1) ||
                (keepWhole && stored.Int(0) == 0 && stored.Int(1) >= kSecondsPerDay);
    bool same = day.coveredFrom == stored.Int(0) && day.coveredTill == stored.Int(1) &&
                StationSumsAt(stored, 2) == day.station;
    stored.Reset();
    if (keep) return Want::kKeep;
    bool unchanged =
        same && SameLinks(storedLinks, date, day, schema) && SameHours(storedHours, date, day);
    return unchanged ? Want::kKeep : Want::kReplace;
  }
  bool Write(const TrendsRunDay& day, const std::string& date) {
    dropLinks.Bind(1, date);
    dropHours.Bind(1, date);
    if (dropLinks.Step() != SQLITE_DONE || dropHours.Step() != SQLITE_DONE) return false;
    dropLinks.Reset();
    dropHours.Reset();
    const TrendsStationSums& st = day.station;
    putDay.Bind(1, date).Bind(2, day.coveredFrom).Bind(3, day.coveredTill);
    putDay.Bind(4, st.callingSeconds).Bind(5, st.bbsSeconds).Bind(6, st.unfinishedSeconds);
    putDay.Bind(7, st.failedCalls).Bind(8, st.sessions);
    if (putDay.Step() != SQLITE_DONE) return false;
    putDay.Reset();
    for (const auto& [address, sums] : day.links) {
      putLink.Bind(1, date).Bind(2, address);
      BindSums(putLink, sums);
      if (putLink.Step() != SQLITE_DONE) return false;
      putLink.Reset();
    }
    for (int64_t hour = 0; hour < 24; ++hour) {
      if (day.hours[hour] == TrendsLinkSums()) continue;
      putHour.Bind(1, date).Bind(2, hour);
      BindSums(putHour, day.hours[hour]);
      if (putHour.Step() != SQLITE_DONE) return false;
      putHour.Reset();
    }
    return true;
  }

  Statement stored, storedLinks, storedHours, dropLinks, dropHours, putDay, putLink, putHour,
      putStation;
};

int WriteTrendsRunDays(TrendsStore& store, const std::vector<TrendsRunDay>& days,
                       TrendsWriteCounts* counts, bool keepWhole) {
  sqlite3* db = store.handle();
  if (db == nullptr) return -1;
  auto fail = [&](int code, const std::string& error) {
    TrendsFault fault = FaultOfCode(code, "");
    if (fault == TrendsFault::kNotAStore) fault = TrendsFault::kDamaged;
    store.SetFault(fault, WhyOf(fault, error));
    Exec(db, "ROLLBACK");
    return -1;
  };
  if (!Exec(db, "BEGIN IMMEDIATE")) return fail(sqlite3_extended_errcode(db), ErrorOf(db));
  DayWriter writer(db);
  auto failed = [&]() {
    Statement* statement = writer.Failed();
    return statement == nullptr ? fail(sqlite3_extended_errcode(db), ErrorOf(db))
                                : fail(statement->errorCode(), statement->error());
  };
  if (writer.Failed() != nullptr) return failed();
  // The station is written on every write, the same rows again on most nights.
  for (const std::string& address : store.claim_.addresses) {
    writer.putStation.Bind(1, address).Bind(2, store.claim_.name);
    if (writer.putStation.Step() != SQLITE_DONE) return failed();
    writer.putStation.Reset();
  }
  int written = 0;
  TrendsWriteCounts made;
  std::string date;
  for (const TrendsRunDay& day : days) {
    date = DateText(day.date);
    writer.stored.Bind(1, date);
    DayWriter::Want want = writer.Wanted(day, date, store.schema(), keepWhole);
    if (want == DayWriter::Want::kKeep) {
      ++made.kept;
      continue;
    }
    if (!writer.Write(day, date)) return failed();
    ++(want == DayWriter::Want::kAdd ? made.added : made.replaced);
    ++written;
  }
  if (writer.Failed() != nullptr) return failed();
  if (!Exec(db, "COMMIT")) return fail(sqlite3_extended_errcode(db), ErrorOf(db));
  if (counts != nullptr) {
    counts->added += made.added;
    counts->replaced += made.replaced;
    counts->kept += made.kept;
  }
  if (!store.claim_.addresses.empty()) store.station_ = ReadStation(db);
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

std::vector<TrendsHour> ReadTrendsHours(TrendsStore& store, int32_t count) {
  std::vector<TrendsHour> rows;
  if (!store.IsOpen() || store.schema() < 3 || count <= 0) return rows;
  Statement lastDay(store.handle(), "SELECT day, covered_till FROM days ORDER BY day DESC LIMIT 1");
  if (lastDay.Step() != SQLITE_ROW) return rows;
  int64_t last = DaysFromCivil(DateOf(lastDay.Text(0))) * 24 +
                 std::clamp<int64_t>((lastDay.Int(1) + 3599) / 3600, 1, 24) - 1;
  int64_t first = last - count + 1;
  std::string from = DateText(CivilFromDays(first / 24));
  std::string till = lastDay.Text(0);
  std::map<int64_t, TrendsLinkSums> stored;
  std::string sql = "SELECT day, hour, " + LinkSumColumns(3) +
                    " FROM day_hours WHERE day BETWEEN ?1 AND ?2 GROUP BY day, hour";
  Statement hours(store.handle(), sql.c_str());
  hours.Bind(1, from).Bind(2, till);
  while (hours.Step() == SQLITE_ROW) {
    stored[DaysFromCivil(DateOf(hours.Text(0))) * 24 + hours.Int(1)] = LinkSumsAt(hours, 2);
  }
  for (int64_t h = first; h <= last; ++h) {
    TrendsHour row;
    int64_t day = h >= 0 ? h / 24 : (h - 23) / 24;
    row.date = CivilFromDays(day);
    row.hour = static_cast<int32_t>(h - day * 24);
    auto found = stored.find(h);
    if (found != stored.end()) {
      row.stored = true;
      row.links = found->second;
    }
    rows.push_back(row);
  }
  return rows;
}

std::vector<TrendsDay> ReadTopDays(TrendsStore& store, int32_t count) {
  std::vector<TrendsDay> rows;
  if (!store.IsOpen() || count <= 0) return rows;
  Statement top(store.handle(),
                "SELECT day FROM day_links GROUP BY day"
                " ORDER BY sum(bytes_received) + sum(bytes_sent) DESC, day LIMIT ?1");
  top.Bind(1, count);
  std::vector<std::string> dates;
  while (top.Step() == SQLITE_ROW) dates.push_back(top.Text(0));
  for (const std::string& date : dates) {
    std::map<std::string, Group> groups = Groups(store, 10, date, date);
    auto found = groups.find(date);
    if (found == groups.end()) continue;
    TrendsDay row;
    row.date = DateOf(date);
    row.stored = found->second.daysStored > 0;
    row.coveredFrom = found->second.coveredFrom;
    row.coveredTill = found->second.coveredTill;
    row.coveredSeconds = found->second.coveredSeconds;
    row.links = found->second.links;
    row.station = found->second.station;
    rows.push_back(row);
  }
  return rows;
}

std::vector<TrendsLinkTotal> ReadTrendsLinkTotals(TrendsStore& store) {
  std::vector<TrendsLinkTotal> rows;
  if (!store.IsOpen()) return rows;
  std::string sql =
      "SELECT address, " + LinkSumColumns(store.schema()) + " FROM day_links GROUP BY address";
  Statement links(store.handle(), sql.c_str());
  while (links.Step() == SQLITE_ROW) rows.push_back({links.Text(0), LinkSumsAt(links, 1)});
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
