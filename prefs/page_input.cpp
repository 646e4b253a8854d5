// "Plugins::Input": the loaded input plug-ins in their order, loaded,
// unloaded and moved at once (not on Apply), and the gap between tracks.
#include "pluginhost/host/plugin_lists.h"
#include "pluginhost/host/plugin_startup.h"
#include "prefs/pages.h"
#include "prefs/plugin_list_page.h"
#include "resources/prefs_resource.h"

namespace zul {
namespace {

class CSettingsDialogInput final : public CPrefsPage {
public:
  CSettingsDialogInput() : CPrefsPage(IDD_PAGE_INPUT, L"Plugins::Input") {}

  void Load(const Settings& s) override {
    SetInt(IDC_LIST_GAP, s.gap);
    Refill(0);
  }

  void Store(Settings& s) override { s.gap = Int(IDC_LIST_GAP, s.gap, 0, 10000); }

  bool OnCommand(int id, int code) override {
    CDllInputList& list = InputPlugins();
    const int sel = Selection();
    switch (id) {
      case IDC_LIST_UP:
        if (sel > 0) {
          EditInputPlugins([&](CDllInputList& l) { l.MoveUp(sel); });
          Refill(sel - 1);
        }
        return true;
      case IDC_LIST_DOWN:
        if (sel >= 0 && sel + 1 < list.Count()) {
          EditInputPlugins([&](CDllInputList& l) { l.MoveUp(sel + 1); });
          Refill(sel + 1);
        }
        return true;
      case IDC_LIST_LOAD: {
        std::wstring path;
        if (!AskForPluginFile(hwnd(), L"Input Dll files|in_*.dll|", path)) return true;
        EditInputPlugins([&](CDllInputList& l) { l.Add(path, host().winamp()); });
        RefreshInputsOutput();
        Refill(list.Count() - 1);
        AfterPluginListChange();
        return true;
      }
      case IDC_LIST_UNLOAD:
        if (sel < 0) return true;
        BeforePluginListChange();
        EditInputPlugins([&](CDllInputList& l) { l.RemoveAt(sel); });
        Refill(sel > 0 ? sel - 1 : 0);
        AfterPluginListChange();
        return true;
      case IDC_LIST_CONFIG:
        if (CDllInput* entry = list.At(sel)) entry->Config(hwnd());
        return true;
      case IDC_LIST_ABOUT:
        if (CDllInput* entry = list.At(sel)) entry->About(hwnd());
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
    CDllInputList& list = InputPlugins();
    for (int i = 0; i < list.Count(); ++i) {
      CDllInput* entry = list.At(i);
      const std::wstring text = PluginListText(PluginDescription(&entry->module()->description), entry->name());
      SendMessageW(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SendMessageW(box, LB_SETCURSEL, static_cast<WPARAM>(select), 0);
  }
};

}  // namespace

std::unique_ptr<CPrefsPage> MakeInputPage() { return std::make_unique<CSettingsDialogInput>(); }

}  // namespace zul
