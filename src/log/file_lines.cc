// File-line recognition: the lines that begin with their text first (their
// place is fixed by the log's columns), then the ones that end with it.
#include "log/file_lines.h"

#include <algorithm>
#include <limits>
#include <tuple>

namespace zentrak {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Leading digits of `text` and how many there were. A number past the largest
// 64-bit value reads as that value: a hostile line must neither overflow nor
// pass for a smaller number.
int64_t Digits(std::string_view text, size_t* count) {
  constexpr int64_t kMost = std::numeric_limits<int64_t>::max();
  int64_t value = 0;
  size_t n = 0;
  for (; n < text.size() && IsDigit(text[n]); ++n) {
    int digit = text[n] - '0';
    value = value > (kMost - digit) / 10 ? kMost : value * 10 + digit;
  }
  *count = n;
  return value;
}

std::string_view DropOneLeadingBlank(std::string_view text) {
  if (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  return text;
}

std::string_view DropOneTrailingBlank(std::string_view text) {
  if (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

std::string_view TrimTrailingBlanks(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// The last occurrence of `needle`; the forward search is the fast one, and a
// line rarely holds the text at all.
size_t LastOf(std::string_view text, std::string_view needle) {
  size_t found = text.find(needle);
  if (found == std::string_view::npos) return found;
  for (size_t next = text.find(needle, found + 1); next != std::string_view::npos;
       next = text.find(needle, next + 1)) {
    found = next;
  }
  return found;
}

bool TakesData(FileLineKind kind) {
  return kind == FileLineKind::kReceiveStart || kind == FileLineKind::kSendStart ||
         kind == FileLineKind::kReceived || kind == FileLineKind::kSent;
}

}  // namespace

TrailingData TrailingParentheses(std::string_view text) {
  TrailingData data;
  if (text.empty() || text.back() != ')') return data;
  size_t open = text.rfind('(');
  if (open == std::string_view::npos) return data;
  data.open = open;
  std::string_view inside = text.substr(open + 1, text.size() - open - 2);
  size_t first = 0;
  while (first < inside.size() && !IsDigit(inside[first])) ++first;
  size_t count = 0;
  int64_t value = Digits(inside.substr(first), &count);
  if (count > 0) data.number = value;
  return data;
}

FileLineRecogniser::FileLineRecogniser(const RecognitionTexts& t)
    : resume_(t.fileText5),
      abort_(t.fileText6),
      skipped_(t.fileText3),
      refused_(t.fileText4),
      renamed_(t.fileText7),
      arrow_(t.arrow) {
  const Prefix prefixes[] = {
      {t.fileText0, FileLineKind::kReceiveStart},
      {t.fileText8, FileLineKind::kSendStart},
      {t.fileText2, FileLineKind::kReceived},
      {t.fileText1, FileLineKind::kSent},
      {t.fileText9, FileLineKind::kSkippedByRemote},
      {t.fileText10, FileLineKind::kRefusedByRemote},
      {t.fileText11, FileLineKind::kDelayedByRemote},
  };
  for (const Prefix& prefix : prefixes) {
    if (prefix.text.empty()) continue;
    prefixes_.push_back(prefix);
    firstByte_[static_cast<unsigned char>(prefix.text[0])] = true;
  }
  std::stable_sort(prefixes_.begin(), prefixes_.end(),
                   [](const Prefix& a, const Prefix& b) { return a.text.size() > b.text.size(); });
}

std::vector<std::string> FileLineRecogniser::TailTexts() const {
  return {abort_, resume_, skipped_, refused_, renamed_};
}

FileLine FileLineRecogniser::Recognise(std::string_view message, uint32_t tails) const {
  if (message.empty()) return {};
  if (firstByte_[static_cast<unsigned char>(message[0])]) {
    for (const Prefix& prefix : prefixes_) {
      const std::string& text = prefix.text;
      if (message.size() < text.size() || message.compare(0, text.size(), text) != 0) continue;
      std::string_view rest = message.substr(text.size());
      // The text is a whole word: "Sent" does not begin "Sentinel".
      if (!rest.empty() && rest.front() != ' ') continue;
      FileLine line{prefix.kind, DropOneLeadingBlank(rest), -1};
      if (TakesData(prefix.kind)) {
        TrailingData data = TrailingParentheses(rest);
        if (data.open != std::string_view::npos) {
          line.name = DropOneTrailingBlank(DropOneLeadingBlank(rest.substr(0, data.open)));
          line.number = data.number;
        }
      }
      return line;
    }
  }
  return tails == 0 ? FileLine{} : TailLine(message, tails);
}

FileLine FileLineRecogniser::TailLine(std::string_view message, uint32_t tails) const {
  size_t count = 0;
  if ((tails & 1) && !abort_.empty() && message.back() == ')') {
    size_t open = message.rfind('(');
    std::string_view inside = message.substr(open + 1);
    if (open != std::string_view::npos && inside.starts_with(abort_)) {
      int64_t position = Digits(inside.substr(abort_.size()), &count);
      if (count > 0) {
        return {FileLineKind::kAbort, DropOneTrailingBlank(message.substr(0, open)), position};
      }
    }
  }
  if ((tails & 2) && !resume_.empty()) {
    size_t at = LastOf(message, resume_);
    if (at != std::string_view::npos) {
      int64_t offset = Digits(message.substr(at + resume_.size()), &count);
      if (count > 0)
        return {FileLineKind::kResume, TrimTrailingBlanks(message.substr(0, at)), offset};
    }
  }
  std::string_view trimmed = TrimTrailingBlanks(message);
  for (const auto& [text, kind, bit] : {std::tuple{&skipped_, FileLineKind::kSkippedByUs, 4u},
                                        std::tuple{&refused_, FileLineKind::kRefusedByUs, 8u}}) {
    if (!(tails & bit) || text->empty() || !trimmed.ends_with(*text)) continue;
    std::string_view before = trimmed.substr(0, trimmed.size() - text->size());
    if (!before.empty() && before.back() != ' ') continue;
    return {kind, TrimTrailingBlanks(before), -1};
  }
  if ((tails & 16) && !renamed_.empty() && !arrow_.empty()) {
    size_t at = LastOf(message, arrow_);
    if (at != std::string_view::npos && message.size() > at + arrow_.size()) {
      std::string_view after = message.substr(at + arrow_.size() + 1);
      size_t open = after.find('[');
      if (open != std::string_view::npos && after.substr(open + 1).starts_with(renamed_)) {
        return {FileLineKind::kRenamed, TrimTrailingBlanks(message.substr(0, at)), -1};
      }
    }
  }
  return {};
}

}  // namespace zentrak
