#include "pluginhost/winamp_window/system_volume.h"

#include <algorithm>
#include <vector>

#include "base/console_log.h"
#include "pluginhost/winamp_window/volume_scale.h"

namespace zul {
namespace {

// Written into the value array before each read: a driver that answers
// success without filling a channel leaves it, and that channel is then
// not counted.
constexpr DWORD kUnwritten = 0xFFFFFFFFu;

HMIXEROBJ Object(HMIXER mixer) { return reinterpret_cast<HMIXEROBJ>(mixer); }

}  // namespace

SystemVolume::~SystemVolume() {
  if (mixer_) mixerClose(mixer_);
}

bool SystemVolume::FindVolumeControl(DWORD lineQuery, MIXERLINEW& line) {
  MIXERCONTROLW control{};
  control.cbStruct = sizeof control;
  MIXERLINECONTROLSW controls{};
  controls.cbStruct = sizeof controls;
  controls.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
  controls.cControls = 1;
  controls.cbmxctrl = sizeof control;
  controls.pamxctrl = &control;
  if (mixerGetLineInfoW(Object(mixer_), &line, MIXER_OBJECTF_HMIXER | lineQuery) != MMSYSERR_NOERROR) return false;
  controls.dwLineID = line.dwLineID;
  if (mixerGetLineControlsW(Object(mixer_), &controls, MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) !=
      MMSYSERR_NOERROR)
    return false;
  controlId_ = control.dwControlID;
  channels_ = std::max<DWORD>(1, line.cChannels);
  minimum_ = control.Bounds.dwMinimum;
  maximum_ = control.Bounds.dwMaximum;
  return maximum_ > minimum_;
}

bool SystemVolume::Open() {
  if (tried_) return mixer_ != nullptr;
  tried_ = true;
  MMRESULT opened =
      notify_ ? mixerOpen(&mixer_, 0, reinterpret_cast<DWORD_PTR>(notify_), 0, MIXER_OBJECTF_MIXER | CALLBACK_WINDOW)
              : mixerOpen(&mixer_, 0, 0, 0, MIXER_OBJECTF_MIXER);
  if (opened != MMSYSERR_NOERROR) {
    ZUL_LOG(L"No system mixer (%u): the volume stays as it is", opened);
    mixer_ = nullptr;
    return false;
  }
  // The wave-output source line's volume is the one to use. Some drivers
  // (Wine's among them) list that control but answer its reads without
  // writing a value and ignore writes to it; the output's master volume is
  // the closest working control then.
  MIXERLINEW line{};
  line.cbStruct = sizeof line;
  line.dwComponentType = MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT;
  bool found = FindVolumeControl(MIXER_GETLINEINFOF_COMPONENTTYPE, line) && ReadLargest().has_value();
  if (!found) {
    line = MIXERLINEW{};
    line.cbStruct = sizeof line;
    line.dwDestination = 0;
    found = FindVolumeControl(MIXER_GETLINEINFOF_DESTINATION, line) && ReadLargest().has_value();
  }
  if (!found) {
    ZUL_LOG(L"The system mixer has no usable wave-output volume: the volume stays as it is");
    mixerClose(mixer_);
    mixer_ = nullptr;
    return false;
  }
  ZUL_LOG(L"System mixer: line \"%s\" (%lx), %lu channel(s), control %lu, %lu..%lu", line.szName, line.dwLineID,
          channels_, controlId_, minimum_, maximum_);
  return true;
}

std::optional<DWORD> SystemVolume::ReadLargest() {
  std::vector<MIXERCONTROLDETAILS_UNSIGNED> values(channels_);
  for (auto& v : values) v.dwValue = kUnwritten;
  MIXERCONTROLDETAILS details{};
  details.cbStruct = sizeof details;
  details.dwControlID = controlId_;
  details.cChannels = channels_;
  details.cbDetails = sizeof(MIXERCONTROLDETAILS_UNSIGNED);
  details.paDetails = values.data();
  MMRESULT read =
      mixerGetControlDetailsW(Object(mixer_), &details, MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE);
  if (read != MMSYSERR_NOERROR) {
    ZUL_LOG(L"The system volume cannot be read (%u)", read);
    return std::nullopt;
  }
  std::optional<DWORD> largest;
  for (const auto& v : values)
    if (v.dwValue != kUnwritten) largest = std::max(largest.value_or(0), v.dwValue);
  return largest;
}

int SystemVolume::Get() {
  if (!Open()) return 0;
  const std::optional<DWORD> largest = ReadLargest();
  return largest ? MixerToVolume(*largest, minimum_, maximum_) : 0;
}

void SystemVolume::Set(int volume) {
  if (!Open()) return;
  const DWORD value = VolumeToMixer(volume, minimum_, maximum_);
  std::vector<MIXERCONTROLDETAILS_UNSIGNED> values(channels_);
  for (auto& v : values) v.dwValue = value;
  MIXERCONTROLDETAILS details{};
  details.cbStruct = sizeof details;
  details.dwControlID = controlId_;
  details.cChannels = channels_;
  details.cbDetails = sizeof(MIXERCONTROLDETAILS_UNSIGNED);
  details.paDetails = values.data();
  MMRESULT written =
      mixerSetControlDetails(Object(mixer_), &details, MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE);
  if (written != MMSYSERR_NOERROR) ZUL_LOG(L"The system volume cannot be set (%u)", written);
}

}  // namespace zul
