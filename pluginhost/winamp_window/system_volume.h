#pragma once
// The system's wave-output volume: the volume control of the wave-output
// source line of mixer device 0 (or, where the driver does not serve that
// control, of its first destination line), as 0..255.
//
// Threads: UI thread.
#include <windows.h>

#include <mmsystem.h>

#include <optional>

namespace zul {

class SystemVolume {
public:
  ~SystemVolume();
  // Change notifications (MM_MIXM_CONTROL_CHANGE) go to this window; set
  // before the first use.
  void SetNotifyWindow(HWND window) { notify_ = window; }
  // Whether a notification is about our mixer and control.
  bool Owns(HMIXER mixer, DWORD control) const { return mixer_ && mixer == mixer_ && control == controlId_; }
  // The largest channel value scaled to 0..255; 0 without a mixer.
  int Get();
  // Sets every channel; 0 becomes a thousandth of the range rather than
  // full mute. Does nothing without a mixer.
  void Set(int volume);

private:
  bool Open();
  bool FindVolumeControl(DWORD lineQuery, MIXERLINEW& line);
  // The largest channel value the driver wrote; none when it wrote none.
  std::optional<DWORD> ReadLargest();
  HWND notify_ = nullptr;
  HMIXER mixer_ = nullptr;
  bool tried_ = false;
  DWORD controlId_ = 0;
  DWORD channels_ = 1;
  DWORD minimum_ = 0, maximum_ = 0;
};

}  // namespace zul
