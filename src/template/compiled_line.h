// A report's loop line read once into literal text and macro slots, so that
// writing it for a record costs its macros' values, not another reading of the
// line. Only lines whose expansion cannot depend on the order of replacements
// are compiled; every other line, and every record that could reach the line
// bound, goes through the expander itself.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "template/macro_expand.h"
#include "template/macro_table.h"
#include "template/marked_line.h"

namespace zentrak {

class CompiledLine {
 public:
  /// Reads `text` (a loop line) for the report kind and the definitions as they
  /// stand. Usable() tells whether it could be compiled.
  CompiledLine(std::string_view text, int pass, uint8_t reportKind,
               const std::vector<MacroDefinition>& definitions);

  ~CompiledLine();

  /// False when the line must go through the expander.
  bool Usable() const { return usable_; }
  /// How many definitions there were when it was read: another count may
  /// name a user macro it took for text.
  size_t DefinitionCount() const { return definitionCount_; }

  /// Writes the line for the current record into `line`, exactly as
  /// ExpandMarkedLine would leave it; false (with `line` in no defined state)
  /// when this record needs the expander.
  bool Expand(MarkedLine& line, ExpandContext& context);

 private:
  enum class SlotKind : uint8_t { kField, kCondition, kUser, kNoEnd };
  struct Slot {
    SlotKind kind = SlotKind::kField;
    uint8_t width = 0;
    FieldAlign align = FieldAlign::kAsIs;
    uint16_t at = 0;  // where the macro's text stands in the template line
    uint16_t length = 0;
    uint16_t row = 0;              // the built-in's row (fields, conditions)
    int16_t user = -1;             // the user macro (user slots, conditions; -1: none)
    MacroValueFn value = nullptr;  // the built-in's value (fields, conditions)
  };

  /// A user macro's value that holds macros, compiled in turn.
  struct Nested;

  static constexpr size_t kNotNested = SIZE_MAX;
  /// What a slot shows for the current record.
  struct Shown {
    bool shows = false;  // false: the slot leaves nothing
    std::string_view text;
    std::string_view marks;            // a user value's own marks; empty for a built-in's
    size_t nestedLength = kNotNested;  // a nested value's own length
    size_t nestedGrowth = 0;           // how far its fields can lengthen it
  };

  bool Parse(std::string_view text, int pass, uint8_t reportKind,
             const std::vector<MacroDefinition>& definitions);
  /// The value of a user macro whose text holds built-in fields; false when
  /// the record needs the expander.
  bool EvaluateNested(const Slot& slot, ExpandContext& context, Shown& shown);

  int pass_ = 0;
  uint8_t reportKind_ = 0;
  bool usable_ = false;
  bool fieldsOnly_ = true;  // no user macros, conditions or line-end markers
  size_t longest_ = 0;      // the last record's longest moment of the line
  size_t definitionCount_ = 0;
  std::string text_;
  std::vector<Slot> slots_;  // in line order
  size_t literalBytes_ = 0;
  std::string value_;                            // the built-in value being written
  std::vector<std::unique_ptr<Nested>> nested_;  // by user macro
};

}  // namespace zentrak
