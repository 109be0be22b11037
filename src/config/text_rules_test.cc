#include "config/text_rules.h"

#include <gtest/gtest.h>

namespace zentrak {
namespace {

TEST(ExpandDefines, ReplacesCaseSensitivelyAndFirstDefinitionWins) {
  std::vector<std::string> defines = {"%DIR%=c:\\fido", "%DIR%=d:\\other"};
  EXPECT_EQ(ExpandDefines("LOG %DIR%\\mailer.log", defines), "LOG c:\\fido\\mailer.log");
  EXPECT_EQ(ExpandDefines("LOG %dir%\\mailer.log", defines), "LOG %dir%\\mailer.log");
  EXPECT_EQ(ExpandDefines("%DIR%;%DIR%", defines), "c:\\fido;c:\\fido");
}

TEST(ExpandDefines, EndsWhenAValueHoldsItsOwnName) {
  std::vector<std::string> defines = {"%A%=x%A%y"};
  EXPECT_EQ(ExpandDefines("[%A%]", defines), "[x%A%y]");
}

TEST(ApplyChanges, AppliesRulesInOrderByMode) {
  std::vector<ChangeRule> rules = {{true, "fidonet", "FN"}, {false, "Abc", "x"}};
  EXPECT_EQ(ApplyChanges("2:5020/1@FidoNet", rules), "2:5020/1@FN");
  EXPECT_EQ(ApplyChanges("abc Abc ABC", rules), "abc x ABC");
  // The search starts again from the beginning after every replacement.
  EXPECT_EQ(ApplyChanges("aaaa", {{false, "aa", "a"}}), "a");
}

TEST(ApplyChanges, EndsWhenTheReplacementHoldsTheSearchText) {
  EXPECT_EQ(ApplyChanges("a-a", {{false, "a", "aa"}}), "aa-aa");
  EXPECT_EQ(ApplyChanges("text", {{false, "", "x"}}), "text");
  EXPECT_EQ(ApplyChanges(std::string(250, 'a'), {{false, "a", "bb"}}).size(), 255u);
}

}  // namespace
}  // namespace zentrak
