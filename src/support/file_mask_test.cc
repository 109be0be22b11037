// Address masks: the rewrite into a pattern and the unanchored, negatable search.
#include "support/file_mask.h"

#include <gtest/gtest.h>

namespace zentrak {
namespace {

TEST(FileMask, PatternRewrite) {
  EXPECT_EQ(MaskPattern("2:5020/*"), "2:5020/.*");
  EXPECT_EQ(MaskPattern("1:1/1.5"), "1:1/1\\.5");
  EXPECT_EQ(MaskPattern("a{2}"), "a\\{2\\}");
  EXPECT_EQ(MaskPattern(std::string(200, '*')).size(), 255u);
}

TEST(FileMask, Matching) {
  struct Row {
    const char* subject;
    const char* mask;
    bool match;
  } rows[] = {
      {"2:5020/123", "2:5020/*", true},
      {"1:2:5020/1", "2:5020/*", true},  // unanchored search
      {"1:2:5020/1", "^2:5020/*", false},
      {"2:5020/1", "^2:5020/*", true},
      {"2:5030/1", "!2:5020/*", true},
      {"2:5020/1", "!2:5020/*", false},
      {"2:500/1", "2:50?0/1", true},
      {"2:50/1", "2:50?0/1", true},     // "?" makes the 0 before it optional
      {"2:5000/1", "2:50?0/1", false},  // so at most two zeros fit
      {"2:5010/1", "2:50?0/1", false},
      {"2:5020/1", "2:(5020", false},  // does not compile
      {"2:5020/1", "!2:(5020", true},
      {"", "*", false},  // empty subject
      {"", "!*", true},
      {"2:5020/1", "", false},  // empty pattern
      {"2:5020/1", "!", true},
      {"2:5020/1.5", "2:5020/1.5", true},  // the subject is searched as it stands
      {"2:5020/115", "2:5020/1.5", false},
      {"2:5020/1", "2:5020/[0-4]$", true},
      {"2:5020/5", "2:5020/[0-4]$", false},
      {"2:5020/1", "2:5030/1|2:5020/1", true},
      {"ABC", "abc", false},   // case-sensitive
      {"a{2}", "a{2}", true},  // braces are plain characters
  };
  for (const Row& row : rows) {
    EXPECT_EQ(MatchMask(row.subject, row.mask), row.match) << row.subject << " ~ " << row.mask;
    EXPECT_EQ(CompiledMask(row.mask).Matches(row.subject), row.match) << row.mask;
  }
}

}  // namespace
}  // namespace zentrak
