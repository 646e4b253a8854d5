#include "fuzz/tags/fuzz_check.h"
#include "mpeg_input/tags/tag_reader.h"

// All three kinds through the priority order and the ReplayGain sources, as
// the cache and the player read a file. The first byte picks the options.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zul::tags;
  using zul::CMemorySource;
  if (size < 1) return 0;
  CMemorySource source(std::span(data + 1, size - 1));
  CTagFields fields;
  ReadTagFields(source, data[0] % 7, fields);
  CheckFields(fields);
  CheckGain(ReadTagReplayGain(source, data[0] >> 4, data[0] % 7));
  return 0;
}
