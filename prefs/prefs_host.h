#pragma once
// What the preferences dialog needs of the program around it. The shell
// implements it, so the dialog sits below the shell and never sees its
// classes.
//
// Threads: UI thread.
#include <windows.h>

#include <string>
#include <vector>

#include "pluginhost/protocol/prefs_page_record.h"

namespace zul {

struct Settings;

class PrefsHost {
public:
  virtual Settings& settings() = 0;  // the settings in memory
  virtual HWND winamp() = 0;         // the window plug-ins know as the player's
  virtual const std::wstring& programFile() = 0;
  // The global hotkeys are let go while the hotkey page is open, so that a
  // key pressed into its controls is not taken by the program itself.
  virtual void SuspendHotkeys() = 0;
  virtual void ResumeHotkeys() = 0;
  // The pages plug-ins added with IPC_ADD_PREFS_DLG, in order. The records
  // live in the plug-ins: read them only through the caller-memory checks.
  virtual std::vector<_prefsDlgRec*> PluginPages() = 0;
  // Starts a new instance with "-restart" and ends this one.
  virtual void Restart() = 0;

protected:
  ~PrefsHost() = default;
};

}  // namespace zul
