// "Apparence": the menu gradient colours, the gradient switches, the tooltip
// switch and the tooltip's template.
#include "prefs/colour_button.h"
#include "prefs/pages.h"
#include "resources/prefs_resource.h"

namespace zul {
namespace {

// The template is stored with the two-character escapes "\r\n"; the edit
// box shows real line breaks.
std::wstring ToEditText(const std::wstring& stored) {
  std::wstring out;
  for (size_t i = 0; i < stored.size(); ++i) {
    if (stored.compare(i, 4, L"\\r\\n") == 0) {
      out += L"\r\n";
      i += 3;
    } else {
      out += stored[i];
    }
  }
  return out;
}

std::wstring FromEditText(const std::wstring& shown) {
  std::wstring out;
  for (size_t i = 0; i < shown.size(); ++i) {
    if (shown.compare(i, 2, L"\r\n") == 0) {
      out += L"\\r\\n";
      ++i;
    } else if (shown[i] == L'\n') {
      out += L"\\r\\n";
    } else {
      out += shown[i];
    }
  }
  return out;
}

class CSettingsDialogApparence final : public CPrefsPage {
public:
  CSettingsDialogApparence() : CPrefsPage(IDD_PAGE_APPARENCE, L"Apparence") {}

  void Load(const Settings& s) override {
    start_ = s.gradientStart;
    end_ = s.gradientEnd;
    ShowColour(GetDlgItem(hwnd(), IDC_APP_START), start_);
    ShowColour(GetDlgItem(hwnd(), IDC_APP_END), end_);
    SetCheck(IDC_APP_GRADIENT, s.showGradient);
    SetCheck(IDC_APP_GRADIENT_SEL, s.showGradientSel);
    SetCheck(IDC_APP_TOOLTIPS, s.showToolTip);
    SetText(IDC_APP_CONTENT, ToEditText(s.toolTipText));
    // The tooltip preview belongs to the tray tooltip, which this dialog
    // does not draw.
    EnableWindow(GetDlgItem(hwnd(), IDC_APP_LOOK), FALSE);
  }

  void Store(Settings& s) override {
    s.gradientStart = start_;
    s.gradientEnd = end_;
    s.showGradient = Checked(IDC_APP_GRADIENT);
    s.showGradientSel = Checked(IDC_APP_GRADIENT_SEL);
    s.showToolTip = Checked(IDC_APP_TOOLTIPS);
    s.toolTipText = FromEditText(Text(IDC_APP_CONTENT));
  }

  bool OnCommand(int id, int code) override {
    if (id == IDC_APP_START) return PickColour(GetDlgItem(hwnd(), id), start_), true;
    if (id == IDC_APP_END) return PickColour(GetDlgItem(hwnd(), id), end_), true;
    return false;
  }

private:
  int start_ = 0, end_ = 0;
};

}  // namespace

std::unique_ptr<CPrefsPage> MakeApparencePage() { return std::make_unique<CSettingsDialogApparence>(); }

}  // namespace zul
