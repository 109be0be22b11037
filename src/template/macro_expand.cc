// Field and conditional substitution over a marked line.
#include "template/macro_expand.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <iterator>

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
  int64_t width = WholeNumber(after);
  result.width = static_cast<int>(width < 0 ? 0 : width > 255 ? 255 : width);
  result.valid = true;
  return result;
}

/// The closing ")" of arguments that begin at `from`: the first ")" of template
/// text, with no "@" of template text before it; npos when the arguments are
/// malformed. Value bytes in between are argument text, so a built-in's value
/// may give a macro its width, yet never closes, opens or names one.
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
/// when it put a user macro's value in its place. With `spent` the line may take
/// no more user values: a conditional that would show one is left as text.
bool SubstituteConditional(MarkedLine& line, size_t pos, size_t keyLength, bool condition,
                           const std::vector<MacroDefinition>& definitions, bool spent) {
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
  // A user macro's name is template text: a value that would complete one names none.
  bool templateName = std::memchr(line.Marks().data() + rest, 1, open + 1) == nullptr;
  int index = condition && templateName ? FindDefinition(definitions, inner.substr(0, open)) : -1;
  if (index < 0) {
    line.Erase(pos, close + 1 - pos);
    return false;
  }
  if (spent) {
    line.MarkAsValue(pos, close + 1 - pos);
    return false;
  }
  const MacroDefinition& def = definitions[index];
  line.ReplaceFitted(pos, close + 1 - pos, def.value, def.valueMarks, false, args.width,
                     args.align);
  return true;
}

/// A set of vocabulary rows, one bit per row.
struct RowMask {
  uint64_t words[kMaxVocabularyRows / 64] = {};
  void Add(size_t row) { words[row >> 6] |= uint64_t{1} << (row & 63); }
  bool Has(size_t row) const { return ((words[row >> 6] >> (row & 63)) & 1) != 0; }
  RowMask& operator|=(const RowMask& other) {
    for (size_t w = 0; w < std::size(words); ++w) words[w] |= other.words[w];
    return *this;
  }
  /// The first row at or after `from` that is in this set and in `allowed`
  /// but not in `excluded`; kMaxVocabularyRows when there is none.
  size_t Next(size_t from, const RowMask& allowed, const RowMask& excluded) const {
    for (size_t w = from >> 6; w < std::size(words); ++w) {
      uint64_t bits = words[w] & allowed.words[w] & ~excluded.words[w];
      if (w == from >> 6) bits &= ~uint64_t{0} << (from & 63);
      if (bits != 0) return w * 64 + static_cast<size_t>(std::countr_zero(bits));
    }
    return kMaxVocabularyRows;
  }
};

/// The rows a name may stand for, by the byte that follows it.
struct RowsOfName {
  std::string_view name;
  RowMask fields;      // followed by "(": fields and the "@NOEND()" marker
  RowMask conditions;  // followed by "="
};

/// Hash of a name, folded byte by byte while the line is scanned.
inline uint32_t FoldName(uint32_t hash, char c) { return hash * 31u + static_cast<uint8_t>(c); }
constexpr size_t kNameBuckets = 256;

/// Where the expander looks rows up: by name, and which rows each pass reads.
struct RowIndex {
  std::vector<RowsOfName> names;
  std::vector<uint8_t> bucketOf[kNameBuckets];  // indices into `names` by hash
  size_t longestName = 0;
  RowMask inPass[4];  // by pass 1..3

  static size_t Bucket(uint32_t hash) { return (hash ^ (hash >> 8)) % kNameBuckets; }

  RowsOfName& Entry(std::string_view name) {
    uint32_t hash = 0;
    for (char c : name) hash = FoldName(hash, c);
    std::vector<uint8_t>& bucket = bucketOf[Bucket(hash)];
    for (uint8_t k : bucket) {
      if (names[k].name == name) return names[k];
    }
    bucket.push_back(static_cast<uint8_t>(names.size()));
    names.push_back(RowsOfName{name, {}, {}});
    return names.back();
  }

  const RowsOfName* Find(std::string_view name, uint32_t hash) const {
    for (uint8_t k : bucketOf[Bucket(hash)]) {
      if (names[k].name == name) return &names[k];
    }
    return nullptr;
  }
};

const RowIndex& Index() {
  static const RowIndex index = [] {
    RowIndex result;
    std::span<const MacroRow> rows = MacroVocabulary();
    for (size_t i = 0; i < rows.size() && i < kMaxVocabularyRows; ++i) {
      const MacroRow& row = rows[i];
      std::string_view name = row.name.substr(0, row.name.find('('));
      RowsOfName& entry = result.Entry(name);
      (row.form == MacroForm::kField || row.form == MacroForm::kMarker ? entry.fields
                                                                       : entry.conditions)
          .Add(i);
      result.longestName = std::max(result.longestName, name.size());
      for (int pass = 1; pass <= 3; ++pass) {
        if (ActiveInPass(row.group, pass)) result.inPass[pass].Add(i);
      }
    }
    return result;
  }();
  return index;
}

/// One "@NAME(" or "@NAME=" in a line.
struct Key {
  size_t at;
  const RowMask* rows;
};
/// Every key takes at least two bytes.
constexpr size_t kMaxKeys = MarkedLine::kBound / 2 + 1;

/// The keys of one template line.
struct MemoLine {
  std::string text;
  Key keys[kMaxKeys];
  size_t count = 0;
};

}  // namespace

/// A report's loop region holds at most kLoopBodyCapacity lines; the few
/// header and footer lines read once share the rest of the room.
struct ExpandMemo::State {
  static constexpr size_t kLines = kLoopBodyCapacity + 28;
  std::vector<MemoLine> lines;

  MemoLine* Find(std::string_view text) {
    for (MemoLine& line : lines) {
      if (line.text == text) return &line;
    }
    return nullptr;
  }
};

ExpandMemo::ExpandMemo() = default;
ExpandMemo::~ExpandMemo() = default;

namespace {

/// The built-in keys ("@NAME(" or "@NAME=") that stand wholly in a line's
/// template text, in line order: exactly where MarkedLine::Find would find each
/// row. A key ends at the first "(" or "=" after its "@", as no name holds
/// either byte, so it reads at most the name's longest length past its "@".
/// After edits only the keys that could read a touched byte are looked for again.
class LineKeys {
 public:
  explicit LineKeys(const RowIndex& index) : index_(index) {}

  /// Brings the keys up to date with the line; the first call reads it whole,
  /// or takes the keys from `memo` when it has read the same template text before.
  void Sync(MarkedLine& line, ExpandMemo* memo) {
    size_t size = line.size();
    if (!synced_) {
      First(line, memo);
    } else if (line.UntouchedFront() != size_ || line.UntouchedBack() != size_ || size != size_) {
      Update(line);
    } else {
      return;
    }
    synced_ = true;
    size_ = size;
    line.MarkUntouched();
    present_ = RowMask{};
    for (size_t k = 0; k < count_; ++k) present_ |= *keys_[k].rows;
  }

  /// The rows that have a key in the line.
  const RowMask& Present() const { return present_; }

  /// Where the first key of `row` stands; npos when there is none.
  size_t FirstOf(size_t row) const {
    for (size_t k = 0; k < count_; ++k) {
      if (keys_[k].rows->Has(row)) return keys_[k].at;
    }
    return MarkedLine::npos;
  }

 private:
  void First(const MarkedLine& line, ExpandMemo* memo) {
    bool plain = std::memchr(line.Marks().data(), 1, line.size()) == nullptr;
    if (memo == nullptr || !plain) {
      count_ = Scan(line, 0, line.size(), keys_, 0);
      return;
    }
    if (!memo->state) memo->state = std::make_unique<ExpandMemo::State>();
    ExpandMemo::State& state = *memo->state;
    MemoLine* known = state.Find(line.View());
    if (known == nullptr) {
      if (state.lines.size() >= ExpandMemo::State::kLines) state.lines.clear();
      known = &state.lines.emplace_back();
      known->count = Scan(line, 0, line.size(), known->keys, 0);
      known->text.assign(line.View());
    }
    std::copy(known->keys, known->keys + known->count, keys_);
    count_ = known->count;
  }

  void Update(const MarkedLine& line) {
    size_t size = line.size();
    size_t front = line.UntouchedFront();
    size_t back = std::min(line.UntouchedBack(), size);
    size_t longest = index_.longestName;
    size_t rescanFrom = front > longest ? front - longest : 0;
    size_t rescanTill = std::max(size - back, rescanFrom);
    size_t oldBackStart = size_ >= back ? size_ - back : 0;
    // The keys at the back move by the change of size; those in between are
    // looked for again.
    Key moved[kMaxKeys];
    size_t movedCount = 0;
    for (size_t k = 0; k < count_; ++k) {
      if (keys_[k].at < oldBackStart) continue;
      moved[movedCount] = keys_[k];
      moved[movedCount++].at = keys_[k].at - size_ + size;
    }
    size_t n = 0;
    while (n < count_ && keys_[n].at < std::min(rescanFrom, oldBackStart)) ++n;
    n = Scan(line, rescanFrom, rescanTill, keys_, n);
    for (size_t k = 0; k < movedCount && n < kMaxKeys; ++k) keys_[n++] = moved[k];
    count_ = n;
  }

  /// Appends the keys whose "@" stands in [from, till) to `out` from `n` on.
  size_t Scan(const MarkedLine& line, size_t from, size_t till, Key* out, size_t n) const {
    std::string_view text = line.View();
    for (size_t at = text.find('@', from); at < till; at = text.find('@', at + 1)) {
      if (line.IsValue(at)) continue;
      size_t limit = std::min(text.size(), at + index_.longestName + 1);
      size_t end = at + 1;
      uint32_t hash = FoldName(0, '@');
      for (; end < limit && text[end] != '(' && text[end] != '=' && !line.IsValue(end); ++end) {
        hash = FoldName(hash, text[end]);
      }
      if (end == limit || line.IsValue(end)) continue;
      const RowsOfName* entry = index_.Find(text.substr(at, end - at), hash);
      if (entry == nullptr || n == kMaxKeys) continue;
      out[n++] = Key{at, text[end] == '(' ? &entry->fields : &entry->conditions};
    }
    return n;
  }

  const RowIndex& index_;
  Key keys_[kMaxKeys];
  size_t count_ = 0;
  size_t size_ = 0;
  bool synced_ = false;
  RowMask present_;
};

class LineExpander {
 public:
  LineExpander(MarkedLine& line, int pass, ExpandContext& context)
      : line_(line),
        context_(context),
        rows_(MacroVocabulary()),
        keys_(Index()),
        inPass_(pass >= 1 && pass <= 3 ? Index().inPass[pass] : RowMask{}) {}

  void Run() {
    size_t from = 0;
    for (;;) {
      Outcome outcome = ScanRows(from);
      if (outcome.row == kNoRow && !(userBudget_ > 0 && TryUserMacros())) return;
      from = outcome.clean ? outcome.row : 0;
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
  // Only the rows with a key in the line are tried: every other row would find nothing.
  Outcome ScanRows(size_t from) {
    bool changed = false;
    for (size_t i = NextRow(from); i < rows_.size(); i = NextRow(i + 1)) {
      const MacroRow& row = rows_[i];
      Change change = TryRow(row, i);
      if (change == Change::kNone) continue;
      if (!row.oncePerLine) return Outcome{i, change == Change::kValue};
      // Handled without a restart; the scan goes on with the next name.
      used_.Add(i);
      changed = true;
    }
    // A scan that replaced something is followed by another from the top.
    return changed ? Outcome{0, false} : Outcome{};
  }

  /// The first row at or after `from` that the pass reads, the line holds and
  /// is not used up.
  size_t NextRow(size_t from) {
    keys_.Sync(line_, context_.memo);
    return keys_.Present().Next(from, inPass_, used_);
  }

  enum class Change { kNone, kValue, kOther };

  Change TryRow(const MacroRow& row, size_t rowIndex) {
    if (row.form == MacroForm::kMarker) return TryNoEnd() ? Change::kOther : Change::kNone;
    bool condition = row.form != MacroForm::kField;
    size_t pos = keys_.FirstOf(rowIndex);
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
      // user macro; past it the condition stays as text, as such a macro does.
      bool spent = userBudget_ <= 0;
      if (SubstituteConditional(line_, pos, keyLength, truth, context_.definitions, spent)) {
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
  ExpandContext& context_;
  std::span<const MacroRow> rows_;
  LineKeys keys_;
  RowMask inPass_;
  RowMask used_;  // the one-per-line rows the line has used up
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
