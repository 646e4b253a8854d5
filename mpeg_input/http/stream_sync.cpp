#include "mpeg_input/http/stream_sync.h"

#include <chrono>
#include <vector>

namespace zul {
namespace {

constexpr size_t kWindow = 8192;  // more than two of the longest frames

}  // namespace

bool SynchroniseRing(CStreamRing& ring, CFrameHeader* first, const CFrameHeader* mustMatch, int64_t limit,
                     int timeoutMs) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  std::vector<uint8_t> window(kWindow);
  int64_t searched = 0;
  while (searched <= limit) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    size_t n = ring.Peek(window.data(), window.size(), static_cast<int>(left));
    if (n < 4) return false;
    // A short window means the stream ended or the time is up: what is
    // there is all there will be.
    const bool complete = n < window.size();
    size_t drop = n - 3;
    for (size_t p = 0; p + 4 <= n; ++p) {
      auto h = ParseFrameHeader(window.data() + p);
      if (!h || (mustMatch && !SameStream(*h, *mustMatch))) continue;
      size_t next = p + static_cast<size_t>(h->frameLength);
      if (next + 4 > n) {
        if (complete) continue;
        drop = p;  // look again with the whole pair in the window
        break;
      }
      auto h2 = ParseFrameHeader(window.data() + next);
      if (h2 && SameStream(*h, *h2)) {
        ring.Drop(p);
        *first = *h;
        return true;
      }
    }
    if (drop == 0) drop = 1;
    ring.Drop(drop);
    searched += static_cast<int64_t>(drop);
  }
  return false;
}

}  // namespace zul
