#pragma once
// The ring of fixed-size blocks between an input plug-in and the sound
// device. Write copies into the block being filled; each full block goes to
// the device, which hands it back (BlockDone) once it has been played. The
// device and the memory of the blocks are behind BlockDevice, so the ring's
// bookkeeping is the same with the real driver and with a test double.
//
// Threads:
// - Decode thread of the input plug-in: Write, CanWrite, Playing,
//   QueuePartial, WaitAllReturned, Restart (the last three for a flush).
// - Device callback thread: BlockDone only. It touches nothing but the
//   atomics (and signals a waiter), so the callback never waits for a lock
//   the decode thread holds.
// - Main thread: Reset, WaitAllReturned and Restart while no Write runs
//   (open, close), and the read-only accessors for positions and statistics.
// - freeBlocks and playedBytes are the values two threads change: atomics.
//   fillMutex keeps Playing, which may come from any thread, off the
//   fill state while Write or a flush is using it.
#include <atomic>
#include <cstdint>
#include <mutex>

namespace zul {

class BlockDevice {
public:
  virtual ~BlockDevice() = default;
  virtual char* BlockData(int index) = 0;
  // Hands the block to the device. False when the device refused it; the
  // ring then counts the block as played, so no wait hangs for it.
  virtual bool QueueBlock(int index, int bytes) = 0;
  // Before a returned block is filled again: undo what QueueBlock prepared.
  virtual void ReleaseBlock(int index) = 0;
  // Once per pass of Write's copy loop.
  virtual void BeforeFill() {}
  // Blocks until the device may have returned a block: until the next
  // BlockReturned signal (the ring asks for one with ExpectReturn first).
  virtual void WaitForDevice() = 0;
  // Wakes WaitForDevice; called by BlockDone when a waiter expects it.
  virtual void BlockReturned() {}
};

class CBlockRing {
public:
  // Every block free, totals and start position 0, filling block 0.
  void Reset(int blockCount, int blockSize);

  // Copies all of data; queues every block it fills, and waits while every
  // block is with the device. Counts `length` as written.
  void Write(const char* data, int length, BlockDevice& device);
  // Bytes Write takes without waiting.
  int CanWrite() const;
  bool AnyQueued() const { return freeBlocks.load() != blockCount; }

  // Whether the device still has data to play: queued blocks, or data in
  // the filling block. An input plug-in asks this once it has written its
  // last data and waits for it to turn false, so the filling block (the end
  // of the track, which fills no block) is queued then - as soon as at most
  // one block is ahead of it, so that the device does not run dry before
  // the tail arrives. The filling block is left alone while a Write runs on
  // another thread.
  bool Playing(BlockDevice& device);
  // A flush: the filling block goes to the device if it holds data, so that
  // it comes back with the others after the device reset.
  void QueuePartial(BlockDevice& device);
  void WaitAllReturned(BlockDevice& device);
  // After the device reset: totals 0, position restarts at startMs, filling
  // moves on to the next block.
  void Restart(int startMs);

  // The device has finished a block of `bytes` bytes. Signals the device
  // only when a wait expects it: on the driver's thread, per block, a
  // signal nobody waits for would still cost a system call.
  void BlockDone(int bytes, BlockDevice& device) {
    playedTotal.fetch_add(bytes);
    freeBlocks.fetch_add(1);
    if (waiting.load()) device.BlockReturned();
  }

  // Corrects the played total by `bytes`: a device reset hands back whole
  // blocks, played or not.
  void CountPlayed(int64_t bytes) { playedTotal.fetch_add(bytes); }

  int BlockCount() const { return blockCount; }
  int BlockSize() const { return blockSize; }
  int FreeBlocks() const { return freeBlocks.load(); }
  int FillIndex() const { return fillIndex; }
  int FillBytes() const { return fillBytes; }
  int64_t WrittenBytes() const { return writtenTotal.load(); }
  int64_t PlayedBytes() const { return playedTotal.load(); }
  int StartMs() const { return startPosition.load(); }

private:
  void QueueFillingBlock(BlockDevice& device);  // fillMutex held
  // Waits until `done` holds, woken by the device's returns.
  template <typename Done>
  void WaitUntil(BlockDevice& device, Done done);

  int blockCount = 0;
  int blockSize = 0;
  std::mutex fillMutex;
  int fillIndex = 0;
  int fillBytes = 0;
  std::atomic<int> freeBlocks{0};
  std::atomic<int64_t> writtenTotal{0};
  std::atomic<int64_t> playedTotal{0};
  std::atomic<int> startPosition{0};
  std::atomic<bool> waiting{false};  // a WaitForDevice expects BlockReturned
};

}  // namespace zul
