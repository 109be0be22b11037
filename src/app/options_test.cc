#include "app/options.h"

#include <gtest/gtest.h>

namespace zentrak {
namespace {

using Action = Options::Action;
using Args = std::vector<std::string>;

struct OptionCase {
  Args args;
  Action action;
  bool quiet;
  bool check;
  Args arguments;
  std::string badOption;
};

TEST(ParseOptions, TableOfCommandLines) {
  const OptionCase cases[] = {
      {{}, Action::kRun, false, false, {}, ""},
      {{"my.cfg"}, Action::kRun, false, false, {"my.cfg"}, ""},
      {{"a.cfg", "b.cfg"}, Action::kRun, false, false, {"a.cfg", "b.cfg"}, ""},
      {{"-q"}, Action::kRun, true, false, {}, ""},
      {{"--quiet", "--check", "my.cfg"}, Action::kRun, true, true, {"my.cfg"}, ""},
      // Options may follow the configuration, as cron lines are often edited.
      {{"my.cfg", "--check"}, Action::kRun, false, true, {"my.cfg"}, ""},
      {{"-h"}, Action::kHelp, false, false, {}, ""},
      {{"-q", "--help", "--bogus"}, Action::kHelp, true, false, {}, ""},
      {{"-V"}, Action::kVersion, false, false, {}, ""},
      {{"--version", "my.cfg"}, Action::kVersion, false, false, {}, ""},
      {{"--bogus", "--help"}, Action::kBadOption, false, false, {}, "--bogus"},
      {{"-qc"}, Action::kBadOption, false, false, {}, "-qc"},
      {{"--Check"}, Action::kBadOption, false, false, {}, "--Check"},
      // "?" keeps asking for the syntax line, with or without a dash.
      {{"-?"}, Action::kRun, false, false, {"-?"}, ""},
      {{"/?"}, Action::kRun, false, false, {"/?"}, ""},
      {{"--?"}, Action::kRun, false, false, {"--?"}, ""},
      // "--" ends the options; a lone "-" is an argument.
      {{"--", "-q.cfg", "--check"}, Action::kRun, false, false, {"-q.cfg", "--check"}, ""},
      {{"--check", "--", "--"}, Action::kRun, false, true, {"--"}, ""},
      {{"-"}, Action::kRun, false, false, {"-"}, ""},
  };
  for (const OptionCase& c : cases) {
    std::string line;
    for (const std::string& arg : c.args) line += arg + " ";
    SCOPED_TRACE(line);
    Options options = ParseOptions(c.args);
    EXPECT_EQ(options.action, c.action);
    EXPECT_EQ(options.quiet, c.quiet);
    EXPECT_EQ(options.check, c.check);
    EXPECT_EQ(options.arguments, c.arguments);
    EXPECT_EQ(options.badOption, c.badOption);
  }
}

// The view word after --trends is optional; anything else is the configuration.
TEST(ParseOptions, TrendsTakesAnOptionalViewAndJson) {
  struct Case {
    Args args;
    std::string view;
    bool json;
    Args arguments;
  };
  const Case cases[] = {
      {{"--trends"}, "days", false, {}},
      {{"--trends", "months", "my.cfg"}, "months", false, {"my.cfg"}},
      {{"my.cfg", "--json", "--trends", "top"}, "top", true, {"my.cfg"}},
      {{"--trends", "weeks"}, "days", false, {"weeks"}},
      {{"--trends", "--", "years"}, "days", false, {"years"}},
  };
  for (const Case& c : cases) {
    Options options = ParseOptions(c.args);
    EXPECT_EQ(options.action, Action::kTrends) << c.args.size();
    EXPECT_EQ(options.trendsView, c.view) << c.view;
    EXPECT_EQ(options.json, c.json) << c.view;
    EXPECT_EQ(options.arguments, c.arguments) << c.view;
  }
  EXPECT_EQ(ParseOptions({"--help", "--trends"}).action, Action::kHelp);
}

TEST(ParseOptions, SyntaxIsAskedByOneArgumentWithAQuestionMark) {
  EXPECT_TRUE(AsksForSyntax({"/?"}));
  EXPECT_TRUE(AsksForSyntax({"a?b"}));
  EXPECT_FALSE(AsksForSyntax({"/?", "my.cfg"}));
  EXPECT_FALSE(AsksForSyntax({}));
}

TEST(HelpText, NamesTheSystemConfigurationOnlyWhereThereIsOne) {
  std::string posix = HelpText("zentrak", "/etc/zentrak/zentrak.cfg");
  EXPECT_NE(posix.find("or /etc/zentrak/zentrak.cfg when there is none."), std::string::npos);
  std::string windows = HelpText("zentrak.exe", "");
  EXPECT_NE(windows.find("Usage: zentrak.exe [options]"), std::string::npos);
  EXPECT_EQ(windows.find(" or "), std::string::npos);
}

}  // namespace
}  // namespace zentrak
