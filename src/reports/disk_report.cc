// The disk usage report.
#include "reports/disk_report.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <optional>

#include "support/text.h"

namespace zentrak {
namespace {

struct SizeUnit {
  uint64_t above;  // the unit applies to counts strictly above this
  double divisor;
  char suffix;
};

// First matching row wins; the comparisons are strict, so exactly 1024 bytes
// are still written in bytes.
constexpr std::array<SizeUnit, 4> kSizeUnits = {{
    {1073741824ull, 1073741824.0, 'G'},
    {1048576ull, 1048576.0, 'M'},
    {1024ull, 1024.0, 'K'},
    {0ull, 1.0, 'b'},
}};

// A letter that names no drive would leave the table short without a word: a
// path ("/srv") or a lower-case letter in DISKS, or a drive that is not there.
void WarnNoDrive(ReportContext& ctx, char letter) {
  if (std::isalpha(static_cast<unsigned char>(letter)) == 0) return;
  ctx.console.ConsoleLog(kError, " DISKS names drive %s, which does not exist",
                         {std::string_view(&letter, 1)});
}

// Publishes one drive and writes its record; false when the drive is not listed.
bool PublishDrive(ReportContext& ctx, char letter, uint32_t drives) {
  bool exists = letter >= 'A' && letter <= 'Z' && (drives & (1u << (letter - 'A'))) != 0;
  std::optional<DriveInfo> drive;
  if (exists) drive = ctx.platform.Drive(letter);
  if (!drive) {
    WarnNoDrive(ctx, letter);
    return false;
  }
  if (drive->kind != DriveKind::kListed) return false;
  ctx.report.diskLetter = letter;
  ctx.report.diskLabel = CutTo(drive->label, 255);
  ctx.report.diskTotalText = SizeText(drive->totalBytes);
  ctx.report.diskFreeText = SizeText(drive->freeBytes);
  ctx.report.statLine =
      DiskBar(drive->totalBytes, drive->freeBytes, ctx.report.lineLength, ctx.report.cpsDrawSymbol);
  ctx.engine.TemplateBody();
  return true;
}

}  // namespace

std::string SizeText(uint64_t bytes) {
  const SizeUnit* unit = &kSizeUnits.back();
  for (const SizeUnit& candidate : kSizeUnits) {
    if (bytes > candidate.above) {
      unit = &candidate;
      break;
    }
  }
  char text[48];
  std::snprintf(text, sizeof(text), "%7.3f%c", static_cast<double>(bytes) / unit->divisor,
                unit->suffix);
  return text;
}

std::string DiskBar(uint64_t totalBytes, uint64_t freeBytes, int32_t lineLength, char symbol) {
  if (totalBytes == 0 || lineLength <= 0) return std::string();
  uint64_t used = totalBytes - std::min(freeBytes, totalBytes);
  int64_t length =
      RoundHalfAway(static_cast<double>(used) / static_cast<double>(totalBytes) * lineLength);
  return std::string(static_cast<size_t>(std::clamp<int64_t>(length, 0, 255)), symbol);
}

void MakeDiskReport(ReportContext& ctx) {
  ReportSteps steps;
  steps.records = [&ctx]() {
    uint32_t drives = ctx.platform.LogicalDrives();
    for (char letter : ctx.settings.DISKS) PublishDrive(ctx, letter, drives);
    return true;
  };
  RunReportFrame(ctx, kDiskReport, steps);
}

}  // namespace zentrak
