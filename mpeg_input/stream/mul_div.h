#pragma once
#include <cstdint>

namespace zul {

// a * b / c rounded half away from zero, like the platform's MulDiv but
// without its 32-bit result: lengths of long files and byte counts of large
// ones do not fit. Returns -1 for c == 0 or a result beyond 63 bits.
int64_t MulDiv64(int64_t a, int64_t b, int64_t c);

}  // namespace zul
