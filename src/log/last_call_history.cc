// The last-call history file.
#include "log/last_call_history.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include "log/log_dates.h"
#include "support/atomic_file.h"
#include "support/exchange_sort.h"
#include "support/temporary_path.h"

namespace zentrak {
namespace {

uint16_t Get16(const unsigned char* bytes) {
  return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
}

int32_t Get32(const unsigned char* bytes) {
  uint32_t value = static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
                   (static_cast<uint32_t>(bytes[2]) << 16) |
                   (static_cast<uint32_t>(bytes[3]) << 24);
  return static_cast<int32_t>(value);
}

void Put16(unsigned char* bytes, uint16_t value) {
  bytes[0] = static_cast<unsigned char>(value & 0xFF);
  bytes[1] = static_cast<unsigned char>(value >> 8);
}

void Put32(unsigned char* bytes, int32_t signedValue) {
  uint32_t value = static_cast<uint32_t>(signedValue);
  for (int k = 0; k < 4; ++k) bytes[k] = static_cast<unsigned char>((value >> (8 * k)) & 0xFF);
}

TLastCall DecodeRecord(const unsigned char* bytes) {
  TLastCall record;
  record.Zone = Get16(bytes);
  record.Net = Get16(bytes + 2);
  record.Node = Get16(bytes + 4);
  record.Point = Get16(bytes + 6);
  record.LastDate = Get32(bytes + 8);
  record.LastTime = Get32(bytes + 12);
  return record;
}

void EncodeRecord(const TLastCall& record, unsigned char* bytes) {
  Put16(bytes, record.Zone);
  Put16(bytes + 2, record.Net);
  Put16(bytes + 4, record.Node);
  Put16(bytes + 6, record.Point);
  Put32(bytes + 8, record.LastDate);
  Put32(bytes + 12, record.LastTime);
}

// One sortable number per record: the rank of the date its key stands for seen
// from today (a rank, so that any year of a damaged record still fits) in the
// high half, the time (shifted to unsigned, so the order of negative garbage is
// kept) in the low.
std::vector<int64_t> SortKeys(const std::vector<TLastCall>& records, CalendarDate today) {
  std::vector<int64_t> dates(records.size());
  std::transform(records.begin(), records.end(), dates.begin(), [today](const TLastCall& record) {
    return DateOrder(DecodeDateKey(record.LastDate, today));
  });
  std::vector<int64_t> distinct = dates;
  std::sort(distinct.begin(), distinct.end());
  distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
  std::vector<int64_t> keys(records.size());
  for (size_t k = 0; k < records.size(); ++k) {
    int64_t rank = std::lower_bound(distinct.begin(), distinct.end(), dates[k]) - distinct.begin();
    uint32_t time = static_cast<uint32_t>(records[k].LastTime) ^ 0x80000000u;
    keys[k] = (rank << 32) | time;
  }
  return keys;
}

void Reindex(SessionModel& model) {
  model.lastCallIndex.clear();
  for (size_t k = 0; k < model.lastCalls.size(); ++k) {
    // A damaged file may name one address twice; the first record answers for it.
    model.lastCallIndex.emplace(LastCallAddress(model.lastCalls[k]), k);
  }
}

bool AbsolutePath(const std::string& path, char separator) {
  if (!path.empty() && path[0] == separator) return true;
  // A drive-letter path ("C:\...") where the separator is the backslash.
  return separator == '\\' && path.size() >= 2 && path[1] == ':';
}

std::string EncodeRecords(const SessionModel& model) {
  std::string bytes(model.lastCalls.size() * kLastCallRecordSize, '\0');
  for (size_t k = 0; k < model.lastCalls.size(); ++k) {
    EncodeRecord(model.lastCalls[k],
                 reinterpret_cast<unsigned char*>(bytes.data()) + k * kLastCallRecordSize);
  }
  return bytes;
}

}  // namespace

std::string HistoryPath(const std::string& programDir, const std::string& histFile,
                        char separator) {
  if (AbsolutePath(histFile, separator)) return histFile;
  return programDir + histFile;
}

// A history that is not there yet is the first run's; any other failure to
// read it is the caller's to report.
int LoadLastCalls(const std::string& path, SessionModel& model, Platform& platform) {
  errno = 0;
  std::unique_ptr<File> file = platform.OpenFile(path, FileMode::kRead);
  if (file == nullptr) {
    // A stand-in platform may refuse a missing file without naming a reason.
    bool missing = errno == ENOENT || (errno == 0 && !platform.FileExists(path));
    return missing ? 0 : ErrnoOr(EIO);
  }
  unsigned char buffer[kLastCallRecordSize * 256];
  bool more = true;
  int error = 0;
  while (more) {
    size_t got = file->Read(reinterpret_cast<char*>(buffer), sizeof(buffer));
    more = got == sizeof(buffer);
    if (!more && file->ReadFailed()) error = ErrnoOr(EIO);
    for (size_t at = 0; at + kLastCallRecordSize <= got; at += kLastCallRecordSize) {
      model.lastCalls.push_back(DecodeRecord(buffer + at));
    }
  }
  Reindex(model);
  return error;
}

void SortLastCalls(SessionModel& model, CalendarDate today) {
  std::vector<TLastCall>& records = model.lastCalls;
  std::vector<size_t> order = ExchangeSortOrder(SortKeys(records, today));
  std::vector<TLastCall> sorted;
  sorted.reserve(records.size());
  for (size_t index : order) sorted.push_back(records[index]);
  records = std::move(sorted);
  Reindex(model);
}

int SaveLastCalls(const std::string& path, const SessionModel& model, Platform& platform) {
  AtomicFile file(platform, path);
  if (file.IsOpen() && file.Write(EncodeRecords(model)) && file.Commit()) return 0;
  return file.Error();
}

}  // namespace zentrak
