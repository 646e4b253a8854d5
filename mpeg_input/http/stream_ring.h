#pragma once
// The ring between a stream's receive thread and its readers (the
// synchroniser on the prepare thread, then the decoder on the decode
// thread): a fixed buffer allocated once, so a server that sends without
// end costs the ring and nothing more.
//
// Threads: Write on the receive thread; Peek, Drop and Read on one reader
// at a time; Finish on the receive thread; Abort on any thread (Stop).
// One mutex guards the read offset, the fill count and the flags; waits are
// on one condition variable and bounded by `waitMs` each.
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

namespace zul {

class CStreamRing {
public:
  // `bytes` of room; until the first Read, Room() offers only `preBuffer`.
  CStreamRing(size_t bytes, size_t preBuffer);

  // What the receive thread may write now (at most `most`).
  size_t Room(size_t most) const;
  // Waits up to `waitMs` for room; false when aborted.
  bool WaitForRoom(int waitMs);
  // Appends what fits; returns the bytes taken.
  size_t Write(std::span<const uint8_t> bytes);
  // The receiver ended (server closed, read error): readers drain the rest.
  void Finish();
  // Stop: every wait returns at once and reads return nothing.
  void Abort();
  bool Aborted() const;
  bool Finished() const;

  // Copies up to `count` bytes from the read position without taking them,
  // waiting while fewer are there, the receiver has not ended and
  // `timeoutMs` has not passed; 0 when aborted.
  size_t Peek(uint8_t* dst, size_t count, int timeoutMs);
  void Drop(size_t count);
  // Takes up to `count` bytes, waiting for at least one; 0 at the end of
  // the stream or when aborted. The first Read lifts the pre-buffer limit.
  size_t Read(uint8_t* dst, size_t count, int waitMs);

  size_t Fill() const;
  size_t Capacity() const { return buffer_.size(); }

private:
  void CopyOut(uint8_t* dst, size_t count) const;

  std::vector<uint8_t> buffer_;
  const size_t preBuffer_;
  mutable std::mutex lock_;
  std::condition_variable changed_;
  size_t readAt_ = 0;
  size_t fill_ = 0;
  bool consuming_ = false;
  bool finished_ = false;
  bool aborted_ = false;
};

}  // namespace zul
