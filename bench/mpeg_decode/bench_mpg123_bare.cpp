// The reference for bench_mpeg_decode: a bare libmpg123 decode of a file to
// 16-bit integers, as any player would do it, and nothing else.
//   bench_mpg123_bare FILE   prints the sample count
#include <mpg123.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  int err = MPG123_OK;
  mpg123_handle* h = mpg123_new(nullptr, &err);
  if (!h || mpg123_format_none(h) != MPG123_OK) return 1;
  const long* rates = nullptr;
  size_t count = 0;
  mpg123_rates(&rates, &count);
  for (size_t i = 0; i < count; ++i)
    if (mpg123_format(h, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16) != MPG123_OK) return 1;
  if (mpg123_open(h, argv[1]) != MPG123_OK) return 1;
  static unsigned char buffer[1 << 16];
  size_t total = 0;
  for (;;) {
    size_t done = 0;
    int r = mpg123_read(h, buffer, sizeof buffer, &done);
    total += done / 2;
    if (r == MPG123_DONE) break;
    if (r != MPG123_OK && r != MPG123_NEW_FORMAT) return 1;
  }
  mpg123_close(h);
  mpg123_delete(h);
  std::printf("%zu samples\n", total);
  return 0;
}
