// The exchange sort whose treatment of equal keys the link lists and the
// last-call history both keep.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zentrak {

/// The exchange sort on plain keys: returns the resulting order as indices into
/// `keys`; a key comes after another when it is greater. The keys are reordered too.
std::vector<size_t> ExchangeSortOrder(std::vector<int64_t>& keys);

}  // namespace zentrak
