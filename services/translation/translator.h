#pragma once
// Translation of the program's texts by the language file the settings name
// ("Language" in "Preferences"; empty for the built-in English). Nothing is
// kept between calls: every call reads the settings file and the language
// file afresh, so a language chosen in the preferences applies to every
// text translated after the settings file holds it.
//
// Translator's mode ("MakeTranslation", 1 when absent): a text missing from
// the language file shows its key in front of it. In either mode a missing
// text is added to the language file, so a translator only edits values.
//
// Threads: UI thread (it reads window and menu texts).
#include <windows.h>

#include <string>

namespace zul {

class Translator {
public:
  // Uses the running program's settings and language files.
  Translator();
  // For tests: the settings file and the language file's base
  // ("<folder>\zul"), to which "_<language>.ini" is added.
  Translator(std::wstring settingsFile, std::wstring languageBase);

  // text by its translation; item and menuIndex are -1 except for the items
  // that open a sub-menu.
  std::wstring Translate(int id, const std::wstring& text, int item = -1, int menuIndex = -1) const;
  void TranslateCaption(HWND window, int dialogId) const;
  void TranslateControl(HWND dialog, int controlId) const;
  // The caption and the text of every child control that has an id.
  void TranslateDialog(HWND dialog, int dialogId) const;
  // Every item of the menu and its sub-menus, breadth first.
  void TranslateMenu(HMENU menu, int menuId) const;
  // The string-table text (at most 255 characters), translated.
  std::wstring LoadString(int id) const;
  // A string-table text used as a printf format: the translation only when
  // it asks for the same arguments as the built-in text.
  std::wstring LoadFormat(int id) const;
  std::wstring GetTranslatedText(HWND window, int id) const;

  // The language the settings file names ("" for English).
  std::wstring Language() const;

private:
  std::wstring settingsFile_;
  std::wstring languageBase_;
};

}  // namespace zul
