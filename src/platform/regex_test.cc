// What every platform's regular expression engine must agree on: the classic
// operators, and a pattern it cannot compile is invalid and matches nothing.
#include "platform/regex.h"

#include <gtest/gtest.h>

#include <utility>

namespace zentrak {
namespace {

TEST(ExtendedRegexTest, SearchesAnywhereWithTheClassicOperators) {
  struct Row {
    const char* pattern;
    const char* subject;
    bool found;
  } rows[] = {
      {"b", "abc", true},         {"^b", "abc", false},      {"c$", "abc", true},
      {"^abc$", "abcd", false},   {"a.c", "xabcx", true},    {"a\\.c", "abc", false},
      {"a\\.c", "a.c", true},     {"ab*c", "ac", true},      {"ab+c", "ac", false},
      {"ab?c", "abbc", false},    {"(ab)+$", "xabab", true}, {"2:5020|2:5030", "2:5030/1", true},
      {"[0-4]$", "7", false},     {"[0-4]$", "3", true},     {"[^0-4]", "3", false},
      {"a{2}", "xaax", true},     {"a{2}", "xax", false},    {"ABC", "abc", false},
      {"a\\{2\\}", "a{2}", true}, {"a\\{2\\}", "aa", false}, {"x\\}", "x}", true},
      {"[\\]", "\\", true},       {"[]a]", "]", true},       {"x\\/y", "x/y", true},
  };
  for (const Row& row : rows) {
    ExtendedRegex regex(row.pattern);
    EXPECT_TRUE(regex.Valid()) << row.pattern;
    EXPECT_EQ(regex.Search(row.subject), row.found) << row.pattern << " in " << row.subject;
  }
}

TEST(ExtendedRegexTest, AnUncompilablePatternIsInvalidAndNeverMatches) {
  for (const char* pattern : {"", "(ab", "[ab", "[z-a]", "ab\\"}) {
    ExtendedRegex regex(pattern);
    EXPECT_FALSE(regex.Valid()) << pattern;
    EXPECT_FALSE(regex.Search("ab")) << pattern;
    EXPECT_FALSE(regex.Search("")) << pattern;
  }
}

TEST(ExtendedRegexTest, AMovedRegexKeepsMatching) {
  ExtendedRegex first("^2:50");
  ExtendedRegex second = std::move(first);
  EXPECT_TRUE(second.Search("2:5020/1"));
  ExtendedRegex third("x");
  third = std::move(second);
  EXPECT_TRUE(third.Search("2:5020/1"));
}

}  // namespace
}  // namespace zentrak
