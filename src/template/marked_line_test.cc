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

// Appending at the end is replacing there: a random run of appends leaves the
// same bytes and marks as the same edits made with Replace and ReplaceFitted,
// up to and past the bound.
TEST(Appends, MatchReplacingAtTheEnd) {
  std::mt19937 random(8122026);
  auto below = [&random](size_t n) { return std::uniform_int_distribution<size_t>(0, n)(random); };
  const FieldAlign aligns[] = {FieldAlign::kLeft, FieldAlign::kRight, FieldAlign::kCenter,
                               FieldAlign::kAsIs};
  for (int round = 0; round < 2000; ++round) {
    MarkedLine appended;
    MarkedLine replaced;
    MarkedLine unmarked;  // the text is the same when nothing reads the marks
    appended.Assign("");
    replaced.Assign("");
    unmarked.Assign("");
    unmarked.KeepMarks(false);
    for (size_t step = below(12); step > 0; --step) {
      std::string text(below(40), static_cast<char>('a' + below(25)));
      std::string marks = below(1) ? std::string(text.size(), static_cast<char>(below(1))) : "";
      bool mark = below(1) != 0;
      size_t end = replaced.size();
      if (below(2) == 0) {
        size_t blanks = below(30);
        appended.AppendBlanks(blanks);
        unmarked.AppendBlanks(blanks);
        replaced.Replace(end, 0, std::string(blanks, ' '), {}, false);
      } else if (below(1)) {
        appended.Append(text, marks, mark);
        unmarked.Append(text, marks, mark);
        replaced.Replace(end, 0, text, marks, mark);
      } else {
        int width = static_cast<int>(below(50));
        FieldAlign align = aligns[below(3)];
        appended.AppendFitted(text, marks, mark, width, align);
        unmarked.AppendFitted(text, marks, mark, width, align);
        replaced.ReplaceFitted(end, 0, text, marks, mark, width, align);
      }
      ASSERT_EQ(appended.View(), replaced.View()) << round;
      ASSERT_EQ(appended.Marks(), replaced.Marks()) << round;
      ASSERT_EQ(unmarked.View(), replaced.View()) << round;
    }
    // A line assigned anew keeps its marks again.
    unmarked.Assign("ab");
    unmarked.Append("cd", {}, true);
    unmarked.AppendBlanks(1);
    ASSERT_EQ(unmarked.Marks(), std::string_view("\0\0\1\1\0", 5)) << round;
  }
}

}  // namespace
}  // namespace zentrak
