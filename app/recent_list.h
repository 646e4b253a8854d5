#pragma once
// The ten most recently opened files, folders and addresses, most recent
// first ("Recent0" ... "Recent9"); empty strings are unused slots.
#include <array>
#include <string>

namespace zul {

using RecentList = std::array<std::wstring, 10>;

// Puts a path at the top: a trailing "\" is removed, a bare drive ("E:") is
// not recorded, a path already listed (compared without case) moves up
// instead of appearing twice, and the tenth entry drops out otherwise.
void PushRecent(RecentList& recent, std::wstring path);

}  // namespace zul
