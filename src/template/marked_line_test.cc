#include "template/marked_line.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace zentrak {
namespace {

// The expander rereads only what lies between a line's untouched ends, so an
// end reported untouched must really hold the bytes and marks it held.
TEST(UntouchedEnds, HoldTheirBytesThroughAnyRunOfEdits) {
  std::mt19937 random(20261208);
  auto below = [&random](size_t n) { return std::uniform_int_distribution<size_t>(0, n)(random); };
  for (int round = 0; round < 3000; ++round) {
    MarkedLine line;
    std::string start(below(255), 'a');
    for (char& c : start) c = static_cast<char>('a' + below(25));
    line.Assign(start);
    // Some value bytes, then a fresh account.
    line.Replace(below(line.size()), below(4), "VAL", {}, true);
    line.MarkUntouched();
    std::string before(line.View());
    std::string marksBefore(line.Marks());
    int edits = static_cast<int>(below(4));
    for (int e = 0; e < edits; ++e) {
      size_t pos = below(line.size());
      switch (below(4)) {
        case 0:
          line.Erase(pos, below(20));
          break;
        case 1:
          line.Truncate(pos);
          break;
        case 2:
          line.Replace(pos, below(20), std::string(below(40), 'R'), {}, below(1) == 1);
          break;
        default:
          line.ReplaceFitted(pos, below(20), "value", {}, true, static_cast<int>(below(260)),
                             static_cast<FieldAlign>(below(3)));
      }
    }
    std::string after(line.View());
    std::string marksAfter(line.Marks());
    size_t front = line.UntouchedFront();
    size_t back = line.UntouchedBack();
    ASSERT_LE(front, after.size());
    ASSERT_LE(back, after.size());
    ASSERT_LE(back, before.size());
    EXPECT_EQ(after.substr(0, front), before.substr(0, front)) << round;
    EXPECT_EQ(marksAfter.substr(0, front), marksBefore.substr(0, front)) << round;
    EXPECT_EQ(after.substr(after.size() - back), before.substr(before.size() - back)) << round;
    EXPECT_EQ(marksAfter.substr(after.size() - back), marksBefore.substr(before.size() - back))
        << round;
    if (edits == 0) {
      EXPECT_EQ(front, after.size());
      EXPECT_EQ(back, after.size());
    }
  }
}

TEST(UntouchedEnds, AssignTouchesEverything) {
  MarkedLine line;
  line.Assign("@CPS(LEFT,4)");
  line.MarkUntouched();
  line.Assign("@CPS(LEFT,4)");
  EXPECT_EQ(line.UntouchedFront(), 0u);
  EXPECT_EQ(line.UntouchedBack(), 0u);
}

}  // namespace
}  // namespace zentrak
