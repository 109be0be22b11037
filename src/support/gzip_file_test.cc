// The gzip reader against what gzip itself makes of a file: every member,
// padding and garbage after them, files cut short or damaged, and a small
// file that expands without end, read in pieces of any size.
#include "support/gzip_file.h"

#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace zentrak {
namespace {

struct Read {
  std::string text;
  GzipStop stop;
  uint64_t trailing;
};

Read ReadAll(const std::string& bytes, size_t piece, uint64_t ratio = kGzipMaxRatio) {
  testing::TempDir dir;
  std::string path = dir.File("log.gz");
  testing::WriteFile(path, bytes);
  GzipFile file(NativePlatform().OpenFile(path, FileMode::kRead), ratio);
  Read out;
  std::string buffer(piece, '\0');
  while (size_t got = file.Read(buffer.data(), piece)) {
    out.text.append(buffer.data(), got);
    if (got < piece) break;
  }
  out.stop = file.Stopped();
  out.trailing = file.TrailingBytes();
  EXPECT_FALSE(file.ReadFailed());
  return out;
}

TEST(GzipFile, ReadsWhatGzipWrote) {
  std::string a = "+ 09 Dec 03:12:01 [4711] call to 2:5020/52@fidonet\n";
  std::string b(300000, 'x');
  std::string whole = testing::Gzip(a + b);
  struct Row {
    std::string name;
    std::string bytes;
    std::string text;
    GzipStop stop;
    uint64_t trailing;
  } rows[] = {
      {"one member", whole, a + b, GzipStop::kNone, 0},
      {"two members", testing::Gzip(a) + testing::Gzip(b), a + b, GzipStop::kNone, 0},
      {"padding after", testing::Gzip(a) + std::string(512, '\0'), a, GzipStop::kNone, 0},
      {"garbage after", testing::Gzip(a) + "garbage", a, GzipStop::kNone, 7},
      {"cut short", whole.substr(0, whole.size() / 2), "", GzipStop::kTruncated, 0},
      {"no gzip", "plain text\n", "", GzipStop::kDamaged, 11},
      {"empty", "", "", GzipStop::kDamaged, 0},
  };
  for (const Row& row : rows) {
    for (size_t piece : {size_t{1}, size_t{4096}, size_t{1} << 20}) {
      Read got = ReadAll(row.bytes, piece);
      if (row.stop == GzipStop::kTruncated) {
        EXPECT_TRUE((a + b).starts_with(got.text)) << row.name;
        EXPECT_GT(got.text.size(), a.size()) << row.name;
      } else {
        EXPECT_EQ(got.text, row.text) << row.name << " " << piece;
      }
      EXPECT_EQ(got.stop, row.stop) << row.name << " " << piece;
      EXPECT_EQ(got.trailing, row.trailing) << row.name;
      if (piece == 1 && row.bytes.size() > 100000) break;  // a byte at a time is slow
    }
  }
}

TEST(GzipFile, ABombStopsAtItsBound) {
  // 32 MiB of zeros compress to some 32 KiB: with a bound of 10 times the
  // compressed bytes (and a MiB) the reader stops after some 10 MiB.
  std::string bomb = testing::Gzip(std::string(size_t{32} << 20, '\0'));
  Read got = ReadAll(bomb, 1 << 16, 10);
  EXPECT_EQ(got.stop, GzipStop::kTooLarge);
  EXPECT_LT(got.text.size(), size_t{12} << 20);
  EXPECT_EQ(ReadAll(bomb, 1 << 16).stop, GzipStop::kNone);
}

TEST(GzipFile, CompressionOfAName) {
  EXPECT_EQ(CompressionOfName("binkd.2.gz"), "gz");
  EXPECT_EQ(CompressionOfName("binkd-20261201.xz"), "xz");
  EXPECT_EQ(CompressionOfName("binkd.3.zst"), "zst");
  EXPECT_EQ(CompressionOfName("binkd.1"), "");
  EXPECT_EQ(CompressionOfName(".gz"), "");
  EXPECT_EQ(CompressionOfName("mailer.log"), "");
}

}  // namespace
}  // namespace zentrak
