// "Plugins::Output": the output plug-ins in their order (the first is the
// one every input plays through), loaded, unloaded and moved at once.
#include "pluginhost/host/plugin_lists.h"
#include "pluginhost/protocol/winamp_messages.h"
#include "prefs/pages.h"
#include "prefs/plugin_list_page.h"
#include "resources/prefs_resource.h"

namespace zul {
namespace {

class CSettingsDialogOutput final : public CPrefsPage {
public:
  CSettingsDialogOutput() : CPrefsPage(IDD_PAGE_OUTPUT, L"Plugins::Output") {}

  void Load(const Settings&) override { Refill(0); }

  bool OnCommand(int id, int code) override {
    CDllOutputList& list = OutputPlugins();
    const int sel = Selection();
    switch (id) {
      case IDC_LIST_UP:
        if (sel > 0) Change([&] { list.MoveUp(sel); }, sel - 1);
        return true;
      case IDC_LIST_DOWN:
        if (sel >= 0 && sel + 1 < list.Count()) Change([&] { list.MoveDown(sel); }, sel + 1);
        return true;
      case IDC_LIST_LOAD: {
        std::wstring path;
        if (AskForPluginFile(hwnd(), L"Output Dll files|out_*.dll|", path))
          Change([&] { list.Add(path, host().winamp()); }, list.Count());
        return true;
      }
      case IDC_LIST_UNLOAD:
        if (sel < 0) return true;
        BeforePluginListChange();
        Change([&] { list.RemoveAt(sel); }, sel > 0 ? sel - 1 : 0);
        return true;
      case IDC_LIST_CONFIG:
        if (sel >= 0) list.Config(sel, hwnd());
        return true;
      case IDC_LIST_ABOUT:
        if (sel >= 0) list.About(sel, hwnd());
        return true;
    }
    return false;
  }

private:
  // Playback must not go on through an output that moved away from the
  // front or was freed: the inputs get the first output again after any
  // change.
  template <class F>
  void Change(F&& edit, int select) {
    // The input that plays holds the first output: playback stops (through
    // the player's own stop command) before that output can change.
    if (InputPlugins().GetState() != PlayState::Stopped) SendMessageW(host().winamp(), WM_COMMAND, WINAMP_BUTTON4, 0);
    if (InputPlugins().GetState() != PlayState::Stopped) InputPlugins().Stop();
    edit();
    RefreshInputsOutput();
    Refill(select);
    AfterPluginListChange();
  }

  int Selection() {
    LRESULT sel = SendDlgItemMessageW(hwnd(), IDC_LIST_PLUGINS, LB_GETCURSEL, 0, 0);
    return sel == LB_ERR ? -1 : static_cast<int>(sel);
  }

  void Refill(int select) {
    HWND box = GetDlgItem(hwnd(), IDC_LIST_PLUGINS);
    SendMessageW(box, LB_RESETCONTENT, 0, 0);
    CDllOutputList& list = OutputPlugins();
    for (int i = 0; i < list.Count(); ++i) {
      CDllOutput* entry = list.At(i);
      const std::wstring text = PluginListText(PluginDescription(&entry->module()->description), entry->name());
      SendMessageW(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SendMessageW(box, LB_SETCURSEL, static_cast<WPARAM>(select), 0);
  }
};

}  // namespace

std::unique_ptr<CPrefsPage> MakeOutputPage() { return std::make_unique<CSettingsDialogOutput>(); }

}  // namespace zul
