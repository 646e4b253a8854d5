#pragma once
// The record a second instance sends to the running one in WM_COPYDATA
// (dwData 0, cbData 528): a mode and a UTF-16 path.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zul {

struct OpenRequest {
  static constexpr uint32_t kOpen = 0;     // replace the playlist and play
  static constexpr uint32_t kAdd = 1;      // add to the playlist
  static constexpr size_t kMaxPath = 261;  // code units before the terminator

  uint32_t mode = kOpen;
  char16_t path[262] = {};

  // Paths longer than kMaxPath are refused rather than cut: a cut path names
  // another file.
  static bool Make(uint32_t mode, std::u16string_view path, OpenRequest* out);
  // The path up to its terminator (or the end of the field).
  std::u16string Path() const;
};

static_assert(sizeof(OpenRequest) == 528);
static_assert(offsetof(OpenRequest, path) == 4);

}  // namespace zul
