#include "mpeg_input/http/stream_ring.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace zul {

CStreamRing::CStreamRing(size_t bytes, size_t preBuffer)
    : buffer_(std::max<size_t>(bytes, 1)), preBuffer_(std::min(preBuffer, std::max<size_t>(bytes, 1))) {}

size_t CStreamRing::Room(size_t most) const {
  std::lock_guard lock(lock_);
  size_t limit = consuming_ ? buffer_.size() : preBuffer_;
  return limit > fill_ ? std::min(most, limit - fill_) : 0;
}

bool CStreamRing::WaitForRoom(int waitMs) {
  std::unique_lock lock(lock_);
  changed_.wait_for(lock, std::chrono::milliseconds(waitMs),
                    [&] { return aborted_ || fill_ < (consuming_ ? buffer_.size() : preBuffer_); });
  return !aborted_;
}

size_t CStreamRing::Write(std::span<const uint8_t> bytes) {
  std::lock_guard lock(lock_);
  if (aborted_) return 0;
  size_t n = std::min(bytes.size(), buffer_.size() - fill_);
  size_t at = (readAt_ + fill_) % buffer_.size();
  size_t first = std::min(n, buffer_.size() - at);
  std::memcpy(buffer_.data() + at, bytes.data(), first);
  std::memcpy(buffer_.data(), bytes.data() + first, n - first);
  fill_ += n;
  changed_.notify_all();
  return n;
}

void CStreamRing::Finish() {
  std::lock_guard lock(lock_);
  finished_ = true;
  changed_.notify_all();
}

void CStreamRing::Abort() {
  std::lock_guard lock(lock_);
  aborted_ = true;
  changed_.notify_all();
}

bool CStreamRing::Aborted() const {
  std::lock_guard lock(lock_);
  return aborted_;
}

bool CStreamRing::Finished() const {
  std::lock_guard lock(lock_);
  return finished_;
}

size_t CStreamRing::Fill() const {
  std::lock_guard lock(lock_);
  return fill_;
}

void CStreamRing::CopyOut(uint8_t* dst, size_t count) const {
  size_t first = std::min(count, buffer_.size() - readAt_);
  std::memcpy(dst, buffer_.data() + readAt_, first);
  std::memcpy(dst + first, buffer_.data(), count - first);
}

size_t CStreamRing::Peek(uint8_t* dst, size_t count, int timeoutMs) {
  std::unique_lock lock(lock_);
  // More than the pre-buffer can never come before the first Read.
  count = std::min(count, consuming_ ? buffer_.size() : preBuffer_);
  changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                    [&] { return aborted_ || finished_ || fill_ >= count; });
  if (aborted_) return 0;
  size_t n = std::min(count, fill_);
  CopyOut(dst, n);
  return n;
}

void CStreamRing::Drop(size_t count) {
  std::lock_guard lock(lock_);
  count = std::min(count, fill_);
  readAt_ = (readAt_ + count) % buffer_.size();
  fill_ -= count;
  changed_.notify_all();
}

size_t CStreamRing::Read(uint8_t* dst, size_t count, int waitMs) {
  std::unique_lock lock(lock_);
  if (!consuming_) {
    consuming_ = true;
    changed_.notify_all();
  }
  while (!aborted_ && !finished_ && fill_ == 0) changed_.wait_for(lock, std::chrono::milliseconds(waitMs));
  if (aborted_) return 0;
  size_t n = std::min(count, fill_);
  CopyOut(dst, n);
  readAt_ = (readAt_ + n) % buffer_.size();
  fill_ -= n;
  changed_.notify_all();
  return n;
}

}  // namespace zul
