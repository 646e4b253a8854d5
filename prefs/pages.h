#pragma once
// The built-in pages; each is made by its own file.
#include <memory>

#include "prefs/prefs_page.h"

namespace zul {

std::unique_ptr<CPrefsPage> MakeGeneralPage();
std::unique_ptr<CPrefsPage> MakeMouseClicksPage();
std::unique_ptr<CPrefsPage> MakeHotkeysPage();
std::unique_ptr<CPrefsPage> MakeW2FilePage();
std::unique_ptr<CPrefsPage> MakeApparencePage();
std::unique_ptr<CPrefsPage> MakeTooltipPage();
std::unique_ptr<CPrefsPage> MakeSkinsPage();
std::unique_ptr<CPrefsPage> MakePluginsPage();
std::unique_ptr<CPrefsPage> MakeInputPage();
std::unique_ptr<CPrefsPage> MakeOutputPage();
std::unique_ptr<CPrefsPage> MakeGeneralPluginsPage();

}  // namespace zul
