#include "fuzz/tags/fuzz_check.h"
#include "mpeg_input/tags/ape.h"

// The input is a whole file: the footer at its end, before ID3v1, or before
// a Lyrics3 v2 block.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zul::tags;
  using zul::CMemorySource;
  CMemorySource source(std::span(data, size));
  CTagFields fields;
  ReplayGainValues gain;
  if (ReadApe(source, &fields, &gain)) {
    CheckFields(fields);
    CheckGain(gain);
  }
  if (size >= 5) {
    std::uint32_t count = data[0] | data[1] << 8;
    ParseApeItems(data[2] & 1 ? 2000 : 1000, count, std::span(data + 3, size - 3), &fields, &gain);
    CheckFields(fields);
    CheckGain(gain);
  }
  return 0;
}
