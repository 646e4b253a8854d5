#include "prefs/shell_integration/shell_verbs.h"

#include <windows.h>

#include <shlobj.h>

#include <vector>

namespace zul::shell {
namespace {

constexpr wchar_t kPrevious[] = L"ZUL.Previous";
constexpr wchar_t kState[] = L"ZUL.State";
// Bits of kState: what existed before the program took the extension.
constexpr DWORD kHadKey = 1, kHadDefault = 2, kHadShell = 4;

HKEY Root() { return HKEY_CLASSES_ROOT; }

bool KeyExists(const std::wstring& path) {
  HKEY key;
  if (RegOpenKeyExW(Root(), path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

// The value (default value for an empty name); nothing when absent.
bool ReadString(const std::wstring& path, const wchar_t* name, std::wstring& out) {
  HKEY key;
  if (RegOpenKeyExW(Root(), path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  DWORD type = 0, bytes = 0;
  bool ok = RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS &&
            (type == REG_SZ || type == REG_EXPAND_SZ);
  if (ok) {
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
    ok = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes) == ERROR_SUCCESS;
    if (ok) out = buffer.data();
  }
  RegCloseKey(key);
  return ok;
}

bool ReadDword(const std::wstring& path, const wchar_t* name, DWORD& out) {
  DWORD bytes = sizeof out;
  return RegGetValueW(Root(), path.c_str(), name, RRF_RT_REG_DWORD, nullptr, &out, &bytes) == ERROR_SUCCESS;
}

bool WriteString(const std::wstring& path, const wchar_t* name, const std::wstring& value) {
  HKEY key;
  if (RegCreateKeyExW(Root(), path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  const bool ok = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  RegCloseKey(key);
  return ok;
}

void WriteDword(const std::wstring& path, const wchar_t* name, DWORD value) {
  HKEY key;
  if (RegCreateKeyExW(Root(), path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS) return;
  RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  RegCloseKey(key);
}

void DeleteValue(const std::wstring& path, const wchar_t* name) {
  HKEY key;
  if (RegOpenKeyExW(Root(), path.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
  RegDeleteValueW(key, name);
  RegCloseKey(key);
}

void DeleteTree(const std::wstring& path) {
  if (KeyExists(path)) RegDeleteTreeW(Root(), path.c_str());
  if (KeyExists(path)) RegDeleteKeyW(Root(), path.c_str());
}

// A key with no values and no sub-keys.
bool KeyEmpty(const std::wstring& path) {
  HKEY key;
  if (RegOpenKeyExW(Root(), path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  DWORD subkeys = 0, values = 0;
  const bool ok = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                                   nullptr, nullptr, nullptr) == ERROR_SUCCESS;
  RegCloseKey(key);
  return ok && subkeys == 0 && values == 0;
}

std::wstring DocumentType(const std::wstring& ext) { return L"ZUL." + ext; }

void WriteVerbs(const std::wstring& base, const std::wstring& program, const VerbTexts& texts) {
  WriteString(base + L"\\shell\\openzul", L"", texts.open);
  WriteString(base + L"\\shell\\openzul\\command", L"", PlayCommand(program));
  WriteString(base + L"\\shell\\addzul", L"", texts.add);
  WriteString(base + L"\\shell\\addzul\\command", L"", AddCommand(program));
}

}  // namespace

std::wstring PlayCommand(const std::wstring& program) { return L"\"" + program + L"\" \"%1\""; }
std::wstring AddCommand(const std::wstring& program) { return L"\"" + program + L"\" -a \"%1\""; }

bool IsAssociated(const std::wstring& ext, const std::wstring& program) {
  std::wstring type, command;
  if (!ReadString(L"." + ext, L"", type) || type.empty()) return false;
  if (!ReadString(type + L"\\shell\\openzul\\command", L"", command)) return false;
  return lstrcmpiW(command.c_str(), PlayCommand(program).c_str()) == 0;
}

void Associate(const std::wstring& ext, const std::wstring& description, bool addByDefault, const std::wstring& program,
               const VerbTexts& texts) {
  const std::wstring extKey = L"." + ext;
  const std::wstring type = DocumentType(ext);
  std::wstring current;
  const bool hadDefault = ReadString(extKey, L"", current);
  DWORD state = 0;
  // Taken once: a second apply must not record our own type as the
  // previous one.
  if (!ReadDword(extKey, kState, state) && current != type) {
    state = (KeyExists(extKey) ? kHadKey : 0) | (hadDefault ? kHadDefault : 0) |
            (KeyExists(extKey + L"\\shell") ? kHadShell : 0);
    if (!WriteString(extKey, kPrevious, hadDefault ? current : L"")) return;
    WriteDword(extKey, kState, state);
  }
  DeleteTree(type);
  WriteString(type, L"", description);
  WriteString(type + L"\\DefaultIcon", L"", program + L",0");
  WriteString(type + L"\\shell", L"", addByDefault ? L"addzul" : L"openzul");
  WriteVerbs(type, program, texts);
  WriteString(extKey, L"", type);
  WriteVerbs(extKey, program, texts);
  SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

void Dissociate(const std::wstring& ext) {
  const std::wstring extKey = L"." + ext;
  const std::wstring type = DocumentType(ext);
  DWORD state = 0;
  const bool recorded = ReadDword(extKey, kState, state);
  std::wstring current, previous;
  ReadString(extKey, L"", current);
  if (!recorded && current != type) return;  // never ours
  ReadString(extKey, kPrevious, previous);

  DeleteTree(extKey + L"\\shell\\openzul");
  DeleteTree(extKey + L"\\shell\\addzul");
  if (!(state & kHadShell) && KeyEmpty(extKey + L"\\shell")) DeleteTree(extKey + L"\\shell");
  if (current == type) {
    if (recorded && (state & kHadDefault))
      WriteString(extKey, L"", previous);
    else
      DeleteValue(extKey, L"");
  }
  DeleteValue(extKey, kPrevious);
  DeleteValue(extKey, kState);
  DeleteTree(type);
  if (recorded && !(state & kHadKey) && KeyEmpty(extKey)) DeleteTree(extKey);
  SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

bool HasFolderVerb(bool add, const std::wstring& program) {
  std::wstring command;
  const std::wstring path = add ? L"Directory\\Shell\\addzul\\Command" : L"Directory\\Shell\\playzul\\Command";
  if (!ReadString(path, L"", command)) return false;
  return lstrcmpiW(command.c_str(), (add ? AddCommand(program) : PlayCommand(program)).c_str()) == 0;
}

void SetFolderVerbs(bool play, bool add, const std::wstring& program, const VerbTexts& texts) {
  for (const wchar_t* owner : {L"Directory", L"Drive"}) {
    const std::wstring shell = std::wstring(owner) + L"\\Shell\\";
    DeleteTree(shell + L"playzul");
    DeleteTree(shell + L"addzul");
    if (play) {
      WriteString(shell + L"playzul", L"", texts.playWith);
      WriteString(shell + L"playzul\\Command", L"", PlayCommand(program));
    }
    if (add) {
      WriteString(shell + L"addzul", L"", texts.addToList);
      WriteString(shell + L"addzul\\Command", L"", AddCommand(program));
    }
  }
}

}  // namespace zul::shell
