// The update checker against a loopback server (update_server.py) serving
// signed and hostile archives: what it returns, what it asks, which files it
// replaces, and that every failure leaves the program and its language
// files as they were.
#include <windows.h>
#include <gtest/gtest.h>
#include <wininet.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "services/update/auto_updater.h"
#include "tests/support/zul_process.h"

namespace zul {
namespace {

std::string ReadBytes(const std::wstring& path) {
  std::ifstream f(std::filesystem::path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

void WriteBytes(const std::wstring& path, const std::string& data) {
  std::ofstream(std::filesystem::path(path), std::ios::binary) << data;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring BaseUrl(const std::wstring& folder) {
  const char* port = std::getenv("ZUL_TEST_UPDATE_PORT");
  std::wstring p = port ? std::wstring(port, port + std::strlen(port)) : L"1";
  return L"http://127.0.0.1:" + p + L"/" + folder + L"/";
}

class Update : public testing::Test {
protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    root_ = std::wstring(temp) + L"zul-update-test-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    std::filesystem::remove_all(std::filesystem::path(root_));
    // The program's folder two levels below the download folder's parent,
    // so a "..\..\" entry would land beside it.
    prog_ = root_ + L"a\\prog\\";
    temp_ = root_ + L"a\\tmp\\";
    std::filesystem::create_directories(std::filesystem::path(prog_));
    std::filesystem::create_directories(std::filesystem::path(temp_));
    ASSERT_TRUE(CopyFileW((test::BinDir() + L"\\zul.exe").c_str(), (prog_ + L"zul.exe").c_str(), FALSE));
    WriteBytes(prog_ + L"zul_French.ini", "[Lang]\nold=1\n");
    oldProgram_ = ReadBytes(prog_ + L"zul.exe");
    session_ = InternetOpenW(L"AutoUpdateAgent", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    ASSERT_TRUE(session_);
  }
  void TearDown() override {
    InternetCloseHandle(session_);
    std::filesystem::remove_all(std::filesystem::path(root_));
  }

  UpdateResult Run(const std::wstring& folder, bool answer = true) {
    CUpdateOptions o;
    o.baseUrl = BaseUrl(folder);
    o.programPath = prog_ + L"zul.exe";
    o.tempFolder = temp_;
    o.ask = [this, answer](const std::wstring& q) {
      question_ = q;
      ++asked_;
      return answer;
    };
    return CAutoUpdater(session_, o).Check();
  }

  // Nothing changed: the program and its language file as before, no
  // backup left, nothing written outside the folders.
  void ExpectUntouched() {
    EXPECT_TRUE(ReadBytes(prog_ + L"zul.exe") == oldProgram_);
    EXPECT_EQ(ReadBytes(prog_ + L"zul_French.ini"), "[Lang]\nold=1\n");
    EXPECT_FALSE(Exists(prog_ + L"zul.exe.bak"));
    EXPECT_FALSE(Exists(prog_ + L"zul_French.ini.bak"));
    for (const std::wstring& f : {root_ + L"escaped.exe", root_ + L"a\\escaped.exe", prog_ + L"escaped.exe"})
      EXPECT_FALSE(Exists(f)) << testing::PrintToString(std::string(f.begin(), f.end()));
    EXPECT_FALSE(Exists(prog_ + L"restarted.txt"));
  }

  HINTERNET session_ = nullptr;
  std::wstring root_, prog_, temp_;
  std::string oldProgram_;
  std::wstring question_;
  int asked_ = 0;
};

TEST_F(Update, ReplacesProgramAndLanguageFileAndRestartsWithRestart) {
  ASSERT_EQ(ProgramVersion(prog_ + L"zul.exe"), L"1.0.0.1");
  ASSERT_EQ(Run(L"good"), UpdateResult::kUpdated);
  EXPECT_EQ(asked_, 1);
  // The question names the file and shows the notes newer than 1.0.0.1.
  EXPECT_NE(question_.find(L"An update of zul.exe is now available. Proceed with the update?\r\n"), std::wstring::npos);
  EXPECT_NE(question_.find(L"New things"), std::wstring::npos) << std::string(question_.begin(), question_.end());
  EXPECT_EQ(question_.find(L"Old things"), std::wstring::npos);
  std::string probe = ReadBytes(test::BinDir() + L"\\update_restart_probe.exe");
  EXPECT_TRUE(ReadBytes(prog_ + L"zul.exe") == probe);
  EXPECT_TRUE(ReadBytes(prog_ + L"zul.exe.bak") == oldProgram_);
  EXPECT_EQ(ReadBytes(prog_ + L"zul_French.ini"), "[Lang]\nnew=1\n");
  EXPECT_EQ(ReadBytes(prog_ + L"zul_French.ini.bak"), "[Lang]\nold=1\n");
  // The new program runs, with "-restart".
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!Exists(prog_ + L"restarted.txt") && std::chrono::steady_clock::now() < end) Sleep(50);
  std::string marker = ReadBytes(prog_ + L"restarted.txt");
  EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(marker.data()), marker.size() / 2), L"-restart");
}

TEST_F(Update, RefusedArchivesAndFailedDownloadsChangeNothing) {
  struct Case {
    const wchar_t* folder;
    UpdateResult result;
  } cases[] = {
      {L"badsig", UpdateResult::kReplaceFailed},     // signed over other bytes
      {L"zipslip", UpdateResult::kReplaceFailed},    // "..\..\escaped.exe" inside, validly signed
      {L"bomb", UpdateResult::kReplaceFailed},       // an entry of 40 MB
      {L"noprogram", UpdateResult::kReplaceFailed},  // language file only
      {L"drop", UpdateResult::kDownloadFailed},      // the server stops mid-archive
      {L"missing", UpdateResult::kRequestFailed},    // no version file there
      {L"older", UpdateResult::kNothingToDo},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::string(c.folder, c.folder + wcslen(c.folder)));
    EXPECT_EQ(Run(c.folder), c.result);
    ExpectUntouched();
  }
  asked_ = 0;
  EXPECT_EQ(Run(L"good", false), UpdateResult::kNothingToDo);
  EXPECT_EQ(asked_, 1);
  ExpectUntouched();
}

// The program file cannot be moved aside (another process holds it without
// delete sharing): the language file already replaced is put back.
TEST_F(Update, AFailedReplacementPutsEveryBackupBack) {
  HANDLE held =
      CreateFileW((prog_ + L"zul.exe").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Run(L"good"), UpdateResult::kReplaceFailed);
  CloseHandle(held);
  ExpectUntouched();
}

}  // namespace
}  // namespace zul
