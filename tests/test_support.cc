// Shared test helpers.
#include "test_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <regex>

namespace zentrak::testing {

TestConsole::TestConsole() : clock(LocalTime{2026, 12, 7, 10, 43, 8}), console(out, clock) {}

std::string TestConsole::Masked() const {
  static const std::regex kStamp("[0-9]{2} [A-Z][a-z]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}");
  return std::regex_replace(out.str(), kStamp, "STAMP");
}

// create_directory reports whether it made the directory, so a name another
// process took is simply drawn again.
TempDir::TempDir() {
  std::random_device random;
  std::filesystem::path base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::filesystem::path candidate = base / ("zentrak-test-" + std::to_string(random()));
    std::error_code error;
    if (std::filesystem::create_directory(candidate, error)) {
      path_ = candidate.generic_string() + "/";
      return;
    }
  }
  path_ = base.generic_string() + "/";
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

std::string ReadTextFile(const std::string& path) {
  std::ifstream file(path);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) { return std::filesystem::exists(path); }

}  // namespace zentrak::testing
