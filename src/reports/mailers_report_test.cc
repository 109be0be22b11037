// Tests of the mailers report: counting per sysop, shortening, merging by
// product and the two-pass ordering, and the report around its two loops.
#include "reports/mailers_report.h"

#include <gtest/gtest.h>

#include "report_test_fixture.h"

namespace zentrak {
namespace {

using testing::MakeLink;

std::string Entries(const std::vector<MailerEntry>& entries) {
  std::string text;
  for (const MailerEntry& entry : entries)
    text += entry.name + "=" + std::to_string(entry.count) + ";";
  return text;
}

TEST(Mailers, ShortenAtBackslashThenSlash) {
  const std::pair<const char*, const char*> rows[] = {{"Mailer 2.1/Win32", "Mailer 2.1"},
                                                      {"Mailer 2.1\\OS2/x", "Mailer 2.1"},
                                                      {"Mailer/a\\b", "Mailer"},
                                                      {"Mailer 2.1", "Mailer 2.1"},
                                                      {"/leading", ""},
                                                      {"", ""}};
  for (auto [mailer, shortened] : rows) EXPECT_EQ(ShortenMailer(mailer), shortened) << mailer;
}

// A binkd sysop wants to see who still runs 0.9: each version its own.
TEST(Mailers, BinkdMailersKeepTheirVersionAndDropPlatformAndProtocol) {
  const std::pair<const char*, const char*> rows[] = {
      {"binkd/1.1a-115/Linux binkp/1.1", "binkd/1.1a-115"},
      {"binkd/0.9.11/OS2 binkp/1.0", "binkd/0.9.11"},
      {"Argus/3.210 binkp/1.1", "Argus/3.210"},
      {"binkd/1.0.4", "binkd/1.0.4"},
      {"mbcico", "mbcico"},
      {"", ""}};
  for (auto [mailer, version] : rows) EXPECT_EQ(BinkdMailerVersion(mailer), version) << mailer;
  EXPECT_EQ(
      Entries(MergeProducts({{"binkd/1.1a-115", 2}, {"binkd/0.9.11", 1}, {"Argus/3.2", 1}}, true)),
      "binkd=3;Argus=1;");
}

TEST(Mailers, ProductIsTheFirstWordAndTheBrakeKeepsItsName) {
  const std::pair<const char*, const char*> rows[] = {{"Mailer 2.1", "Mailer"},
                                                      {"The Brake! 1.0", "The Brake!"},
                                                      {"The", "The Brake!"},
                                                      {"Theo 3", "Theo"},
                                                      {"the thing", "the"},
                                                      {"Solo", "Solo"},
                                                      {"", ""}};
  for (auto [mailer, product] : rows) EXPECT_EQ(ProductName(mailer), product) << mailer;
}

TEST(Mailers, EachSysopCountsOnceUnderTheMailerOfItsLastLink) {
  std::vector<TLink> links = {MakeLink("1", "", "Alpha 1"),   MakeLink("2", "Ann", "Alpha 1"),
                              MakeLink("3", "Ann", "Beta 2"), MakeLink("4", "Bob", "Alpha 1"),
                              MakeLink("5", "Cid", "Beta 2"), MakeLink("6", "Dan", "Alpha 2")};
  EXPECT_EQ(CountSysopRuns(links), 5);
  EXPECT_EQ(Entries(BuildMailerList(links)), "Alpha 1=2;Beta 2=2;Alpha 2=1;");
  EXPECT_EQ(CountSysopRuns({}), 0);
  EXPECT_EQ(Entries(BuildMailerList({})), "");
}

TEST(Mailers, ProductsMergeInOrderOfFirstAppearance) {
  std::vector<MailerEntry> first = {{"Alpha 1", 3}, {"The Brake! 2", 1}, {"Beta", 2},
                                    {"Alpha 2", 1}, {"The", 4},          {"alpha", 1}};
  EXPECT_EQ(Entries(MergeProducts(first)), "Alpha=4;The Brake!=5;Beta=2;alpha=1;");
}

TEST(Mailers, NamesCompareIgnoringCaseWithAPrefixFirst) {
  struct Row {
    const char* a;
    const char* b;
    bool after;
  };
  const Row rows[] = {{"beta", "Alpha", true}, {"Alpha", "beta", false}, {"abc", "ABC", false},
                      {"ABC", "abc", false},   {"abcd", "ABC", true},    {"abc", "abcd", false},
                      {"[x", "Zx", true},      {"\xe9", "z", true},      {"", "a", false}};
  for (const Row& row : rows) EXPECT_EQ(MailerNameAfter(row.a, row.b), row.after) << row.a;
}

TEST(Mailers, OrderByFallingCountThenNameIgnoringCase) {
  struct Row {
    std::vector<MailerEntry> entries;
    const char* expected;
  };
  const Row rows[] = {
      {{{"A", 1}, {"b", 2}, {"C", 2}, {"a", 1}}, "b=2;C=2;A=1;a=1;"},
      {{{"zeta", 3}, {"Mailer2", 3}, {"mailer", 3}, {"x", 9}}, "x=9;mailer=3;Mailer2=3;zeta=3;"},
      {{{"one", 1}}, "one=1;"},
      {{}, ""},
  };
  for (const Row& row : rows) {
    std::vector<MailerEntry> entries = row.entries;
    OrderMailers(entries);
    EXPECT_EQ(Entries(entries), row.expected);
  }
}

TEST(Mailers, MoreNamesThanTheTableHoldsAreCountedIntoNoEntry) {
  std::vector<TLink> links;
  for (int k = 0; k < 305; ++k) {
    std::string sysop = "Sysop " + std::to_string(1000 + k);
    links.push_back(MakeLink(std::to_string(k), sysop, "Mailer " + std::to_string(k)));
  }
  links.push_back(MakeLink("x", "Sysop 9999", "Mailer 0"));
  std::vector<MailerEntry> entries = BuildMailerList(links);
  ASSERT_EQ(entries.size(), kMailerTableCapacity);
  EXPECT_EQ(entries[0].count, 2);  // a known name still counts after the table is full
  EXPECT_EQ(CountSysopRuns(links), 306);
}

constexpr const char* kMailersTemplate =
    "[@MOSTPOPULAR(LEFT,*)|@DIFFERENTMAILERS(LEFT,*)]\n"
    "@STARTCIRCLE()\n"
    "@MAILER(LEFT,*)=@MAILERSNUMBER(LEFT,*)@MAILERSPROCENT(LEFT,*)\n"
    "@ENDCIRCLE()\n"
    "(@MOSTPOPULAR(LEFT,*)|@DIFFERENTMAILERS(LEFT,*))\n"
    "@STARTCIRCLE()\n"
    "@MAILER(LEFT,*)=@MAILERSNUMBER(LEFT,*)@MAILERSPROCENT(LEFT,*)\n"
    "@ENDCIRCLE()\n"
    "{@MOSTPOPULAR(LEFT,*)|@DIFFERENTMAILERS(LEFT,*)}\n";

TEST(MailersReport, WritesBothListsAndLeavesTheMailersShortened) {
  testing::ReportFixture fixture;
  fixture.model.links = {MakeLink("2:1/1", "Cid", "Gamma 1.0/Linux"),
                         MakeLink("2:1/2", "Ann", "Beta 2\\OS2"),
                         MakeLink("2:1/3", "Bob", "Gamma 1.1")};
  fixture.Template("mailers.tpl", kMailersTemplate);
  ReportContext ctx = fixture.Context();
  MakeMailersReport(ctx);
  EXPECT_EQ(fixture.Output("mailers.out"),
            "[|0]\n"
            "Beta 2=1    33.33%\nGamma 1.0=1    33.33%\nGamma 1.1=1    33.33%\n"
            "(Beta 2|0)\n"
            "Gamma=2    66.67%\nBeta=1    33.33%\n"
            "{Gamma|2}\n");
  EXPECT_FALSE(fixture.outcomes.Failed(kMailersReport));
  EXPECT_FALSE(fixture.engine.secondLoopMode);
  EXPECT_TRUE(fixture.report.mailerTable.empty());
  // Sorted by sysop, mailers cut for the reports that follow.
  EXPECT_EQ(fixture.model.links[0].Mailer, "Beta 2");
  EXPECT_EQ(fixture.model.links[2].Mailer, "Gamma 1.0");
}

TEST(MailersReport, WithoutASecondLoopTheFirstListStaysAndNoFooterIsWritten) {
  testing::ReportFixture fixture;
  fixture.model.links = {MakeLink("2:1/1", "Ann", "Alpha 1")};
  fixture.Template("mailers.tpl",
                   "head\n@STARTCIRCLE()\n@MAILER(LEFT,*)\n@ENDCIRCLE()\nsecond head\nlast\n");
  ReportContext ctx = fixture.Context();
  MakeMailersReport(ctx);
  EXPECT_EQ(fixture.Output("mailers.out"), "head\nAlpha 1\nsecond head\nlast\n");
  EXPECT_FALSE(fixture.outcomes.Failed(kMailersReport));
  EXPECT_FALSE(fixture.engine.secondLoopMode);
  EXPECT_EQ(fixture.console.Masked(),
            ". STAMP Processing mailers.out\n"
            "! STAMP There is no @startcircle() parametr in  template..\n");
}

TEST(MailersReport, AMissingTemplateLeavesTheMailersAsTheyWere) {
  testing::ReportFixture fixture;
  fixture.model.links = {MakeLink("2:1/1", "Bob", "Alpha 1/x"), MakeLink("2:1/2", "Ann", "B")};
  ReportContext ctx = fixture.Context();
  MakeMailersReport(ctx);
  EXPECT_TRUE(fixture.outcomes.Failed(kMailersReport));
  EXPECT_EQ(fixture.model.links[0].Sysop, "Ann");  // the sort happened before the template
  EXPECT_EQ(fixture.model.links[1].Mailer, "Alpha 1/x");
}

}  // namespace
}  // namespace zentrak
