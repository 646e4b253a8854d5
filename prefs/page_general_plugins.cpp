// "Plugins::General": the general-purpose plug-ins, loaded and unloaded at
// once.
#include "pluginhost/host/plugin_lists.h"
#include "prefs/pages.h"
#include "prefs/plugin_list_page.h"
#include "resources/prefs_resource.h"

namespace zul {
namespace {

class CSettingsDialogGeneralPlugins final : public CPrefsPage {
public:
  CSettingsDialogGeneralPlugins() : CPrefsPage(IDD_PAGE_GENPLUGINS, L"Plugins::General") {}

  void Load(const Settings&) override { Refill(0); }

  bool OnCommand(int id, int code) override {
    CDllGenList& list = GeneralPlugins();
    const int sel = Selection();
    switch (id) {
      case IDC_LIST_LOAD: {
        std::wstring path;
        if (!AskForPluginFile(hwnd(), L"Gen Dll files|gen_*.dll|", path)) return true;
        list.Add(path, host().winamp());
        Refill(list.Count() - 1);
        AfterPluginListChange();
        return true;
      }
      case IDC_LIST_UNLOAD:
        if (sel < 0) return true;
        BeforePluginListChange();
        list.RemoveAt(sel);
        Refill(sel > 0 ? sel - 1 : 0);
        AfterPluginListChange();
        return true;
      case IDC_LIST_CONFIG:
        if (sel >= 0) list.Config(sel);
        return true;
    }
    return false;
  }

private:
  int Selection() {
    LRESULT sel = SendDlgItemMessageW(hwnd(), IDC_LIST_PLUGINS, LB_GETCURSEL, 0, 0);
    return sel == LB_ERR ? -1 : static_cast<int>(sel);
  }

  void Refill(int select) {
    HWND box = GetDlgItem(hwnd(), IDC_LIST_PLUGINS);
    SendMessageW(box, LB_RESETCONTENT, 0, 0);
    CDllGenList& list = GeneralPlugins();
    for (int i = 0; i < list.Count(); ++i) {
      CDllGen* entry = list.At(i);
      const std::wstring text = PluginListText(PluginDescription(&entry->record()->description), entry->name());
      SendMessageW(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SendMessageW(box, LB_SETCURSEL, static_cast<WPARAM>(select), 0);
  }
};

}  // namespace

std::unique_ptr<CPrefsPage> MakeGeneralPluginsPage() { return std::make_unique<CSettingsDialogGeneralPlugins>(); }

}  // namespace zul
