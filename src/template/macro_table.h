// The macro vocabulary as data: one row per built-in name, in the order the
// expander tries them, with the sections it is looked for in, the reports it
// is valid in, its form and the function that yields its value.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "log/session_model.h"
#include "template/template_engine.h"

namespace zentrak {

/// Which sections a built-in is looked for in (and whether only in definitions).
enum class MacroGroup : uint8_t {
  kBareOnly,        // only inside definition values
  kNoEnd,           // every section
  kPeriod,          // every section; also bare in definition values
  kMailersSummary,  // every section
  kPerRecord,       // body and footer
  kTotals,          // footer only
  kReportWide,      // every section: values of the report as a whole
};

/// How a macro is written in a line.
enum class MacroForm : uint8_t {
  kField,          // @NAME(ALIGN,WIDTH)
  kCondition,      // @?NAME=@USER(ALIGN,WIDTH)
  kLineCondition,  // as kCondition; false empties the whole line
  kMarker,         // @NOEND(): a bare marker
};

/// Fills `out` with the value (fields) or returns the condition (conditions).
using MacroValueFn = bool (*)(MacroSources& sources, std::string& out);

/// One built-in macro.
struct MacroRow {
  std::string_view name;
  MacroGroup group;
  MacroForm form;
  uint16_t kinds;    // bit k set: valid in report kind k
  bool bare;         // also replaced inside definition values
  bool oncePerLine;  // replaced at most once per line, without restarting the scan
  MacroValueFn value;
};

/// Room the expander keeps for per-row flags.
inline constexpr size_t kMaxVocabularyRows = 192;

/// Every built-in, in scan order.
std::span<const MacroRow> MacroVocabulary();

/// True when `group` is looked for in `pass` (1 header, 2 body, 3 footer).
bool ActiveInPass(MacroGroup group, int pass);

/// True when the row is valid in the report kind.
inline bool ValidIn(const MacroRow& row, uint8_t reportKind) {
  return reportKind < 16 && (row.kinds & (1u << reportKind)) != 0;
}

/// The failures report's words for a reason ("connection refused", ...).
std::string_view FailReasonText(FailReason reason);

/// "DD Mon YYYY" of a last-call date key, read as DecodeDateKey reads it.
std::string DateKeyText(int32_t key, CalendarDate today);

}  // namespace zentrak
