// A report's records through its loop region, in order, on two threads when
// there are enough of them. The records come in units that one thread writes
// whole (records whose writing reads what an earlier one's left, such as an
// address shown once a link), and the units are cut into turns. Both threads
// take the turns in order, whichever is free, and write them into memory, each
// with its own copy of the engine and of the record state; this thread puts
// each turn into the report when its place comes, and writes a turn too long
// to hold straight into the report. The report is byte for byte the one a
// single thread writes.
#pragma once

#include <cstddef>
#include <functional>

#include "reports/report_frame.h"

namespace zentrak {

/// Writes unit `index` of a report's records (one record, or all of a link's)
/// through `engine` with `report` as the record state. Called on either thread,
/// with that thread's engine and state. False when it did nothing at all: no
/// record written and no state changed (a session the report does not list).
using UnitWriter = std::function<bool(TemplateEngine& engine, ReportState& report, size_t index)>;

/// What the calling thread does, in unit order, just before a unit's bytes go
/// into the report: its console lines, say. May be empty.
using UnitAnnouncer = std::function<void(size_t index)>;

/// Writes units [0, count) in order, exactly as one thread would; `records`
/// tells how many records a unit has (empty: one each), which sizes the turns.
/// The state and the engine's macros are left as the last unit left them.
/// `threads` above 1 allows the second thread.
void WriteUnits(ReportContext& ctx, size_t count, const UnitWriter& write,
                const std::function<size_t(size_t index)>& records, const UnitAnnouncer& announce,
                int threads);

}  // namespace zentrak
