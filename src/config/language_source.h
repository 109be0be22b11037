// The text source of a language file and its compilation into the binary
// layout the language-file reader expects; used by the zentrak-lngc tool.
#pragma once

#include <string>
#include <string_view>

namespace zentrak {

/// Fixed text at the start of every compiled language file (padded with NULs).
inline constexpr std::string_view kLanguageFileTag = "Zentrak language file";
/// Highest message number a source may use.
inline constexpr int kMaxLanguageMessage = 9999;

/// Outcome of a compilation: the file's bytes, or an error and its line.
struct CompiledLanguage {
  std::string bytes;
  std::string error;  // empty on success
  int errorLine = 0;  // 1-based source line of the error, 0 when not tied to one
};

/// Compiles a source: lines "NUMBER TEXT", ";" comments and empty lines
/// skipped, escapes \\ \t \n \r \xHH in the text. Unlisted numbers up to the
/// highest listed one become empty messages.
CompiledLanguage CompileLanguageSource(std::string_view source);

}  // namespace zentrak
