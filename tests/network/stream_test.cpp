// The built-in MPEG input playing streams from loopback servers
// (icy_server.py), driven through its In_Module record as the host drives
// it, with a recording output: what reaches the output, the titles and
// status texts the host is told to show, and how each hostile server ends.
#include <windows.h>
#include <gtest/gtest.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "mpeg_input/module/block_render.h"
#include "mpeg_input/module/file_playback.h"
#include "mpeg_input/module/mpeg_in_module.h"
#include "tests/mpeg_input/module/recording_output.h"
#include "tests/support/zul_process.h"

namespace zul {
namespace {

using test::RecordingOutput;
using Clock = std::chrono::steady_clock;

// What the host window saw: every text its title query returned after an
// IPC_UPDTITLE (the status texts while preparing, the stream titles while
// playing), in order, without repeats; and the end-of-track messages.
std::vector<std::wstring> shown;
int eofCount = 0;

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_USER) {
    if (lParam == 0) return 0x5030;
    if (lParam == 243) {
      wchar_t title[260] = {};
      int length = 0;
      MpegInModule()->GetFileInfo(nullptr, title, &length);
      if (shown.empty() || shown.back() != title) shown.push_back(title);
    }
    return 0;
  }
  if (msg == WM_USER + 2) {
    ++eofCount;
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 60000) {
  auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (Clock::now() > end) return false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  return true;
}

void __cdecl NoVis(int, int) {}
void __cdecl NoDeInit() {}
void __cdecl NoPcm(void*, int, int, int) {}
int __cdecl Zero() { return 0; }
int __cdecl NoSaAdd(void*, int, int) { return 0; }
int __cdecl NoVsaMode(int*, int*) { return 0; }
int __cdecl NoVsaAdd(void*, int) { return 0; }
int __cdecl NoDsp(short*, int n, int, int, int) { return n; }
void __cdecl NoSetInfo(int, int, int, int) {}

std::wstring Url(const wchar_t* path, bool secure = false) {
  const char* port = std::getenv(secure ? "ZUL_TEST_HTTPS_PORT" : "ZUL_TEST_HTTP_PORT");
  std::wstring p = port ? std::wstring(port, port + std::strlen(port)) : L"1";
  return std::wstring(secure ? L"https" : L"http") + L"://127.0.0.1:" + p + path;
}

// The MP3 the servers send, decoded by the playback core as a file: 16-bit
// stereo. The stream starts at the same first frame; a file skips the
// decoder delay at its start, a stream does not, so the stream's output is
// this with a few hundred samples more in front.
std::vector<uint8_t> FileReference() {
  CMpegFilePlayback p;
  std::vector<uint8_t> out;
  const std::wstring path = test::BinDir() + L"\\stream_fixtures\\stream.mp3";
  if (!p.Open(std::filesystem::path(path), false) || !p.StartDecoding(CGainDecision{}, false)) return out;
  std::vector<uint8_t> block(CMpegFilePlayback::kBlockFrames * 4);
  for (;;) {
    double* samples = nullptr;
    bool ended = false;
    size_t frames = p.NextBlock(&samples, &ended);
    size_t bytes = RenderBlock(samples, frames, 2, CChannelOptions{}, SampleFormat::kInt16, block.data());
    out.insert(out.end(), block.begin(), block.begin() + bytes);
    if (ended) break;
  }
  return out;
}

// Where `part` starts in `whole` within the first `within` bytes; -1 if not.
ptrdiff_t Find(const std::vector<uint8_t>& whole, const std::vector<uint8_t>& part, size_t within) {
  if (part.empty() || whole.size() < part.size()) return -1;
  for (size_t at = 0; at <= within && at + part.size() <= whole.size(); at += 4)
    if (std::equal(part.begin(), part.end(), whole.begin() + static_cast<ptrdiff_t>(at)))
      return static_cast<ptrdiff_t>(at);
  return -1;
}

size_t PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX c{};
  c.cb = sizeof c;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&c), sizeof c);
  return c.PrivateUsage;
}

class Streaming : public testing::Test {
protected:
  static void SetUpTestSuite() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ZulStreamTestHost";
    RegisterClassW(&wc);
    host_ = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
    In_Module* m = MpegInModule();
    m->hMainWindow = host_;
    m->hDllInstance = GetModuleHandleW(nullptr);
    m->SAVSAInit = NoVis;
    m->SAVSADeInit = NoDeInit;
    m->SAAddPCMData = NoPcm;
    m->SAGetMode = Zero;
    m->SAAdd = NoSaAdd;
    m->VSAAddPCMData = NoPcm;
    m->VSAGetMode = NoVsaMode;
    m->VSAAdd = NoVsaAdd;
    m->VSASetInfo = NoVis;
    m->dsp_isactive = Zero;
    m->dsp_dosamples = NoDsp;
    m->SetInfo = NoSetInfo;
    m->outMod = RecordingOutput::Get().Module();
    m->Init();
  }
  static void TearDownTestSuite() {
    MpegInModule()->Quit();
    DestroyWindow(host_);
  }
  void SetUp() override {
    RecordingOutput::Get().Reset();
    RecordingOutput::Get().AllowAll();
    eofCount = 0;
    shown.clear();
  }
  void TearDown() override { MpegInModule()->Stop(); }

  static int Play(const std::wstring& url) { return MpegInModule()->Play(const_cast<wchar_t*>(url.c_str())); }
  static bool Shown(const std::wstring& text) { return std::find(shown.begin(), shown.end(), text) != shown.end(); }

  static HWND host_;
};
HWND Streaming::host_ = nullptr;

std::wstring Joined() {
  std::wstring s;
  for (auto& t : shown) s += L"[" + t + L"] ";
  return s;
}

TEST_F(Streaming, PlaysAnIcyStreamWithoutHolesAndShowsItsTitlesInOrder) {
  const std::vector<uint8_t> reference = FileReference();
  ASSERT_GT(reference.size(), 5u * 44100 * 4);
  ASSERT_EQ(Play(Url(L"/live.mp3")), 0);
  ASSERT_TRUE(PumpUntil([] { return eofCount == 1; })) << testing::PrintToString(Joined().size());
  std::vector<uint8_t> got = RecordingOutput::Get().Bytes();
  // Every sample of the file, in one piece: the metadata blocks were taken
  // out exactly and nothing was lost between the ring and the decoder.
  EXPECT_GE(Find(got, reference, 4 * 4096), 0) << got.size() << " bytes against " << reference.size();
  std::vector<test::RecordedCall> calls = RecordingOutput::Get().Calls();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls[0].name, "Open");
  EXPECT_EQ(calls[0].a, 44100);

  // The status texts, then the titles "Loop Artist - Title N (Loop FM)" with
  // N rising: the 96 kB body holds 11 blocks, the first ones arrive
  // before the output opens (no announcement then).
  EXPECT_TRUE(Shown(L"Connecting 127.0.0.1")) << Joined();
  EXPECT_TRUE(Shown(L"Searching frame")) << Joined();
  int last = 0, titles = 0;
  for (const std::wstring& t : shown) {
    int n = 0;
    if (swscanf(t.c_str(), L"Loop Artist - Title %d (Loop FM)", &n) != 1) continue;
    EXPECT_GT(n, last) << Joined();
    last = n;
    ++titles;
  }
  EXPECT_GE(titles, 3) << Joined();
  EXPECT_EQ(last, 11) << Joined();
}

// A raw "ICY 200 OK" answer: the icy headers reach the program inside the
// body, are taken out there, and the audio after them plays whole.
TEST_F(Streaming, RawIcyStatusLine) {
  const std::vector<uint8_t> reference = FileReference();
  ASSERT_EQ(Play(Url(L"/rawicy.mp3")), 0);
  ASSERT_TRUE(PumpUntil([] { return eofCount == 1; })) << Joined();
  EXPECT_GE(Find(RecordingOutput::Get().Bytes(), reference, 4 * 4096), 0);
  wchar_t title[260] = {};
  int length = 0;
  MpegInModule()->GetFileInfo(nullptr, title, &length);
  EXPECT_STREQ(title, L"Loop Artist - Title 11 (Loop FM)");
}

TEST_F(Streaming, PlaysOverTlsWithASelfSignedCertificate) {
  ASSERT_EQ(Play(Url(L"/live.mp3", true)), 0);
  ASSERT_TRUE(PumpUntil([] { return RecordingOutput::Get().ByteCount() > 44100 * 4; })) << Joined();
  wchar_t title[260] = {};
  int length = 0;
  MpegInModule()->GetFileInfo(nullptr, title, &length);
  EXPECT_EQ(length, -1000);
  EXPECT_EQ(MpegInModule()->is_seekable, 0);
}

// Servers that send what no station should: each ends in a clear way, and
// in time, with memory no larger than the ring allows.
TEST_F(Streaming, HostileServersEndCleanly) {
  const std::vector<uint8_t> reference = FileReference();
  struct Case {
    const wchar_t* path;
    const wchar_t* status;  // a status text the host must have shown; null: plays
    bool wholeFile;         // the output holds every sample of the file
  } cases[] = {
      {L"/garbage", L"Valid frame not found", false},
      {L"/meta255", nullptr, false},
      {L"/longtitle", nullptr, true},
      {L"/metaint0", nullptr, true},
      {L"/metaint-1", nullptr, true},
      {L"/metaint2g", nullptr, true},
      {L"/slow", L"Valid frame not found", false},
      {L"/midclose", nullptr, false},
      // WinInet (Wine's at least) takes any "ICY" status line for "HTTP/1.0
      // 200 OK" and leaves the header lines in the body: no audio follows.
      {L"/icy404", L"Valid frame not found", false},
      {L"/http404", L"404 Not Found", false},
      {L"/unknown", L"400 Bad Request", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.path);
    RecordingOutput::Get().Reset();
    RecordingOutput::Get().AllowAll();
    eofCount = 0;
    shown.clear();
    const size_t before = PrivateBytes();
    ASSERT_EQ(Play(Url(c.path)), 0);
    // Bounded by the server's pace: the slow one needs the synchroniser's
    // time-out, the others end as soon as their data does.
    ASSERT_TRUE(PumpUntil([] { return eofCount == 1; })) << Joined();
    const size_t grown = PrivateBytes() > before ? PrivateBytes() - before : 0;
    // The ring is 256 kB; the decoder, the recorded output and the heap's
    // slack stay well within this.
    EXPECT_LT(grown, 48u << 20);
    if (c.status) {
      EXPECT_TRUE(std::any_of(shown.begin(), shown.end(), [&](const std::wstring& t) {
        return t.find(c.status) != std::wstring::npos;
      })) << Joined();
      EXPECT_FALSE(RecordingOutput::Get().Has("Open"));
    }
    std::vector<uint8_t> got = RecordingOutput::Get().Bytes();
    if (c.wholeFile) EXPECT_GE(Find(got, reference, 4 * 4096), 0) << got.size();
    for (const std::wstring& t : shown) EXPECT_EQ(t.find(L"xxxxxxxx"), std::wstring::npos);
    if (std::wstring(c.path) == L"/longtitle") {
      // The titles came before the output opened; the last one stands.
      wchar_t title[260] = {};
      int length = 0;
      MpegInModule()->GetFileInfo(nullptr, title, &length);
      EXPECT_STREQ(title, L"Proper Title 10 (Loop FM)");
    }
    if (std::wstring(c.path) == L"/midclose") {
      // What came is played up to the cut, from the first sample on.
      std::vector<uint8_t> head(reference.begin(), reference.begin() + 44100 * 4);
      EXPECT_GE(Find(got, head, 4 * 4096), 0);
      EXPECT_LT(got.size(), reference.size() * 3 / 4);
    }
    MpegInModule()->Stop();
  }
}

// A server that takes the connection and answers nothing: Stop does not
// wait for it (its time-out is 10 s, its silence 20 s).
TEST_F(Streaming, StopDuringConnectDoesNotWaitForTheServer) {
  ASSERT_EQ(Play(Url(L"/hang")), 0);
  ASSERT_TRUE(PumpUntil([] { return Shown(L"Connecting 127.0.0.1"); })) << Joined();
  auto start = Clock::now();
  MpegInModule()->Stop();
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
  std::printf("Stop during connect took %lld ms\n", static_cast<long long>(ms));
  // Far from the server's 20 s; the 1 s target is measured by the bench.
  EXPECT_LT(ms, 5000);
  EXPECT_EQ(eofCount, 0);
  // The next play is not held up by the abandoned connection.
  ASSERT_EQ(Play(Url(L"/live.mp3")), 0);
  ASSERT_TRUE(PumpUntil([] { return RecordingOutput::Get().ByteCount() > 0; })) << Joined();
}

}  // namespace
}  // namespace zul
