// Shared test helpers.
#include "test_support.h"

#include <zlib.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <regex>

namespace zentrak::testing {

TestConsole::TestConsole() : clock(LocalTime{2026, 12, 7, 10, 43, 8}), console(out, clock) {}

namespace {

// A native file that fails the operations its faults name.
class FaultyFile : public File {
 public:
  FaultyFile(std::unique_ptr<File> file, const FileFaults& faults, bool writing)
      : file_(std::move(file)), faults_(faults), writing_(writing) {}
  size_t Read(char* data, size_t size) override { return file_->Read(data, size); }
  bool ReadFailed() const override { return file_->ReadFailed(); }
  bool Write(std::string_view bytes) override {
    if (faults_.writeLimit && written_ + bytes.size() > *faults_.writeLimit) {
      file_->Write(bytes.substr(0, *faults_.writeLimit - written_));
      written_ = *faults_.writeLimit;
      errno = ENOSPC;
      return false;
    }
    written_ += bytes.size();
    return file_->Write(bytes);
  }
  bool Seek(uint64_t offset) override { return file_->Seek(offset); }
  bool Flush() override { return file_->Flush(); }
  std::optional<bool> OthersMayWrite() override { return file_->OthersMayWrite(); }
  // A failed sync or close says why, as the system does.
  bool Sync() override {
    if (writing_ && faults_.failSync) {
      errno = EIO;
      return false;
    }
    return file_->Sync();
  }
  bool Close() override {
    bool closed = file_->Close();
    if (writing_ && faults_.failClose) {
      errno = EIO;
      return false;
    }
    return closed;
  }

 private:
  std::unique_ptr<File> file_;
  FileFaults faults_;
  bool writing_;
  uint64_t written_ = 0;
};

}  // namespace

std::unique_ptr<File> TestPlatform::OpenFile(const std::string& path, FileMode mode) {
  if (!faults.failOpen.empty() && path == faults.failOpen) return nullptr;
  std::unique_ptr<File> file = native_.OpenFile(path, mode);
  if (file == nullptr) return nullptr;
  bool writing = mode == FileMode::kWrite || mode == FileMode::kWriteText;
  return std::make_unique<FaultyFile>(std::move(file), faults, writing);
}

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

std::string Gzip(const std::string& text) {
  z_stream z{};
  deflateInit2(&z, 9, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&z, text.size()) + 32, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  z.avail_in = static_cast<uInt>(text.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
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
