// The parts of a C stream file that every system shares.
#include "platform/stdio_file.h"

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

namespace zentrak {
namespace {

// Reports write a line at a time: a large buffer keeps that to few system calls.
constexpr size_t kWriteBufferSize = 64 * 1024;

// A large report or log copy is handed to the disk in steps of this size while
// the rest is still being written.
constexpr uint64_t kWritebackStride = 2 * 1024 * 1024;

const char* ModeText(FileMode mode) {
  switch (mode) {
    case FileMode::kRead:
      return "rb";
    case FileMode::kReadText:
      return "r";
    case FileMode::kWrite:
      return "wb";
    case FileMode::kWriteText:
      return "w";
    case FileMode::kAppend:
      return "ab";
  }
  return "rb";
}

}  // namespace

// Some disks take a time in proportion to all that was written since the last
// sync (a virtual disk that then writes out its host's cache, for one). Syncing
// as the file grows spreads that over the time the file takes to make.
class StdioFile::DataSyncer {
 public:
  explicit DataSyncer(std::function<bool()> syncData) : syncData_(std::move(syncData)) {}
  ~DataSyncer() { Stop(); }

  /// Starts the thread on the first request; a system that refuses the thread
  /// leaves it all to the final sync.
  void Request() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!thread_.joinable()) {
      try {
        thread_ = std::thread([this] { Run(); });
      } catch (const std::system_error&) {
        return;
      }
    }
    wanted_ = true;
    changed_.notify_one();
  }

  bool Stop() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    changed_.notify_one();
    if (thread_.joinable()) thread_.join();
    return !failed_;
  }

 private:
  void Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (true) {
      changed_.wait(lock, [this] { return wanted_ || stop_; });
      if (stop_) return;
      wanted_ = false;
      lock.unlock();
      bool synced = syncData_();
      lock.lock();
      if (!synced) failed_ = true;
    }
  }

  std::function<bool()> syncData_;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool wanted_ = false;
  bool stop_ = false;
  bool failed_ = false;
};

void StdioFile::RequestDataSync(std::function<bool()> syncData) {
  if (!syncer_) syncer_ = std::make_unique<DataSyncer>(std::move(syncData));
  syncer_->Request();
}

bool StdioFile::StopDataSync() {
  if (!syncer_) return true;
  bool synced = syncer_->Stop();
  syncer_.reset();
  return synced;
}

std::unique_ptr<File> StdioFile::Open(const std::string& path, FileMode mode) {
  std::FILE* file = std::fopen(path.c_str(), ModeText(mode));
  if (file == nullptr) return nullptr;
  return std::unique_ptr<File>(new StdioFile(file, mode));
}

StdioFile::StdioFile(std::FILE* file, FileMode mode) : file_(file) {
  // Unbuffered, each Write reaches the file in one call: no other program's
  // line can land in the middle of it.
  if (mode == FileMode::kAppend) std::setvbuf(file_, nullptr, _IONBF, 0);
  if (mode != FileMode::kWrite && mode != FileMode::kWriteText) return;
  buffer_.resize(kWriteBufferSize);
  std::setvbuf(file_, buffer_.data(), _IOFBF, buffer_.size());
}

StdioFile::~StdioFile() {
  StopDataSync();
  if (file_ != nullptr) std::fclose(file_);
}

size_t StdioFile::Read(char* data, size_t size) {
  if (file_ == nullptr) return 0;
  return std::fread(data, 1, size, file_);
}

bool StdioFile::ReadFailed() const { return file_ == nullptr || std::ferror(file_) != 0; }

bool StdioFile::Write(std::string_view bytes) {
  if (file_ == nullptr) return false;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) return false;
  sinceWriteback_ += bytes.size();
  if (sinceWriteback_ < kWritebackStride) return true;
  sinceWriteback_ = 0;
  return StartWriteback();
}

bool StdioFile::Flush() { return file_ != nullptr && std::fflush(file_) == 0; }

// Flushed before it is closed: some C libraries (the Windows one under wine
// among them) drop the error of the flush inside fclose and report success.
bool StdioFile::Close() {
  bool synced = StopDataSync();
  if (file_ == nullptr) return false;
  bool flushed = std::fflush(file_) == 0;
  bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  return synced && flushed && closed;
}

}  // namespace zentrak
