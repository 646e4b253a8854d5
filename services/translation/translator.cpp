#include "services/translation/translator.h"

#include <vector>

#include "base/program_paths.h"
#include "services/translation/translation_text.h"

namespace zul {
namespace {

constexpr wchar_t kSection[] = L"Translation";

std::wstring WindowText(HWND window) {
  int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::wstring ProgramBase(const std::wstring& exe) {
  size_t slash = exe.find_last_of(L"\\/");
  size_t dot = exe.rfind(L'.');
  if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash)) return exe;
  return exe.substr(0, dot);
}

}  // namespace

Translator::Translator()
    : settingsFile_(CurrentProgramPaths().settingsFile), languageBase_(ProgramBase(CurrentProgramPaths().exe)) {}

Translator::Translator(std::wstring settingsFile, std::wstring languageBase)
    : settingsFile_(std::move(settingsFile)), languageBase_(std::move(languageBase)) {}

std::wstring Translator::Language() const {
  wchar_t language[256] = L"";
  GetPrivateProfileStringW(L"Preferences", L"Language", L"", language, 256, settingsFile_.c_str());
  return language;
}

std::wstring Translator::Translate(int id, const std::wstring& text, int item, int menuIndex) const {
  const std::wstring key = translation::KeyFor(id, item, menuIndex);
  const int make =
      static_cast<int>(GetPrivateProfileIntW(L"Preferences", L"MakeTranslation", 1, settingsFile_.c_str()));
  const std::wstring language = Language();
  if (language.empty()) return translation::Unescape(translation::Escape(text));

  const std::wstring file = languageBase_ + L"_" + language + L".ini";
  // The default is what a missing key answers; it is compared below, so it
  // goes through the same escapes a stored value has.
  std::wstring fallback = translation::Escape(text);
  if (make == 1) fallback = key + L" " + fallback;
  if (fallback.size() > translation::kMaxValueChars) fallback.resize(translation::kMaxValueChars);
  wchar_t answer[translation::kMaxValueChars + 1] = L"";
  GetPrivateProfileStringW(kSection, key.c_str(), fallback.c_str(), answer, static_cast<DWORD>(std::size(answer)),
                           file.c_str());
  const std::wstring found = answer;
  // Absent (or holding only a beginning of the default): the translator's
  // file gains the key with the English text.
  if (fallback.compare(0, found.size(), found) == 0) {
    std::wstring value = translation::Escape(text);
    if (value.size() > translation::kMaxValueChars) value.resize(translation::kMaxValueChars);
    WritePrivateProfileStringW(kSection, key.c_str(), value.c_str(), file.c_str());
  }
  return translation::Unescape(found);
}

void Translator::TranslateCaption(HWND window, int dialogId) const {
  SetWindowTextW(window, Translate(dialogId, WindowText(window)).c_str());
}

void Translator::TranslateControl(HWND dialog, int controlId) const {
  HWND control = GetDlgItem(dialog, controlId);
  if (!control) return;
  SetWindowTextW(control, Translate(controlId, WindowText(control)).c_str());
}

void Translator::TranslateDialog(HWND dialog, int dialogId) const {
  if (Language().empty()) return;
  TranslateCaption(dialog, dialogId);
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const int id = GetDlgCtrlID(child);
    if (id <= 0 || id == 0xFFFF) continue;
    // Edit boxes and lists hold the user's data, not the program's texts.
    wchar_t cls[32] = L"";
    GetClassNameW(child, cls, 32);
    if (lstrcmpiW(cls, L"Button") != 0 && lstrcmpiW(cls, L"Static") != 0) continue;
    std::wstring text = WindowText(child);
    if (text.empty()) continue;
    SetWindowTextW(child, Translate(id, text).c_str());
  }
}

void Translator::TranslateMenu(HMENU menu, int menuId) const {
  if (!menu || Language().empty()) return;
  std::vector<HMENU> menus{menu};
  for (size_t index = 0; index < menus.size(); ++index) {
    HMENU current = menus[index];
    const int count = GetMenuItemCount(current);
    for (int p = 0; p < count; ++p) {
      wchar_t buffer[1025] = L"";
      MENUITEMINFOW info{sizeof info};
      info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE | MIIM_STRING;
      info.dwTypeData = buffer;
      info.cch = 1024;
      if (!GetMenuItemInfoW(current, static_cast<UINT>(p), TRUE, &info)) continue;
      if (info.fType & MFT_SEPARATOR) continue;
      if (!info.hSubMenu && info.wID == 0) continue;
      std::wstring translated;
      if (info.hSubMenu) {
        menus.push_back(info.hSubMenu);
        translated = Translate(menuId, buffer, p, static_cast<int>(index));
      } else {
        translated = Translate(static_cast<int>(info.wID), buffer);
      }
      MENUITEMINFOW change{sizeof change};
      change.fMask = MIIM_STRING;
      change.dwTypeData = translated.data();
      SetMenuItemInfoW(current, static_cast<UINT>(p), TRUE, &change);
    }
  }
}

std::wstring Translator::LoadString(int id) const {
  wchar_t text[256] = L"";
  ::LoadStringW(GetModuleHandleW(nullptr), static_cast<UINT>(id), text, 256);
  return Translate(id, text);
}

std::wstring Translator::LoadFormat(int id) const {
  wchar_t text[256] = L"";
  ::LoadStringW(GetModuleHandleW(nullptr), static_cast<UINT>(id), text, 256);
  std::wstring translated = Translate(id, text);
  return translation::SameConversions(text, translated) ? translated : std::wstring(text);
}

std::wstring Translator::GetTranslatedText(HWND window, int id) const { return Translate(id, WindowText(window)); }

}  // namespace zul
