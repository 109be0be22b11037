// The mailers report: which mailer software the remote sysops run, first by
// name and version, then merged by product, each sysop counted once.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "reports/report_frame.h"

namespace zentrak {

/// Entries the first list holds; sysops whose mailer would need another entry
/// are counted into none.
inline constexpr size_t kMailerTableCapacity = 300;

/// Number of runs of consecutive links with the same sysop name (exact).
int32_t CountSysopRuns(const std::vector<TLink>& links);

/// The mailer text cut at its first "\", then at its first "/".
std::string ShortenMailer(std::string_view mailer);

/// A binkd log's mailer: the name and version of its VER text
/// ("binkd/1.1a-115" of "binkd/1.1a-115/Linux binkp/1.1"), the platform and
/// protocol dropped, so every version counts on its own.
std::string BinkdMailerVersion(std::string_view mailer);

/// One entry per distinct mailer, counting each sysop run once under the mailer
/// of the run's last link, in order of first appearance; at most
/// kMailerTableCapacity entries.
std::vector<MailerEntry> BuildMailerList(const std::vector<TLink>& links);

/// A mailer name reduced to its product: cut at the first blank; "The" is
/// the one product whose first word is not its name.
std::string ProductName(std::string_view mailer);

/// Reduces every entry to its product name and merges equal names, keeping the
/// order of first appearance.
std::vector<MailerEntry> MergeProducts(const std::vector<MailerEntry>& mailers, bool binkd = false);

/// True when `a` comes after `b` by name, ignoring ASCII case; a prefix first.
bool MailerNameAfter(std::string_view a, std::string_view b);

/// Orders entries by falling count, then equal counts by name ignoring case,
/// with the report's two exchange passes (ties keep the order those give).
void OrderMailers(std::vector<MailerEntry>& mailers);

/// Writes the mailers report (kind 7). Leaves every link's mailer shortened.
void MakeMailersReport(ReportContext& ctx);

}  // namespace zentrak
