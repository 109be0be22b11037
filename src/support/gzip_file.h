// A gzip file read as the bytes it holds: rotated logs are kept compressed.
// Memory stays the same whatever the file expands to, and a file that expands
// far beyond what text compresses to is stopped rather than read for hours.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/platform.h"

namespace zentrak {

/// Text logs compress some 5 to 30 times; a file that expands more than this
/// many times its size is no log.
constexpr uint64_t kGzipMaxRatio = 200;

/// Why a gzip file gave fewer bytes than it holds.
enum class GzipStop { kNone, kTruncated, kDamaged, kTooLarge };

/// Reads a gzip file's members one after the other, as `gzip -dc` does. Zero
/// bytes after the last member (padding) are passed over; other bytes there
/// are counted and passed over too.
class GzipFile : public File {
 public:
  /// Over `compressed`, from its current position. The expanded bytes may be
  /// `maxRatio` times the compressed ones read so far, and a MiB more.
  explicit GzipFile(std::unique_ptr<File> compressed, uint64_t maxRatio = kGzipMaxRatio);
  ~GzipFile() override;
  GzipFile(const GzipFile&) = delete;
  GzipFile& operator=(const GzipFile&) = delete;

  size_t Read(char* data, size_t size) override;
  /// True once reading the compressed file failed.
  bool ReadFailed() const override { return readFailed_; }
  bool Write(std::string_view) override { return false; }
  /// Only back to the start.
  bool Seek(uint64_t offset) override;
  bool Flush() override { return true; }
  bool Sync() override { return true; }
  bool Close() override;

  /// Why the bytes ended early; kNone when every member was read to its end.
  GzipStop Stopped() const { return stop_; }
  /// Bytes given out so far.
  uint64_t Expanded() const { return expanded_; }
  /// Bytes after the last member that are neither a member nor padding.
  uint64_t TrailingBytes() const { return trailing_; }

 private:
  struct Stream;
  bool Fill();
  bool NextMember();

  std::unique_ptr<File> compressed_;
  std::unique_ptr<Stream> stream_;
  uint64_t maxRatio_;
  uint64_t consumed_ = 0;
  uint64_t expanded_ = 0;
  uint64_t trailing_ = 0;
  GzipStop stop_ = GzipStop::kNone;
  bool readFailed_ = false;
  bool inputEnd_ = false;
  bool done_ = false;
};

/// The compression a file's name tells ("gz", "xz", "bz2", "zst", "Z", "lz4",
/// "lzma"); empty for none.
std::string_view CompressionOfName(std::string_view name);

}  // namespace zentrak
