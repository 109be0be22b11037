// The order in which the reports' exchange sort leaves a list, found without
// the sort's n²/2 comparisons. The procedure is not stable, and the order of
// ties it produces is part of the reports' output, so a plain sort will not do.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zentrak {

/// The order, as indices into `keys`, that this exchange sort produces: for each
/// position i from the first, scan j from the last position down to i + 1 and
/// exchange the keys at i and j when the one at i is greater. Runs in
/// O(n log n): the result is identical, ties included.
std::vector<size_t> ExchangeSortOrder(const std::vector<int64_t>& keys);

/// The exchange sort itself, in O(n²): the oracle for tests.
std::vector<size_t> ExchangeSortOrderPlain(std::vector<int64_t> keys);

}  // namespace zentrak
