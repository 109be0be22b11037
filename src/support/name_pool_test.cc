// The name pool keeps each text once, gives it back byte for byte, and stays
// right across its table's growth and its blocks' ends.
#include "support/name_pool.h"

#include <gtest/gtest.h>

#include <string>

namespace zentrak {
namespace {

TEST(NamePool, SameTextSameNumberAcrossGrowth) {
  NamePool pool;
  std::vector<uint32_t> ids;
  // Long names fill several blocks; many names grow the table several times.
  for (int i = 0; i < 20000; ++i) {
    ids.push_back(pool.Intern(std::string(200, 'a' + i % 26) + std::to_string(i)));
  }
  EXPECT_EQ(pool.size(), 20000u);
  for (int i = 0; i < 20000; ++i) {
    std::string text = std::string(200, 'a' + i % 26) + std::to_string(i);
    ASSERT_EQ(pool.Intern(text), ids[i]);
    ASSERT_EQ(pool.Text(ids[i]), text);
  }
  EXPECT_EQ(pool.size(), 20000u);
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
