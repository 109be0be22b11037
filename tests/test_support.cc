// Shared test helpers.
#include "test_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

namespace zentrak::testing {

TestConsole::TestConsole()
    : clock(LocalTime{2026, 12, 7, 10, 43, 8}), console(out, clock) {}

std::string TestConsole::Masked() const {
  static const std::regex kStamp("[0-9]{2} [A-Z][a-z]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}");
  return std::regex_replace(out.str(), kStamp, "STAMP");
}

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "zentrak-test-XXXXXX").string();
  char* made = mkdtemp(pattern.data());
  path_ = std::string(made ? made : pattern.c_str()) + "/";
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << bytes;
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) { return std::filesystem::exists(path); }

}  // namespace zentrak::testing
