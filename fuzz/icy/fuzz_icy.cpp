// Feeds arbitrary bytes to the ICY filter as a stream body, cut into pieces
// the input chooses, and to the save-file namer as a location. Aborts when
// the filter hands out more audio than it was given, keeps more than one
// metadata block, or a saved name could leave its folder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "mpeg_input/http/icy_filter.h"
#include "mpeg_input/http/save_name.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const int64_t interval = data[0] < 128 ? data[0] : -1;
  const size_t piece = data[1] % 64 + 1;
  data += 2;
  size -= 2;
  zul::CIcyFilter filter(interval, true);
  std::vector<uint8_t> audio;
  size_t fed = 0;
  for (size_t at = 0; at < size; at += piece) {
    size_t n = size - at < piece ? size - at : piece;
    bool ok = filter.Feed({data + at, n}, audio);
    fed += n;
    Check(audio.size() <= fed);
    std::string title;
    if (filter.TakeTitle(&title)) Check(title.size() <= zul::kMaxMetaBlock);
    if (!ok) {
      Check(!filter.Status().empty());
      break;
    }
  }
  std::wstring location(data, data + size);
  std::wstring name = zul::SafeStreamFileName(location);
  Check(!name.empty() && name.size() <= 121);
  Check(name.find_first_of(L"\\/:*?\"<>|") == std::wstring::npos);
  Check(name != L"." && name != L"..");
  return 0;
}
