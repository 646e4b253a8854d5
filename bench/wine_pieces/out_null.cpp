// An output plug-in that takes everything at once and discards it, for the
// full-speed decode bench: CanWrite is always large and Write never waits,
// so the input decodes as fast as it can. From Open to Close it measures
// the CPU ticks of its own process and of the wineserver and appends
//   "ticks <process> <wineserver> bytes <n>"
// to the file ZUL_BENCH_RESULT names.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "bench/wine_pieces/linux_ticks.h"
#include "pluginhost/protocol/winamp_records.h"

using zul::Out_Module;

namespace {

Out_Module mod;
bool open = false;
long long selfStart = 0, serverStart = 0;
long long bytes = 0;
int bytesPerSecond = 1;

void __cdecl Config(HWND) {}
void __cdecl About(HWND) {}
void __cdecl Init() { zul::bench::OwnLinuxPid(); }  // found before anything is timed
void __cdecl Quit() {}

int __cdecl Open(int rate, int channels, int bits, int, int) {
  bytesPerSecond = rate * channels * (bits / 8);
  if (bytesPerSecond <= 0) bytesPerSecond = 1;
  bytes = 0;
  open = true;
  selfStart = zul::bench::OwnTicks();
  serverStart = zul::bench::WineserverTicks();
  return 0;
}

void __cdecl Close() {
  if (!open) return;
  open = false;
  const long long self = zul::bench::OwnTicks() - selfStart;
  const long long server = zul::bench::WineserverTicks() - serverStart;
  if (const char* path = std::getenv("ZUL_BENCH_RESULT")) {
    if (FILE* f = std::fopen(path, "a")) {
      std::fprintf(f, "ticks %lld %lld bytes %lld\n", self, server, bytes);
      std::fclose(f);
    }
  }
}

int __cdecl Write(char*, int length) {
  if (length > 0) bytes += length;
  return 0;
}
int __cdecl CanWrite() { return 1 << 24; }
int __cdecl IsPlaying() { return 0; }
int __cdecl Pause(int pause) { return !pause; }
void __cdecl SetVolume(int) {}
void __cdecl SetPan(int) {}
void __cdecl Flush(int) { bytes = 0; }
int __cdecl WrittenMs() { return static_cast<int>(bytes * 1000 / bytesPerSecond); }

}  // namespace

extern "C" __declspec(dllexport) Out_Module* winampGetOutModule() {
  static char description[] = "Bench null output";
  mod = Out_Module{};
  mod.version = 0x10;
  mod.description = description;
  mod.id = 0x7A01;
  mod.Config = Config;
  mod.About = About;
  mod.Init = Init;
  mod.Quit = Quit;
  mod.Open = Open;
  mod.Close = Close;
  mod.Write = Write;
  mod.CanWrite = CanWrite;
  mod.IsPlaying = IsPlaying;
  mod.Pause = Pause;
  mod.SetVolume = SetVolume;
  mod.SetPan = SetPan;
  mod.Flush = Flush;
  mod.GetOutputTime = WrittenMs;
  mod.GetWrittenTime = WrittenMs;
  return &mod;
}
