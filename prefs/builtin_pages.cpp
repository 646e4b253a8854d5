#include "prefs/pages.h"

namespace zul {

std::vector<std::unique_ptr<CPrefsPage>> MakeBuiltinPages() {
  std::vector<std::unique_ptr<CPrefsPage>> pages;
  pages.push_back(MakeGeneralPage());
  pages.push_back(MakeMouseClicksPage());
  pages.push_back(MakeHotkeysPage());
  pages.push_back(MakeW2FilePage());
  pages.push_back(MakeApparencePage());
  pages.push_back(MakeTooltipPage());
  pages.push_back(MakeSkinsPage());
  pages.push_back(MakePluginsPage());
  pages.push_back(MakeInputPage());
  pages.push_back(MakeOutputPage());
  pages.push_back(MakeGeneralPluginsPage());
  return pages;
}

}  // namespace zul
