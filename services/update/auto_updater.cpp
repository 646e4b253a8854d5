#include "services/update/auto_updater.h"

#include <shellapi.h>

// unzip.h first: iowin32.h uses its types and zlib's old OF() macro, which
// newer zlib headers no longer define.
#include <minizip/unzip.h>
#ifndef OF
#define OF(args) args
#endif
#include <minizip/iowin32.h>

#include <algorithm>
#include <vector>

#include "base/console_log.h"
#include "base/text_codec.h"
#include "base/win32_handles.h"
#include "services/update/archive_names.h"
#include "services/update/update_signature.h"
#include "services/update/update_version.h"

namespace zul {
namespace {

constexpr DWORD kVersionFileBytes = 4096;
constexpr DWORD kSignatureBytes = 64;
constexpr DWORD kBlock = 4096;
constexpr wchar_t kQuestion[] = L"An update of %ls is now available. Proceed with the update?";

struct InternetHandle {
  HINTERNET h = nullptr;
  ~InternetHandle() {
    if (h) InternetCloseHandle(h);
  }
};

std::wstring FileNameOf(const std::wstring& path) {
  size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring FolderOf(const std::wstring& path) {
  size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring FromAnsi(std::string_view text) {
  if (text.empty()) return {};
  int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(std::max(n, 0)), L'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

// Reads the whole response into `out`; false when it fails or passes `limit`.
bool ReadAll(HINTERNET request, std::vector<uint8_t>& out, size_t limit) {
  uint8_t block[kBlock];
  for (;;) {
    DWORD got = 0;
    if (!InternetReadFile(request, block, sizeof block, &got)) return false;
    if (got == 0) return true;
    if (out.size() + got > limit) return false;
    out.insert(out.end(), block, block + got);
  }
}

// A fresh folder of its own under `temp` for this check's files.
std::wstring MakeWorkFolder(const std::wstring& temp) {
  for (unsigned n = 0; n < 1000; ++n) {
    std::wstring folder = temp + L"zul-update-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(n);
    if (CreateDirectoryW(folder.c_str(), nullptr)) return folder + L"\\";
  }
  return {};
}

void RemoveWorkFolder(const std::wstring& folder) {
  WIN32_FIND_DATAW data;
  UniqueFindHandle find(FindFirstFileW((folder + L"*").c_str(), &data));
  if (find) {
    do {
      if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW((folder + data.cFileName).c_str());
    } while (FindNextFileW(find.Get(), &data));
  }
  find.Reset();
  RemoveDirectoryW(folder.c_str());
}

}  // namespace

std::wstring ProgramVersion(const std::wstring& path) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return {};
  std::vector<uint8_t> data(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return {};
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info) return {};
  return LocalVersionText(info->dwFileVersionMS, info->dwFileVersionLS);
}

HINTERNET CAutoUpdater::OpenUrl(const std::wstring& url) {
  wchar_t canonical[1024] = {};
  DWORD size = ARRAYSIZE(canonical);
  if (!InternetCanonicalizeUrlW(url.c_str(), canonical, &size, ICU_BROWSER_MODE)) return nullptr;
  HINTERNET request = InternetOpenUrlW(
      session_, canonical, nullptr, 0,
      INTERNET_FLAG_RELOAD | INTERNET_FLAG_RESYNCHRONIZE | INTERNET_FLAG_HYPERLINK | INTERNET_FLAG_NEED_FILE, 0);
  // An error page is not the file asked for.
  DWORD code = 0, codeSize = sizeof code;
  if (request && HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &code, &codeSize, nullptr) &&
      code >= 400) {
    InternetCloseHandle(request);
    return nullptr;
  }
  return request;
}

UpdateResult CAutoUpdater::Check() {
  DWORD state = 0;
  if (!session_ || !InternetGetConnectedState(&state, 0)) return UpdateResult::kNoConnection;

  std::vector<uint8_t> versionFile;
  {
    InternetHandle request{OpenUrl(options_.baseUrl + L"update.txt")};
    if (!request.h) return UpdateResult::kRequestFailed;
    // One read of at most 4096 bytes: a longer file counts up to there.
    versionFile.resize(kVersionFileBytes);
    DWORD got = 0;
    if (!InternetReadFile(request.h, versionFile.data(), kVersionFileBytes, &got)) got = 0;
    versionFile.resize(got);
  }
  if (versionFile.empty()) return UpdateResult::kEmptyVersion;
  std::string_view text(reinterpret_cast<const char*>(versionFile.data()), versionFile.size());
  std::string_view latest = text.substr(0, text.find('\0'));
  std::string_view notes = latest.size() < text.size() ? text.substr(latest.size() + 1) : std::string_view();
  notes = notes.substr(0, notes.find('\0'));

  const std::wstring local = ProgramVersion(options_.programPath);
  if (local.empty()) return UpdateResult::kNoLocalVersion;
  std::string localAscii(local.begin(), local.end());
  if (!IsNewerVersion(latest, localAscii)) return UpdateResult::kNothingToDo;

  InternetHandle archiveRequest{OpenUrl(options_.baseUrl + L"zul_exe.php")};
  if (!archiveRequest.h) return UpdateResult::kRequestFailed;
  const std::wstring programFile = FileNameOf(options_.programPath);
  wchar_t question[512] = {};
  swprintf(question, ARRAYSIZE(question), kQuestion, programFile.c_str());
  std::wstring prompt = std::wstring(question) + L"\r\n" + NotesExcerpt(FromAnsi(notes), local);
  if (!options_.ask || !options_.ask(prompt)) return UpdateResult::kNothingToDo;

  std::wstring temp = options_.tempFolder;
  if (temp.empty()) {
    wchar_t path[MAX_PATH + 1] = {};
    GetTempPathW(ARRAYSIZE(path), path);
    temp = path;
  }
  const std::wstring work = MakeWorkFolder(temp);
  if (work.empty()) return UpdateResult::kDownloadFailed;
  struct Cleanup {
    std::wstring folder;
    ~Cleanup() { RemoveWorkFolder(folder); }
  } cleanup{work};

  // The archive, then its signature; nothing is opened before both are here
  // and the signature holds.
  const std::wstring archive = work + programFile + L".zip";
  {
    UniqueHandle file(CreateFileW(archive.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file) return UpdateResult::kDownloadFailed;
    // A connection that closes early ends the reads as the end of the file
    // would: the announced length tells them apart.
    DWORD announced = 0, size = sizeof announced;
    const bool haveLength = HttpQueryInfoW(archiveRequest.h, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER,
                                           &announced, &size, nullptr);
    if (haveLength && announced > kMaxUpdateBytes) return UpdateResult::kDownloadFailed;
    uint64_t total = 0;
    uint8_t block[kBlock];
    for (;;) {
      DWORD got = 0, written = 0;
      if (!InternetReadFile(archiveRequest.h, block, sizeof block, &got)) return UpdateResult::kDownloadFailed;
      if (got == 0) break;
      total += got;
      if (total > kMaxUpdateBytes) {
        ZUL_LOG(L"update: the archive is larger than %llu bytes; refused", kMaxUpdateBytes);
        return UpdateResult::kDownloadFailed;
      }
      if (!WriteFile(file.Get(), block, got, &written, nullptr) || written != got) return UpdateResult::kDownloadFailed;
    }
    if (total == 0 || (haveLength && total != announced)) {
      ZUL_LOG(L"update: the archive download ended after %llu bytes", total);
      return UpdateResult::kDownloadFailed;
    }
  }
  std::vector<uint8_t> signature;
  {
    InternetHandle request{OpenUrl(options_.baseUrl + L"zul_exe.sig")};
    if (!request.h || !ReadAll(request.h, signature, kSignatureBytes)) return UpdateResult::kDownloadFailed;
  }
  if (!VerifyFileSignature(archive, signature, UpdatePublicKey())) {
    ZUL_LOG(L"update: the archive's signature does not hold; nothing is replaced");
    return UpdateResult::kReplaceFailed;
  }
  if (!Extract(archive, work)) return UpdateResult::kReplaceFailed;
  if (!ReplaceAll(work)) return UpdateResult::kReplaceFailed;
  ShellExecuteW(nullptr, L"open", options_.programPath.c_str(), L"-restart", nullptr, SW_SHOWNORMAL);
  return UpdateResult::kUpdated;
}

// Extracts the expected entries into `folder`; false, having written
// nothing that stays, when any entry is not a plain expected name, is too
// large, or the program file is missing.
bool CAutoUpdater::Extract(const std::wstring& archive, const std::wstring& folder) {
  zlib_filefunc64_def io;
  fill_win32_filefunc64W(&io);
  unzFile zip = unzOpen2_64(archive.c_str(), &io);
  if (!zip) return false;
  const std::wstring programFile = FileNameOf(options_.programPath);
  std::vector<std::wstring> written;
  bool ok = true, haveProgram = false;
  uint64_t total = 0;
  for (int r = unzGoToFirstFile(zip); ok && r == UNZ_OK; r = unzGoToNextFile(zip)) {
    unz_file_info64 info{};
    char rawName[512] = {};
    if (unzGetCurrentFileInfo64(zip, &info, rawName, sizeof rawName - 1, nullptr, 0, nullptr, 0) != UNZ_OK) {
      ok = false;
      break;
    }
    // Bit 11: the name is UTF-8; else it is in the OEM code page.
    UINT page = (info.flag & (1u << 11)) ? CP_UTF8 : CP_OEMCP;
    wchar_t name[512] = {};
    MultiByteToWideChar(page, 0, rawName, -1, name, ARRAYSIZE(name) - 1);
    if (!IsExpectedUpdateEntry(name, programFile) || info.uncompressed_size > kMaxUpdateBytes) {
      ZUL_LOG(L"update: the archive holds \"%s\", which is not an expected file; refused", name);
      ok = false;
      break;
    }
    haveProgram = haveProgram || EqualNoCase(name, programFile);
    const std::wstring target = folder + name;
    UniqueHandle out(CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    if (!out || unzOpenCurrentFile(zip) != UNZ_OK) {
      ok = false;
      break;
    }
    written.push_back(target);
    // The sizes in the directory are the archive's word; the bytes are
    // counted as they come.
    std::vector<uint8_t> block(65536);
    for (;;) {
      int got = unzReadCurrentFile(zip, block.data(), static_cast<unsigned>(block.size()));
      if (got < 0) ok = false;
      if (got <= 0) break;
      total += static_cast<uint64_t>(got);
      DWORD w = 0;
      if (total > kMaxUpdateBytes || !WriteFile(out.Get(), block.data(), static_cast<DWORD>(got), &w, nullptr) ||
          w != static_cast<DWORD>(got)) {
        ok = false;
        break;
      }
    }
    if (unzCloseCurrentFile(zip) != UNZ_OK) ok = false;  // a CRC error shows here
  }
  unzClose(zip);
  if (ok && !haveProgram) ZUL_LOG(L"update: the archive lacks %s; refused", programFile.c_str());
  if (ok && haveProgram) return true;
  for (const std::wstring& f : written) DeleteFileW(f.c_str());
  return false;
}

// Replaces the language files, then the program, each keeping a ".bak";
// when any step fails, every file already replaced is put back from its
// backup, so the program and its language files are as before.
bool CAutoUpdater::ReplaceAll(const std::wstring& folder) {
  const std::wstring programFile = FileNameOf(options_.programPath);
  const std::wstring programFolder = FolderOf(options_.programPath);
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data;
  std::wstring base = programFile.substr(0, programFile.rfind(L'.'));
  UniqueFindHandle find(FindFirstFileW((folder + base + L"_*.ini").c_str(), &data));
  if (find) {
    do {
      if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
    } while (FindNextFileW(find.Get(), &data));
  }
  find.Reset();
  names.push_back(programFile);

  struct Done {
    std::wstring target, backup;
    bool hadTarget;
  };
  std::vector<Done> done;
  bool ok = true;
  for (const std::wstring& name : names) {
    Done d{programFolder + name, programFolder + name + L".bak", false};
    DeleteFileW(d.backup.c_str());
    d.hadTarget = GetFileAttributesW(d.target.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (d.hadTarget && !MoveFileExW(d.target.c_str(), d.backup.c_str(), MOVEFILE_COPY_ALLOWED)) {
      ok = false;
      break;
    }
    done.push_back(d);
    if (!MoveFileExW((folder + name).c_str(), d.target.c_str(), MOVEFILE_COPY_ALLOWED | MOVEFILE_REPLACE_EXISTING)) {
      ok = false;
      break;
    }
  }
  if (ok) return true;
  ZUL_LOG(L"update: replacing the files failed (%lu); the previous files are put back", GetLastError());
  for (auto it = done.rbegin(); it != done.rend(); ++it) {
    if (it->hadTarget) {
      MoveFileExW(it->backup.c_str(), it->target.c_str(), MOVEFILE_COPY_ALLOWED | MOVEFILE_REPLACE_EXISTING);
    } else {
      DeleteFileW(it->target.c_str());
    }
  }
  return false;
}

}  // namespace zul
