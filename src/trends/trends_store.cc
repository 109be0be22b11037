// The trends store (first outline: reads give empty answers).
#include "trends/trends_store.h"

#include <sqlite3.h>

#include <utility>

namespace zentrak {

TrendsStore::TrendsStore() = default;
TrendsStore::~TrendsStore() {
  if (db_ != nullptr) sqlite3_close(db_);
}
TrendsStore::TrendsStore(TrendsStore&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)), fault_(other.fault_), why_(std::move(other.why_)) {}
TrendsStore& TrendsStore::operator=(TrendsStore&& other) noexcept {
  if (this != &other) {
    if (db_ != nullptr) sqlite3_close(db_);
    db_ = std::exchange(other.db_, nullptr);
    fault_ = other.fault_;
    why_ = std::move(other.why_);
  }
  return *this;
}
void TrendsStore::SetFault(TrendsFault fault, std::string why) {
  fault_ = fault;
  why_ = std::move(why);
}

TrendsStore OpenTrendsStore(const std::string&, TrendsAccess) { return TrendsStore(); }
bool WriteTrendsDays(TrendsStore&, const SessionModel&, int32_t) { return true; }
std::vector<TrendsDay> ReadTrendsDays(TrendsStore&, int32_t) { return {}; }
std::vector<TrendsMonth> ReadTrendsMonths(TrendsStore&, int32_t) { return {}; }
std::vector<TrendsYear> ReadTrendsYears(TrendsStore&) { return {}; }
std::vector<TrendsTopLink> ReadTopLinks(TrendsStore&, int32_t, int32_t, int32_t) { return {}; }
TrendsTotals ReadTrendsTotals(TrendsStore&) { return {}; }

}  // namespace zentrak
