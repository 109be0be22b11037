// The file lines of the mailer's log: which language-file text marks which step
// of a file transfer, and where in the line it stands. Every text is looked for
// at a fixed place (the start of the message, or its end), because the rest of
// the line holds a file name that the remote system chose.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "config/recognition_texts.h"

namespace zentrak {

/// What a file line says.
enum class FileLineKind : uint8_t {
  kNone,
  kReceiveStart,     // "Receiving file NAME (SIZE bytes)"
  kSendStart,        // "Sending file NAME (SIZE bytes)"
  kReceived,         // "Received NAME (CPS cps)"
  kSent,             // "Sent NAME (CPS cps)"
  kSkippedByUs,      // "File NAME skipped": we did not take the arriving file
  kRefusedByUs,      // "File NAME refused"
  kSkippedByRemote,  // "Remote skipped NAME"
  kRefusedByRemote,  // "Remote refused NAME"
  kDelayedByRemote,  // "Remote delayed NAME"
  kResume,           // "NAME: resuming from offset N"
  kAbort,            // "NAME (aborted at N)"
  kRenamed,          // "NAME -> [renamed OTHER]"
};

/// A recognised file line.
struct FileLine {
  FileLineKind kind = FileLineKind::kNone;
  /// The file name for the lines that begin with their text; for the others
  /// the message text in front of the recognised text (where the name stands).
  std::string_view name;
  /// Size (start lines), cps (end lines), offset (resume), position (abort);
  /// -1 when the line holds none.
  int64_t number = -1;
};

/// Recognises file lines by the file texts of the language file. An empty text
/// (a message the language file lacks) recognises nothing.
class FileLineRecogniser {
 public:
  explicit FileLineRecogniser(const RecognitionTexts& texts);

  /// The texts that are looked for at the end of a line, in the order of the
  /// bits Recognise takes: a caller that searches every line for many texts at
  /// once (the parser's matcher) can tell which of them a line holds.
  std::vector<std::string> TailTexts() const;
  /// Every tail text may be present.
  static constexpr uint32_t kAllTails = 0x1f;

  /// Reads one message text (the line from column 24 on). Bit k of `tails`
  /// clear says the line does not hold TailTexts()[k], so it is not looked for.
  FileLine Recognise(std::string_view message, uint32_t tails = kAllTails) const;

 private:
  struct Prefix {
    std::string text;
    FileLineKind kind;
  };
  FileLine TailLine(std::string_view message, uint32_t tails) const;

  std::vector<Prefix> prefixes_;  // longest first, so a text never hides a longer one
  bool firstByte_[256] = {};      // bytes that begin some prefix
  std::string resume_;
  std::string abort_;
  std::string skipped_;
  std::string refused_;
  std::string renamed_;
  std::string arrow_;
};

/// The first whole number inside the last pair of parentheses that ends `text`
/// and where that pair begins; number -1 (and `open` npos) when there is none.
struct TrailingData {
  size_t open = std::string_view::npos;
  int64_t number = -1;
};
TrailingData TrailingParentheses(std::string_view text);

}  // namespace zentrak
