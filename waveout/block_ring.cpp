#include "waveout/block_ring.h"

#include <algorithm>
#include <cstring>

namespace zul {

void CBlockRing::Reset(int count, int size) {
  std::lock_guard lock(fillMutex);
  blockCount = count;
  blockSize = size;
  fillIndex = 0;
  fillBytes = 0;
  freeBlocks = count;
  writtenTotal = 0;
  playedTotal = 0;
  startPosition = 0;
}

void CBlockRing::QueueFillingBlock(BlockDevice& device) {
  // Counted before the device sees the block: its return may come at once.
  freeBlocks.fetch_sub(1);
  if (!device.QueueBlock(fillIndex, fillBytes)) BlockDone(fillBytes, device);
}

// The waiter announces itself before it looks at the counter, and BlockDone
// counts before it looks for a waiter: a return between the look and the
// wait has signalled already, so the wait cannot miss it.
template <typename Done>
void CBlockRing::WaitUntil(BlockDevice& device, Done done) {
  if (done()) return;
  waiting = true;
  while (!done()) device.WaitForDevice();
  waiting = false;
}

void CBlockRing::Write(const char* data, int length, BlockDevice& device) {
  if (!data || length <= 0 || blockCount <= 0) return;
  std::lock_guard lock(fillMutex);
  writtenTotal.fetch_add(length);
  while (length > 0) {
    device.BeforeFill();
    device.ReleaseBlock(fillIndex);
    const int n = std::min(length, blockSize - fillBytes);
    std::memcpy(device.BlockData(fillIndex) + fillBytes, data, n);
    fillBytes += n;
    data += n;
    length -= n;
    if (fillBytes < blockSize) break;
    QueueFillingBlock(device);
    WaitUntil(device, [&] { return freeBlocks.load() != 0; });
    fillIndex = (fillIndex + 1) % blockCount;
    fillBytes = 0;
  }
}

int CBlockRing::CanWrite() const { return blockSize * freeBlocks.load() - fillBytes; }

bool CBlockRing::Playing(BlockDevice& device) {
  std::unique_lock lock(fillMutex, std::try_to_lock);
  if (!lock.owns_lock() || blockCount <= 0 || fillBytes == 0) return AnyQueued();
  if (freeBlocks.load() >= blockCount - 1) {
    QueueFillingBlock(device);
    // The next block is free: it is either the one ahead of the queued
    // ones, or every block is free but the one just queued.
    fillIndex = (fillIndex + 1) % blockCount;
    fillBytes = 0;
  }
  return true;
}

void CBlockRing::QueuePartial(BlockDevice& device) {
  std::lock_guard lock(fillMutex);
  if (blockCount > 0 && fillBytes > 0) QueueFillingBlock(device);
}

void CBlockRing::WaitAllReturned(BlockDevice& device) {
  WaitUntil(device, [&] { return freeBlocks.load() == blockCount; });
}

void CBlockRing::Restart(int startMs) {
  std::lock_guard lock(fillMutex);
  writtenTotal = 0;
  playedTotal = 0;
  startPosition = startMs;
  if (blockCount > 0) fillIndex = (fillIndex + 1) % blockCount;
  fillBytes = 0;
}

}  // namespace zul
