#pragma once
// The settings of the built-in MPEG input, section "Kelsor mpg123" of the
// program's settings file. One table in mpeg_settings.cpp lists every key
// with its type, default and member; loading and saving both walk it.
//
// Threads: loaded and saved on the UI thread. The decode thread reads the
// members while a track plays; the preferences pages change them only
// between tracks, and `moduleVolume` and `xPan` are single ints.
#include <string>
#include <vector>

#include "base/settings.h"
#include "mpeg_input/samples/channel_process.h"
#include "mpeg_input/samples/replay_gain.h"

namespace zul {

inline constexpr wchar_t kMpegSection[] = L"Kelsor mpg123";

struct CMpegInputParam {
  int enable = 1;
  int decodePriority = 2;
  int outputFormat = 16;
  int fullBuffering = 0;
  int supZero = 0;
  int reverseLR = 0;
  int reversePhase = 0;
  int volume = 0;
  int dispAvg = 0;
  int xPan = 0;
  int replayGainEnable = 0;
  int replayGainMode = 0;
  int replayGainTag = 3;
  int replayGainPreAmpWithRG = 0;
  int replayGainPreAmpWithoutRG = 0;
  int replayGainHardLimit = 1;
  int enableStreaming = 0;
  int receivePriority = 2;
  int strBuf = 256;
  int enableProxy = 0;
  std::wstring proxy;
  int saveStream = 0;
  std::wstring saveStreamFile;
  int titleStreaming = 1;
  int decodeText = 1;
  int useUdp = 0;
  std::wstring titleStreamingFormat = L"%1 (%2)";
  std::wstring formatEx = L"[%artist% - ]%title%";
  std::wstring sifFormat = L"%IART - %INAM";
  int tagPriority = 0;

  // Not stored.
  int moduleVolume = 255;          // 0..255, from SetVolume
  bool channelProcessing = false;  // any of reverseLR, reversePhase, volume

  // Reads every key; a missing key keeps its default. Recomputes
  // channelProcessing.
  void Load(const ProfileReader& reader);
  // Every key in table order, booleans and integers as decimal text.
  void AppendSave(std::vector<ProfileEdit>& out) const;
  void UpdateChannelProcessing();

  CReplayGainSettings ReplayGain() const;
  CChannelOptions ChannelOptions() const;
};

// Strings are read into 260-character buffers.
inline constexpr size_t kMpegSettingChars = 259;

}  // namespace zul
