// The template engine: reads a report's template, keeps its definitions and
// loop region, and writes header, body (once per record) and footer into the
// report's output, expanding macros on the way.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "config/settings.h"
#include "console/console_log.h"
#include "console/run_calendar.h"
#include "log/session_model.h"
#include "platform/platform.h"
#include "template/report_state.h"

namespace zentrak {

class MarkedLine;

/// What macro values are read from; all of it lives in the run.
struct MacroSources {
  const Settings& settings;
  const SessionModel& model;
  ReportState& report;
  Console& console;
  /// The run's "today", for the dates of the last-call history.
  const RunCalendar& today;
};

/// One user or generated macro.
struct MacroDefinition {
  std::string name;   // begins with "@", at most 50
  std::string value;  // at most 255
  /// One byte per byte of `value`: 1 where the text came from the log, the
  /// machine or a report (never read as macro syntax), 0 where the template's
  /// author wrote it. Generated macros are all 1.
  std::string valueMarks;
};

/// A report's charts: fills `markup` for a chart name ("DAYS" of "@CHART(DAYS)")
/// and returns true, or returns false for a name the report does not draw.
using ChartSource = std::function<bool(std::string_view name, std::string& markup)>;

inline constexpr size_t kDefinitionCapacity = 100;
inline constexpr size_t kLoopBodyCapacity = 100;

class TemplateEngine {
 public:
  explicit TemplateEngine(MacroSources sources);
  ~TemplateEngine();

  /// The run's "today" the engine dates the last-call history by.
  const RunCalendar& Today() const { return sources_.today; }

  /// Hands the engine a report's files, opened by the report frame: the engine
  /// owns the template from here on; the output stays the frame's, which
  /// commits or abandons it once the engine has let go of it.
  void Open(std::unique_ptr<File> templateFile, File* output);
  /// Closes the template and lets go of the output after flushing it. Done by
  /// TemplateFooter and when the mailers report's second loop ends early; the
  /// frame does it on its failure paths.
  void ReleaseFiles();

  /// Writes the header; false when the template has no usable loop region.
  bool TemplateHeader(std::string_view templateName);
  /// Writes the loop region once for the record the report published.
  void TemplateBody();
  /// Writes the footer and closes both files.
  void TemplateFooter();
  /// For a report of several loops: writes the lines after the loop region up
  /// to the next one (as footer lines of the loop before) and loads it; true
  /// then. At the template's end it has written the footer and closed both
  /// files, and returns false.
  bool NextLoop();
  /// Flushes the output (the mailers report, before its second header).
  void FlushOutput();
  /// True when writing or flushing the current report's output failed (a full
  /// disk, say); the report frame should then treat the report as failed.
  bool OutputFailed() const;
  /// Why the output failed: the system's error number, 0 when it did not.
  int OutputError() const;

  /// The charts of the report being written; empty when it draws none.
  void SetChartSource(ChartSource source) { chartSource_ = std::move(source); }

  /// Set by the mailers report before its second TemplateHeader.
  bool secondLoopMode = false;

  /// An engine for this report's loop region alone, writing into memory, with
  /// `report` as its record state: another thread may write records through
  /// it while this engine writes others. Nothing that changes is shared.
  std::unique_ptr<TemplateEngine> BodyCopy(ReportState& report) const;
  /// Swaps the bytes a copy's TemplateBody calls wrote since the last call
  /// into `bytes`; the copy goes on writing into the storage `bytes` had.
  void TakeWritten(std::string& bytes);
  /// Writes a copy's bytes into this engine's output as if written here;
  /// `valueWritten` is the copy's ValueWritten.
  void PutWritten(std::string_view bytes, bool valueWritten);
  /// True once a value went out unescaped: an escape declaration is too late then.
  bool ValueWritten() const;
  /// Takes the macro values a copy's last record left.
  void TakeValuesOf(const TemplateEngine& copy) { definitions_ = copy.definitions_; }

  /// Appends a generated macro after TemplateHeader; returns its index, or -1
  /// when the table is full.
  int AddGeneratedMacro(std::string_view name, std::string_view value);
  /// Rewrites a generated macro's value.
  void SetMacroValue(int index, std::string_view value);

  /// Expands one line for a pass (1 header, 2 body, 3 footer); the unit the
  /// tests and the fuzzer drive directly. Clears noLineEnd first and sets it
  /// when the line held "@NOEND()". The result is at most 255 characters.
  std::string ExpandLine(std::string_view line, int pass);
  bool noLineEnd = false;

  const std::vector<MacroDefinition>& Definitions() const { return definitions_; }

 private:
  struct Impl;
  bool NoLoopStart(std::string_view templateName, const std::string* lastLine);
  void EndSecondLoop();
  bool LoadLoop(std::string_view templateName);
  void WriteLine(std::string_view text, int pass);
  bool WriteChart(std::string_view text);
  void PutLine(const MarkedLine& line);
  void Expand(MarkedLine& line, int pass);
  void Define(std::string_view line);
  void StoreDefinition(const std::string& name, std::string_view value, std::string_view marks,
                       std::string_view line);

  MacroSources sources_;
  ChartSource chartSource_;
  std::vector<MacroDefinition> definitions_;
  std::unique_ptr<Impl> impl_;
};

/// `text` cut to `width` and padded: "LEFT", "RIGHT", "CENTER", or as is for
/// any other alignment word.
std::string FitField(std::string_view text, int width, std::string_view align);

}  // namespace zentrak
