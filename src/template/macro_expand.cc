// Field and conditional substitution over a marked line.
#include "template/macro_expand.h"

#include <bitset>

#include "support/text.h"

namespace zentrak {
namespace {

constexpr std::string_view kNoEnd = "@NOEND()";
constexpr std::string_view kLineLength = "@LINELENGTH";

/// A parsed "(ALIGN,WIDTH)" argument: the text between the parentheses.
struct FieldArgs {
  bool valid = false;
  FieldAlign align = FieldAlign::kAsIs;
  int width = 0;
};

FieldArgs ParseArgs(std::string_view args) {
  FieldArgs result;
  size_t comma = args.find(',');
  if (comma == std::string_view::npos) return result;
  std::string_view after = args.substr(comma + 1);
  if (!args.empty() && args.back() == '*') {
    if (after != "*") return result;
    result = FieldArgs{true, FieldAlign::kAsIs, 255};
    return result;
  }
  if (!ParseAlign(args.substr(0, comma), result.align)) return result;
  int64_t width = LeadingNumber(after);
  result.width = static_cast<int>(width < 0 ? 0 : width > 255 ? 255 : width);
  result.valid = true;
  return result;
}

/// The closing ")" of arguments that begin at `from`: only template text, and
/// no "@" before it. npos when the arguments are malformed.
size_t CloseOfArgs(const MarkedLine& line, size_t from) {
  return line.FindInTemplate(')', from, '@');
}

/// Drops the macro's "@" so that it shows as text and is not found again.
void DropAt(MarkedLine& line, size_t pos) { line.Erase(pos, 1); }

/// Replaces the field macro whose key ("name(") starts at `pos`. True when
/// the macro gave way to a non-empty field; false when text was only removed,
/// which may join two pieces of template text into a new macro.
bool SubstituteField(MarkedLine& line, size_t pos, size_t keyLength, std::string_view value,
                     std::string_view marks, bool mark) {
  size_t open = pos + keyLength;
  size_t close = CloseOfArgs(line, open);
  FieldArgs args;
  if (close != MarkedLine::npos) args = ParseArgs(line.View().substr(open, close - open));
  if (!args.valid) {
    DropAt(line, pos);
    return false;
  }
  if (args.width == 0) {
    line.Erase(pos, close + 1 - pos);
    return false;
  }
  line.ReplaceFitted(pos, close + 1 - pos, value, marks, mark, args.width, args.align);
  return true;
}

/// Replaces the conditional whose key ("name=") starts at `pos`. Returns true
/// when it put a user macro's value in its place. With `literal` the value is
/// inserted as plain text, not to be read again.
bool SubstituteConditional(MarkedLine& line, size_t pos, size_t keyLength, bool condition,
                           const std::vector<MacroDefinition>& definitions, bool literal) {
  size_t rest = pos + keyLength;
  // The first byte after the key is the user macro's "@": skip it.
  size_t close = rest < line.size() ? CloseOfArgs(line, rest + 1) : MarkedLine::npos;
  if (close == MarkedLine::npos) {
    line.Erase(pos, keyLength);
    return false;
  }
  std::string_view inner = line.View().substr(rest, close - rest);
  size_t open = inner.find('(');
  FieldArgs args;
  if (open != std::string_view::npos) args = ParseArgs(inner.substr(open + 1));
  if (!args.valid) {
    DropAt(line, pos);
    return false;
  }
  if (args.width == 0) {
    line.Truncate(pos);
    return false;
  }
  int index = condition ? FindDefinition(definitions, inner.substr(0, open)) : -1;
  if (index < 0) {
    line.Erase(pos, close + 1 - pos);
    return false;
  }
  const MacroDefinition& def = definitions[index];
  std::string_view marks = literal ? std::string_view() : std::string_view(def.valueMarks);
  line.ReplaceFitted(pos, close + 1 - pos, def.value, marks, literal, args.width, args.align);
  return true;
}

/// The one-per-line macros a line has used up.
using OnceSet = std::bitset<kMaxVocabularyRows>;

/// HeadSet hashes of the vocabulary's names, row by row.
const std::vector<uint8_t>& RowHeads() {
  static const std::vector<uint8_t> heads = [] {
    std::vector<uint8_t> result;
    for (const MacroRow& row : MacroVocabulary()) {
      result.push_back(HeadSet::Hash(row.name[1], row.name[2]));
    }
    return result;
  }();
  return heads;
}

class LineExpander {
 public:
  LineExpander(MarkedLine& line, int pass, ExpandContext& context)
      : line_(line), pass_(pass), context_(context), rows_(MacroVocabulary()), heads_(RowHeads()) {}

  void Run() {
    size_t from = 0;
    HeadSet heads = line_.Heads();
    for (;;) {
      Outcome outcome = ScanRows(from, heads);
      if (outcome.row == kNoRow && !(userBudget_ > 0 && TryUserMacros())) return;
      if (outcome.clean) {
        from = outcome.row;
      } else {
        from = 0;
        heads = line_.Heads();
      }
    }
  }

 private:
  static constexpr size_t kNoRow = static_cast<size_t>(-1);

  /// What a scan replaced: the row (kNoRow for nothing) and whether the line
  /// changed only by a value taking the place of its macro.
  struct Outcome {
    size_t row = kNoRow;
    bool clean = false;
  };

  // The scan restarts from the top after every replacement. When a built-in's
  // value simply took its macro's place, no new macro text can have formed (the
  // value is never read again and it separates what stood around it), so the
  // rows above still find nothing and the scan may go on from the same row.
  // `heads` stays a superset of the line's heads in that case.
  Outcome ScanRows(size_t from, HeadSet& heads) {
    bool changed = false;
    for (size_t i = from; i < rows_.size(); ++i) {
      const MacroRow& row = rows_[i];
      if (!heads.Has(heads_[i]) || !ActiveInPass(row.group, pass_) || used_[i]) continue;
      Change change = TryRow(row);
      if (change == Change::kNone) continue;
      if (!row.oncePerLine) return Outcome{i, change == Change::kValue};
      // Handled without a restart; the scan goes on with the next name.
      used_[i] = true;
      changed = true;
      if (change != Change::kValue) heads = line_.Heads();
    }
    // A scan that replaced something is followed by another from the top.
    return changed ? Outcome{0, false} : Outcome{};
  }

  enum class Change { kNone, kValue, kOther };

  Change TryRow(const MacroRow& row) {
    if (row.form == MacroForm::kMarker) return TryNoEnd() ? Change::kOther : Change::kNone;
    bool condition = row.form != MacroForm::kField;
    size_t pos = line_.Find(row.name, condition ? '=' : '(');
    if (pos == MarkedLine::npos) return Change::kNone;
    if (!ValidIn(row, context_.sources.report.reportKind)) {
      DropAt(line_, pos);
      return Change::kOther;
    }
    std::string& value = context_.scratch;
    value.clear();
    bool truth = row.value(context_.sources, value);
    size_t keyLength = row.name.size() + 1;
    if (!condition) {
      bool widthInserted = row.name == "@STATLINE" && InsertLineLength();
      if (widthInserted) pos = line_.Find(row.name, '(');
      bool clean = SubstituteField(line_, pos, keyLength, value, {}, true);
      return clean && !widthInserted ? Change::kValue : Change::kOther;
    }
    if (row.form == MacroForm::kLineCondition && !truth) {
      line_.Truncate(0);
    } else {
      // A user value shown by a condition counts against the same bound as a
      // user macro; past it the value is shown as plain text.
      bool literal = userBudget_ <= 0;
      if (SubstituteConditional(line_, pos, keyLength, truth, context_.definitions, literal)) {
        --userBudget_;
      }
    }
    return Change::kOther;
  }

  bool TryNoEnd() {
    if (context_.noLineEnd) return false;
    size_t pos = line_.Find(kNoEnd, 0);
    if (pos == MarkedLine::npos) return false;
    for (; pos != MarkedLine::npos; pos = line_.Find(kNoEnd, 0, pos))
      line_.Erase(pos, kNoEnd.size());
    context_.noLineEnd = true;
    return true;
  }

  /// "@STATLINE(LEFT,@LINELENGTH)" takes its width from the template's definition.
  bool InsertLineLength() {
    size_t pos = line_.Find(kLineLength, 0);
    if (pos == MarkedLine::npos) return false;
    // Inserted as template text: the number is ours and is meant to be read as a width.
    std::string number = DecimalText(context_.sources.report.lineLength);
    line_.Replace(pos, kLineLength.size(), number, {}, false);
    return true;
  }

  bool TryUserMacros() {
    const auto& definitions = context_.definitions;
    for (const MacroDefinition& def : definitions) {
      size_t pos = line_.Find(def.name, '(');
      if (pos == MarkedLine::npos) continue;
      --userBudget_;
      SubstituteField(line_, pos, def.name.size() + 1, def.value, def.valueMarks, false);
      return true;
    }
    return false;
  }

  MarkedLine& line_;
  int pass_;
  ExpandContext& context_;
  std::span<const MacroRow> rows_;
  const std::vector<uint8_t>& heads_;
  OnceSet used_;
  int userBudget_ = kUserExpansionBound;
};

}  // namespace

bool ParseAlign(std::string_view word, FieldAlign& align) {
  if (word == "LEFT") {
    align = FieldAlign::kLeft;
  } else if (word == "RIGHT") {
    align = FieldAlign::kRight;
  } else if (word == "CENTER") {
    align = FieldAlign::kCenter;
  } else {
    return false;
  }
  return true;
}

int FindDefinition(const std::vector<MacroDefinition>& definitions, std::string_view name) {
  for (size_t i = 0; i < definitions.size(); ++i) {
    if (definitions[i].name == name) return static_cast<int>(i);
  }
  return -1;
}

void ExpandMarkedLine(MarkedLine& line, int pass, ExpandContext& context) {
  LineExpander(line, pass, context).Run();
}

void SubstituteBare(MarkedLine& value, ExpandContext& context) {
  uint8_t kind = context.sources.report.reportKind;
  int userBudget = kUserExpansionBound;
  bool replaced = true;
  while (replaced) {
    replaced = false;
    for (const MacroRow& row : MacroVocabulary()) {
      if (!row.bare) continue;
      size_t pos = value.Find(row.name, 0);
      if (pos == MarkedLine::npos) continue;
      if (!ValidIn(row, kind)) {
        DropAt(value, pos);
      } else {
        context.scratch.clear();
        row.value(context.sources, context.scratch);
        value.Replace(pos, row.name.size(), context.scratch, {}, true);
      }
      replaced = true;
      break;
    }
    if (replaced || userBudget <= 0) continue;
    for (const MacroDefinition& def : context.definitions) {
      size_t pos = value.Find(def.name, 0);
      if (pos == MarkedLine::npos) continue;
      value.Replace(pos, def.name.size(), def.value, def.valueMarks, false);
      --userBudget;
      replaced = true;
      break;
    }
  }
}

}  // namespace zentrak
