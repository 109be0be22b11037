#include "support/line_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace zentrak {
namespace {

std::vector<std::string> AllLines(LineReader& reader) {
  std::vector<std::string> lines;
  std::string_view line;
  while (reader.Next(line)) lines.emplace_back(line);
  return lines;
}

TEST(LineReader, SplitsLfAndCrLfAndKeepsAnUnterminatedLastLine) {
  LineReader reader(std::string_view("a\r\nbb\n\nlast"));
  EXPECT_EQ(AllLines(reader), (std::vector<std::string>{"a", "bb", "", "last"}));
}

TEST(LineReader, CutsLongLinesAt255) {
  std::string text = std::string(300, 'x') + "\nnext\n";
  LineReader reader(text);
  auto lines = AllLines(reader);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].size(), 255u);
  EXPECT_EQ(lines[1], "next");
}

// Only a mark at the very start is dropped, and the bound counts the text alone.
TEST(LineReader, SkipsAUtf8ByteOrderMarkAtTheStartOnly) {
  LineReader reader(std::string_view("\xEF\xBB\xBFSYSOP x\n\xEF\xBB\xBFkept\n"));
  EXPECT_EQ(AllLines(reader), (std::vector<std::string>{"SYSOP x", "\xEF\xBB\xBFkept"}));
  std::string longLine = "\xEF\xBB\xBF" + std::string(300, 'x');
  LineReader cut(longLine);
  EXPECT_EQ(AllLines(cut), (std::vector<std::string>{std::string(255, 'x')}));
  LineReader bare(std::string_view("\xEF\xBB\xBF"));
  EXPECT_EQ(AllLines(bare), (std::vector<std::string>{""}));
}

TEST(LineReader, ReportsOffsets) {
  LineReader reader(std::string_view("ab\r\ncd\n"));
  std::string_view line;
  ASSERT_TRUE(reader.Next(line));
  EXPECT_EQ(reader.LineStart(), 0u);
  EXPECT_EQ(reader.LineEnd(), 4u);
  ASSERT_TRUE(reader.Next(line));
  EXPECT_EQ(reader.LineStart(), 4u);
  EXPECT_EQ(reader.LineEnd(), 7u);
}

// Small buffers force lines across block boundaries and lines longer than a block.
TEST(LineReader, FileReadsAcrossBlockBoundaries) {
  testing::TempDir dir;
  std::string text;
  for (int i = 0; i < 200; ++i) text += std::string(i % 37, 'a' + i % 26) + "\r\n";
  text += std::string(100, 'z') + "\nend";
  testing::WriteFile(dir.File("f"), text);
  for (size_t bufferSize : {16, 64, 1000}) {
    std::unique_ptr<File> file = NativePlatform().OpenFile(dir.File("f"), FileMode::kRead);
    ASSERT_NE(file, nullptr);
    LineReader fromFile(*file, bufferSize);
    LineReader fromMemory(text);
    std::vector<std::string> got = AllLines(fromFile);
    std::vector<std::string> want = AllLines(fromMemory);
    if (bufferSize < 100) want[200] = want[200].substr(0, 255);
    EXPECT_EQ(got.size(), want.size()) << bufferSize;
    for (size_t i = 0; i < std::min(got.size(), want.size()); ++i) {
      if (want[i].size() <= bufferSize) {
        EXPECT_EQ(got[i], want[i]) << bufferSize << " " << i;
      }
    }
    EXPECT_EQ(got.back(), "end");
  }
}

}  // namespace
}  // namespace zentrak
