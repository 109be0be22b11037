// The scratch side of a check run.
#include "platform/scratch_platform.h"

#include <filesystem>
#include <random>
#include <system_error>

#include "platform/stdio_file.h"

namespace zentrak {
namespace fs = std::filesystem;

ScratchPlatform::~ScratchPlatform() {
  if (scratchDir_.empty()) return;
  std::error_code ignored;
  fs::remove_all(scratchDir_, ignored);
}

// A real run could create a file there only when its folder exists and may be
// written; the check says the same, with the same reason, so that it fails
// where the run would and prints what the run prints.
bool ScratchPlatform::MayCreate(const std::string& path) {
  fs::path folder = fs::path(path).parent_path();
  std::error_code error;
  if (!folder.empty() && !fs::is_directory(folder, error)) {
    errno = ENOENT;
    return false;
  }
  if (real_.MayCreateFileIn(folder.string())) return true;
  errno = EACCES;
  return false;
}

bool ScratchPlatform::RealFileVisible(const std::string& path) {
  return removed_.count(path) == 0 && real_.FileExists(path);
}

AccessKept ScratchPlatform::CopyAccess(const std::string& original, const std::string& copy) {
  auto scratch = written_.find(copy);
  if (scratch == written_.end()) return AccessKept::kNothing;
  auto replaced = written_.find(original);
  return real_.CopyAccess(replaced != written_.end() ? replaced->second : original,
                          scratch->second);
}

std::optional<std::vector<std::string>> ScratchPlatform::FilesIn(const std::string& dir) {
  std::optional<std::vector<std::string>> names = real_.FilesIn(dir);
  if (!names) return names;
  std::string prefix = dir == "." ? std::string() : dir;
  if (!prefix.empty() && prefix.back() != '/' && prefix.back() != real_.DirSeparator()) {
    prefix += real_.DirSeparator();
  }
  std::erase_if(*names, [&](const std::string& name) { return removed_.count(prefix + name); });
  return names;
}

std::string ScratchPlatform::NewScratchFile() {
  if (scratchDir_.empty()) {
    std::error_code error;
    fs::path base = fs::temp_directory_path(error);
    if (error) return {};
    std::random_device random;
    for (int attempt = 0; attempt < 100 && scratchDir_.empty(); ++attempt) {
      fs::path folder = base / ("zentrak-check-" + std::to_string(random()));
      if (fs::create_directory(folder, error)) scratchDir_ = folder.string();
    }
    if (scratchDir_.empty()) return {};
  }
  return (fs::path(scratchDir_) / std::to_string(++scratchCount_)).string();
}

std::unique_ptr<File> ScratchPlatform::OpenFile(const std::string& path, FileMode mode) {
  auto found = written_.find(path);
  if (mode == FileMode::kRead || mode == FileMode::kReadText) {
    if (found != written_.end()) return StdioFile::Open(found->second, mode);
    if (removed_.count(path) != 0) return nullptr;
    return real_.OpenFile(path, mode);
  }
  if (found == written_.end() && !MayCreate(path)) return nullptr;
  std::string scratch = found != written_.end() ? found->second : NewScratchFile();
  if (scratch.empty()) return nullptr;
  std::unique_ptr<File> file = StdioFile::Open(scratch, mode);
  if (file != nullptr) written_[path] = scratch;
  return file;
}

bool ScratchPlatform::FileExists(const std::string& path) {
  if (written_.count(path) != 0) return true;
  return RealFileVisible(path);
}

std::optional<uint64_t> ScratchPlatform::FileSize(const std::string& path) {
  auto found = written_.find(path);
  if (found != written_.end()) {
    std::error_code error;
    uintmax_t size = fs::file_size(found->second, error);
    if (error) return std::nullopt;
    return static_cast<uint64_t>(size);
  }
  if (removed_.count(path) != 0) return std::nullopt;
  return real_.FileSize(path);
}

bool ScratchPlatform::RemoveFile(const std::string& path) {
  bool removed = false;
  auto found = written_.find(path);
  if (found != written_.end()) {
    std::error_code ignored;
    fs::remove(found->second, ignored);
    written_.erase(found);
    removed = true;
  }
  if (RealFileVisible(path)) {
    if (!MayCreate(path)) return removed;
    removed_.insert(path);
    removed = true;
  }
  return removed;
}

bool ScratchPlatform::ReplaceFile(const std::string& from, const std::string& to) {
  if (!MayCreate(to)) return false;
  std::string scratch;
  auto found = written_.find(from);
  if (found != written_.end()) {
    scratch = found->second;
    written_.erase(found);
  } else {
    // A real file moved: its copy stands for it from now on.
    if (!RealFileVisible(from)) return false;
    scratch = NewScratchFile();
    std::error_code error;
    if (scratch.empty() || !fs::copy_file(from, scratch, error)) return false;
  }
  if (RealFileVisible(from)) removed_.insert(from);
  auto old = written_.find(to);
  if (old != written_.end()) {
    std::error_code ignored;
    fs::remove(old->second, ignored);
  }
  written_[to] = scratch;
  return true;
}

}  // namespace zentrak
