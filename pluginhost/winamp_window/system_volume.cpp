#include "pluginhost/winamp_window/system_volume.h"

#include <algorithm>
#include <vector>

#include "app/console_log.h"
#include "app/playback_order.h"

namespace zul {

SystemVolume::~SystemVolume() {
  if (mixer_) mixerClose(mixer_);
}

bool SystemVolume::Open() {
  if (tried_) return mixer_ != nullptr;
  tried_ = true;
  MMRESULT opened = notify_ ? mixerOpen(&mixer_, 0, reinterpret_cast<DWORD_PTR>(notify_), 0,
                                         MIXER_OBJECTF_MIXER | CALLBACK_WINDOW)
                             : mixerOpen(&mixer_, 0, 0, 0, MIXER_OBJECTF_MIXER);
  if (opened != MMSYSERR_NOERROR) {
    ZUL_LOG(L"No system mixer (%u): the volume stays as it is", opened);
    mixer_ = nullptr;
    return false;
  }
  MIXERLINEW line{};
  line.cbStruct = sizeof line;
  line.dwComponentType = MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT;
  MIXERCONTROLW control{};
  control.cbStruct = sizeof control;
  MIXERLINECONTROLSW controls{};
  controls.cbStruct = sizeof controls;
  controls.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
  controls.cControls = 1;
  controls.cbmxctrl = sizeof control;
  controls.pamxctrl = &control;
  if (mixerGetLineInfoW(reinterpret_cast<HMIXEROBJ>(mixer_), &line, MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE) !=
          MMSYSERR_NOERROR ||
      (controls.dwLineID = line.dwLineID,
       mixerGetLineControlsW(reinterpret_cast<HMIXEROBJ>(mixer_), &controls, MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE)) !=
          MMSYSERR_NOERROR) {
    ZUL_LOG(L"The system mixer has no wave-output volume: the volume stays as it is");
    mixerClose(mixer_);
    mixer_ = nullptr;
    return false;
  }
  controlId_ = control.dwControlID;
  channels_ = std::max<DWORD>(1, line.cChannels);
  minimum_ = control.Bounds.dwMinimum;
  maximum_ = control.Bounds.dwMaximum;
  return maximum_ > minimum_;
}

int SystemVolume::Get() {
  if (!Open()) return 0;
  std::vector<MIXERCONTROLDETAILS_UNSIGNED> values(channels_);
  MIXERCONTROLDETAILS details{};
  details.cbStruct = sizeof details;
  details.dwControlID = controlId_;
  details.cChannels = channels_;
  details.cbDetails = sizeof(MIXERCONTROLDETAILS_UNSIGNED);
  details.paDetails = values.data();
  MMRESULT read =
      mixerGetControlDetailsW(reinterpret_cast<HMIXEROBJ>(mixer_), &details, MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE);
  if (read != MMSYSERR_NOERROR) {
    ZUL_LOG(L"The system volume cannot be read (%u)", read);
    return 0;
  }
  DWORD largest = 0;
  for (const auto& v : values) largest = std::max(largest, v.dwValue);
  return MixerToVolume(largest, minimum_, maximum_);
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
  mixerSetControlDetails(reinterpret_cast<HMIXEROBJ>(mixer_), &details, MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE);
}

}  // namespace zul
