// "Apparence::Tooltip": the tray tooltip's background, colours, border and
// timers.
#include "prefs/colour_button.h"
#include "prefs/pages.h"
#include "resources/prefs_resource.h"
#include "services/translation/translator.h"

namespace zul {
namespace {

constexpr const wchar_t* kEffects[] = {L"SOLID", L"HGRADIENT", L"VGRADIENT", L"DIAGSHADE", L"HSHADE", L"VSHADE",
                                       L"HBUMP", L"VBUMP",     L"SOFTBUMP",  L"HARDBUMP",  L"METAL"};
constexpr int kThemes = 12;

class CSettingsDialogApparenceTooltip final : public CPrefsPage {
public:
  CSettingsDialogApparenceTooltip() : CPrefsPage(IDD_PAGE_TOOLTIP, L"Apparence::Tooltip") {}

  void Load(const Settings& s) override {
    // A stored effect or theme past the lists (the tooltip knows more than
    // the page names) selects nothing and is kept as it is.
    FillCombo(IDC_TT_EFFECT, std::vector<std::wstring>(std::begin(kEffects), std::end(kEffects)), s.effectBk);
    std::vector<std::wstring> themes;
    for (int t = 0; t < kThemes; ++t) themes.push_back(translator().LoadString(IDS_THEME_FIRST + t));
    FillCombo(IDC_TT_TYPE, themes, s.theme);
    colours_[0] = s.startBk;
    colours_[1] = s.midBk;
    colours_[2] = s.endBk;
    colours_[3] = s.borderColor;
    for (int i = 0; i < 4; ++i) ShowColour(GetDlgItem(hwnd(), kColourIds[i]), colours_[i]);
    SetInt(IDC_TT_GRANULARITY, s.granularity);
    SetInt(IDC_TT_TRANSPARENCY, s.transparency);
    SetCheck(IDC_TT_SHOW_BORDER, s.border);
    SetCheck(IDC_TT_THEME_COLOR, !s.customBorder);
    SetCheck(IDC_TT_CUSTOM_COLOR, s.customBorder);
    SetInt(IDC_TT_WIDTH, s.borderWidth);
    SetInt(IDC_TT_HEIGHT, s.borderHeight);
    SetInt(IDC_TT_SHOW, s.showTime);
    SetInt(IDC_TT_HIDE, s.hideTime);
    SetInt(IDC_TT_FADE_IN, s.fadeIn);
    SetInt(IDC_TT_FADE_OUT, s.fadeOut);
    SetInt(IDC_TT_ANIMATION, s.animation);
  }

  void Store(Settings& s) override {
    s.effectBk = ComboIndex(IDC_TT_EFFECT, s.effectBk);
    s.theme = ComboIndex(IDC_TT_TYPE, s.theme);
    s.startBk = colours_[0];
    s.midBk = colours_[1];
    s.endBk = colours_[2];
    s.borderColor = colours_[3];
    // The same ranges the settings file is read with.
    s.granularity = Int(IDC_TT_GRANULARITY, s.granularity, 1, 255);
    s.transparency = Int(IDC_TT_TRANSPARENCY, s.transparency, 0, 100);
    s.border = Checked(IDC_TT_SHOW_BORDER);
    s.customBorder = Checked(IDC_TT_CUSTOM_COLOR);
    s.borderWidth = Int(IDC_TT_WIDTH, s.borderWidth, 0, 50);
    s.borderHeight = Int(IDC_TT_HEIGHT, s.borderHeight, 0, 50);
    s.showTime = Int(IDC_TT_SHOW, s.showTime, 0, 60000);
    s.hideTime = Int(IDC_TT_HIDE, s.hideTime, 0, 60000);
    s.fadeIn = Int(IDC_TT_FADE_IN, s.fadeIn, 0, 60000);
    s.fadeOut = Int(IDC_TT_FADE_OUT, s.fadeOut, 0, 60000);
    s.animation = Int(IDC_TT_ANIMATION, s.animation, 0, 60000);
  }

  bool OnCommand(int id, int code) override {
    for (int i = 0; i < 4; ++i) {
      if (id == kColourIds[i]) {
        PickColour(GetDlgItem(hwnd(), id), colours_[i]);
        return true;
      }
    }
    return false;
  }

private:
  static constexpr int kColourIds[4] = {IDC_TT_START, IDC_TT_MID, IDC_TT_END, IDC_TT_BORDER_COLOR};
  int colours_[4] = {};
};

}  // namespace

std::unique_ptr<CPrefsPage> MakeTooltipPage() { return std::make_unique<CSettingsDialogApparenceTooltip>(); }

}  // namespace zul
