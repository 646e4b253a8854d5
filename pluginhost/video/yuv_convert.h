#pragma once
// The two frame layouts video plug-ins hand to the video output, turned into
// 32-bit BGRX rows (top row first) for drawing: packed YUY2 (rows of 2 x w
// bytes, no padding) and planar YV12 (Y rows of w bytes, U and V rows of
// w / 2 bytes, one chroma row per two luma rows; each plane with its own row
// length). BT.601 studio range.
//
// Threads: any (pure functions).
#include <cstdint>

namespace zul {

inline constexpr uint32_t kFourccYuy2 = 0x32595559;  // "YUY2"
inline constexpr uint32_t kFourccYv12 = 0x32315659;  // "YV12"
inline constexpr int kMaxVideoSide = 8192;

struct YuvPlane {
  const uint8_t* data = nullptr;
  int64_t rowBytes = 0;
};

// False (nothing written) for a size outside 1..kMaxVideoSide, a missing
// plane, or a row length too short for the width: such a frame is skipped
// rather than read past its rows. `out` holds w x h pixels.
bool ConvertYuy2(const uint8_t* frame, int w, int h, bool vflip, uint32_t* out);
bool ConvertYv12(const YuvPlane& y, const YuvPlane& u, const YuvPlane& v, int w, int h, bool vflip, uint32_t* out);

}  // namespace zul
