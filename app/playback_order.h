#pragma once
// Which track plays next: the album range, the shuffle order and its step,
// and the sequential next/previous rules. No Win32 here; the playback
// controller feeds it the playlist's state and acts on the answer.
#include <array>
#include <cstdint>
#include <functional>
#include <random>

namespace zul {

// The run of consecutive entries around `current` that share its folder
// (sameAlbum(a, b) says whether entries a and b do). Without album mode, or
// with `current` outside the list, the whole list. An empty list gives
// last = -1.
struct IndexRange {
  int first = 0;
  int last = -1;
};
IndexRange AlbumRange(int count, int current, bool albumMode, const std::function<bool(int, int)>& sameAlbum);

// A fixed permutation of 0 .. kPositions-1 built once per process, walked by
// a cursor that wraps at both ends. The playlist never exceeds 10000
// entries, so every index appears in it. The generator draws over every
// position (the C runtime's rand() would leave positions above 32767 in
// place).
class ShuffleOrder {
public:
  static constexpr int kPositions = 50000;
  static constexpr int kSwaps = 75000;

  explicit ShuffleOrder(uint32_t seed);

  // The shuffle step: the cursor first moves forward to the value equal to
  // `current`, then one position at a time in the given direction until
  // its value lies in range. Returns that value; 0 for an empty range.
  int Step(bool forward, int current, IndexRange range);

  int ValueAt(int position) const { return order_[static_cast<size_t>(position)]; }
  int Cursor() const { return cursor_; }

private:
  void Advance(bool forward) {
    cursor_ = forward ? (cursor_ + 1) % kPositions : (cursor_ + kPositions - 1) % kPositions;
  }

  std::array<int, kPositions> order_{};
  int cursor_ = 0;
};

// Sequential moves inside [first, last]. Next from the last entry wraps to
// the first and reports the wrap (the end of the playlist when repeat is
// off); Previous from the first goes to the last.
struct NextChoice {
  int index = 0;
  bool wrapped = false;
};
NextChoice SequentialNext(int current, IndexRange range);
int SequentialPrevious(int current, IndexRange range);

}  // namespace zul
