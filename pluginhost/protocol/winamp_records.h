#pragma once
// The Winamp 2.x plug-in records exactly as plug-in DLLs lay them out: ints,
// pointers and function pointers in this order, every function cdecl. In the
// 32-bit build every member is 4 bytes; 64-bit plug-ins use the same records
// with 8-byte pointers in their natural alignment (what MSVC produces). The
// offsets of both layouts are checked below; a change here breaks every
// existing plug-in.
//
// Threads: the host calls the record functions on the UI thread; input
// plug-ins call the host callbacks (dsp_*, SA*/VSA*, SetInfo) and their
// output module from their own decode threads.
#include <windows.h>

#include <cstddef>

namespace zul {

struct Out_Module;

// Input modules whose version has these bits set take UTF-16 file names.
inline constexpr int kInModuleUnicodeFlag = 0x0F000000;

struct In_Module {
  int version;
  char* description;
  HWND hMainWindow;
  HINSTANCE hDllInstance;
  char* FileExtensions;  // pairs of NUL-terminated strings, ended by an empty one
  int is_seekable;
  int UsesOutputPlug;
  void(__cdecl* Config)(HWND parent);
  void(__cdecl* About)(HWND parent);
  void(__cdecl* Init)();
  void(__cdecl* Quit)();
  // file and title are wchar_t* for a Unicode module, char* otherwise.
  void(__cdecl* GetFileInfo)(void* file, void* title, int* length_ms);
  int(__cdecl* InfoBox)(void* file, HWND parent);
  int(__cdecl* IsOurFile)(void* file);
  int(__cdecl* Play)(void* file);  // 0 ok, -1 file not found, other: error
  void(__cdecl* Pause)();
  void(__cdecl* UnPause)();
  int(__cdecl* IsPaused)();
  void(__cdecl* Stop)();
  int(__cdecl* GetLength)();
  int(__cdecl* GetOutputTime)();
  void(__cdecl* SetOutputTime)(int ms);
  void(__cdecl* SetVolume)(int volume);
  void(__cdecl* SetPan)(int pan);
  void(__cdecl* SAVSAInit)(int maxlatency_ms, int srate);
  void(__cdecl* SAVSADeInit)();
  void(__cdecl* SAAddPCMData)(void* pcm, int nch, int bps, int timestamp);
  int(__cdecl* SAGetMode)();
  int(__cdecl* SAAdd)(void* data, int timestamp, int csa);
  void(__cdecl* VSAAddPCMData)(void* pcm, int nch, int bps, int timestamp);
  int(__cdecl* VSAGetMode)(int* specNch, int* waveNch);
  int(__cdecl* VSAAdd)(void* data, int timestamp);
  void(__cdecl* VSASetInfo)(int srate, int nch);
  int(__cdecl* dsp_isactive)();
  int(__cdecl* dsp_dosamples)(short* samples, int numsamples, int bps, int nch, int srate);
  void(__cdecl* EQSet)(int on, char data[10], int preamp);
  void(__cdecl* SetInfo)(int bitrate, int srate, int stereo, int synched);
  Out_Module* outMod;
};

struct Out_Module {
  int version;
  char* description;
  int id;
  HWND hMainWindow;
  HINSTANCE hDllInstance;
  void(__cdecl* Config)(HWND parent);
  void(__cdecl* About)(HWND parent);
  void(__cdecl* Init)();
  void(__cdecl* Quit)();
  int(__cdecl* Open)(int samplerate, int numchannels, int bitspersamp, int bufferlenms, int prebufferms);
  void(__cdecl* Close)();
  int(__cdecl* Write)(char* buf, int len);
  int(__cdecl* CanWrite)();
  int(__cdecl* IsPlaying)();
  int(__cdecl* Pause)(int pause);
  void(__cdecl* SetVolume)(int volume);
  void(__cdecl* SetPan)(int pan);
  void(__cdecl* Flush)(int t);
  int(__cdecl* GetOutputTime)();
  int(__cdecl* GetWrittenTime)();
};

struct winampGeneralPurposePlugin {
  int version;
  char* description;
  int(__cdecl* init)();
  void(__cdecl* config)();
  void(__cdecl* quit)();
  HWND hwndParent;
  HINSTANCE hDllInstance;
};

// IPC_GET_EXTENDED_FILE_INFO: the answer is written into ret.
struct extendedFileInfoStruct {
  const char* filename;
  const char* metadata;
  char* ret;
  int retlen;
};

// IPC_FORMATTITLE: the format runs with the caller's tag source.
struct waFormatTitle {
  char* spec;
  void* p;
  char* out;
  int out_len;
  char*(__cdecl* TAGFUNC)(const char* tag, void* p);
  void(__cdecl* TAGFREEFUNC)(char* tag, void* p);
};

// Wasabi service objects (IPC_GET_API_SERVICE) are MSVC C++ objects: their
// _dispatch member is thiscall in the 32-bit build; x64 has one convention.
#if defined(__i386__)
#define ZUL_WASABI_CALL __attribute__((thiscall))
#else
#define ZUL_WASABI_CALL
#endif

// The DLL exports that return the records.
using GetInModuleFn = In_Module*(__cdecl*)();
using GetOutModuleFn = Out_Module*(__cdecl*)();
using GetGeneralPurposePluginFn = winampGeneralPurposePlugin*(__cdecl*)();
using GetExtendedFileInfoWFn = int(__cdecl*)(const wchar_t* filename, const wchar_t* metadata, wchar_t* ret,
                                             int retlen);

#if defined(_WIN32) && !defined(_WIN64)
#define ZUL_CHECK_OFFSET(type, member, index) static_assert(offsetof(type, member) == 4 * (index))
ZUL_CHECK_OFFSET(In_Module, version, 0);
ZUL_CHECK_OFFSET(In_Module, description, 1);
ZUL_CHECK_OFFSET(In_Module, hMainWindow, 2);
ZUL_CHECK_OFFSET(In_Module, hDllInstance, 3);
ZUL_CHECK_OFFSET(In_Module, FileExtensions, 4);
ZUL_CHECK_OFFSET(In_Module, is_seekable, 5);
ZUL_CHECK_OFFSET(In_Module, UsesOutputPlug, 6);
ZUL_CHECK_OFFSET(In_Module, Config, 7);
ZUL_CHECK_OFFSET(In_Module, About, 8);
ZUL_CHECK_OFFSET(In_Module, Init, 9);
ZUL_CHECK_OFFSET(In_Module, Quit, 10);
ZUL_CHECK_OFFSET(In_Module, GetFileInfo, 11);
ZUL_CHECK_OFFSET(In_Module, InfoBox, 12);
ZUL_CHECK_OFFSET(In_Module, IsOurFile, 13);
ZUL_CHECK_OFFSET(In_Module, Play, 14);
ZUL_CHECK_OFFSET(In_Module, Pause, 15);
ZUL_CHECK_OFFSET(In_Module, UnPause, 16);
ZUL_CHECK_OFFSET(In_Module, IsPaused, 17);
ZUL_CHECK_OFFSET(In_Module, Stop, 18);
ZUL_CHECK_OFFSET(In_Module, GetLength, 19);
ZUL_CHECK_OFFSET(In_Module, GetOutputTime, 20);
ZUL_CHECK_OFFSET(In_Module, SetOutputTime, 21);
ZUL_CHECK_OFFSET(In_Module, SetVolume, 22);
ZUL_CHECK_OFFSET(In_Module, SetPan, 23);
ZUL_CHECK_OFFSET(In_Module, SAVSAInit, 24);
ZUL_CHECK_OFFSET(In_Module, SAVSADeInit, 25);
ZUL_CHECK_OFFSET(In_Module, SAAddPCMData, 26);
ZUL_CHECK_OFFSET(In_Module, SAGetMode, 27);
ZUL_CHECK_OFFSET(In_Module, SAAdd, 28);
ZUL_CHECK_OFFSET(In_Module, VSAAddPCMData, 29);
ZUL_CHECK_OFFSET(In_Module, VSAGetMode, 30);
ZUL_CHECK_OFFSET(In_Module, VSAAdd, 31);
ZUL_CHECK_OFFSET(In_Module, VSASetInfo, 32);
ZUL_CHECK_OFFSET(In_Module, dsp_isactive, 33);
ZUL_CHECK_OFFSET(In_Module, dsp_dosamples, 34);
ZUL_CHECK_OFFSET(In_Module, EQSet, 35);
ZUL_CHECK_OFFSET(In_Module, SetInfo, 36);
ZUL_CHECK_OFFSET(In_Module, outMod, 37);
static_assert(sizeof(In_Module) == 4 * 38);
ZUL_CHECK_OFFSET(Out_Module, version, 0);
ZUL_CHECK_OFFSET(Out_Module, description, 1);
ZUL_CHECK_OFFSET(Out_Module, id, 2);
ZUL_CHECK_OFFSET(Out_Module, hMainWindow, 3);
ZUL_CHECK_OFFSET(Out_Module, hDllInstance, 4);
ZUL_CHECK_OFFSET(Out_Module, Config, 5);
ZUL_CHECK_OFFSET(Out_Module, About, 6);
ZUL_CHECK_OFFSET(Out_Module, Init, 7);
ZUL_CHECK_OFFSET(Out_Module, Quit, 8);
ZUL_CHECK_OFFSET(Out_Module, Open, 9);
ZUL_CHECK_OFFSET(Out_Module, Close, 10);
ZUL_CHECK_OFFSET(Out_Module, Write, 11);
ZUL_CHECK_OFFSET(Out_Module, CanWrite, 12);
ZUL_CHECK_OFFSET(Out_Module, IsPlaying, 13);
ZUL_CHECK_OFFSET(Out_Module, Pause, 14);
ZUL_CHECK_OFFSET(Out_Module, SetVolume, 15);
ZUL_CHECK_OFFSET(Out_Module, SetPan, 16);
ZUL_CHECK_OFFSET(Out_Module, Flush, 17);
ZUL_CHECK_OFFSET(Out_Module, GetOutputTime, 18);
ZUL_CHECK_OFFSET(Out_Module, GetWrittenTime, 19);
static_assert(sizeof(Out_Module) == 4 * 20);
ZUL_CHECK_OFFSET(winampGeneralPurposePlugin, version, 0);
ZUL_CHECK_OFFSET(winampGeneralPurposePlugin, description, 1);
ZUL_CHECK_OFFSET(winampGeneralPurposePlugin, init, 2);
ZUL_CHECK_OFFSET(winampGeneralPurposePlugin, config, 3);
ZUL_CHECK_OFFSET(winampGeneralPurposePlugin, quit, 4);
ZUL_CHECK_OFFSET(winampGeneralPurposePlugin, hwndParent, 5);
ZUL_CHECK_OFFSET(winampGeneralPurposePlugin, hDllInstance, 6);
static_assert(sizeof(winampGeneralPurposePlugin) == 4 * 7);
static_assert(sizeof(extendedFileInfoStruct) == 4 * 4);
ZUL_CHECK_OFFSET(waFormatTitle, TAGFREEFUNC, 5);
static_assert(sizeof(waFormatTitle) == 4 * 6);
#undef ZUL_CHECK_OFFSET
#elif defined(_WIN64)
// Byte offsets: an int before a pointer is padded to 8.
#define ZUL_CHECK_OFFSET(type, member, bytes) static_assert(offsetof(type, member) == (bytes))
ZUL_CHECK_OFFSET(In_Module, version, 0);
ZUL_CHECK_OFFSET(In_Module, description, 8);
ZUL_CHECK_OFFSET(In_Module, hMainWindow, 16);
ZUL_CHECK_OFFSET(In_Module, hDllInstance, 24);
ZUL_CHECK_OFFSET(In_Module, FileExtensions, 32);
ZUL_CHECK_OFFSET(In_Module, is_seekable, 40);
ZUL_CHECK_OFFSET(In_Module, UsesOutputPlug, 44);
ZUL_CHECK_OFFSET(In_Module, Config, 48);
ZUL_CHECK_OFFSET(In_Module, About, 56);
ZUL_CHECK_OFFSET(In_Module, Init, 64);
ZUL_CHECK_OFFSET(In_Module, Quit, 72);
ZUL_CHECK_OFFSET(In_Module, GetFileInfo, 80);
ZUL_CHECK_OFFSET(In_Module, InfoBox, 88);
ZUL_CHECK_OFFSET(In_Module, IsOurFile, 96);
ZUL_CHECK_OFFSET(In_Module, Play, 104);
ZUL_CHECK_OFFSET(In_Module, Pause, 112);
ZUL_CHECK_OFFSET(In_Module, UnPause, 120);
ZUL_CHECK_OFFSET(In_Module, IsPaused, 128);
ZUL_CHECK_OFFSET(In_Module, Stop, 136);
ZUL_CHECK_OFFSET(In_Module, GetLength, 144);
ZUL_CHECK_OFFSET(In_Module, GetOutputTime, 152);
ZUL_CHECK_OFFSET(In_Module, SetOutputTime, 160);
ZUL_CHECK_OFFSET(In_Module, SetVolume, 168);
ZUL_CHECK_OFFSET(In_Module, SetPan, 176);
ZUL_CHECK_OFFSET(In_Module, SAVSAInit, 184);
ZUL_CHECK_OFFSET(In_Module, SAVSADeInit, 192);
ZUL_CHECK_OFFSET(In_Module, SAAddPCMData, 200);
ZUL_CHECK_OFFSET(In_Module, SAGetMode, 208);
ZUL_CHECK_OFFSET(In_Module, SAAdd, 216);
ZUL_CHECK_OFFSET(In_Module, VSAAddPCMData, 224);
ZUL_CHECK_OFFSET(In_Module, VSAGetMode, 232);
ZUL_CHECK_OFFSET(In_Module, VSAAdd, 240);
ZUL_CHECK_OFFSET(In_Module, VSASetInfo, 248);
ZUL_CHECK_OFFSET(In_Module, dsp_isactive, 256);
ZUL_CHECK_OFFSET(In_Module, dsp_dosamples, 264);
ZUL_CHECK_OFFSET(In_Module, EQSet, 272);
ZUL_CHECK_OFFSET(In_Module, SetInfo, 280);
ZUL_CHECK_OFFSET(In_Module, outMod, 288);
static_assert(sizeof(In_Module) == 296);
ZUL_CHECK_OFFSET(Out_Module, version, 0);
ZUL_CHECK_OFFSET(Out_Module, description, 8);
ZUL_CHECK_OFFSET(Out_Module, id, 16);
ZUL_CHECK_OFFSET(Out_Module, hMainWindow, 24);
ZUL_CHECK_OFFSET(Out_Module, hDllInstance, 32);
ZUL_CHECK_OFFSET(Out_Module, Config, 40);
ZUL_CHECK_OFFSET(Out_Module, About, 48);
ZUL_CHECK_OFFSET(Out_Module, Init, 56);
ZUL_CHECK_OFFSET(Out_Module, Quit, 64);
ZUL_CHECK_OFFSET(Out_Module, Open, 72);
ZUL_CHECK_OFFSET(Out_Module, Close, 80);
ZUL_CHECK_OFFSET(Out_Module, Write, 88);
ZUL_CHECK_OFFSET(Out_Module, CanWrite, 96);
ZUL_CHECK_OFFSET(Out_Module, IsPlaying, 104);
ZUL_CHECK_OFFSET(Out_Module, Pause, 112);
ZUL_CHECK_OFFSET(Out_Module, SetVolume, 120);
ZUL_CHECK_OFFSET(Out_Module, SetPan, 128);
ZUL_CHECK_OFFSET(Out_Module, Flush, 136);
ZUL_CHECK_OFFSET(Out_Module, GetOutputTime, 144);
ZUL_CHECK_OFFSET(Out_Module, GetWrittenTime, 152);
static_assert(sizeof(Out_Module) == 160);
ZUL_CHECK_OFFSET(winampGeneralPurposePlugin, version, 0);
ZUL_CHECK_OFFSET(winampGeneralPurposePlugin, description, 8);
ZUL_CHECK_OFFSET(winampGeneralPurposePlugin, init, 16);
ZUL_CHECK_OFFSET(winampGeneralPurposePlugin, config, 24);
ZUL_CHECK_OFFSET(winampGeneralPurposePlugin, quit, 32);
ZUL_CHECK_OFFSET(winampGeneralPurposePlugin, hwndParent, 40);
ZUL_CHECK_OFFSET(winampGeneralPurposePlugin, hDllInstance, 48);
static_assert(sizeof(winampGeneralPurposePlugin) == 56);
ZUL_CHECK_OFFSET(extendedFileInfoStruct, retlen, 24);
static_assert(sizeof(extendedFileInfoStruct) == 32);
ZUL_CHECK_OFFSET(waFormatTitle, out_len, 24);
ZUL_CHECK_OFFSET(waFormatTitle, TAGFREEFUNC, 40);
static_assert(sizeof(waFormatTitle) == 48);
#undef ZUL_CHECK_OFFSET
#endif

}  // namespace zul
