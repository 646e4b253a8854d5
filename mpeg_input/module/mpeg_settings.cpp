#include "mpeg_input/module/mpeg_settings.h"

#include <variant>

#include "base/settings_codec.h"

namespace zul {
namespace {

enum class Kind { kBool, kInt, kString };

struct Key {
  const wchar_t* name;
  Kind kind;
  std::variant<int CMpegInputParam::*, std::wstring CMpegInputParam::*> member;
};

// The save order of the section.
const Key kKeys[] = {
    {L"Enable", Kind::kBool, &CMpegInputParam::enable},
    {L"DecodePriority", Kind::kInt, &CMpegInputParam::decodePriority},
    {L"OutputFormat", Kind::kInt, &CMpegInputParam::outputFormat},
    {L"FullBuffering", Kind::kBool, &CMpegInputParam::fullBuffering},
    {L"SupZero", Kind::kBool, &CMpegInputParam::supZero},
    {L"ReverseLR", Kind::kBool, &CMpegInputParam::reverseLR},
    {L"ReversePhase", Kind::kBool, &CMpegInputParam::reversePhase},
    {L"Volume", Kind::kBool, &CMpegInputParam::volume},
    {L"DispAvg", Kind::kBool, &CMpegInputParam::dispAvg},
    {L"XPan", Kind::kInt, &CMpegInputParam::xPan},
    {L"ReplayGain_Enable", Kind::kBool, &CMpegInputParam::replayGainEnable},
    {L"ReplayGain_Mode", Kind::kInt, &CMpegInputParam::replayGainMode},
    {L"ReplayGain_Tag", Kind::kInt, &CMpegInputParam::replayGainTag},
    {L"ReplayGain_PreAmp_WithRG", Kind::kInt, &CMpegInputParam::replayGainPreAmpWithRG},
    {L"ReplayGain_PreAmp_WithoutRG", Kind::kInt, &CMpegInputParam::replayGainPreAmpWithoutRG},
    {L"ReplayGain_HardLimit", Kind::kInt, &CMpegInputParam::replayGainHardLimit},
    {L"EnableStreaming", Kind::kBool, &CMpegInputParam::enableStreaming},
    {L"ReceivePriority", Kind::kInt, &CMpegInputParam::receivePriority},
    {L"StrBuf", Kind::kInt, &CMpegInputParam::strBuf},
    {L"EnableProxy", Kind::kBool, &CMpegInputParam::enableProxy},
    {L"Proxy", Kind::kString, &CMpegInputParam::proxy},
    {L"SaveStream", Kind::kBool, &CMpegInputParam::saveStream},
    {L"SaveStreamFile", Kind::kString, &CMpegInputParam::saveStreamFile},
    {L"TitleStreaming", Kind::kBool, &CMpegInputParam::titleStreaming},
    {L"DecodeText", Kind::kBool, &CMpegInputParam::decodeText},
    {L"UseUDP", Kind::kBool, &CMpegInputParam::useUdp},
    {L"TitleStreamingFormat", Kind::kString, &CMpegInputParam::titleStreamingFormat},
    {L"FormatEx", Kind::kString, &CMpegInputParam::formatEx},
    {L"SIFFormat", Kind::kString, &CMpegInputParam::sifFormat},
    {L"TagPriority", Kind::kInt, &CMpegInputParam::tagPriority},
};

}  // namespace

void CMpegInputParam::Load(const ProfileReader& reader) {
  for (const Key& k : kKeys) {
    std::optional<std::wstring> text = reader.Read(kMpegSection, k.name);
    if (!text) continue;
    if (k.kind == Kind::kString) {
      std::wstring value = *text;
      if (value.size() > kMpegSettingChars) value.resize(kMpegSettingChars);
      this->*std::get<std::wstring CMpegInputParam::*>(k.member) = value;
      continue;
    }
    int& member = this->*std::get<int CMpegInputParam::*>(k.member);
    int value = ParseProfileInt(*text, member);
    member = k.kind == Kind::kBool ? (value != 0 ? 1 : 0) : value;
  }
  // A stored 64 means the 64-bit float format.
  if (outputFormat == 64) outputFormat = -64;
  UpdateChannelProcessing();
}

void CMpegInputParam::AppendSave(std::vector<ProfileEdit>& out) const {
  for (const Key& k : kKeys) {
    std::wstring value = k.kind == Kind::kString ? this->*std::get<std::wstring CMpegInputParam::*>(k.member)
                                                 : std::to_wstring(this->*std::get<int CMpegInputParam::*>(k.member));
    out.push_back({kMpegSection, k.name, value, false});
  }
}

void CMpegInputParam::UpdateChannelProcessing() { channelProcessing = reverseLR || reversePhase || volume; }

CReplayGainSettings CMpegInputParam::ReplayGain() const {
  CReplayGainSettings s;
  s.enable = replayGainEnable != 0;
  s.mode = replayGainMode;
  s.tagSources = replayGainTag;
  s.preAmpWithRG = replayGainPreAmpWithRG;
  s.preAmpWithoutRG = replayGainPreAmpWithoutRG;
  s.hardLimit = replayGainHardLimit;
  return s;
}

CChannelOptions CMpegInputParam::ChannelOptions() const {
  CChannelOptions o;
  o.reverseLR = reverseLR != 0;
  o.reversePhase = reversePhase != 0;
  o.volume = volume != 0;
  o.moduleVolume = moduleVolume;
  o.pan = xPan;
  return o;
}

}  // namespace zul
