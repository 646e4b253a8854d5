// "Mouse clicks": the action of one to four left and right clicks on the
// tray icon, press and hold, and "Don't use clicks".
#include "prefs/pages.h"
#include "resources/prefs_resource.h"
#include "services/translation/translator.h"

namespace zul {
namespace {

constexpr int kActions = 12;  // the action codes 0..11

class CSettingsDialogMouseClicks final : public CPrefsPage {
public:
  CSettingsDialogMouseClicks() : CPrefsPage(IDD_PAGE_CLICKS, L"Mouse clicks") {}

  void Load(const Settings& s) override {
    std::vector<std::wstring> actions;
    for (int a = 0; a < kActions; ++a) actions.push_back(translator().LoadString(IDS_CLICK_ACTION_FIRST + a));
    for (int i = 0; i < 4; ++i) {
      FillCombo(IDC_CLK_LIST_FIRST + i, actions, s.clicks[i]);
      FillCombo(IDC_CLK_LIST_FIRST + 4 + i, actions, s.rightClicks[i]);
    }
    FillCombo(IDC_CLK_HOLD,
              {translator().LoadString(IDS_PRESS_NOTHING), translator().LoadString(IDS_PRESS_POSITION),
               translator().LoadString(IDS_PRESS_VOLUME)},
              // The list shows "(nothing)" first; the setting's 2 is nothing.
              s.pressAndHold == 2 ? 0 : s.pressAndHold + 1);
    SetCheck(IDC_CLK_NO_CLICKS, s.noClicks);
  }

  void Store(Settings& s) override {
    for (int i = 0; i < 4; ++i) {
      s.clicks[i] = ComboIndex(IDC_CLK_LIST_FIRST + i, s.clicks[i]);
      s.rightClicks[i] = ComboIndex(IDC_CLK_LIST_FIRST + 4 + i, s.rightClicks[i]);
    }
    const int hold = ComboIndex(IDC_CLK_HOLD, -1);
    if (hold >= 0) s.pressAndHold = hold == 0 ? 2 : hold - 1;
    s.noClicks = Checked(IDC_CLK_NO_CLICKS);
  }
};

}  // namespace

std::unique_ptr<CPrefsPage> MakeMouseClicksPage() { return std::make_unique<CSettingsDialogMouseClicks>(); }

}  // namespace zul
