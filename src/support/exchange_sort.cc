// The exchange sort's order in O(n log n).
//
// The sort finishes one position per pass: pass i carries the key at i down the
// list from the last position, and every strictly smaller key it meets takes
// its place while the carried key drops into the slot of the smaller one. So
// the keys leave in ascending blocks, one block per key value, and only the
// order inside a block needs working out. For the block of value v that order
// depends only on the items of value v and on the slots of the smaller items:
// larger keys never decide where an item of value v goes. Three facts make
// each block cheap to follow:
//
// - Pass i (before the block leaves) takes its smallest item either from the
//   bottom of the items <= v (slot i) or from their top; it is the bottom
//   exactly when slot i held an item <= v in the original list.
// - An item of value v hit by a pass drops into the slot of the highest
//   smaller item left, and that smaller item moves on; a smaller item hit
//   moves on alone. Either way one smaller item leaves per pass.
// - The items of value v above the highest smaller item ("riders") form a
//   queue: each pass from the top moves the front rider to the back.
//
// A block is then followed event by event (an item of value v hit from the
// bottom, or the highest smaller item passing below one), with the passes in
// between only counted. Once the smaller items are gone, each pass takes the
// block's bottom or top item by the same rule as above.
#include "support/exchange_sort.h"

#include <algorithm>
#include <numeric>

namespace zentrak {
namespace {

// Marked positions among 0..n-1 (a Fenwick tree): counts and the k-th unmarked.
class PositionCounts {
 public:
  explicit PositionCounts(size_t n) : tree_(n + 1, 0), marked_(n, false) {
    while (top_ * 2 <= n) top_ *= 2;
  }

  void Mark(size_t position) {
    marked_[position] = true;
    for (size_t at = position + 1; at < tree_.size(); at += at & (~at + 1)) ++tree_[at];
  }

  bool IsMarked(size_t position) const { return marked_[position]; }

  /// Marked positions in [0, end).
  size_t MarkedBelow(size_t end) const {
    size_t count = 0;
    for (size_t at = end; at > 0; at -= at & (~at + 1)) count += tree_[at];
    return count;
  }

  size_t MarkedIn(size_t begin, size_t end) const { return MarkedBelow(end) - MarkedBelow(begin); }

  /// The position of the k-th unmarked position, counting from 1.
  size_t KthUnmarked(size_t k) const {
    size_t at = 0;
    for (size_t step = top_; step > 0; step /= 2) {
      size_t next = at + step;
      if (next < tree_.size() && step - tree_[next] < k) {
        at = next;
        k -= step - tree_[next];
      }
    }
    return at;
  }

 private:
  std::vector<uint32_t> tree_;
  std::vector<bool> marked_;
  size_t top_ = 1;
};

// The riders' queue, front first. Rotations are only counted; each item joins
// at the back, which is an insertion before the front in a plain sequence read
// cyclically from the front. The insertions are resolved once, at the end.
class Riders {
 public:
  size_t Size() const { return inserts_.size(); }

  void Rotate(size_t count) { pending_ += count; }

  void PushBack(size_t item) {
    if (!inserts_.empty()) front_ = (front_ + pending_) % inserts_.size();
    pending_ = 0;
    inserts_.push_back({front_, item});
    front_ = inserts_.size() == 1 ? 0 : front_ + 1;
  }

  std::vector<size_t> Queue() const {
    size_t size = inserts_.size();
    std::vector<size_t> sequence(size);
    // The last insertion knows its final index; each earlier one takes the
    // free index its own insertion index counts to.
    PositionCounts taken(size);
    for (size_t k = size; k-- > 0;) {
      size_t at = taken.KthUnmarked(inserts_[k].index + 1);
      taken.Mark(at);
      sequence[at] = inserts_[k].item;
    }
    if (size > 0) {
      size_t front = (front_ + pending_) % size;
      std::rotate(sequence.begin(), sequence.begin() + static_cast<ptrdiff_t>(front),
                  sequence.end());
    }
    return sequence;
  }

 private:
  struct Insert {
    size_t index;
    size_t item;
  };
  std::vector<Insert> inserts_;
  size_t front_ = 0;
  size_t pending_ = 0;
};

// Appends the order of one block: `items` are the original positions of the
// block's items, ascending; `marks` holds every item <= the block's value and
// `count` is how many those are.
void AppendBlockOrder(const size_t* items, size_t k, const PositionCounts& marks, size_t count,
                      std::vector<size_t>& order) {
  if (k == 1) {
    order.push_back(items[0]);
    return;
  }
  // Ranks among the items <= v, in slot order ("index" below).
  std::vector<ptrdiff_t> index(k);
  for (size_t j = 0; j < k; ++j) index[j] = static_cast<ptrdiff_t>(marks.MarkedBelow(items[j]));
  Riders riders;
  auto last = static_cast<ptrdiff_t>(count) - 1;
  ptrdiff_t below = static_cast<ptrdiff_t>(k) - 1;  // highest block item under the smaller ones
  while (below >= 0 && index[below] == last - (static_cast<ptrdiff_t>(k) - 1 - below)) {
    riders.PushBack(items[below--]);
  }
  ptrdiff_t lowest = 0;  // lowest block item not yet hit from the bottom
  ptrdiff_t highest = last - static_cast<ptrdiff_t>(riders.Size());  // highest smaller item
  size_t pass = 0;
  size_t smaller = count - k;
  // The highest smaller item leaves; block items right under it join the riders.
  auto takeHighest = [&] {
    --highest;
    while (below >= lowest && index[below] == highest) {
      riders.PushBack(items[below--]);
      --highest;
    }
  };
  while (smaller > 0) {
    if (lowest > below) {
      riders.Rotate(smaller - marks.MarkedIn(pass, pass + smaller));
      pass += smaller;
      smaller = 0;
      break;
    }
    size_t next = items[lowest];  // the pass that hits it from the bottom
    size_t topPasses = (next - pass) - marks.MarkedIn(pass, next);
    auto gap = static_cast<size_t>(highest - index[below]);  // smaller items above `below`
    if (topPasses < gap) {
      riders.Rotate(topPasses);
      highest -= static_cast<ptrdiff_t>(topPasses);
      smaller -= next - pass + 1;
      pass = next + 1;
      riders.PushBack(items[lowest++]);
      takeHighest();
    } else {
      size_t end = marks.KthUnmarked(pass - marks.MarkedBelow(pass) + gap) + 1;
      smaller -= end - pass;
      pass = end;
      riders.Rotate(gap);
      highest -= static_cast<ptrdiff_t>(gap) - 1;
      takeHighest();
    }
  }
  // Only the block is left: in slot order the items never hit, then the riders
  // from the back of the queue to its front.
  std::vector<size_t> rest(items + lowest, items + below + 1);
  std::vector<size_t> queue = riders.Queue();
  rest.insert(rest.end(), queue.rbegin(), queue.rend());
  size_t bottom = 0;
  size_t top = rest.size();
  for (; bottom < top; ++pass) {
    order.push_back(marks.IsMarked(pass) ? rest[bottom++] : rest[--top]);
  }
}

}  // namespace

std::vector<size_t> ExchangeSortOrder(const std::vector<int64_t>& keys) {
  size_t n = keys.size();
  std::vector<size_t> byKey(n);
  std::iota(byKey.begin(), byKey.end(), size_t{0});
  std::stable_sort(byKey.begin(), byKey.end(),
                   [&](size_t a, size_t b) { return keys[a] < keys[b]; });
  std::vector<size_t> order;
  order.reserve(n);
  PositionCounts marks(n);
  for (size_t start = 0; start < n;) {
    size_t end = start;
    while (end < n && keys[byKey[end]] == keys[byKey[start]]) marks.Mark(byKey[end++]);
    AppendBlockOrder(byKey.data() + start, end - start, marks, end, order);
    start = end;
  }
  return order;
}

std::vector<size_t> ExchangeSortOrderPlain(std::vector<int64_t> keys) {
  size_t n = keys.size();
  std::vector<size_t> order(n);
  std::iota(order.begin(), order.end(), size_t{0});
  for (size_t i = 0; i + 1 < n; ++i) {
    for (size_t j = n - 1; j > i; --j) {
      if (keys[i] > keys[j]) {
        std::swap(keys[i], keys[j]);
        std::swap(order[i], order[j]);
      }
    }
  }
  return order;
}

}  // namespace zentrak
