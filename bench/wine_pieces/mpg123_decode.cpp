// libmpg123 alone under Wine: decodes a file to 16-bit as fast as it goes
// and discards the samples, the reference of the full-speed decode bench.
// Prints "ticks <process> <wineserver> bytes <n>" for the decode itself
// (from the opened file to its end).
//   mpg123_decode FILE
#include <windows.h>
#include <mpg123.h>

#include <cstdio>
#include <vector>

#include "bench/wine_pieces/linux_ticks.h"

int main(int argc, char** argv) {
  if (argc != 2 || mpg123_init() != MPG123_OK || zul::bench::OwnLinuxPid().empty()) return 2;
  int error = 0;
  mpg123_handle* h = mpg123_new(nullptr, &error);
  if (!h || mpg123_param(h, MPG123_FLAGS, MPG123_QUIET, 0) != MPG123_OK || mpg123_open(h, argv[1]) != MPG123_OK) {
    std::printf("cannot open %s\n", argv[1]);
    return 1;
  }
  const long long self0 = zul::bench::OwnTicks(), server0 = zul::bench::WineserverTicks();
  std::vector<unsigned char> buffer(65536);
  long long bytes = 0;
  for (;;) {
    size_t done = 0;
    int r = mpg123_read(h, buffer.data(), buffer.size(), &done);
    bytes += static_cast<long long>(done);
    if (r == MPG123_NEW_FORMAT) continue;
    if (r != MPG123_OK) break;
  }
  const long long self = zul::bench::OwnTicks() - self0, server = zul::bench::WineserverTicks() - server0;
  std::printf("ticks %lld %lld bytes %lld\n", self, server, bytes);
  mpg123_delete(h);
  return bytes > 0 ? 0 : 1;
}
