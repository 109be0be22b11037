// The exchange sort on plain keys.
#include "support/exchange_sort.h"

#include <numeric>
#include <utility>

namespace zentrak {

std::vector<size_t> ExchangeSortOrder(std::vector<int64_t>& keys) {
  size_t n = keys.size();
  std::vector<size_t> order(n);
  std::iota(order.begin(), order.end(), size_t{0});
  // Position i is held in registers while j walks down; each exchange of the
  // described procedure is then a swap with the held pair.
  for (size_t i = 0; i + 1 < n; ++i) {
    int64_t held = keys[i];
    size_t heldIndex = order[i];
    for (size_t j = n - 1; j > i; --j) {
      if (held > keys[j]) {
        std::swap(held, keys[j]);
        std::swap(heldIndex, order[j]);
      }
    }
    keys[i] = held;
    order[i] = heldIndex;
  }
  return order;
}

}  // namespace zentrak
