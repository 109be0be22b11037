// Files through C streams: what a writer hands over arrives whole, however it
// is cut into pieces and however often it is handed to the disk on the way.
#include "platform/stdio_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>

#include "test_support.h"

namespace zentrak {
namespace {

TEST(StdioFile, LargeWritesArriveWholeInAnyPieces) {
  testing::TempDir dir;
  std::mt19937 random(17);
  std::string bytes(20 * 1024 * 1024 + 333, '\0');
  for (char& c : bytes) c = static_cast<char>('a' + random() % 26);
  std::unique_ptr<File> file = StdioFile::Open(dir.File("big"), FileMode::kWrite);
  ASSERT_NE(file, nullptr);
  size_t syncAt = bytes.size() * 2 / 3;
  for (size_t at = 0; at < bytes.size();) {
    // Pieces from single bytes to a few megabytes cross the hand-over points anywhere.
    size_t piece = random() % 4 == 0 ? random() % (3 << 20) : random() % 300;
    piece = std::min(piece, bytes.size() - at);
    ASSERT_TRUE(file->Write(std::string_view(bytes).substr(at, piece))) << at;
    at += piece;
    // A sync midway, and writing on after it, as the log's copy does.
    if (at >= syncAt && syncAt != 0) {
      EXPECT_TRUE(file->Sync());
      syncAt = 0;
    }
  }
  EXPECT_TRUE(file->Sync());
  EXPECT_TRUE(file->Close());
  EXPECT_TRUE(testing::ReadFile(dir.File("big")) == bytes);
}

#if !defined(_WIN32)
TEST(StdioFile, AFullDiskFailsTheWritesOrTheClose) {
  std::unique_ptr<File> file = StdioFile::Open("/dev/full", FileMode::kWrite);
  if (file == nullptr) GTEST_SKIP() << "no /dev/full here";
  bool wrote = true;
  std::string piece(1 << 20, 'x');
  for (int i = 0; i < 12 && wrote; ++i) wrote = file->Write(piece);
  EXPECT_FALSE(wrote && file->Close());
}
#endif

}  // namespace
}  // namespace zentrak
