#include "playlist/core/sort_order.h"

#include <string>

namespace zul {
namespace {

char16_t Fold(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; }

int CompareFolded(std::u16string_view a, std::u16string_view b) {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    char16_t x = Fold(a[i]), y = Fold(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

struct SplitKey {
  std::u16string_view folder;
  std::u16string_view name;
};

SplitKey Split(std::u16string_view key) {
  size_t slash = key.rfind(u'\\');
  if (slash == std::u16string_view::npos) return {{}, key};
  return {key.substr(0, slash), key.substr(slash + 1)};
}

int CompareSplit(const SplitKey& a, const SplitKey& b) {
  int fc = CompareFolded(a.folder, b.folder);
  if (fc < 0) return b.folder.starts_with(a.folder) ? 1 : -1;
  if (fc > 0) return a.folder.starts_with(b.folder) ? -1 : 1;
  int nc = CompareFolded(a.name, b.name);
  return nc < 0 ? -1 : (nc > 0 ? 1 : 0);
}

// The sorted list as an implicit treap: a node's position is the number of
// nodes before it in order, found through subtree sizes.
class RankedList {
public:
  explicit RankedList(size_t capacity) : nodes_(capacity) {}

  size_t Size() const { return SizeOf(root_); }

  uint32_t At(size_t rank) const {
    int32_t n = root_;
    for (;;) {
      size_t leftSize = SizeOf(nodes_[n].left);
      if (rank < leftSize) {
        n = nodes_[n].left;
      } else if (rank == leftSize) {
        return static_cast<uint32_t>(n);
      } else {
        rank -= leftSize + 1;
        n = nodes_[n].right;
      }
    }
  }

  // Inserts element `value` (a node of its own) at position rank.
  void InsertAt(size_t rank, uint32_t value) {
    Node& node = nodes_[value];
    node.priority = NextRandom();
    node.size = 1;
    int32_t left, right;
    SplitAt(root_, rank, &left, &right);
    root_ = Merge(Merge(left, static_cast<int32_t>(value)), right);
  }

  std::vector<uint32_t> InOrder() const {
    std::vector<uint32_t> out;
    out.reserve(Size());
    std::vector<int32_t> stack;
    int32_t n = root_;
    while (n >= 0 || !stack.empty()) {
      while (n >= 0) {
        stack.push_back(n);
        n = nodes_[n].left;
      }
      n = stack.back();
      stack.pop_back();
      out.push_back(static_cast<uint32_t>(n));
      n = nodes_[n].right;
    }
    return out;
  }

private:
  struct Node {
    int32_t left = -1;
    int32_t right = -1;
    uint32_t size = 0;
    uint32_t priority = 0;
  };

  size_t SizeOf(int32_t n) const { return n < 0 ? 0 : nodes_[n].size; }
  void Update(int32_t n) {
    nodes_[n].size = static_cast<uint32_t>(1 + SizeOf(nodes_[n].left) + SizeOf(nodes_[n].right));
  }

  // The first `rank` nodes go left, the rest right.
  void SplitAt(int32_t n, size_t rank, int32_t* left, int32_t* right) {
    if (n < 0) {
      *left = *right = -1;
      return;
    }
    size_t leftSize = SizeOf(nodes_[n].left);
    if (rank <= leftSize) {
      SplitAt(nodes_[n].left, rank, left, &nodes_[n].left);
      *right = n;
    } else {
      SplitAt(nodes_[n].right, rank - leftSize - 1, &nodes_[n].right, right);
      *left = n;
    }
    Update(n);
  }

  int32_t Merge(int32_t a, int32_t b) {
    if (a < 0) return b;
    if (b < 0) return a;
    if (nodes_[a].priority > nodes_[b].priority) {
      nodes_[a].right = Merge(nodes_[a].right, b);
      Update(a);
      return a;
    }
    nodes_[b].left = Merge(a, nodes_[b].left);
    Update(b);
    return b;
  }

  // Fixed seed: the tree's shape never changes the result, only its cost.
  uint32_t NextRandom() {
    seed_ ^= seed_ << 13;
    seed_ ^= seed_ >> 17;
    seed_ ^= seed_ << 5;
    return seed_;
  }

  std::vector<Node> nodes_;
  int32_t root_ = -1;
  uint32_t seed_ = 2463534242u;
};

}  // namespace

int CompareSortKeys(std::u16string_view a, std::u16string_view b) { return CompareSplit(Split(a), Split(b)); }

std::vector<uint32_t> SortOrder(const std::vector<std::u16string_view>& keys) {
  std::vector<SplitKey> split;
  split.reserve(keys.size());
  for (std::u16string_view k : keys) split.push_back(Split(k));

  RankedList list(keys.size());
  for (uint32_t x = 0; x < keys.size(); ++x) {
    const size_t n = list.Size();
    if (n == 0) {
      list.InsertAt(0, x);
      continue;
    }
    auto cmp = [&](size_t rank) { return CompareSplit(split[x], split[list.At(rank)]); };
    size_t lo = 0, hi = n - 1, pos;
    for (;;) {
      int a = cmp(lo);
      if (a <= 0) {
        pos = lo;
        break;
      }
      int b = lo == hi ? a : cmp(hi);
      if (b >= 0) {
        pos = b == 0 ? hi : hi + 1;
        break;
      }
      size_t mid = (hi == lo + 2) ? lo + 1 : lo + (hi - lo) / 2;
      int m = cmp(mid);
      if (m > 0) {
        lo = (hi - lo == 1) ? hi : mid;
      } else if (m < 0) {
        hi = (hi - lo == 1) ? lo : mid;
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
