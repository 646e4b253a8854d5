#include "app/open_request.h"

namespace zul {

bool OpenRequest::Make(uint32_t mode, std::u16string_view path, OpenRequest* out) {
  if (path.size() > kMaxPath) return false;
  *out = OpenRequest{};
  out->mode = mode;
  path.copy(out->path, path.size());
  return true;
}

std::u16string OpenRequest::Path() const {
  size_t n = 0;
  while (n < std::size(path) && path[n] != 0) ++n;
  return std::u16string(path, n);
}

}  // namespace zul
