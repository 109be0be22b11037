// The name pool gives every text back byte for byte, across its blocks' ends,
// and keeps a text that repeats while it is recent once.
#include "support/name_pool.h"

#include <gtest/gtest.h>

#include <string>

namespace zentrak {
namespace {

TEST(NamePool, TextsComeBackAcrossBlocksAndRepeatsShareANumber) {
  NamePool pool;
  std::vector<uint32_t> ids;
  // Long names fill several blocks of the pool.
  auto text = [](int i) {
    return std::string(200, static_cast<char>('a' + i % 26)) + std::to_string(i);
  };
  for (int i = 0; i < 20000; ++i) {
    ids.push_back(pool.Intern(text(i)));
    // A name met again at once (the next file of a bundle run) is not stored twice.
    ASSERT_EQ(pool.Intern(text(i)), ids.back());
  }
  EXPECT_EQ(pool.size(), 20000u);
  EXPECT_GE(pool.IdLimit(), 20000u);
  for (int i = 0; i < 20000; ++i) {
    ASSERT_EQ(pool.Text(ids[i]), text(i));
    ASSERT_LT(ids[i], pool.IdLimit());
  }
  // Ten names that keep coming back stay one each.
  NamePool few;
  for (int round = 0; round < 1000; ++round) {
    for (int i = 0; i < 10; ++i) few.Intern("NODEDIFF.Z" + std::to_string(i));
  }
  EXPECT_EQ(few.size(), 10u);
  // Once the log is read the table goes; texts stay, and interning still works.
  few.ForgetRecent();
  uint32_t again = few.Intern("NODEDIFF.Z3");
  EXPECT_EQ(few.Intern("NODEDIFF.Z3"), again);
  EXPECT_EQ(few.Text(again), "NODEDIFF.Z3");
  EXPECT_EQ(few.Text(3), "NODEDIFF.Z3");
}

// Texts of every length, empty ones among them, are found by stepping over
// their neighbours, also where a block ends inside a group.
TEST(NamePool, MixedLengthsAcrossBlocks) {
  NamePool pool;
  std::vector<std::pair<uint32_t, std::string>> kept;
  for (int i = 0; i < 30000; ++i) {
    std::string text(static_cast<size_t>(i * 7919 % 257), static_cast<char>(i));
    if (text.size() > 0) text[0] = static_cast<char>(i >> 8);
    kept.emplace_back(pool.Intern(text), text.substr(0, NamePool::kMaxLength));
  }
  for (const auto& [id, text] : kept) ASSERT_EQ(pool.Text(id), text) << id;
}

TEST(NamePool, BytesAreKeptAsTheyAre) {
  NamePool pool;
  std::string nul("a\0b", 3);
  uint32_t empty = pool.Intern("");
  uint32_t withNul = pool.Intern(nul);
  uint32_t prefix = pool.Intern("a");
  EXPECT_EQ(pool.Text(empty), "");
  EXPECT_EQ(pool.Text(withNul), nul);
  EXPECT_NE(prefix, withNul);
  std::string huge(70000, '@');
  uint32_t cut = pool.Intern(huge);
  EXPECT_EQ(pool.Text(cut), std::string(NamePool::kMaxLength, '@'));
  EXPECT_EQ(pool.Intern(huge.substr(0, NamePool::kMaxLength)), cut);
}

}  // namespace
}  // namespace zentrak
