#pragma once
// Synchronisation on a received stream: the first position where a frame
// header is followed, one frame length later, by a consistent header. The
// bytes before it are dropped from the ring. The search gives up after
// kStreamSyncLimit bytes, after kStreamSyncTimeoutMs, at the end of the
// stream, or when aborted, so a server sending anything but MPEG, or
// sending it too slowly to play, ends in "Valid frame not found".
//
// Threads: the ring's reader (prepare thread, or the decode thread when it
// resynchronises).
#include <cstdint>

#include "mpeg_input/http/stream_ring.h"
#include "mpeg_input/stream/frame_header.h"

namespace zul {

inline constexpr int64_t kStreamSyncLimit = 256 * 1024;
inline constexpr int kStreamSyncTimeoutMs = 10000;

// On success `*first` is the header at the new read position. With
// `mustMatch`, only a header of that stream counts (resynchronisation).
bool SynchroniseRing(CStreamRing& ring, CFrameHeader* first, const CFrameHeader* mustMatch = nullptr,
                     int64_t limit = kStreamSyncLimit, int timeoutMs = kStreamSyncTimeoutMs);

}  // namespace zul
