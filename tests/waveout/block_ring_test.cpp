// The block ring's bookkeeping against a device double that keeps every
// block it is given, and returns them when asked or from its own thread.
#include "waveout/block_ring.h"

#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace zul {
namespace {

class FakeDevice : public BlockDevice {
public:
  FakeDevice(CBlockRing& ring, int count, int size) : ring(ring), memory(count * size), size(size) {
    ring.Reset(count, size);
  }

  // Only the ring writes through BlockData; it must never write into a block
  // the device still holds or that is still prepared for it.
  char* BlockData(int index) override {
    std::lock_guard lock(mutex);
    for (auto& q : queued) EXPECT_NE(q.first, index) << "block " << index << " written while queued";
    EXPECT_EQ(prepared.count(index), 0u) << "block " << index << " written while prepared";
    return memory.data() + index * size;
  }
  bool QueueBlock(int index, int bytes) override {
    std::lock_guard lock(mutex);
    if (refuse) return false;
    queued.push_back({index, bytes});
    prepared.insert(index);
    return true;
  }
  void ReleaseBlock(int index) override { prepared.erase(index); }
  void BeforeFill() override { ++fills; }
  // The device plays the oldest block while the writer waits.
  void WaitForDevice() override {
    ++waits;
    if (!returnOnWait) return;
    ReturnOldest();
  }
  bool ReturnOldest() {
    std::pair<int, int> block;
    {
      std::lock_guard lock(mutex);
      if (queued.empty()) return false;
      block = queued.front();
      queued.pop_front();
      played.append(memory.data() + block.first * size, block.second);
    }
    ring.BlockDone(block.second, *this);
    return true;
  }
  void ReturnAll() {
    while (ReturnOldest()) {
    }
  }
  size_t QueuedCount() {
    std::lock_guard lock(mutex);
    return queued.size();
  }

  CBlockRing& ring;
  std::vector<char> memory;
  int size;
  std::mutex mutex;
  std::deque<std::pair<int, int>> queued;  // index, bytes
  std::string played;
  bool refuse = false;
  bool returnOnWait = true;
  std::set<int> prepared;
  int fills = 0, waits = 0;
};

std::string Pattern(size_t n, int seed = 0) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 7 + seed) % 251);
  return s;
}

TEST(BlockRing, ShortWriteQueuesNothingAndShrinksCanWrite) {
  CBlockRing ring;
  FakeDevice dev(ring, 20, 8192);
  EXPECT_EQ(ring.CanWrite(), 20 * 8192);
  std::string data = Pattern(1000);
  ring.Write(data.data(), 1000, dev);
  EXPECT_EQ(dev.QueuedCount(), 0u);
  EXPECT_EQ(ring.CanWrite(), 20 * 8192 - 1000);
  EXPECT_FALSE(ring.AnyQueued());
  EXPECT_EQ(ring.WrittenBytes(), 1000);
  EXPECT_EQ(std::string(dev.memory.data(), 1000), data);
}

TEST(BlockRing, FullBlocksGoToTheDeviceInOrderWithTheirBytes) {
  CBlockRing ring;
  FakeDevice dev(ring, 4, 1024);
  std::string data = Pattern(2 * 1024 + 300);
  ring.Write(data.data(), 700, dev);  // split across calls at odd places
  ring.Write(data.data() + 700, static_cast<int>(data.size()) - 700, dev);
  ASSERT_EQ(dev.QueuedCount(), 2u);
  EXPECT_EQ(dev.queued[0], std::make_pair(0, 1024));
  EXPECT_EQ(dev.queued[1], std::make_pair(1, 1024));
  EXPECT_EQ(ring.FillIndex(), 2);
  EXPECT_EQ(ring.FillBytes(), 300);
  EXPECT_EQ(ring.CanWrite(), 2 * 1024 - 300);
  EXPECT_TRUE(ring.AnyQueued());
  dev.ReturnAll();
  EXPECT_TRUE(dev.played == data.substr(0, 2048));
  EXPECT_EQ(ring.PlayedBytes(), 2048);
  EXPECT_EQ(ring.CanWrite(), 4 * 1024 - 300);
}

TEST(BlockRing, WriteWaitsOnlyWhileEveryBlockIsWithTheDevice) {
  CBlockRing ring;
  FakeDevice dev(ring, 3, 1024);
  std::string data = Pattern(3 * 1024);
  // Two full blocks leave one free: no wait.
  ring.Write(data.data(), 2048, dev);
  EXPECT_EQ(dev.waits, 0);
  // The third block fills the ring; Write waits until the device returns one.
  ring.Write(data.data() + 2048, 1024, dev);
  EXPECT_EQ(dev.waits, 1);
  EXPECT_EQ(ring.FreeBlocks(), 1);
  EXPECT_EQ(ring.FillIndex(), 0);  // wrapped to the block that came back
  dev.ReturnAll();
  EXPECT_TRUE(dev.played == data) << "the device got other bytes than were written";
}

TEST(BlockRing, FlushQueuesThePartialBlockAndRestartsAtTheGivenPosition) {
  CBlockRing ring;
  FakeDevice dev(ring, 4, 1024);
  std::string data = Pattern(1500);
  ring.Write(data.data(), 1500, dev);
  ring.QueuePartial(dev);
  ASSERT_EQ(dev.QueuedCount(), 2u);
  EXPECT_EQ(dev.queued[1], std::make_pair(1, 476));
  dev.ReturnAll();  // what a device reset does
  ring.WaitAllReturned(dev);
  ring.Restart(61000);
  EXPECT_EQ(ring.WrittenBytes(), 0);
  EXPECT_EQ(ring.PlayedBytes(), 0);
  EXPECT_EQ(ring.StartMs(), 61000);
  EXPECT_EQ(ring.FillIndex(), 2);
  EXPECT_EQ(ring.CanWrite(), 4 * 1024);
  // Writing goes on in the next block; the old blocks are released first.
  std::string more = Pattern(1024, 3);
  ring.Write(more.data(), 1024, dev);
  ASSERT_EQ(dev.QueuedCount(), 1u);
  EXPECT_EQ(dev.queued[0].first, 2);
}

TEST(BlockRing, EndOfTrackIsQueuedWhenAtMostOneBlockIsAheadOfIt) {
  CBlockRing ring;
  FakeDevice dev(ring, 4, 1024);
  std::string data = Pattern(2 * 1024 + 200);
  ring.Write(data.data(), static_cast<int>(data.size()), dev);
  EXPECT_TRUE(ring.Playing(dev));  // two blocks ahead: the tail may still grow
  EXPECT_EQ(dev.QueuedCount(), 2u);
  ASSERT_TRUE(dev.ReturnOldest());
  EXPECT_TRUE(ring.Playing(dev));  // one block ahead: the tail goes out behind it
  ASSERT_EQ(dev.QueuedCount(), 2u);
  EXPECT_EQ(dev.queued[1], std::make_pair(2, 200));
  EXPECT_EQ(ring.CanWrite(), 2 * 1024);
  dev.ReturnAll();
  EXPECT_TRUE(dev.played == data);
  EXPECT_FALSE(ring.Playing(dev));
  EXPECT_EQ(dev.QueuedCount(), 0u);
  // A tail alone goes out at once; the next track fills the next block.
  ring.Write(data.data(), 10, dev);
  EXPECT_TRUE(ring.Playing(dev));
  ASSERT_EQ(dev.QueuedCount(), 1u);
  EXPECT_EQ(dev.queued[0], std::make_pair(3, 10));
  ring.Write(data.data(), 1024, dev);
  EXPECT_EQ(dev.queued[1].first, 0);
}

// Not playing while data waits in the filling block, even when every block
// the device had has come back meanwhile.
TEST(BlockRing, PendingTailCountsAsPlaying) {
  CBlockRing ring;
  FakeDevice dev(ring, 4, 1024);
  std::string data = Pattern(3 * 1024 + 5);
  ring.Write(data.data(), static_cast<int>(data.size()), dev);
  EXPECT_TRUE(ring.Playing(dev));
  EXPECT_EQ(dev.QueuedCount(), 3u);  // tail still in the ring
  dev.ReturnAll();
  EXPECT_TRUE(ring.Playing(dev));
  dev.ReturnAll();
  EXPECT_FALSE(ring.Playing(dev));
  EXPECT_TRUE(dev.played == data);
}

TEST(BlockRing, RefusedBlocksCountAsPlayedSoNoWaitHangs) {
  CBlockRing ring;
  FakeDevice dev(ring, 2, 1024);
  dev.refuse = true;
  dev.returnOnWait = false;
  std::string data = Pattern(4096);
  ring.Write(data.data(), 4096, dev);
  EXPECT_EQ(ring.FreeBlocks(), 2);
  EXPECT_EQ(ring.PlayedBytes(), 4096);
  ring.QueuePartial(dev);
  ring.WaitAllReturned(dev);  // returns at once
  EXPECT_EQ(dev.waits, 0);
}

TEST(BlockRing, BadWritesChangeNothing) {
  CBlockRing ring;
  FakeDevice dev(ring, 2, 1024);
  ring.Write(nullptr, 100, dev);
  char c = 1;
  ring.Write(&c, 0, dev);
  ring.Write(&c, -5, dev);
  EXPECT_EQ(ring.WrittenBytes(), 0);
  EXPECT_EQ(ring.CanWrite(), 2048);
  CBlockRing closed;  // never reset: no blocks
  FakeDevice none(closed, 0, 1024);
  closed.Write(&c, 1, none);
  EXPECT_FALSE(closed.Playing(none));
  EXPECT_EQ(closed.WrittenBytes(), 0);
}

// The device returns blocks from its own thread while the writer streams:
// every byte arrives once, in order, and the counts end consistent.
TEST(BlockRing, ConcurrentReturnsKeepTheStreamIntact) {
  CBlockRing ring;
  FakeDevice dev(ring, 3, 1024);
  dev.returnOnWait = false;
  std::atomic<bool> done{false};
  std::thread player([&] {
    while (!done.load() || dev.QueuedCount()) {
      if (!dev.ReturnOldest()) std::this_thread::yield();
    }
  });
  std::string data = Pattern(200 * 1024 + 77, 5);
  size_t pos = 0;
  for (int step = 1; pos < data.size(); step = step % 3000 + 977) {
    const int n = static_cast<int>(std::min<size_t>(step, data.size() - pos));
    ring.Write(data.data() + pos, n, dev);
    pos += n;
  }
  while (ring.Playing(dev)) std::this_thread::yield();
  done = true;
  player.join();
  EXPECT_TRUE(dev.played == data) << "the device got other bytes than were written";
  EXPECT_EQ(ring.PlayedBytes(), static_cast<int64_t>(data.size()));
  EXPECT_EQ(ring.FreeBlocks(), 3);
}

}  // namespace
}  // namespace zul
