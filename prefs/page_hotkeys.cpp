// "Hotkeys": one hotkey control per action. The program's own hotkeys are
// let go while this page exists (the dialog does that), so that pressing a
// combination into a control does not run its action.
#include <windows.h>

#include <commctrl.h>

#include "prefs/pages.h"
#include "prefs/prefs_rules.h"
#include "resources/prefs_resource.h"

namespace zul {
namespace {

class CSettingsDialogHotkeys final : public CPrefsPage {
public:
  CSettingsDialogHotkeys() : CPrefsPage(IDD_PAGE_HOTKEYS, L"Hotkeys") {}

  void Load(const Settings& s) override {
    for (int i = 0; i < kHotkeyCount; ++i) {
      const HotkeySetting& h = s.hotkeys[static_cast<size_t>(i)];
      const WORD value = MAKEWORD(h.key, prefs::ControlFromModifiers(h.modifiers));
      SendDlgItemMessageW(hwnd(), IDC_HK_FIRST + i, HKM_SETHOTKEY, h.key ? value : 0, 0);
    }
  }

  void Store(Settings& s) override {
    for (int i = 0; i < kHotkeyCount; ++i) {
      const LRESULT value = SendDlgItemMessageW(hwnd(), IDC_HK_FIRST + i, HKM_GETHOTKEY, 0, 0);
      HotkeySetting& h = s.hotkeys[static_cast<size_t>(i)];
      h.key = LOBYTE(LOWORD(value));
      h.modifiers = h.key ? prefs::ModifiersFromControl(HIBYTE(LOWORD(value))) : 0;
    }
  }
};

}  // namespace

std::unique_ptr<CPrefsPage> MakeHotkeysPage() { return std::make_unique<CSettingsDialogHotkeys>(); }

}  // namespace zul
