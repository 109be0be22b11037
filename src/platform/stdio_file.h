// Files through the C library's streams, the same on every system. What
// differs between them, 64-bit seeking and forcing bytes to the disk, lives
// in posix/ and windows/.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace zentrak {

class StdioFile final : public File {
 public:
  /// Opens `path` in `mode`; nothing when the C library cannot.
  static std::unique_ptr<File> Open(const std::string& path, FileMode mode);
  ~StdioFile() override;

  size_t Read(char* data, size_t size) override;
  bool ReadFailed() const override;
  bool Write(std::string_view bytes) override;
  bool Seek(uint64_t offset) override;
  bool Flush() override;
  bool Sync() override;
  bool Close() override;
  std::optional<bool> OthersMayWrite() override;

 private:
  StdioFile(std::FILE* file, FileMode mode);
  // Hands what is written so far to the system and asks it to start putting
  // it on the disk, so that a large file's final sync has little left to wait
  // for; false when the hand-over failed.
  bool StartWriteback();
  // Asks a thread of the file's own to force what was handed over to the disk
  // with `syncData` while the writing goes on.
  void RequestDataSync(std::function<bool()> syncData);
  // Waits for that thread; false when one of its syncs failed.
  bool StopDataSync();

  class DataSyncer;
  std::FILE* file_;
  std::vector<char> buffer_;
  uint64_t sinceWriteback_ = 0;
  std::unique_ptr<DataSyncer> syncer_;
};

}  // namespace zentrak
