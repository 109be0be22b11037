// Template files: the line grammar, definition lines, the loop region and the
// three operations a report runs through, writing into one buffered stream.
#include "template/template_engine.h"

#include <algorithm>
#include <cerrno>

#include "platform/code_page.h"
#include "support/line_reader.h"
#include "support/text.h"
#include "template/compiled_line.h"
#include "template/macro_expand.h"
#include "template/marked_line.h"

namespace zentrak {
namespace {

constexpr std::string_view kStartCircle = "@STARTCIRCLE()";
constexpr std::string_view kEndCircle = "@ENDCIRCLE()";
constexpr size_t kNameLimit = 50;
constexpr std::string_view kChartStart = "@CHART(";

constexpr std::string_view kBadDefinition = " Bad macros definition line: %s";
constexpr std::string_view kNoStartCircle = " There is no @startcircle() parametr in %s template..";
constexpr std::string_view kNoEndCircle = " There is no @endcircle() parameter in %s template.";
constexpr std::string_view kTooManyDefinitions =
    " Too many macro definitions in %s template, ignoring: %s";
constexpr std::string_view kTooManyLoopLines =
    " Too many lines in the loop region of %s template, ignoring: %s";
constexpr std::string_view kEscapeTooLate =
    " Values written above the %%ESCAPE line of %s template are not escaped";

/// The definition that declares a template's output to be HTML.
constexpr std::string_view kEscapeName = "@ESCAPE";
constexpr std::string_view kEscapeHtml = "HTML";

/// The entity that stands for a byte of a value in HTML; empty for a byte
/// that stands for itself. Both quotes are escaped, so a value is safe inside
/// an attribute whichever quote the author chose.
std::string_view HtmlEntity(char c) {
  switch (c) {
    case '&':
      return "&amp;";
    case '<':
      return "&lt;";
    case '>':
      return "&gt;";
    case '"':
      return "&quot;";
    case '\'':
      return "&#39;";
    default:
      return {};
  }
}

bool IsComment(std::string_view line) { return !line.empty() && line[0] == ';'; }
bool IsDefinition(std::string_view line) { return !line.empty() && line[0] == '%'; }
bool IsVerbatim(std::string_view line) { return line.empty() || line[0] == '!'; }

std::string WithoutBlanks(std::string_view text) {
  std::string result;
  for (char c : text) {
    if (c != ' ') result += c;
  }
  return result;
}

/// "@LINELENGTH": 1..255, or -1 for no usable length.
int32_t LineLengthOf(std::string_view value) {
  int64_t length = WholeNumber(value);
  if (length > 255) return 255;
  return length <= 0 ? -1 : static_cast<int32_t>(length);
}

/// The definition names that set a drawing symbol instead of (or besides) a macro.
struct SymbolName {
  std::string_view name;
  char ReportState::*symbol;  // null for the graphic symbols (indexed below)
  int graphicIndex;
  bool alsoStored;
};

constexpr SymbolName kSymbolNames[] = {
    {"@DRAWSYMBOL", &ReportState::cpsDrawSymbol, -1, false},
    {"@BACKGROUND", &ReportState::histBackgroundSymbol, -1, false},
    {"@GRAPHICINSYMBOL", nullptr, kGraphicIn, true},
    {"@GRAPHICOUTSYMBOL", nullptr, kGraphicOut, true},
    {"@GRAPHICBBSSYMBOL", nullptr, kGraphicBbs, true},
    {"@GRAPHICCALLSYMBOL", nullptr, kGraphicCall, true},
};

}  // namespace

struct TemplateEngine::Impl {
  std::unique_ptr<File> templateFile;
  File* outputFile = nullptr;
  std::unique_ptr<LineReader> reader;
  // One line of look-ahead: the header must know whether a line is the last.
  std::string lookahead;
  bool lookaheadValid = false;
  bool primed = false;
  std::string current;
  std::string templateName;
  std::vector<std::string> loopBody;
  /// The loop lines compiled for the report running, made at its first record.
  std::vector<std::unique_ptr<CompiledLine>> compiledBody;
  MarkedLine line;
  std::string scratch;
  ExpandMemo memo;
  /// The system's error number of the first failed write (EIO when it named
  /// none); 0 while every write went through.
  int outputError = 0;

  void OutputFailed() {
    if (outputError == 0) outputError = errno != 0 ? errno : EIO;
  }
  /// Set by the template's "%ESCAPE" declaration: value bytes go out as HTML.
  bool escapeHtml = false;
  /// REMOTE_CHARSET's code page, opened at the first value that needs it.
  const Settings* settings = nullptr;
  std::unique_ptr<CodePage> codePage;
  bool codePageTried = false;

  /// The code page values are converted from in this output, if any: HTML
  /// pages promise UTF-8, text reports only when REMOTE_CHARSET asks for it.
  const CodePage* Conversion() {
    if (settings == nullptr || settings->REMOTE_CHARSET.empty()) return nullptr;
    if (!escapeHtml && !settings->remoteCharsetInText) return nullptr;
    if (!codePageTried) {
      codePageTried = true;
      codePage = std::make_unique<CodePage>(settings->REMOTE_CHARSET);
    }
    return codePage->Valid() ? codePage.get() : nullptr;
  }
  /// A value has been written unescaped: a later declaration comes too late for it.
  bool wroteValue = false;

  /// Next template line; `last` tells whether the template ends after it.
  bool ReadLine(bool& last) {
    if (!reader) return false;
    if (!primed) Advance();
    primed = true;
    if (!lookaheadValid) return false;
    current.swap(lookahead);
    Advance();
    last = !lookaheadValid;
    return true;
  }

  void Advance() {
    std::string_view view;
    lookaheadValid = reader->Next(view);
    if (lookaheadValid) lookahead.assign(view);
  }

  /// A body copy's output: records written on another thread wait here for
  /// their turn in the report.
  bool toMemory = false;
  std::string memory;

  // A report's lines go out in pieces of a few bytes each: they gather here
  // and reach the output in large writes. FlushOutput writes what is left, so
  // a failed write is still seen before the report is committed.
  static constexpr size_t kPendingBytes = size_t{1} << 16;
  std::string pending;

  void Put(std::string_view text) {
    if (toMemory) {
      memory.append(text);
      return;
    }
    if (outputFile == nullptr || text.empty()) return;
    if (text.size() >= kPendingBytes) {
      // Records written on another thread come whole: no need to copy them here first.
      WritePending();
      errno = 0;
      if (!outputFile->Write(text)) OutputFailed();
      return;
    }
    pending.append(text);
    if (pending.size() >= kPendingBytes) WritePending();
  }

  void WritePending() {
    if (outputFile != nullptr && !pending.empty()) {
      errno = 0;
      if (!outputFile->Write(pending)) OutputFailed();
    }
    pending.clear();
  }

  /// Writes an expanded line; `marks` tells which bytes came from values.
  /// Escaping comes last, after every field was cut and padded on the raw
  /// value, so an entity is never cut and a width counts the value's own bytes.
  void PutExpanded(std::string_view text, std::string_view marks) {
    if (const CodePage* page = Conversion()) return PutConverted(text, marks, *page);
    if (!escapeHtml) {
      if (!wroteValue) wroteValue = marks.find('\1') != std::string_view::npos;
      Put(text);
      return;
    }
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
      std::string_view entity = marks[i] != 0 ? HtmlEntity(text[i]) : std::string_view();
      if (entity.empty()) continue;
      Put(text.substr(start, i - start));
      Put(entity);
      start = i + 1;
    }
    Put(text.substr(start));
  }

  /// Each run of value bytes converted as a whole (fields were cut on the
  /// code page's own bytes), and escaped after the conversion, so no byte the
  /// conversion made reaches the page unescaped.
  void PutConverted(std::string_view text, std::string_view marks, const CodePage& page) {
    if (marks.find('\1') != std::string_view::npos) wroteValue = true;
    size_t at = 0;
    while (at < text.size()) {
      size_t end = at;
      bool value = marks[at] != 0;
      while (end < text.size() && (marks[end] != 0) == value) ++end;
      std::string_view run = text.substr(at, end - at);
      at = end;
      if (!value) {
        Put(run);
        continue;
      }
      std::string converted = page.ToUtf8(run);
      if (!escapeHtml) {
        Put(converted);
        continue;
      }
      size_t start = 0;
      for (size_t i = 0; i < converted.size(); ++i) {
        std::string_view entity = HtmlEntity(converted[i]);
        if (entity.empty()) continue;
        Put(std::string_view(converted).substr(start, i - start));
        Put(entity);
        start = i + 1;
      }
      Put(std::string_view(converted).substr(start));
    }
  }
};

TemplateEngine::TemplateEngine(MacroSources sources)
    : sources_(sources), impl_(std::make_unique<Impl>()) {
  impl_->settings = &sources_.settings;
}

TemplateEngine::~TemplateEngine() { ReleaseFiles(); }

void TemplateEngine::Open(std::unique_ptr<File> templateFile, File* output) {
  ReleaseFiles();
  impl_->templateFile = std::move(templateFile);
  impl_->outputFile = output;
  impl_->reader =
      impl_->templateFile ? std::make_unique<LineReader>(*impl_->templateFile) : nullptr;
  impl_->primed = false;
  impl_->lookaheadValid = false;
  impl_->outputError = 0;
  // A new report always starts with a fresh table and loop body.
  secondLoopMode = false;
}

void TemplateEngine::ReleaseFiles() {
  FlushOutput();
  impl_->outputFile = nullptr;
  impl_->reader.reset();
  impl_->templateFile.reset();
}

void TemplateEngine::FlushOutput() {
  impl_->WritePending();
  errno = 0;
  if (impl_->outputFile != nullptr && !impl_->outputFile->Flush()) impl_->OutputFailed();
}

bool TemplateEngine::OutputFailed() const { return impl_->outputError != 0; }

int TemplateEngine::OutputError() const { return impl_->outputError; }

bool TemplateEngine::TemplateHeader(std::string_view templateName) {
  if (!secondLoopMode) {
    definitions_.clear();
    impl_->loopBody.clear();
    impl_->compiledBody.clear();
    impl_->templateName.assign(templateName);
    impl_->escapeHtml = false;
    impl_->wroteValue = false;
  }
  bool last = false;
  while (impl_->ReadLine(last)) {
    const std::string& line = impl_->current;
    if (last && !IsComment(line) && !Contains(line, kStartCircle)) {
      return NoLoopStart(templateName, &line);
    }
    if (IsComment(line)) continue;
    if (IsDefinition(line)) {
      Define(line);
    } else if (Contains(line, kStartCircle)) {
      return LoadLoop(templateName);
    } else {
      WriteLine(line, 1);
    }
  }
  return NoLoopStart(templateName, nullptr);
}

bool TemplateEngine::NoLoopStart(std::string_view templateName, const std::string* lastLine) {
  sources_.console.ConsoleLog(kError, kNoStartCircle, {templateName});
  if (secondLoopMode) {
    if (lastLine != nullptr) {
      impl_->Put(*lastLine);
      impl_->Put("\n");
    }
    EndSecondLoop();
  }
  return false;
}

void TemplateEngine::EndSecondLoop() {
  ReleaseFiles();
  secondLoopMode = false;
}

bool TemplateEngine::LoadLoop(std::string_view templateName) {
  auto& body = impl_->loopBody;
  body.clear();
  impl_->compiledBody.clear();
  bool last = false;
  while (impl_->ReadLine(last)) {
    const std::string& line = impl_->current;
    if (IsComment(line) || IsDefinition(line)) continue;
    if (Contains(line, kEndCircle)) return true;
    if (body.size() >= kLoopBodyCapacity) {
      sources_.console.ConsoleLog(kError, kTooManyLoopLines, {impl_->templateName, line});
      continue;
    }
    body.push_back(line);
  }
  sources_.console.ConsoleLog(kError, kNoEndCircle, {templateName});
  body.clear();
  if (secondLoopMode) EndSecondLoop();
  return false;
}

// A loop line is written once per record: compiled once, it costs only its
// macros' values. A line that cannot be compiled, or a record the compiled line
// cannot take, goes through the expander as every other line does.
void TemplateEngine::TemplateBody() {
  const std::vector<std::string>& body = impl_->loopBody;
  auto& compiled = impl_->compiledBody;
  compiled.resize(body.size());
  for (size_t k = 0; k < body.size(); ++k) {
    const std::string& text = body[k];
    sources_.report.onLastBodyLine = k + 1 == body.size();
    std::unique_ptr<CompiledLine>& plan = compiled[k];
    if (!plan || plan->DefinitionCount() != definitions_.size()) {
      plan = std::make_unique<CompiledLine>(text, 2, sources_.report.reportKind, definitions_);
    }
    noLineEnd = false;
    ExpandContext context{sources_, definitions_, noLineEnd, impl_->scratch};
    // Marks serve the escaping and tell when the first value went out.
    context.marksRead = impl_->escapeHtml || !impl_->wroteValue || impl_->Conversion() != nullptr;
    if (IsVerbatim(text) || !plan->Expand(impl_->line, context)) {
      WriteLine(text, 2);
      continue;
    }
    PutLine(impl_->line);
  }
  sources_.report.onLastBodyLine = false;
}

std::unique_ptr<TemplateEngine> TemplateEngine::BodyCopy(ReportState& report) const {
  auto copy = std::make_unique<TemplateEngine>(
      MacroSources{sources_.settings, sources_.model, report, sources_.console, sources_.today});
  copy->definitions_ = definitions_;
  copy->impl_->loopBody = impl_->loopBody;
  copy->impl_->templateName = impl_->templateName;
  copy->impl_->escapeHtml = impl_->escapeHtml;
  copy->impl_->toMemory = true;
  return copy;
}

void TemplateEngine::TakeWritten(std::string& bytes) {
  bytes.swap(impl_->memory);
  impl_->memory.clear();
}

void TemplateEngine::PutWritten(std::string_view bytes, bool valueWritten) {
  impl_->Put(bytes);
  impl_->wroteValue = impl_->wroteValue || valueWritten;
}

bool TemplateEngine::ValueWritten() const { return impl_->wroteValue; }

void TemplateEngine::TemplateFooter() {
  bool last = false;
  while (impl_->ReadLine(last)) WriteLine(impl_->current, 3);
  ReleaseFiles();
  definitions_.clear();
  impl_->loopBody.clear();
  impl_->compiledBody.clear();
}

// A chart is markup the report writes, longer than any line: it takes a line
// of its own, and its texts were escaped where it was drawn.
bool TemplateEngine::WriteChart(std::string_view text) {
  std::string_view line = TrimBlanks(text);
  if (!chartSource_ || !line.starts_with(kChartStart) || !line.ends_with(')')) return false;
  std::string_view name = line.substr(kChartStart.size(), line.size() - kChartStart.size() - 1);
  std::string markup;
  if (!chartSource_(TrimBlanks(name), markup)) return false;
  impl_->Put(markup);
  return true;
}

bool TemplateEngine::NextLoop() {
  bool last = false;
  while (impl_->ReadLine(last)) {
    const std::string& line = impl_->current;
    if (IsComment(line)) continue;
    if (IsDefinition(line)) {
      Define(line);
    } else if (Contains(line, kStartCircle)) {
      return LoadLoop(impl_->templateName);
    } else {
      WriteLine(line, 3);
    }
  }
  ReleaseFiles();
  return false;
}

void TemplateEngine::WriteLine(std::string_view text, int pass) {
  noLineEnd = false;
  if (WriteChart(text)) return;
  if (IsVerbatim(text)) {
    impl_->Put(text);
    impl_->Put("\n");
    return;
  }
  MarkedLine& line = impl_->line;
  line.Assign(text);
  Expand(line, pass);
  PutLine(line);
}

void TemplateEngine::PutLine(const MarkedLine& line) {
  std::string_view out = line.View();
  std::string_view marks = line.Marks();
  if (!out.empty() && out[0] == '?') {
    out.remove_prefix(1);
    marks.remove_prefix(1);
  }
  if (out.empty()) return;
  impl_->PutExpanded(out, marks);
  if (!noLineEnd) impl_->Put("\n");
}

void TemplateEngine::Expand(MarkedLine& line, int pass) {
  ExpandContext context{sources_, definitions_, noLineEnd, impl_->scratch, &impl_->memo};
  ExpandMarkedLine(line, pass, context);
}

std::string TemplateEngine::ExpandLine(std::string_view text, int pass) {
  noLineEnd = false;
  MarkedLine& line = impl_->line;
  line.Assign(text);
  Expand(line, pass);
  return std::string(line.View());
}

void TemplateEngine::Define(std::string_view line) {
  size_t equals = line.find('=');
  size_t quote = line.find('"');
  if (equals == std::string_view::npos || quote == std::string_view::npos) {
    sources_.console.ConsoleLog(kError, kBadDefinition, {line});
    return;
  }
  std::string name = WithoutBlanks(line.substr(0, equals));
  name[0] = '@';
  std::string_view rest = line.substr(quote + 1);
  size_t closing = rest.find('"');
  if (closing == std::string_view::npos) {
    sources_.console.ConsoleLog(kError, kBadDefinition, {rest});
    return;
  }
  std::string value(rest.substr(0, closing));
  value.append(rest.substr(closing + 1));
  MarkedLine& marked = impl_->line;
  marked.Assign(value);
  ExpandContext context{sources_, definitions_, noLineEnd, impl_->scratch};
  SubstituteBare(marked, context);
  StoreDefinition(name, marked.View(), marked.Marks(), line);
}

void TemplateEngine::StoreDefinition(const std::string& name, std::string_view value,
                                     std::string_view marks, std::string_view line) {
  if (name == "@LINELENGTH") {
    sources_.report.lineLength = LineLengthOf(value);
    return;
  }
  // The declaration is also stored as a macro: a template that used the name
  // for a macro of its own keeps it, and any other value changes nothing.
  if (name == kEscapeName && EqualsIgnoreCase(TrimBlanks(value), kEscapeHtml)) {
    if (impl_->wroteValue) {
      sources_.console.ConsoleLog(kError, kEscapeTooLate, {impl_->templateName});
    }
    impl_->escapeHtml = true;
  }
  char first = value.empty() ? ' ' : value[0];
  for (const SymbolName& symbol : kSymbolNames) {
    if (name != symbol.name) continue;
    if (symbol.symbol != nullptr) sources_.report.*symbol.symbol = first;
    if (symbol.graphicIndex >= 0) sources_.report.graphicSymbols[symbol.graphicIndex] = first;
    if (!symbol.alsoStored) return;
  }
  if (definitions_.size() >= kDefinitionCapacity) {
    sources_.console.ConsoleLog(kError, kTooManyDefinitions, {impl_->templateName, line});
    return;
  }
  definitions_.push_back(
      MacroDefinition{CutTo(name, kNameLimit), CutTo(value, 255), CutTo(marks, 255)});
}

int TemplateEngine::AddGeneratedMacro(std::string_view name, std::string_view value) {
  if (definitions_.size() >= kDefinitionCapacity) return -1;
  definitions_.push_back(MacroDefinition{CutTo(name, kNameLimit), {}, {}});
  int index = static_cast<int>(definitions_.size()) - 1;
  SetMacroValue(index, value);
  return index;
}

void TemplateEngine::SetMacroValue(int index, std::string_view value) {
  if (index < 0 || static_cast<size_t>(index) >= definitions_.size()) return;
  MacroDefinition& def = definitions_[index];
  def.value.assign(value.substr(0, std::min<size_t>(value.size(), 255)));
  // A report's values come from the log: never read as macro syntax.
  def.valueMarks.assign(def.value.size(), '\1');
}

std::string FitField(std::string_view text, int width, std::string_view align) {
  FieldAlign mode = FieldAlign::kAsIs;
  ParseAlign(align, mode);
  MarkedLine line;
  line.Assign("");
  line.ReplaceFitted(0, 0, text, {}, false, width, mode);
  return std::string(line.View());
}

}  // namespace zentrak
