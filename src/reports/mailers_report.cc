// The mailers report: two lists from one template with two loop regions.
#include "reports/mailers_report.h"

#include <algorithm>

#include "support/text.h"

namespace zentrak {
namespace {

// End of the sysop run that starts at `start`.
size_t RunEnd(const std::vector<TLink>& links, size_t start) {
  size_t end = start + 1;
  while (end < links.size() && links[end].Sysop == links[start].Sysop) ++end;
  return end;
}

// Adds `count` to the entry named `name`, or appends one while there is room.
void CountInto(std::vector<MailerEntry>& entries, std::string_view name, int32_t count) {
  for (MailerEntry& entry : entries) {
    if (entry.name == name) {
      entry.count += count;
      return;
    }
  }
  if (entries.size() < kMailerTableCapacity) entries.push_back({std::string(name), count});
}

void SortByFallingCount(std::vector<MailerEntry>& mailers) {
  for (size_t i = 0; i + 1 < mailers.size(); ++i) {
    for (size_t j = i + 1; j < mailers.size(); ++j) {
      if (mailers[i].count < mailers[j].count) std::swap(mailers[i], mailers[j]);
    }
  }
}

void SortRunByName(std::vector<MailerEntry>& mailers, size_t start, size_t end) {
  for (size_t i = start; i < end; ++i) {
    for (size_t j = i + 1; j < end; ++j) {
      if (MailerNameAfter(mailers[i].name, mailers[j].name)) std::swap(mailers[i], mailers[j]);
    }
  }
}

void ListMailers(ReportContext& ctx) {
  int32_t count = static_cast<int32_t>(ctx.report.mailerTable.size());
  for (int32_t entry = 1; entry <= count; ++entry) {
    ctx.report.currentIndex = entry;
    ctx.engine.TemplateBody();
  }
}

void ReleaseMailerTable(ReportState& report) {
  report.mailerTable.clear();
  report.mailerTable.shrink_to_fit();
}

// Both lists and the second header between them. False when the template has
// no second loop region: the engine has closed the files and no footer follows.
bool WriteMailerLists(ReportContext& ctx) {
  std::vector<TLink>& links = ctx.model.links;
  ctx.report.sysopCount = CountSysopRuns(links);
  bool binkd = ctx.settings.logFormat == LogFormat::kBinkd;
  for (TLink& link : links) {
    link.Mailer = binkd ? BinkdMailerVersion(link.Mailer) : ShortenMailer(link.Mailer);
  }
  ctx.report.mailerTable = BuildMailerList(links);
  OrderMailers(ctx.report.mailerTable);
  ctx.report.mailerCount = static_cast<int32_t>(ctx.report.mailerTable.size());
  ListMailers(ctx);

  ctx.engine.FlushOutput();
  ctx.engine.secondLoopMode = true;
  if (!ctx.engine.TemplateHeader("")) return false;
  ctx.report.mailerTable = MergeProducts(ctx.report.mailerTable, binkd);
  OrderMailers(ctx.report.mailerTable);
  ctx.report.mergedCount = static_cast<int32_t>(ctx.report.mailerTable.size());
  ListMailers(ctx);
  return true;
}

}  // namespace

int32_t CountSysopRuns(const std::vector<TLink>& links) {
  int32_t runs = 0;
  for (size_t start = 0; start < links.size(); start = RunEnd(links, start)) ++runs;
  return runs;
}

std::string ShortenMailer(std::string_view mailer) {
  mailer = mailer.substr(0, mailer.find('\\'));
  return std::string(mailer.substr(0, mailer.find('/')));
}

std::string BinkdMailerVersion(std::string_view mailer) {
  mailer = mailer.substr(0, mailer.find(' '));
  size_t slash = mailer.find('/');
  if (slash == std::string_view::npos) return std::string(mailer);
  return std::string(mailer.substr(0, mailer.find('/', slash + 1)));
}

std::vector<MailerEntry> BuildMailerList(const std::vector<TLink>& links) {
  std::vector<MailerEntry> entries;
  for (size_t start = 0; start < links.size();) {
    size_t end = RunEnd(links, start);
    CountInto(entries, links[end - 1].Mailer, 1);
    start = end;
  }
  return entries;
}

std::string ProductName(std::string_view mailer) {
  std::string product(mailer.substr(0, mailer.find(' ')));
  return product == "The" ? "The Brake!" : product;
}

std::vector<MailerEntry> MergeProducts(const std::vector<MailerEntry>& mailers, bool binkd) {
  std::vector<MailerEntry> merged;
  for (const MailerEntry& entry : mailers) {
    std::string_view name = entry.name;
    // A binkd log's product is the name before its version.
    CountInto(merged, binkd ? std::string(name.substr(0, name.find('/'))) : ProductName(name),
              entry.count);
  }
  return merged;
}

bool MailerNameAfter(std::string_view a, std::string_view b) {
  size_t common = std::min(a.size(), b.size());
  for (size_t k = 0; k < common; ++k) {
    auto left = static_cast<unsigned char>(UpperAscii(a[k]));
    auto right = static_cast<unsigned char>(UpperAscii(b[k]));
    if (left != right) return left > right;
  }
  return a.size() > b.size();
}

void OrderMailers(std::vector<MailerEntry>& mailers) {
  SortByFallingCount(mailers);
  for (size_t start = 0; start < mailers.size();) {
    size_t end = start + 1;
    while (end < mailers.size() && mailers[end].count == mailers[start].count) ++end;
    SortRunByName(mailers, start, end);
    start = end;
  }
}

void MakeMailersReport(ReportContext& ctx) {
  ReportSteps steps;
  steps.prepare = [&ctx] {
    SortLinks(ctx.model.links, SysopAfter);
    ReleaseMailerTable(ctx.report);
    ctx.report.sysopCount = 0;
    ctx.report.mailerCount = 0;
    ctx.report.mergedCount = 0;
  };
  steps.records = [&ctx] { return WriteMailerLists(ctx); };
  RunReportFrame(ctx, kMailersReport, steps);
  ctx.engine.secondLoopMode = false;
  ReleaseMailerTable(ctx.report);
}

}  // namespace zentrak
