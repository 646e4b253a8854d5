#include "pluginhost/video/yuv_convert.h"

#include <algorithm>

namespace zul {
namespace {

uint32_t Rgb(int y, int u, int v) {
  const int c = 298 * (y - 16);
  const int d = u - 128, e = v - 128;
  const int r = std::clamp((c + 409 * e + 128) >> 8, 0, 255);
  const int g = std::clamp((c - 100 * d - 208 * e + 128) >> 8, 0, 255);
  const int b = std::clamp((c + 516 * d + 128) >> 8, 0, 255);
  return static_cast<uint32_t>(b | (g << 8) | (r << 16));
}

bool SizeOk(int w, int h) { return w >= 1 && h >= 1 && w <= kMaxVideoSide && h <= kMaxVideoSide; }

}  // namespace

bool ConvertYuy2(const uint8_t* frame, int w, int h, bool vflip, uint32_t* out) {
  if (!frame || !out || !SizeOk(w, h)) return false;
  const int64_t rowBytes = 2 * static_cast<int64_t>(w);
  for (int row = 0; row < h; ++row) {
    const uint8_t* s = frame + rowBytes * row;
    uint32_t* d = out + static_cast<int64_t>(vflip ? h - 1 - row : row) * w;
    for (int x = 0; x < w; ++x) {
      const int pair = (x / 2) * 4;  // Y0 U Y1 V
      const int luma = s[pair + (x % 2) * 2];
      // An odd width ends with half a pair: its chroma bytes are still in the row.
      const int u = pair + 1 < rowBytes ? s[pair + 1] : 128;
      const int v = pair + 3 < rowBytes ? s[pair + 3] : 128;
      d[x] = Rgb(luma, u, v);
    }
  }
  return true;
}

bool ConvertYv12(const YuvPlane& y, const YuvPlane& u, const YuvPlane& v, int w, int h, bool vflip, uint32_t* out) {
  const int cw = (w + 1) / 2;
  if (!out || !SizeOk(w, h) || !y.data || !u.data || !v.data || y.rowBytes < w || u.rowBytes < cw || v.rowBytes < cw)
    return false;
  for (int row = 0; row < h; ++row) {
    const uint8_t* ys = y.data + y.rowBytes * row;
    const uint8_t* us = u.data + u.rowBytes * (row / 2);
    const uint8_t* vs = v.data + v.rowBytes * (row / 2);
    uint32_t* d = out + static_cast<int64_t>(vflip ? h - 1 - row : row) * w;
    for (int x = 0; x < w; ++x) d[x] = Rgb(ys[x], us[x / 2], vs[x / 2]);
  }
  return true;
}

}  // namespace zul
