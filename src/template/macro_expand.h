// The macro expander: rewrites one marked line in place, trying the built-in
// vocabulary in table order and then the user macros, restarting after each
// replacement; and the bare-name substitution applied to definition values.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "template/macro_table.h"
#include "template/marked_line.h"
#include "template/template_engine.h"

namespace zentrak {

/// A user macro is expanded at most this many times in one line; after that it
/// stays as text, so a macro whose value names itself cannot loop.
inline constexpr int kUserExpansionBound = 64;

/// What the expander keeps from one line to the next: the macro keys of the
/// last template line it read whole, as a report's body repeats its lines.
class ExpandMemo {
 public:
  ExpandMemo();
  ~ExpandMemo();
  struct State;
  std::unique_ptr<State> state;
};

/// What the expander reads and writes besides the line.
struct ExpandContext {
  MacroSources& sources;
  const std::vector<MacroDefinition>& definitions;
  /// Set when the line held "@NOEND()".
  bool& noLineEnd;
  /// Reused for values, so that expanding a line allocates nothing per macro.
  std::string& scratch;
  /// Where the keys of repeated lines are kept; none: every line is read whole.
  ExpandMemo* memo = nullptr;
  /// False when nothing will read which bytes came from values: a compiled
  /// line may then leave the marks out.
  bool marksRead = true;
};

/// Expands `line` for `pass` (1 header, 2 body, 3 footer).
void ExpandMarkedLine(MarkedLine& line, int pass, ExpandContext& context);

/// Replaces bare names ("@THISSYSOP", the period names, earlier definitions...)
/// in a definition value.
void SubstituteBare(MarkedLine& value, ExpandContext& context);

/// Index of the first definition called `name`, or -1.
int FindDefinition(const std::vector<MacroDefinition>& definitions, std::string_view name);

/// A parsed "(ALIGN,WIDTH)" argument: the text between the parentheses.
struct FieldArgs {
  bool valid = false;
  FieldAlign align = FieldAlign::kAsIs;
  int width = 0;  // 0..255; 255 for "*"
};

/// Reads the text between a macro's parentheses.
FieldArgs ParseArgs(std::string_view args);

/// The alignment a field argument names; false for anything but the three words.
bool ParseAlign(std::string_view word, FieldAlign& align);

}  // namespace zentrak
