// Blocks of lines against the line reader: the same lines, byte for byte, on
// random bytes with CRs, byte-order marks, long lines and a missing last line end.
#include "log/log_blocks.h"

#include <gtest/gtest.h>

#include <random>

namespace zentrak {
namespace {

std::string RandomLog(std::mt19937& random) {
  const std::string pieces[] = {"a",    "b c",  "\r",   "\n",   "\r\n",        "\r\n",
                                "\n\n", "\xEF", "\xBB", "\xBF", "\xEF\xBB\xBF"};
  std::string log;
  size_t parts = random() % 200;
  for (size_t k = 0; k < parts; ++k) {
    if (random() % 40 == 0) {
      // Lines about as long as the kept head, and far longer than a block.
      size_t length = random() % 2 ? 250 + random() % 12 : 300 + random() % 3000;
      log += std::string(length, static_cast<char>('A' + random() % 26));
      if (random() % 2) log += '\r';
    } else {
      log += pieces[random() % std::size(pieces)];
    }
  }
  return log;
}

TEST(LogBlocks, GiveTheLinesTheLineReaderGives) {
  std::mt19937 random(12);
  for (int round = 0; round < 3000; ++round) {
    std::string log = RandomLog(random);
    std::vector<std::string> expected;
    LineReader lines(log);
    std::string_view line;
    FirstLineFacts first;
    while (lines.Next(line)) {
      if (expected.empty()) {
        first = {true, lines.LastLineUnterminated(), lines.LineEnd() - lines.LineStart()};
      }
      expected.emplace_back(line);
    }
    LogBlockReader blocks(log, 400 + random() % 3000);
    std::vector<std::string> got;
    LogBlock block;
    while (blocks.Next(block)) {
      ForEachLine(block, [&](std::string_view text) { got.emplace_back(text); });
    }
    ASSERT_EQ(got, expected) << "round " << round;
    // After an empty first line the facts describe a later one.
    if (!expected.empty() && expected[0].find_first_not_of('\r') == std::string::npos &&
        !first.unterminated) {
      continue;
    }
    EXPECT_EQ(blocks.FirstLine().present, first.present);
    EXPECT_EQ(blocks.FirstLine().unterminated, first.unterminated) << "round " << round;
    EXPECT_EQ(blocks.FirstLine().physicalLength, first.physicalLength) << "round " << round;
  }
}

}  // namespace
}  // namespace zentrak
