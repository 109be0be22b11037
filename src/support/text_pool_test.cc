// The text pool: one number per distinct text, and copies that stand alone.
#include "support/text_pool.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>

namespace zentrak {
namespace {

TEST(TextPool, OneNumberPerTextAndTheEmptyTextIsZero) {
  TextPool pool;
  EXPECT_EQ(pool.Intern(""), kNoText);
  TextId sysop = pool.Intern("Ann Other");
  TextId mailer = pool.Intern(std::string("Ann Other\0x", 11));  // bytes, not C strings
  EXPECT_NE(sysop, mailer);
  EXPECT_EQ(pool.Intern(std::string("Ann") + " Other"), sysop);
  EXPECT_EQ(pool.Text(mailer), std::string_view("Ann Other\0x", 11));
  EXPECT_EQ(pool.Find("Ann Other"), sysop);
  EXPECT_EQ(pool.Find("ann other"), std::nullopt);
  EXPECT_EQ(pool.Size(), 3u);
}

TEST(TextPool, ACopyFindsItsOwnTextsAfterTheOriginalIsGone) {
  auto original = std::make_unique<TextPool>();
  // Enough texts that the storage grows in several blocks, long and short ones.
  for (int k = 0; k < 2000; ++k) original->Intern(std::to_string(k) + std::string(k % 40, 'x'));
  TextPool copy = *original;
  TextPool assigned;
  assigned = *original;
  original.reset();
  for (TextPool* pool : {&copy, &assigned}) {
    EXPECT_EQ(pool->Find("1999" + std::string(1999 % 40, 'x')), 2000u);
    EXPECT_EQ(pool->Intern("7" + std::string(7, 'x')), 8u);
    EXPECT_EQ(pool->Intern("new"), 2001u);
  }
}

// Against a plain map, through many growths of the table: texts that differ
// in one byte, in length only, or by an embedded NUL.
TEST(TextPool, NumbersAgreeWithAPlainMapThroughGrowth) {
  std::mt19937 random(17);
  TextPool pool;
  std::map<std::string, TextId> expected{{"", kNoText}};
  for (int k = 0; k < 20000; ++k) {
    std::string text(random() % 12, 'a');
    for (char& c : text) c = "ab\0"[random() % 3];
    auto [it, added] = expected.try_emplace(text, static_cast<TextId>(expected.size()));
    ASSERT_EQ(pool.Intern(text), it->second) << k;
    if (random() % 4 == 0) {
      std::string other = text + "z";
      auto known = expected.find(other);
      EXPECT_EQ(pool.Find(other),
                known == expected.end() ? std::nullopt : std::optional<TextId>(known->second));
    }
  }
  EXPECT_EQ(pool.Size(), expected.size());
  for (const auto& [text, id] : expected) EXPECT_EQ(pool.Text(id), text);
}

}  // namespace
}  // namespace zentrak
