#include "fuzz/tags/fuzz_check.h"
#include "mpeg_input/tags/id3v2.h"

// The input is a whole file: a tag at its start or behind a footer at its end.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zul::tags;
  using zul::CMemorySource;
  CMemorySource source(std::span(data, size));
  CTagFields fields;
  ReplayGainValues gain;
  if (ReadId3v2(source, &fields, &gain)) {
    CheckFields(fields);
    CheckGain(gain);
  }
  // The body parser on its own, with the header byte values taken from the
  // input, reaches frame layouts that a lying header would otherwise hide.
  if (size >= 2) {
    ParseId3v2Body(3 + (data[0] & 1), data[1], std::span(data + 2, size - 2), &fields, &gain);
    CheckFields(fields);
    CheckGain(gain);
  }
  return 0;
}
