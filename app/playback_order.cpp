#include "app/playback_order.h"

#include <algorithm>
#include <utility>

namespace zul {

IndexRange AlbumRange(int count, int current, bool albumMode, const std::function<bool(int, int)>& sameAlbum) {
  IndexRange range{0, count - 1};
  if (!albumMode || current < 0 || current >= count) return range;
  range.first = range.last = current;
  while (range.first > 0 && sameAlbum(range.first - 1, current)) --range.first;
  while (range.last < count - 1 && sameAlbum(range.last + 1, current)) ++range.last;
  return range;
}

ShuffleOrder::ShuffleOrder(uint32_t seed) {
  for (int i = 0; i < kPositions; ++i) order_[static_cast<size_t>(i)] = i;
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int> position(0, kPositions - 1);
  for (int i = 0; i < kSwaps; ++i) {
    int a = position(rng);
    int b = position(rng);
    std::swap(order_[static_cast<size_t>(a)], order_[static_cast<size_t>(b)]);
  }
}

int ShuffleOrder::Step(bool forward, int current, IndexRange range) {
  // An index outside the permutation (no current entry) would never be
  // found: one full turn is the limit, and the cursor stays where it was.
  if (current >= 0 && current < kPositions) {
    while (order_[static_cast<size_t>(cursor_)] != current) Advance(true);
  }
  if (range.last < 0) return 0;
  range.first = std::max(range.first, 0);
  if (range.first > range.last) return 0;
  for (;;) {
    Advance(forward);
    int value = order_[static_cast<size_t>(cursor_)];
    if (value >= range.first && value <= range.last) return value;
  }
}

NextChoice SequentialNext(int current, IndexRange range) {
  if (current == range.last) return {range.first, true};
  return {current + 1, false};
}

int SequentialPrevious(int current, IndexRange range) { return current == range.first ? range.last : current - 1; }

}  // namespace zul
