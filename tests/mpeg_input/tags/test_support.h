#pragma once
#include <cstdlib>
#include <string>

#include "mpeg_input/stream/byte_source.h"
#include "tests/mpeg_input/tags/tag_builder.h"

namespace zul::tags::test {

// A source over a vector the test keeps alive.
inline CMemorySource SourceOf(const ByteVector& bytes) { return CMemorySource(bytes); }

inline std::wstring FixturePath(const char* name) {
  const char* root = std::getenv("ZUL_SOURCE_DIR");
  std::string path = std::string(root ? root : ".") + "/tests/mpeg_input/tags/fixtures/" + name;
  return std::wstring(path.begin(), path.end());
}

}  // namespace zul::tags::test
