#include "waveout/waveout_prefs.h"

#include <mmsystem.h>

#include <algorithm>
#include <cstring>

namespace zul {
namespace {

constexpr int kNameBytes = 500;  // 499 bytes of name and the terminating NUL

_prefsDlgRec page{};
char pageName[kNameBytes];

}  // namespace

_prefsDlgRec* WaveOutPage() { return &page; }

void FillWaveOutPage(HINSTANCE instance) {
  wchar_t wide[kNameBytes];
  // A missing string (or a translation that empties it) keeps the page
  // reachable under its English name.
  if (LoadStringW(instance, kWaveOutPageNameString, wide, kNameBytes) <= 0)
    lstrcpynW(wide, kWaveOutPageName, kNameBytes);
  std::string narrow(WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow.data(), static_cast<int>(narrow.size()), nullptr, nullptr);
  size_t length = std::min(std::strlen(narrow.c_str()), static_cast<size_t>(kNameBytes - 1));
  // Never end on the first byte of a double-byte character.
  size_t i = 0;
  while (i < length) i += IsDBCSLeadByte(static_cast<BYTE>(narrow[i])) ? 2 : 1;
  if (i > length) length = i - 2;
  std::memcpy(pageName, narrow.data(), length);
  pageName[length] = '\0';
  page.hInst = instance;
  page.dlgID = kWaveOutPageDialog;
  page.proc = nullptr;
  page.name = pageName;
  page.where = kWaveOutPageWhere;
  page._id = kWaveOutPageId;
  page.next = nullptr;
}

std::vector<std::wstring> WaveOutDeviceNames() {
  std::vector<std::wstring> names{L"Wave Mapper"};
  const UINT count = waveOutGetNumDevs();
  for (UINT i = 0; i < count; ++i) {
    WAVEOUTCAPSW caps{};
    if (waveOutGetDevCapsW(i, &caps, sizeof caps) == MMSYSERR_NOERROR)
      names.emplace_back(caps.szPname);
    else
      names.emplace_back(L"[Invalid Device]");
  }
  return names;
}

}  // namespace zul
