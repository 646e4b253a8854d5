#include "fuzz/tags/fuzz_check.h"
#include "mpeg_input/tags/id3v1.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zul::tags;
  using zul::CMemorySource;
  CMemorySource source(std::span(data, size));
  CTagFields fields;
  if (ReadId3v1(source, fields)) CheckFields(fields);
  return 0;
}
