// The fast exchange-sort order against the exchange sort itself.
#include "support/exchange_sort.h"

#include <gtest/gtest.h>

#include <random>

namespace zentrak {
namespace {

std::vector<int64_t> RandomKeys(std::mt19937& random, size_t n, int64_t values) {
  std::vector<int64_t> keys(n);
  for (int64_t& key : keys) key = static_cast<int64_t>(random() % values);
  return keys;
}

TEST(ExchangeSortOrder, MatchesTheExchangeSortOnRandomLists) {
  std::mt19937 random(17);
  // Few values give long blocks of ties, many values short ones.
  for (int round = 0; round < 4000; ++round) {
    size_t n = random() % (round < 3000 ? 24 : 400);
    int64_t values = 1 + static_cast<int64_t>(random() % (round % 3 == 0 ? 4 : n + 1));
    std::vector<int64_t> keys = RandomKeys(random, n, values);
    ASSERT_EQ(ExchangeSortOrder(keys), ExchangeSortOrderPlain(keys)) << "round " << round;
  }
}

// Shapes where smaller keys sit high and larger ones low make the carried key
// drop far and the block items ride the top for many passes.
TEST(ExchangeSortOrder, MatchesTheExchangeSortOnShapedLists) {
  std::mt19937 random(3);
  const size_t n = 300;
  std::vector<std::vector<int64_t>> lists;
  std::vector<int64_t> up(n), down(n), halves(n), zigzag(n), equal(n, 7);
  for (size_t k = 0; k < n; ++k) {
    up[k] = static_cast<int64_t>(k / 3);
    down[k] = static_cast<int64_t>((n - k) / 3);
    halves[k] = k < n / 2 ? 1000 + static_cast<int64_t>(k % 5) : static_cast<int64_t>(k % 7);
    zigzag[k] = k % 2 ? static_cast<int64_t>(k) : static_cast<int64_t>(n - k) / 2;
  }
  lists = {up, down, halves, zigzag, equal};
  for (int round = 0; round < 20; ++round) {
    std::vector<int64_t> keys = halves;
    for (int swaps = 0; swaps < round; ++swaps) std::swap(keys[random() % n], keys[random() % n]);
    lists.push_back(keys);
  }
  for (size_t k = 0; k < lists.size(); ++k) {
    ASSERT_EQ(ExchangeSortOrder(lists[k]), ExchangeSortOrderPlain(lists[k])) << "list " << k;
  }
}

TEST(ExchangeSortOrder, TiesTakeTheExchangeSortsOrderNotTheirOwn) {
  // Keys 5 at positions 0 and 1 and a smaller key after them: the pass carries
  // position 0's key down to position 2, past its tie.
  EXPECT_EQ(ExchangeSortOrder({5, 5, 1}), (std::vector<size_t>{2, 1, 0}));
  EXPECT_EQ(ExchangeSortOrder({}), std::vector<size_t>{});
  EXPECT_EQ(ExchangeSortOrder({4}), std::vector<size_t>{0});
}

}  // namespace
}  // namespace zentrak
