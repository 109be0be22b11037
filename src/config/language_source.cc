// Compiling a language source: parse each message line, unescape its text,
// then lay out the header and every message ended by one NUL.
#include "config/language_source.h"

#include <map>
#include <optional>

#include "config/language_file.h"

namespace zentrak {
namespace {

std::optional<int> HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return std::nullopt;
}

// The text of a message with its escapes resolved; a NUL would end the
// message early, so it is refused.
std::optional<std::string> Unescape(std::string_view text, std::string& error) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    char kind = i + 1 < text.size() ? text[++i] : '\0';
    if (kind == '\\') {
      out += '\\';
    } else if (kind == 't') {
      out += '\t';
    } else if (kind == 'n') {
      out += '\n';
    } else if (kind == 'r') {
      out += '\r';
    } else if (kind == 'x' && i + 2 < text.size() && HexDigit(text[i + 1]) &&
               HexDigit(text[i + 2])) {
      char byte = static_cast<char>(*HexDigit(text[i + 1]) * 16 + *HexDigit(text[i + 2]));
      if (byte == '\0') {
        error = "\\x00 would end the message early";
        return std::nullopt;
      }
      out += byte;
      i += 2;
    } else {
      error = "unknown escape (use \\\\ \\t \\n \\r \\xHH)";
      return std::nullopt;
    }
  }
  return out;
}

std::optional<int> MessageNumber(std::string_view digits) {
  if (digits.empty() || digits.size() > 4) return std::nullopt;
  int number = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    number = number * 10 + (c - '0');
  }
  return number;
}

CompiledLanguage Failure(std::string error, int line) {
  return CompiledLanguage{std::string(), std::move(error), line};
}

}  // namespace

CompiledLanguage CompileLanguageSource(std::string_view source) {
  std::map<int, std::string> messages;
  int lineNumber = 0;
  while (!source.empty()) {
    size_t end = source.find('\n');
    std::string_view line = source.substr(0, end);
    source.remove_prefix(end == std::string_view::npos ? source.size() : end + 1);
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line[0] == ';') continue;
    size_t blank = line.find(' ');
    std::optional<int> number = MessageNumber(line.substr(0, blank));
    if (!number) return Failure("a message line begins with its number (0..9999)", lineNumber);
    if (messages.count(*number)) return Failure("message number given twice", lineNumber);
    std::string error;
    std::string_view text = blank == std::string_view::npos ? "" : line.substr(blank + 1);
    std::optional<std::string> unescaped = Unescape(text, error);
    if (!unescaped) return Failure(error, lineNumber);
    messages[*number] = std::move(*unescaped);
  }
  if (messages.empty()) return Failure("no message in the source", 0);

  std::string bytes(kLanguageFileTag);
  bytes.resize(kLanguageHeaderSize, '\0');
  int last = messages.rbegin()->first;
  for (int number = 0; number <= last; ++number) {
    auto found = messages.find(number);
    if (found != messages.end()) bytes += found->second;
    bytes += '\0';
  }
  if (bytes.size() - kLanguageHeaderSize > kLanguageAreaLimit) {
    return Failure("the messages need more than 65535 bytes", 0);
  }
  return CompiledLanguage{std::move(bytes), std::string(), 0};
}

}  // namespace zentrak
