#include "app/recent_list.h"

#include "base/text_codec.h"

namespace zul {

void PushRecent(RecentList& recent, std::wstring path) {
  if (!path.empty() && path.back() == L'\\') path.pop_back();
  if (path.empty() || (path.size() == 2 && path[1] == L':')) return;
  size_t found = recent.size() - 1;  // not found: everything moves, the last drops out
  for (size_t i = 0; i < recent.size(); ++i) {
    if (EqualNoCase(recent[i], path)) {
      found = i;
      break;
    }
  }
  for (size_t i = found; i > 0; --i) recent[i] = std::move(recent[i - 1]);
  recent[0] = std::move(path);
}

}  // namespace zul
