#include "playlist/core/sort_order.h"

#include <algorithm>
#include <cstddef>
#include <string>

namespace zul {
namespace {

char16_t Fold(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; }

// Unfolded folder for the prefix test; folded folder and name for the
// case-insensitive comparisons, folded once per key rather than per
// comparison.
struct SplitKey {
  std::u16string_view folder;
  std::u16string_view foldedFolder;
  std::u16string_view foldedName;
};

int CompareViews(std::u16string_view a, std::u16string_view b) {
  int c = std::char_traits<char16_t>::compare(a.data(), b.data(), std::min(a.size(), b.size()));
  if (c != 0) return c;
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

SplitKey Split(std::u16string_view key, std::u16string_view folded) {
  size_t slash = key.rfind(u'\\');
  if (slash == std::u16string_view::npos) return {{}, {}, folded};
  return {key.substr(0, slash), folded.substr(0, slash), folded.substr(slash + 1)};
}

std::u16string FoldAll(std::u16string_view key) {
  std::u16string out(key);
  for (char16_t& c : out) c = Fold(c);
  return out;
}

int CompareSplit(const SplitKey& a, const SplitKey& b) {
  int fc = CompareViews(a.foldedFolder, b.foldedFolder);
  if (fc < 0) return b.folder.starts_with(a.folder) ? 1 : -1;
  if (fc > 0) return a.folder.starts_with(b.folder) ? -1 : 1;
  int nc = CompareViews(a.foldedName, b.foldedName);
  return nc < 0 ? -1 : (nc > 0 ? 1 : 0);
}

// The sorted list in blocks of a few hundred elements, with the rank at
// which each block starts: finding a rank is a binary search over the block
// starts, inserting moves at most one block's elements and bumps the starts
// after it.
class RankedList {
public:
  explicit RankedList(size_t capacity) {
    blockSize_ = 64;
    while (blockSize_ * blockSize_ < capacity) blockSize_ *= 2;
  }

  size_t Size() const { return size_; }

  uint32_t At(size_t rank) const {
    size_t b = BlockOf(rank);
    return blocks_[b][rank - starts_[b]];
  }

  void InsertAt(size_t rank, uint32_t value) {
    if (blocks_.empty()) {
      blocks_.emplace_back();
      starts_.push_back(0);
    }
    size_t b = rank == size_ ? blocks_.size() - 1 : BlockOf(rank);
    std::vector<uint32_t>& block = blocks_[b];
    block.insert(block.begin() + static_cast<std::ptrdiff_t>(rank - starts_[b]), value);
    for (size_t j = b + 1; j < starts_.size(); ++j) ++starts_[j];
    ++size_;
    if (block.size() >= 2 * blockSize_) {
      std::vector<uint32_t> upper(block.begin() + static_cast<std::ptrdiff_t>(blockSize_), block.end());
      block.resize(blockSize_);
      blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(b + 1), std::move(upper));
      starts_.insert(starts_.begin() + static_cast<std::ptrdiff_t>(b + 1), starts_[b] + blockSize_);
    }
  }

  std::vector<uint32_t> InOrder() const {
    std::vector<uint32_t> out;
    out.reserve(size_);
    for (const auto& block : blocks_) out.insert(out.end(), block.begin(), block.end());
    return out;
  }

private:
  // The last block starting at or before rank.
  size_t BlockOf(size_t rank) const {
    return static_cast<size_t>(std::upper_bound(starts_.begin(), starts_.end(), rank) - starts_.begin()) - 1;
  }

  size_t blockSize_;
  size_t size_ = 0;
  std::vector<std::vector<uint32_t>> blocks_;
  std::vector<size_t> starts_;
};

}  // namespace

int CompareSortKeys(std::u16string_view a, std::u16string_view b) {
  const std::u16string fa = FoldAll(a), fb = FoldAll(b);
  return CompareSplit(Split(a, fa), Split(b, fb));
}

std::vector<uint32_t> SortOrder(const std::vector<std::u16string_view>& keys) {
  std::vector<std::u16string> folded;
  std::vector<SplitKey> split;
  folded.reserve(keys.size());
  split.reserve(keys.size());
  for (std::u16string_view k : keys) folded.push_back(FoldAll(k));
  for (size_t i = 0; i < keys.size(); ++i) split.push_back(Split(keys[i], folded[i]));

  RankedList list(keys.size());
  for (uint32_t x = 0; x < keys.size(); ++x) {
    const size_t n = list.Size();
    if (n == 0) {
      list.InsertAt(0, x);
      continue;
    }
    auto cmp = [&](size_t rank) { return CompareSplit(split[x], split[list.At(rank)]); };
    // The bisection asks again about S[lo] and S[hi] on every round; their
    // answers are known from the round before (the comparison is a pure
    // function), so only the middle element is compared anew.
    size_t lo = 0, hi = n - 1, pos;
    int a = cmp(lo);
    int b = lo == hi ? a : cmp(hi);
    for (;;) {
      if (a <= 0) {
        pos = lo;
        break;
      }
      if (b >= 0) {
        pos = b == 0 ? hi : hi + 1;
        break;
      }
      size_t mid = (hi == lo + 2) ? lo + 1 : lo + (hi - lo) / 2;
      int m = cmp(mid);
      if (m > 0) {
        if (hi - lo == 1) {
          lo = hi, a = b;
        } else {
          lo = mid, a = m;
        }
      } else if (m < 0) {
        if (hi - lo == 1) {
          hi = lo, b = a;
        } else {
          hi = mid, b = m;
        }
      } else {
        pos = mid;
        break;
      }
    }
    list.InsertAt(pos, x);
  }
  return list.InOrder();
}

}  // namespace zul
