// The files report: per link, in address order, the files its sessions received
// and sent, grouped under the first FILE_ALIAS whose masks match each name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "config/settings.h"
#include "log/file_transfers.h"
#include "reports/report_frame.h"

namespace zentrak {

/// Time-field codes that stand instead of a transfer time.
inline constexpr int64_t kFileTimeDelayed = 9999996;
inline constexpr int64_t kFileTimeRefused = 9999997;
inline constexpr int64_t kFileTimeSkipped = 9999998;
inline constexpr int64_t kFileTimeAborted = 9999999;

/// Which FILE_ALIAS a name falls under: the first alias with a mask whose text
/// (the wildcards removed) occurs anywhere in the name, letters compared
/// without regard to ASCII case. A mask that was all wildcards matches every name.
class FileAliasMatcher {
 public:
  explicit FileAliasMatcher(const std::vector<FileAlias>& aliases);
  /// Index of the alias, or -1 for none.
  int Match(std::string_view name) const;

 private:
  std::vector<std::vector<std::string>> upperMasks_;
};

/// What the report shows of one file.
struct FileFigures {
  int64_t timeField = 0;     // seconds of the transfer, or one of the codes above
  int64_t seconds = 0;       // from its start line to the line that ended it
  bool transferred = false;  // completed, or broken off at a known position
  int64_t moved = 0;         // bytes that crossed the line in this session
  int32_t cps = 0;
  int64_t resumeOffset = 0;
  int64_t abortPosition = 0;
};

/// The figures of file `index` of the store.
FileFigures FiguresOf(const FileTransfers& files, uint32_t index);

/// A name in the case FILE_CASE asks for: "UP", "LOW" or as it is.
std::string NameInCase(std::string_view name, std::string_view fileCase);

/// The report's records, after a successful TemplateHeader: adds the generated
/// macros, then publishes each line of each link and writes the loop body.
void WriteFilesRecords(ReportContext& ctx);

/// Report 8.
void MakeFilesReport(ReportContext& ctx);

}  // namespace zentrak
