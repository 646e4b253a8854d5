#pragma once
// Properties every tag reader keeps on any input, checked by the fuzzers.
#include <cstdlib>

#include "mpeg_input/tags/tag_fields.h"
#include "mpeg_input/tags/tag_text.h"

namespace zul::tags {

inline void CheckFields(const CTagFields& fields) {
  for (const std::wstring& v : fields.values)
    if (Utf16Units(v) > kTagValueUnits) std::abort();
}

inline void CheckGain(const ReplayGainValues& gain) {
  for (const auto* v : {&gain.trackGain, &gain.trackPeak, &gain.albumGain, &gain.albumPeak})
    if (*v && !(**v == **v && **v - **v == 0)) std::abort();  // finite
}

}  // namespace zul::tags
