#pragma once
// One built-in page of the preferences dialog: a child dialog from its own
// resource, created when it is first shown. A page shows settings and
// writes them back only when the dialog applies them (Store); pages that act
// at once (the plug-in lists) say so.
//
// Threads: UI thread.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "base/settings.h"
#include "prefs/prefs_host.h"

namespace zul {

class Translator;

class CPrefsPage {
public:
  CPrefsPage(int dialogId, std::wstring path) : dialogId_(dialogId), path_(std::move(path)) {}
  virtual ~CPrefsPage();
  CPrefsPage(const CPrefsPage&) = delete;
  CPrefsPage& operator=(const CPrefsPage&) = delete;

  int dialogId() const { return dialogId_; }
  const std::wstring& path() const { return path_; }
  HWND hwnd() const { return hwnd_; }

  // Creates the page inside parent from the settings in memory.
  HWND Create(HWND parent, PrefsHost& host, const Translator& translator);
  void Destroy();
  // The page's controls into the settings.
  virtual void Store(Settings& s) {}
  // After the dialog accepted the settings: effects outside the settings
  // (the registry) happen here, never for a refused set.
  virtual void Applied() {}
  // Called when the dialog closes.
  virtual void Closing() {}

protected:
  virtual void Load(const Settings& s) {}
  // true when the command was handled.
  virtual bool OnCommand(int id, int code) { return false; }
  virtual INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) { return FALSE; }

  PrefsHost& host() { return *host_; }
  const Translator& translator() { return *translator_; }

  // Control helpers.
  void SetCheck(int id, int on);
  int Checked(int id);
  void SetText(int id, const std::wstring& text);
  std::wstring Text(int id);
  void SetInt(int id, int value);
  // The number in an edit box, kept to [lo, hi]; an empty or unreadable
  // box keeps the old value.
  int Int(int id, int old, int lo, int hi);
  void FillCombo(int id, const std::vector<std::wstring>& items, int selected);
  int ComboIndex(int id, int old);

private:
  static INT_PTR CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

  int dialogId_;
  std::wstring path_;
  HWND hwnd_ = nullptr;
  PrefsHost* host_ = nullptr;
  const Translator* translator_ = nullptr;
};

// The built-in pages in tree order.
std::vector<std::unique_ptr<CPrefsPage>> MakeBuiltinPages();

}  // namespace zul
