// The Winamp window and the service API as a plug-in sees them: zul.exe runs
// with gen_fake_probe.dll in its Plugins folder, and the test asks the plug-in to
// make each request from inside the player (on its UI thread, with buffers
// and callbacks in the plug-in's memory). See gen_fake_probe.cpp for the commands.
#include <windows.h>

#include <gtest/gtest.h>
#include <cstdlib>

#include <cstdio>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "base/text_codec.h"
#include "mpeg_input/tags/tag_text.h"
#include "tests/support/zul_process.h"

namespace zul::test {
namespace {

constexpr ULONG_PTR kCommand = 0x50524F42;
constexpr ULONG_PTR kAnswer = 0x414E5357;
constexpr int kEntries = 10;

using Answer = std::map<std::string, std::string>;

// A pointer as the probe plug-in writes it: as many hex digits as a pointer
// has, so a 64-bit value cut to 32 bits shows.
std::string PointerText(uintptr_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%0*llX", static_cast<int>(2 * sizeof(void*)),
                static_cast<unsigned long long>(value));
  return text;
}

std::string EntryName(int i) { return "t0" + std::to_string(i) + ".probe"; }

std::string g_lastAnswer;

LRESULT CALLBACK ReplyProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_COPYDATA) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (data && data->dwData == kAnswer) g_lastAnswer.assign(static_cast<const char*>(data->lpData), data->cbData);
    return TRUE;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// The message part of a console line "<source> (<line>): <message>".
std::wstring MessageOf(std::wstring line) {
  const size_t at = line.find(L"): ");
  if (at != std::wstring::npos) line.erase(0, at + 3);
  while (!line.empty() && static_cast<unsigned>(line.back()) <= L' ') line.pop_back();
  return line;
}

class ProbePlugin : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    box_ = new ZulSandbox(L"probe");
    // The last playlist, restored at start-up. No input plug-in claims the
    // files, so the play that follows the restore fails at once and nothing
    // moves the current entry on.
    std::string m3u;
    for (int i = 0; i < kEntries; ++i) {
      const std::string name = EntryName(i);
      WriteFileBytes(box_->dir() + L"\\" + std::wstring(name.begin(), name.end()), "not audio");
      m3u += EncodeUtf8(box_->dir()) + "\\" + name + "\r\n";
    }
    StartWithProbe(m3u);
  }
  // zul.exe with gen_fake_probe.dll and the playlist `m3u` to restore.
  static void StartWithProbe(const std::string& m3u) {
    const std::wstring plugins = box_->dir() + L"\\Plugins";
    CreateDirectoryW(plugins.c_str(), nullptr);
    ASSERT_TRUE(
        CopyFileW((BinDir() + L"\\gen_fake_probe.dll").c_str(), (plugins + L"\\gen_fake_probe.dll").c_str(), FALSE));
    WriteFileBytes(box_->dir() + L"\\zul.m3u", m3u);
    WriteFileBytes(box_->ini(), "[Preferences]\r\ndllGenName0=" + EncodeUtf8(plugins) + "\\gen_fake_probe.dll\r\n");

    WNDCLASSW wc{};
    wc.lpfnWndProc = ReplyProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ZulProbeReply";
    RegisterClassW(&wc);
    reply_ = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);

    process_ = box_->Start(L"", &pid_);
    main_ = WaitForInstance(pid_);
    ASSERT_NE(main_, nullptr);
    ASSERT_TRUE(WaitUntilRunning(main_));
    winamp_ = FindWinampWindow(pid_);
    probe_ = FindWindowOfClass(pid_, L"ZulProbe");
    ASSERT_NE(probe_, nullptr) << "gen_fake_probe.dll was not loaded and started from the Plugins folder";
  }
  static void TearDownTestSuite() {
    if (winamp_ && IsWindow(winamp_)) SendMessageW(winamp_, WM_COMMAND, 40001, 0);
    if (process_) {
      EXPECT_TRUE(WaitForExit(process_, 20000));
    }
    DestroyWindow(reply_);
    delete box_;
  }
  void SetUp() override { ASSERT_NE(probe_, nullptr); }

  // Runs one command inside zul.exe and parses its "key=value" lines.
  static Answer Ask(const std::string& command) {
    g_lastAnswer.clear();
    COPYDATASTRUCT data{kCommand, static_cast<DWORD>(command.size() + 1), const_cast<char*>(command.c_str())};
    DWORD_PTR result = 0;
    // Not SMTO_BLOCK: the answer arrives as a message sent to this thread
    // while it waits.
    SendMessageTimeoutW(probe_, WM_COPYDATA, reinterpret_cast<WPARAM>(reply_), reinterpret_cast<LPARAM>(&data),
                        SMTO_NORMAL, 10000, &result);
    Answer answer;
    std::istringstream lines(g_lastAnswer);
    for (std::string line; std::getline(lines, line);) {
      const size_t eq = line.find('=');
      if (eq != std::string::npos) answer[line.substr(0, eq)] = line.substr(eq + 1);
    }
    EXPECT_EQ(answer.count("error"), 0u) << command << ": " << answer["error"];
    EXPECT_FALSE(answer.empty()) << command << ": no answer";
    return answer;
  }
  static Answer Dispatch(const std::string& object, int msg, const std::string& args = "") {
    return Ask("dispatch " + object + " " + std::to_string(msg) + (args.empty() ? "" : " " + args));
  }

  static inline ZulSandbox* box_;
  static inline HANDLE process_;
  static inline DWORD pid_;
  static inline HWND main_, winamp_, probe_, reply_;
};

TEST_F(ProbePlugin, RunsOnTheUiThreadWithTheWinampWindowAsParent) {
  Answer hello = Ask("hello");
  EXPECT_EQ(hello["thread"], "ui");
  EXPECT_EQ(hello["parent"], PointerText(reinterpret_cast<uintptr_t>(winamp_)));
}

TEST_F(ProbePlugin, FormatTitleAnswersFromThePluginsTagsAndFreesEachOne) {
  // The plug-in knows artist, title, track ("7") and an empty album; any
  // other tag comes back as a null pointer.
  struct Case {
    const char* spec;
    int outLen;
    const char* out;
    const char* asked;
    int given;  // texts the tag function handed out
  };
  const Case cases[] = {
      {"%artist% - %title%", 256, "Probe Artist - Probe Title", "artist,title", 2},
      {"[%album% - ]%title%", 256, "Probe Title", "album,title", 2},
      {"[%year% - ]%title%", 256, "Probe Title", "year,title", 1},
      {"[%artist%: ]$num(%track%,3)", 256, "Probe Artist: 007", "artist,track", 2},
      {"$if(%year%,yes,no year) $upper(%artist%)", 256, "no year PROBE ARTIST", "year,artist", 1},
      {"%artist% $nosuchfunction(x)", 256, "[UNKNOWN FUNCTION]", "artist", 1},
      // Truncation to the caller's buffer, terminator included.
      {"%artist% - %title%", 6, "Probe", "artist,title", 2},
      {"%artist% - %title%", 1, "", "artist,title", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.spec) + " in " + std::to_string(c.outLen) + " bytes");
    Answer a = Ask("format " + std::to_string(c.outLen) + " " + c.spec);
    EXPECT_EQ(a["reply"], "1");
    EXPECT_EQ(a["out"], c.out);
    EXPECT_EQ(a["terminated"], "1");
    EXPECT_EQ(a["guard"], "intact");
    EXPECT_EQ(a["asked"], c.asked);
    EXPECT_EQ(a["given"], std::to_string(c.given));
    EXPECT_EQ(a["freed"], std::to_string(c.given));
    EXPECT_EQ(a["unfreed"], "0");
    EXPECT_EQ(a["stray"], "0");
    EXPECT_EQ(a["badcontext"], "0");
  }
  // No room at all: nothing is written.
  Answer none = Ask("format 0 %artist%");
  EXPECT_EQ(none["guard"], "intact");
  EXPECT_EQ(none["freed"], none["given"]);
}

TEST_F(ProbePlugin, ExtendedFileInfoIsAboutTheCurrentEntry) {
  ASSERT_EQ(Ask("ipc 0 124")["reply"], std::to_string(kEntries));  // the restored playlist
  EXPECT_EQ(Ask("ipc 7 121")["reply"], "1");                       // IPC_SETPLAYLISTPOS
  EXPECT_EQ(Ask("ipc 0 125")["reply"], "7");

  struct Case {
    const char* name;
    int retLen;
    const char* ret;
    int length;  // retlen afterwards: the whole answer's length
  };
  // clang-format off
  const Case cases[] = {
      {"tracknumber", 64, "07", 2},
      {"TrackNumber", 64, "07", 2},                // names are compared without case
      {"trackno", 64, "7", 1},
      {"filename", 64, "t07.probe", 9},            // not the file the record names
      {"playcount", 64, "0", 1},
      {"probe_unknown", 64, "probe_unknown", 13},  // unknown names answer themselves
      {"probe_unknown", 5, "prob", 13},            // cut to the buffer, terminator included
      {"probe_unknown", 1, "", 13},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " in " + std::to_string(c.retLen) + " bytes");
    Answer a = Ask("extinfo " + std::to_string(c.retLen) + " " + c.name);
    EXPECT_EQ(a["reply"], "record");
    EXPECT_EQ(a["ret"], c.ret);
    EXPECT_EQ(a["terminated"], "1");
    EXPECT_EQ(a["retlen"], std::to_string(c.length));
    EXPECT_EQ(a["guard"], "intact");
  }
  for (const char* rating : {"rating", "ratingstar"}) {
    SCOPED_TRACE(rating);
    Answer a = Ask(std::string("extinfo 64 ") + rating);
    EXPECT_EQ(a["reply"], "0");
    EXPECT_EQ(a["written"], "0");
    EXPECT_EQ(a["retlen"], "64");
  }
}

TEST_F(ProbePlugin, EmbeddingFunctionSizesWithoutWritingTheRecord) {
  Answer a = Ask("embed 300 200");
  EXPECT_NE(a["function"], PointerText(0)) << "IPC_GET_EMBEDIF with wParam 0 gave no embedding function";
  // A frame of the record's size; the function leaves the record's me alone
  // (only the IPC with a record writes it).
  ASSERT_NE(a["hwnd"], PointerText(0));
  RECT r{};
  EXPECT_TRUE(GetWindowRect(reinterpret_cast<HWND>(std::strtoull(a["hwnd"].c_str(), nullptr, 16)), &r));
  EXPECT_EQ(r.right - r.left, 300);
  EXPECT_EQ(r.bottom - r.top, 200);
  EXPECT_EQ(a["me"], "untouched");
}

TEST_F(ProbePlugin, WidePathQueriesPointAtTheSandbox) {
  EXPECT_EQ(Ask("wpath 1334")["text"], EncodeUtf8(box_->ini()));
  EXPECT_EQ(Ask("wpath 1335")["text"], EncodeUtf8(box_->dir() + L"\\"));
  EXPECT_EQ(Ask("wpath 1336")["text"], EncodeUtf8(box_->dir() + L"\\Plugins"));
}

constexpr char kConfigGuid[] = "{AEFBF8BE-E0AA-4318-8CC1-4353410B64DC}";
constexpr char kPlaylistGuid[] = "{C5618774-7177-43AA-9906-933C9F40EBDC}";
constexpr char kApplicationGuid[] = "{23B96771-09D7-46D3-9AE2-20DCEA6C86EA}";
// Pointer results have as many hex digits as a pointer: the probe plug-in is
// built for the same architecture as this test.
const std::string kNull = PointerText(0);
const std::string kUntouched = PointerText(static_cast<uintptr_t>(0xABABABABABABABABull));
constexpr char kIntOne[] = "0x00000001";

TEST_F(ProbePlugin, ServiceManagerAnswersTheProgramsServices) {
  const std::string service = Ask("service")["ptr"];
  ASSERT_NE(service, kNull);
  Answer config = Dispatch(service, 50, kConfigGuid);  // getServiceByGuid
  Answer playlist = Dispatch(service, 50, kPlaylistGuid);
  Answer application = Dispatch(service, 50, kApplicationGuid);
  for (const Answer* a : {&config, &playlist, &application}) {
    EXPECT_EQ(a->at("known"), "1");
    EXPECT_NE(a->at("ptr"), kNull);
  }
  const std::string factory = config["ptr"];
  EXPECT_NE(factory, playlist["ptr"]);
  EXPECT_NE(factory, application["ptr"]);

  // The config factory: its GUID, a config object, a config group without items.
  EXPECT_EQ(Dispatch(factory, 210)["guid"], kConfigGuid);
  const std::string configObject = Dispatch(factory, 300)["ptr"];
  ASSERT_NE(configObject, kNull);
  const std::string group = Dispatch(configObject, 10, kConfigGuid)["ptr"];
  ASSERT_NE(group, kNull);
  EXPECT_EQ(Dispatch(group, 10, "0")["ptr"], kNull);

  // Playlist manager and application are the objects themselves, not
  // factories: a factory message is unknown to them and the caller keeps its
  // own default.
  EXPECT_EQ(Dispatch(playlist["ptr"], 40)["ptr"], kNull);  // _CountItems (a size_t)
  Answer appName = Dispatch(application["ptr"], 10);
  EXPECT_EQ(appName["known"], "1");
  EXPECT_EQ(appName["ptr"], kNull);
  Answer notAFactory = Dispatch(application["ptr"], 300);
  EXPECT_EQ(notAFactory["known"], "0");
  EXPECT_EQ(notAFactory["ptr"], kUntouched);
  EXPECT_EQ(Dispatch(service, 999)["known"], "0");

  // Counts and enumeration answer the config factory for any type and index.
  const std::string meta = std::to_string(0x6D657461);
  EXPECT_EQ(Dispatch(service, 30, meta)["int"], kIntOne);         // getNumServices
  EXPECT_EQ(Dispatch(service, 40, meta + " 0")["ptr"], factory);  // enumService
  EXPECT_EQ(Dispatch(service, 40, meta + " 17")["ptr"], factory);
  EXPECT_EQ(Dispatch(service, 90, meta)["ptr"], kNull);  // getTypeName
}

TEST_F(ProbePlugin, UnknownServicesGetOneStubFactoryEach) {
  const std::string service = Ask("service")["ptr"];
  // Each GUID is asked for twice; the console lines between the request and
  // the stub's registration name the service type, if the GUID is one.
  struct Case {
    const char* guid;
    const wchar_t* typeName;  // nullptr: not a service-type key
  };
  const Case cases[] = {
      {"{6D657461-E2A5-7845-9D03-35B8D0C1BAC7}", L"METADATA"},
      {"{00616374-E2A5-7845-9D03-35B8D0C1BAC7}", L"ACTION"},
      {"{6D657461-E2A5-7845-9D03-35B8D0C1BAC8}", nullptr},  // right code, other tail
      {"{0B5E3A1C-7F00-4B11-A1B2-C3D4E5F60718}", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.guid);
    const std::string stub = Dispatch(service, 50, c.guid)["ptr"];
    ASSERT_NE(stub, kNull);
    EXPECT_EQ(Dispatch(stub, 210)["guid"], c.guid);
    EXPECT_NE(Dispatch(stub, 300)["ptr"], kNull);  // its config object
    EXPECT_EQ(Dispatch(service, 50, c.guid)["ptr"], stub);

    const std::wstring guid(c.guid, c.guid + std::strlen(c.guid));
    std::vector<std::wstring> messages;
    for (const auto& line : ConsoleLines(main_)) messages.push_back(MessageOf(line));
    size_t asked = messages.size();
    for (size_t i = 0; i < messages.size(); ++i)
      if (messages[i] == L"_getServiceByGuid " + guid) {
        asked = i;
        break;
      }
    ASSERT_LT(asked, messages.size());
    std::vector<std::wstring> between;
    size_t registered = 0;
    for (size_t i = asked + 1; i < messages.size(); ++i) {
      if (messages[i] == L"_register " + guid) {
        registered = i;
        break;
      }
      if (messages[i] != L"_getGuid") between.push_back(messages[i]);
    }
    ASSERT_NE(registered, 0u) << "the stub factory was not registered";
    EXPECT_EQ(between, c.typeName ? std::vector<std::wstring>{c.typeName} : std::vector<std::wstring>{});
    int registrations = 0;
    for (const auto& m : messages) registrations += m == L"_register " + guid;
    EXPECT_EQ(registrations, 1);
  }
}

TEST_F(ProbePlugin, PluginFactoriesAreFoundUntilDeregistered) {
  const std::string service = Ask("service")["ptr"];
  const char* guid = "{5A1E0F00-0D0E-4C3B-9A21-0123456789AB}";
  const std::string own = Ask(std::string("factory ") + guid)["ptr"];
  Answer registered = Dispatch(service, 10, own);
  EXPECT_EQ(registered["known"], "1");
  EXPECT_EQ(registered["int"], kIntOne);
  EXPECT_EQ(Dispatch(service, 50, guid)["ptr"], own);
  EXPECT_EQ(Dispatch(service, 20, own)["int"], kIntOne);
  // Gone from the registry: the next request makes a stub of the host's.
  const std::string stub = Dispatch(service, 50, guid)["ptr"];
  EXPECT_NE(stub, own);
  EXPECT_EQ(Dispatch(stub, 210)["guid"], guid);
}

}  // namespace
}  // namespace zul::test

namespace zul::test {
namespace {

// The same plug-in with two long tracks playing: what it reads as the
// Winamp window's title, the form plug-ins parse ("<position>. <title> -
// Winamp", a state suffix when not playing).
class ProbePlaying : public ProbePlugin {
protected:
  static void SetUpTestSuite() {
    box_ = new ZulSandbox(L"probe_playing");
    const std::wstring tracks = BinDir() + L"\\playback_fixtures\\long\\";
    StartWithProbe(EncodeUtf8(tracks) + "l1.mp3\r\n" + EncodeUtf8(tracks) + "l2.mp3\r\n");
  }
  // Polls the title the plug-in reads until it is `expected`; the last one
  // read otherwise.
  static std::string TitleBecomes(const std::string& expected) {
    std::string text;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 20000; Sleep(20)) {
      text = Ask("title")["text"];
      if (text == expected) break;
    }
    return text;
  }
};

TEST_F(ProbePlaying, WinampWindowTitleShowsPositionTitleAndState) {
  EXPECT_EQ(TitleBecomes("1. l1 - Winamp"), "1. l1 - Winamp");
  Ask("command 40046");  // pause
  EXPECT_EQ(TitleBecomes("1. l1 - Winamp [Paused]"), "1. l1 - Winamp [Paused]");
  Ask("command 40046");  // resume
  EXPECT_EQ(TitleBecomes("1. l1 - Winamp"), "1. l1 - Winamp");
  Ask("command 40048");  // next
  EXPECT_EQ(TitleBecomes("2. l2 - Winamp"), "2. l2 - Winamp");
  Ask("command 40047");  // stop
  EXPECT_EQ(TitleBecomes("2. l2 - Winamp [Stopped]"), "2. l2 - Winamp [Stopped]");
}

// The same plug-in asking about a tagged track (the encoder wrote its
// title a1, artist Tester and album album_a): the answers are the entry's
// tags, read through the built-in input.
class ProbeTagged : public ProbePlugin {
protected:
  static void SetUpTestSuite() {
    box_ = new ZulSandbox(L"probe_tagged");
    StartWithProbe(EncodeUtf8(BinDir() + L"\\playback_fixtures\\albums\\album_a\\") + "a1.mp3\r\n");
  }
};

TEST_F(ProbeTagged, ExtendedFileInfoAnswersTheCurrentEntrysTags) {
  const struct {
    const char* name;
    const char* ret;
  } cases[] = {{"artist", "Tester"}, {"title", "a1"}, {"album", "album_a"}, {"filename", "a1.mp3"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Answer a = Ask(std::string("extinfo 64 ") + c.name);
    EXPECT_EQ(a["reply"], "record");
    EXPECT_EQ(a["ret"], c.ret);
  }
}

}  // namespace
}  // namespace zul::test
