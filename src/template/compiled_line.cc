// Compiled loop lines.
//
// The expander's rule -- try the built-ins in table order, then the user
// macros, and start again after every replacement that is not a plain value --
// can only give a line other than "each macro replaced where it stands" when a
// replacement makes or unmakes macro text, or when the line reaches its bound.
// A line is compiled only when neither can happen for any record: every "@" of
// the line starts a macro that is replaced in this report and section, with
// arguments that parse, none that empties the line or the rest of it, none that
// is replaced once per line only, and no user macro whose name a built-in also
// has. Inserted values are never read again, so only a user macro's value (the
// template author's text) could bring new macro text: a record whose user value
// holds an "@" goes to the expander, and so does a record whose values could
// make the line reach the bound before the last replacement.
#include "template/compiled_line.h"

#include <algorithm>

#include "template/macro_table.h"

namespace zentrak {
namespace {

constexpr std::string_view kNoEnd = "@NOEND()";

// The name of a row without its parentheses ("@NOEND()" is "@NOEND").
std::string_view RowName(const MacroRow& row) { return row.name.substr(0, row.name.find('(')); }

// The vocabulary row called `name`; -1 when there is none.
int RowNamed(std::string_view name) {
  std::span<const MacroRow> rows = MacroVocabulary();
  for (size_t i = 0; i < rows.size(); ++i) {
    if (RowName(rows[i]) == name) return static_cast<int>(i);
  }
  return -1;
}

// The ")" that closes arguments starting at `from`, as the expander finds it:
// the first one, with no "@" before it; npos otherwise.
size_t CloseOf(std::string_view text, size_t from) {
  for (size_t at = from; at < text.size(); ++at) {
    if (text[at] == ')') return at;
    if (text[at] == '@') return std::string_view::npos;
  }
  return std::string_view::npos;
}

// True when a user value would bring macro text into the line: an "@" the
// template's author wrote.
bool HoldsMacroText(std::string_view value, std::string_view marks) {
  for (size_t at = value.find('@'); at != std::string_view::npos; at = value.find('@', at + 1)) {
    if (at >= marks.size() || marks[at] == 0) return true;
  }
  return false;
}

// Bytes a value takes in a field.
size_t FittedLength(size_t valueLength, int width, FieldAlign align) {
  if (align == FieldAlign::kAsIs) return std::min<size_t>(valueLength, width);
  return static_cast<size_t>(width);
}

}  // namespace

struct CompiledLine::Nested {
  std::string value;
  std::unique_ptr<CompiledLine> line;
  MarkedLine expanded;
};

CompiledLine::~CompiledLine() = default;

CompiledLine::CompiledLine(std::string_view text, int pass, uint8_t reportKind,
                           const std::vector<MacroDefinition>& definitions)
    : pass_(pass),
      reportKind_(reportKind),
      definitionCount_(definitions.size()),
      text_(text.substr(0, std::min(text.size(), MarkedLine::kBound))) {
  usable_ = Parse(text_, pass, reportKind, definitions);
  if (!usable_) slots_.clear();
  for (const Slot& slot : slots_) fieldsOnly_ = fieldsOnly_ && slot.kind == SlotKind::kField;
}

bool CompiledLine::Parse(std::string_view text, int pass, uint8_t reportKind,
                         const std::vector<MacroDefinition>& definitions) {
  std::span<const MacroRow> rows = MacroVocabulary();
  size_t userValues = 0;
  size_t literalEnd = 0;
  for (size_t at = text.find('@'); at != std::string_view::npos; at = text.find('@', at)) {
    literalBytes_ += at - literalEnd;
    size_t stop = text.find_first_of("(=@", at + 1);
    if (stop == std::string_view::npos || text[stop] == '@') return false;
    std::string_view name = text.substr(at, stop - at);
    bool field = text[stop] == '(';
    int rowIndex = RowNamed(name);
    Slot slot;
    slot.at = static_cast<uint16_t>(at);
    size_t close;
    // "(ALIGN,WIDTH)" after the name, as the expander reads it; false when it does not parse.
    auto readFieldArgs = [&]() {
      close = CloseOf(text, stop + 1);
      if (close == std::string_view::npos) return false;
      FieldArgs args = ParseArgs(text.substr(stop + 1, close - stop - 1));
      slot.align = args.align;
      slot.width = static_cast<uint8_t>(args.width);
      return args.valid;
    };
    if (rowIndex < 0) {
      // A user macro: replaced after every built-in, found by its name and "(".
      slot.user = static_cast<int16_t>(FindDefinition(definitions, name));
      if (!field || slot.user < 0) return false;
      slot.kind = SlotKind::kUser;
      if (!readFieldArgs()) return false;
      ++userValues;
    } else {
      const MacroRow& row = rows[rowIndex];
      bool conditionForm = row.form == MacroForm::kCondition;
      if (!ActiveInPass(row.group, pass) || !ValidIn(row, reportKind) || row.oncePerLine ||
          row.form == MacroForm::kLineCondition || field == conditionForm) {
        return false;
      }
      slot.row = static_cast<uint16_t>(rowIndex);
      slot.value = row.value;
      if (row.form == MacroForm::kMarker) {
        if (text.substr(at, kNoEnd.size()) != kNoEnd) return false;
        slot.kind = SlotKind::kNoEnd;
        close = at + kNoEnd.size() - 1;
      } else if (row.form == MacroForm::kField) {
        slot.kind = SlotKind::kField;
        if (!readFieldArgs()) return false;
      } else {
        // "@?NAME=@USER(ALIGN,WIDTH)": the user macro's "@" is part of it.
        slot.kind = SlotKind::kCondition;
        size_t rest = stop + 1;
        close = rest < text.size() ? CloseOf(text, rest + 1) : std::string_view::npos;
        if (close == std::string_view::npos) return false;
        std::string_view inner = text.substr(rest, close - rest);
        size_t open = inner.find('(');
        if (open == std::string_view::npos) return false;
        FieldArgs args = ParseArgs(inner.substr(open + 1));
        std::string_view user = inner.substr(0, open);
        // Width 0 empties the rest of the line; a user name a built-in has, or
        // one holding "=", may be read as a macro of its own first.
        if (!args.valid || args.width == 0 || RowNamed(user) >= 0 ||
            user.find('=') != std::string_view::npos) {
          return false;
        }
        slot.align = args.align;
        slot.width = static_cast<uint8_t>(args.width);
        slot.user = static_cast<int16_t>(FindDefinition(definitions, user));
        ++userValues;
      }
    }
    slot.length = static_cast<uint16_t>(close + 1 - at);
    slots_.push_back(slot);
    at = literalEnd = close + 1;
  }
  literalBytes_ += text.size() - literalEnd;
  // Past the bound on user values the expander leaves macros as text.
  return userValues <= static_cast<size_t>(kUserExpansionBound);
}

// The expander puts the value in its field first and then replaces the macros
// in it where they stand. That is the same as filling them here, as long as no
// cut of the field breaks a macro and the value holds nothing but built-in
// fields of this report and section in the author's text.
bool CompiledLine::EvaluateNested(const Slot& slot, ExpandContext& context, Shown& shown) {
  const MacroDefinition& def = context.definitions[slot.user];
  if (slot.width == 0) return true;  // the macro goes and its value with it
  bool whole = slot.align == FieldAlign::kAsIs || def.value.size() <= slot.width;
  if (!whole || def.valueMarks.find('\1') != std::string::npos) return false;
  if (nested_.size() < context.definitions.size()) nested_.resize(context.definitions.size());
  std::unique_ptr<Nested>& nested = nested_[slot.user];
  if (!nested || nested->value != def.value) {
    nested = std::make_unique<Nested>();
    nested->value = def.value;
    nested->line =
        std::make_unique<CompiledLine>(def.value, pass_, reportKind_, context.definitions);
  }
  CompiledLine& inner = *nested->line;
  if (!inner.usable_ || !inner.fieldsOnly_ || !inner.Expand(nested->expanded, context)) {
    return false;
  }
  shown.text = nested->expanded.View();
  shown.marks = nested->expanded.Marks();
  shown.shows = true;
  shown.nestedLength = def.value.size();
  shown.nestedGrowth = inner.longest_ - def.value.size();
  return true;
}

bool CompiledLine::Expand(MarkedLine& line, ExpandContext& context) {
  if (!usable_) return false;
  // The values are read in line order, not in the expander's: reading a value
  // changes nothing, so the order cannot show. Each goes into the line as soon
  // as it is read; whether the line could have reached its bound is only known
  // at the end, and then the line is given up whole.
  size_t longest = literalBytes_;
  bool noEnd = false;
  line.Assign("");
  line.KeepMarks(context.marksRead);
  size_t cursor = 0;
  for (const Slot& slot : slots_) {
    // What the slot shows, read here rather than in a call of its own: a line
    // costs its slots, and most of them are a condition and a short value.
    Shown shown;
    const MacroDefinition* user = nullptr;
    switch (slot.kind) {
      case SlotKind::kNoEnd:
        break;
      case SlotKind::kField:
        value_.clear();
        slot.value(context.sources, value_);
        shown.text = value_;
        shown.shows = true;
        break;
      case SlotKind::kCondition:
        context.scratch.clear();
        if (slot.value(context.sources, context.scratch) && slot.user >= 0) {
          user = &context.definitions[slot.user];
        }
        break;
      case SlotKind::kUser:
        user = &context.definitions[slot.user];
        break;
    }
    if (user != nullptr && HoldsMacroText(user->value, user->valueMarks)) {
      if (!EvaluateNested(slot, context, shown)) return false;
    } else if (user != nullptr) {
      shown.text = user->value;
      shown.marks = user->valueMarks;
      shown.shows = true;
    }
    noEnd = noEnd || slot.kind == SlotKind::kNoEnd;
    bool nested = shown.nestedLength != kNotNested;
    size_t fitted = 0;
    if (shown.shows && nested) {
      fitted = FittedLength(shown.nestedLength, slot.width, slot.align) + shown.nestedGrowth;
    } else if (shown.shows) {
      fitted = FittedLength(shown.text.size(), slot.width, slot.align);
    }
    // Until its own turn a macro keeps its text, so the line is at most this long.
    longest += std::max<size_t>(fitted, slot.length);
    // The slots stand in line order, so the template text before this one
    // starts where the last one ended.
    line.Append(std::string_view(text_.data() + cursor, slot.at - cursor), {}, false);
    cursor = slot.at + slot.length;
    if (!shown.shows || slot.width == 0) continue;
    if (nested) {
      // Padded by the value's own length, before its fields were filled.
      size_t pad = FittedLength(shown.nestedLength, slot.width, slot.align) - shown.nestedLength;
      size_t front = slot.align == FieldAlign::kRight    ? pad
                     : slot.align == FieldAlign::kCenter ? pad / 2
                                                         : 0;
      line.AppendBlanks(front);
      line.Append(shown.text, shown.marks, false);
      line.AppendBlanks(pad - front);
      continue;
    }
    // Built-in values are marked byte by byte; a user value brings its own marks.
    bool builtIn = slot.kind == SlotKind::kField;
    line.AppendFitted(shown.text, shown.marks, builtIn, slot.width, slot.align);
  }
  longest_ = longest;
  if (longest > MarkedLine::kBound) return false;
  line.Append(std::string_view(text_).substr(cursor), {}, false);
  if (noEnd) context.noLineEnd = true;
  return true;
}

}  // namespace zentrak
