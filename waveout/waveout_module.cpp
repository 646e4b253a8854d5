#include "waveout/waveout_module.h"

#include "pluginhost/protocol/winamp_messages.h"
#include "waveout/waveout_output.h"
#include "waveout/waveout_prefs.h"
#include "waveout/waveout_settings_file.h"

namespace zul {
namespace {

constexpr WPARAM kQueryVolume = static_cast<WPARAM>(-666);

char description[] = "ZUL waveOut output";

Out_Module& Module();

LRESULT SendToHost(WPARAM data, LPARAM ipc) {
  HWND host = Module().hMainWindow;
  return host ? SendMessageW(host, WM_WA_IPC, data, ipc) : 0;
}

void __cdecl Config(HWND) { SendToHost(reinterpret_cast<WPARAM>(WaveOutPage()), IPC_OPENPREFSTOPAGE); }

void __cdecl About(HWND parent) { MessageBoxA(parent, description, "ZUL", MB_OK | MB_ICONINFORMATION); }

void __cdecl Init() {
  CWaveOutput& out = WaveOutOutput();
  out.Close();
  // Without a host window there is nobody to ask; full volume then, not mute.
  HWND host = Module().hMainWindow;
  out.SetHostVolume(host && IsWindow(host) ? static_cast<int>(SendToHost(kQueryVolume, IPC_SETVOLUME)) : 255);
  FillWaveOutPage(Module().hDllInstance);
  SendToHost(reinterpret_cast<WPARAM>(WaveOutPage()), IPC_ADD_PREFS_DLG);
  out.LoadSettings();
}

void __cdecl Quit() {
  SendToHost(reinterpret_cast<WPARAM>(WaveOutPage()), IPC_REMOVE_PREFS_DLG);
  WaveOutOutput().Close();
}

int __cdecl Open(int sampleRate, int channels, int bits, int, int) {
  return WaveOutOutput().Open(sampleRate, channels, bits);
}
void __cdecl Close() { WaveOutOutput().Close(); }
int __cdecl Write(char* data, int length) { return WaveOutOutput().Write(data, length); }
int __cdecl CanWrite() { return WaveOutOutput().CanWrite(); }
int __cdecl IsPlaying() { return WaveOutOutput().IsPlaying(); }
int __cdecl Pause(int pause) { return WaveOutOutput().Pause(pause); }
void __cdecl SetVolume(int volume) { WaveOutOutput().SetVolume(volume); }
void __cdecl SetPan(int pan) { WaveOutOutput().SetPan(pan); }
void __cdecl Flush(int t) { WaveOutOutput().Flush(t); }
int __cdecl GetOutputTime() { return WaveOutOutput().GetOutputTime(); }
int __cdecl GetWrittenTime() { return WaveOutOutput().GetWrittenTime(); }

Out_Module& Module() {
  static Out_Module module{.version = 0,
                           .description = description,
                           .id = 0,
                           .hMainWindow = nullptr,
                           .hDllInstance = nullptr,
                           .Config = Config,
                           .About = About,
                           .Init = Init,
                           .Quit = Quit,
                           .Open = Open,
                           .Close = Close,
                           .Write = Write,
                           .CanWrite = CanWrite,
                           .IsPlaying = IsPlaying,
                           .Pause = Pause,
                           .SetVolume = SetVolume,
                           .SetPan = SetPan,
                           .Flush = Flush,
                           .GetOutputTime = GetOutputTime,
                           .GetWrittenTime = GetWrittenTime};
  return module;
}

}  // namespace

Out_Module* WaveOutModule() { return &Module(); }

CWaveOutput& WaveOutOutput() {
  // Never destroyed: closing a device from a static destructor would run
  // after winmm may already have shut down.
  static CWaveOutput* output = new CWaveOutput(WaveOutSettingsPath());
  return *output;
}

}  // namespace zul
