#include "base/profile_file.h"

#include <windows.h>

#include "base/profile_text.h"
#include "base/whole_file.h"
#include "base/win32_handles.h"

namespace zul {
namespace {

// Returned by GetPrivateProfileString for an absent key; no settings value
// contains control characters.
constexpr wchar_t kAbsent[] = L"\x01\x02zul-absent\x02\x01";

enum class Encoding { Ansi, Utf16, Utf8 };

// A missing file reads as empty: every key then has its default.
bool ReadAll(const std::wstring& path, std::string* bytes) {
  return ReadWholeFile(path, 64 << 20, bytes) || GetLastError() == ERROR_FILE_NOT_FOUND;
}

std::wstring Decode(const std::string& bytes, Encoding* encoding) {
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    *encoding = Encoding::Utf16;
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
  }
  UINT codePage = CP_ACP;
  size_t skip = 0;
  *encoding = Encoding::Ansi;
  if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    *encoding = Encoding::Utf8;
    codePage = CP_UTF8;
    skip = 3;
  }
  int n = MultiByteToWideChar(codePage, 0, bytes.data() + skip, static_cast<int>(bytes.size() - skip), nullptr, 0);
  std::wstring text(n, L'\0');
  MultiByteToWideChar(codePage, 0, bytes.data() + skip, static_cast<int>(bytes.size() - skip), text.data(), n);
  return text;
}

std::string Encode(const std::wstring& text, Encoding encoding) {
  if (encoding == Encoding::Utf16) {
    std::string out("\xFF\xFE", 2);
    out.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    return out;
  }
  UINT codePage = encoding == Encoding::Utf8 ? CP_UTF8 : CP_ACP;
  int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(n, '\0');
  WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return encoding == Encoding::Utf8 ? "\xEF\xBB\xBF" + out : out;
}

bool WriteAll(const std::wstring& path, const std::string& bytes) {
  // No sharing: a second instance saving at the same moment waits its turn.
  UniqueHandle file;
  for (int attempt = 0; attempt < 50 && !file; ++attempt) {
    file.Reset(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file && GetLastError() != ERROR_SHARING_VIOLATION) return false;
    if (!file) Sleep(20);
  }
  if (!file) return false;
  DWORD written = 0;
  return WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size() && FlushFileBuffers(file.Get());
}

}  // namespace

std::optional<std::wstring> ProfileFileReader::Read(std::wstring_view section, std::wstring_view key) const {
  std::wstring s(section), k(key);
  wchar_t buffer[4096];
  GetPrivateProfileStringW(s.c_str(), k.c_str(), kAbsent, buffer, 4096, path_.c_str());
  if (wcscmp(buffer, kAbsent) == 0) return std::nullopt;
  return std::wstring(buffer);
}

bool CommitProfileEdits(const std::wstring& path, const std::vector<ProfileEdit>& edits) {
  // A read-only settings file stays as it is (replacing it by rename would
  // get around the attribute).
  DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return false;
  std::string bytes;
  if (!ReadAll(path, &bytes)) return false;
  Encoding encoding = Encoding::Ansi;
  ProfileText text(Decode(bytes, &encoding));
  for (const ProfileEdit& e : edits) {
    if (e.clearSection)
      text.ClearSection(e.section);
    else
      text.Set(e.section, e.key, e.value);
  }
  const std::wstring temp = path + L".tmp";
  if (!WriteAll(temp, Encode(text.Text(), encoding))) {
    DeleteFileW(temp.c_str());
    return false;
  }
  if (!MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(temp.c_str());
    return false;
  }
  // The profile functions cache the file; make them read the new one.
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, path.c_str());
  return true;
}

}  // namespace zul
