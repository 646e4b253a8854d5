// The built-in MPEG input driven through its In_Module record, as the host
// drives it, with a recording output module: what reaches the output after
// Play, seeks and pauses, the clocks, titles, lengths and tag queries.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>

#include "base/win32_handles.h"
#include "mpeg_input/module/block_render.h"
#include "mpeg_input/module/file_playback.h"
#include "mpeg_input/module/mpeg_in_module.h"
#include "tests/mpeg_input/module/recording_output.h"
#include "tests/support/zul_process.h"

namespace zul {
namespace {

using test::RecordingOutput;

std::string Ansi(const std::wstring& w) {
  char buffer[MAX_PATH * 2] = {};
  WideCharToMultiByte(CP_ACP, 0, w.c_str(), -1, buffer, sizeof buffer - 1, nullptr, nullptr);
  return buffer;
}

std::wstring Fixture(const wchar_t* name) { return test::BinDir() + L"\\mpeg_module_fixtures\\" + name; }

// The host window: answers the version query, counts end-of-track messages
// and the preferences pages added.
int eofCount = 0;
int pagesAdded = 0;

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_USER) {
    if (lParam == 0) return 0x5030;
    if (lParam == 332) ++pagesAdded;
    if (lParam == 333) --pagesAdded;
    return 0;
  }
  if (msg == WM_USER + 2) {
    ++eofCount;
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// Pumps this thread's messages (the module's helper window lives here)
// until `done` or the deadline.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 30000) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(2);
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

// 16-bit output of the module's own playback core for the same file, from
// `ms` on (0: from the start), as the reference the record must reproduce.
std::vector<uint8_t> Reference(const std::wstring& path, double ms) {
  CMpegFilePlayback p;
  std::vector<uint8_t> out;
  if (!p.Open(std::filesystem::path(path), false) || !p.StartDecoding(CGainDecision{}, false)) return out;
  if (ms > 0 && !p.Seek(ms)) return out;
  std::vector<uint8_t> block(CMpegFilePlayback::kBlockFrames * 2 * 2);
  for (;;) {
    double* samples = nullptr;
    bool ended = false;
    size_t frames = p.NextBlock(&samples, &ended);
    size_t bytes = RenderBlock(samples, frames, p.Channels(), CChannelOptions{}, SampleFormat::kInt16, block.data());
    out.insert(out.end(), block.begin(), block.begin() + bytes);
    if (ended && !p.Resynchronise()) break;
  }
  return out;
}

class MpegModule : public testing::Test {
protected:
  static void SetUpTestSuite() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ZulMpegTestHost";
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
    eofCount = 0;
  }
  void TearDown() override { MpegInModule()->Stop(); }

  static In_Module* M() { return MpegInModule(); }
  static int Play(const std::wstring& path) { return M()->Play(const_cast<wchar_t*>(path.c_str())); }

  static HWND host_;
};
HWND MpegModule::host_ = nullptr;

TEST_F(MpegModule, RecordIsSetUpAsTheHostExpects) {
  In_Module* m = M();
  EXPECT_EQ(m->version, 0x0F000100);
  EXPECT_STREQ(m->description, "Kelsor mpg123 v1.0");
  EXPECT_EQ(std::string(m->FileExtensions), "MP3;MP2;MP1;RMP");
  EXPECT_EQ(m->UsesOutputPlug, 1);
  EXPECT_EQ(pagesAdded, 4);
  // Streams are claimed only with streaming on (off by default); local files
  // never, the host matches them by extension. No question changes the
  // extension list: local files are matched against it afterwards.
  for (const wchar_t* name : {L"http://example.invalid/a.mp3", L"mms://example.invalid/a", L"C:\\music\\b.ogg"}) {
    EXPECT_EQ(m->IsOurFile(const_cast<wchar_t*>(name)), 0);
    EXPECT_EQ(std::string(m->FileExtensions), "MP3;MP2;MP1;RMP");
  }

  // zul.exe exports the record and both information queries.
  HMODULE exe = LoadLibraryExW((test::BinDir() + L"\\zul.exe").c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
  ASSERT_TRUE(exe);
  for (const char* name : {"winampGetInModule2", "winampGetExtendedFileInfo", "winampGetExtendedFileInfoW"})
    EXPECT_TRUE(GetProcAddress(exe, name)) << name;
  FreeLibrary(exe);
}

TEST_F(MpegModule, PlaysAFileToTheEndExactlyAndPostsEndOfTrack) {
  const std::wstring path = Fixture(L"vbr.mp3");
  ASSERT_EQ(Play(path), 0);
  ASSERT_TRUE(PumpUntil([] { return eofCount == 1; }));
  std::vector<test::RecordedCall> calls = RecordingOutput::Get().Calls();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls[0].name, "Open");
  EXPECT_EQ(calls[0].a, 44100);
  EXPECT_EQ(calls[0].b, 2);
  EXPECT_EQ(calls[0].c, 16);
  std::vector<uint8_t> expected = Reference(path, 0);
  ASSERT_EQ(expected.size(), 3u * 44100 * 4);  // the source's length, to the sample
  EXPECT_TRUE(RecordingOutput::Get().Bytes() == expected);
  M()->Stop();
  EXPECT_TRUE(RecordingOutput::Get().Has("Close"));
}

// A seek lands where the playback core lands for the same time (the frame
// the seek table selects, decoded from before it), the output is flushed to
// that time, and the clocks agree afterwards.
TEST_F(MpegModule, SeeksInCbrWithoutTableOfContentsAndInVbr) {
  for (const wchar_t* name : {L"cbr_notoc.mp3", L"vbr.mp3"}) {
    SCOPED_TRACE(testing::Message() << name);
    RecordingOutput& out = RecordingOutput::Get();
    out.Reset();
    eofCount = 0;
    const std::wstring path = Fixture(name);
    const int seekMs = 1700;
    out.Allow(44100 * 4 / 2);  // half a second, then the output is full
    ASSERT_EQ(Play(path), 0);
    ASSERT_TRUE(PumpUntil([&] { return out.CanWrite() < 576 * 4; }));
    // While the seek is asked for and while it is carried out (the output
    // flushes in its middle), the position is its target.
    std::atomic<int> timeInFlush{-1};
    out.OnNext("Flush", [&] { timeInFlush = M()->GetOutputTime(); });
    M()->SetOutputTime(seekMs);
    // The target, or already the settled position after the seek (the
    // target less this output's latency), never the old position.
    EXPECT_GE(M()->GetOutputTime(), seekMs - RecordingOutput::kLatencyMs);
    // Seeking works while the output takes nothing.
    ASSERT_TRUE(PumpUntil([&] { return out.Has("Flush"); }));
    ASSERT_TRUE(PumpUntil([&] { return timeInFlush.load() != -1; }));
    EXPECT_EQ(timeInFlush.load(), seekMs);
    const size_t blocks = 10;
    out.Allow(blocks * 576 * 4);
    ASSERT_TRUE(PumpUntil([&] { return out.CanWrite() < 576 * 4; }));
    Sleep(50);  // the decode thread sees the full output and waits
    std::vector<test::RecordedCall> calls = out.Calls();
    size_t flushAt = 0;
    for (const auto& c : calls)
      if (c.name == "Flush") {
        EXPECT_EQ(c.a, seekMs);
        flushAt = c.byteOffset;
      }
    const size_t written = out.ByteCount() - flushAt;
    EXPECT_EQ(written, blocks * 576 * 4);
    // The decode clock (read through GetOutputTime) and the output agree:
    // seek time plus what was written, less what the output still holds.
    int expectedTime =
        static_cast<int>(std::lround(seekMs + written / 4 * 1000.0 / 44100)) - RecordingOutput::kLatencyMs;
    EXPECT_NEAR(M()->GetOutputTime(), expectedTime, 1);

    out.AllowAll();
    ASSERT_TRUE(PumpUntil([] { return eofCount == 1; }));
    std::vector<uint8_t> all = out.Bytes();
    std::vector<uint8_t> afterSeek(all.begin() + static_cast<ptrdiff_t>(flushAt), all.end());
    std::vector<uint8_t> expected = Reference(path, seekMs);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(afterSeek.size(), expected.size());
    EXPECT_TRUE(afterSeek == expected);
    M()->Stop();
  }
}

TEST_F(MpegModule, PauseReachesTheOutputAndIsReported) {
  RecordingOutput& out = RecordingOutput::Get();
  out.Allow(44100);
  ASSERT_EQ(Play(Fixture(L"vbr.mp3")), 0);
  ASSERT_TRUE(PumpUntil([&] { return out.Has("Write"); }));
  M()->Pause();
  EXPECT_EQ(M()->IsPaused(), 1);
  M()->UnPause();
  EXPECT_EQ(M()->IsPaused(), 0);
  std::vector<int> pauses;
  for (const auto& c : out.Calls())
    if (c.name == "Pause") pauses.push_back(c.a);
  EXPECT_EQ(pauses, (std::vector<int>{1, 0}));
  // Stop with the output full: the decode thread must still end at once.
  M()->Stop();
  EXPECT_TRUE(out.Has("Close"));
  EXPECT_EQ(eofCount, 0);
}

// An output or DSP plug-in may keep the decode thread longer than Stop is
// patient. Stop must still let the thread come back out of the plug-in and
// end by itself: a thread killed inside a call leaves the plug-in's, the
// heap's or libmpg123's locks held. The slow call is a Write while playing
// and a Flush in the middle of a seek.
TEST_F(MpegModule, StopWaitsForADecodeThreadInASlowPluginCallToEndByItself) {
  // Longer than any patience a Stop might have before it gives up on the
  // thread: the plug-in call is slow, not waited for.
  constexpr DWORD kSlowCallMs = 6000;
  for (const char* call : {"Write", "Flush"}) {
    SCOPED_TRACE(call);
    RecordingOutput& out = RecordingOutput::Get();
    out.Reset();
    Event inside(Event::Reset::Manual);
    out.OnNext(call, [&] {
      inside.Set();
      Sleep(kSlowCallMs);
    });
    const bool seeking = std::string(call) == "Flush";
    if (seeking) out.Allow(44100 * 4 / 2);  // the seek comes while the output is full
    ASSERT_EQ(Play(Fixture(L"vbr.mp3")), 0);
    if (seeking) {
      ASSERT_TRUE(PumpUntil([&] { return out.CanWrite() < 576 * 4; }));
      M()->SetOutputTime(1500);
    }
    ASSERT_TRUE(PumpUntil([&] { return WaitForSingleObject(inside.Get(), 0) == WAIT_OBJECT_0; }));
    M()->Stop();
    // The call came back before the output was closed: the thread left it.
    std::vector<std::string> names;
    for (const auto& c : out.Calls())
      if (c.name != "Write") names.push_back(c.name);
    const auto returned = std::find(names.begin(), names.end(), std::string(call) + " returned");
    const auto closed = std::find(names.begin(), names.end(), "Close");
    EXPECT_TRUE(returned != names.end()) << "the decode thread never came back from " << call;
    ASSERT_TRUE(closed != names.end());
    EXPECT_LT(returned - names.begin(), closed - names.begin())
        << "the output was closed before " << call << " returned";
    EXPECT_EQ(eofCount, 0);
  }
}

std::vector<std::string> CallNames() {
  std::vector<std::string> names;
  for (const auto& c : RecordingOutput::Get().Calls())
    if (c.name != "Write") names.push_back(c.name);
  return names;
}

// Dispatches what is queued for this thread now, without waiting.
void PumpQueued() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

// A track is stopped, and another started, at awkward moments: while the
// output opens (an output's Open may dispatch messages sent from elsewhere,
// as Wine's waveOutOpen does) and before the output was ever opened. The
// stopped track must leave nothing behind: no output left open, no end of
// track, no Open after its Stop; the next one plays whole.
TEST_F(MpegModule, AStopWhileTheOutputOpensOrBeforeItLeavesTheNextPlayAlone) {
  RecordingOutput& out = RecordingOutput::Get();
  const std::wstring next = Fixture(L"cbr_notoc.mp3");
  const std::vector<uint8_t> expected = Reference(next, 0);
  ASSERT_FALSE(expected.empty());

  out.OnNext("Open", [&] {
    M()->Stop();
    Play(next);
  });
  ASSERT_EQ(Play(Fixture(L"vbr.mp3")), 0);
  ASSERT_TRUE(PumpUntil([] { return eofCount == 1; }));
  std::vector<std::string> names = CallNames();
  ASSERT_GE(names.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 3),
            (std::vector<std::string>{"Open", "Close", "Open"}));
  EXPECT_TRUE(out.Bytes() == expected);
  M()->Stop();
  PumpQueued();
  EXPECT_EQ(eofCount, 1);

  // Stopped before its output opened: what its prepare step handed over is
  // dropped, whether it arrives before the next play or after.
  out.Reset();
  eofCount = 0;
  ASSERT_EQ(Play(Fixture(L"vbr.mp3")), 0);
  M()->Stop();
  PumpQueued();
  EXPECT_EQ(eofCount, 0);
  EXPECT_TRUE(CallNames().empty());
  ASSERT_EQ(Play(Fixture(L"vbr.mp3")), 0);
  M()->Stop();
  ASSERT_EQ(Play(next), 0);
  ASSERT_TRUE(PumpUntil([] { return eofCount == 1; }));
  names = CallNames();
  EXPECT_EQ(std::count(names.begin(), names.end(), "Open"), 1);
  EXPECT_TRUE(out.Bytes() == expected);
}

// The end of a track that a Stop overtook belongs to no track any more: the
// host would take it for the end of whatever it plays next (or, stopped,
// move on through the playlist by itself).
TEST_F(MpegModule, AnEndOfTrackPostedBeforeAStopIsDropped) {
  auto waitForPosted = [] {
    const auto start = std::chrono::steady_clock::now();
    while (!(HIWORD(GetQueueStatus(QS_POSTMESSAGE)) & QS_POSTMESSAGE) &&
           std::chrono::steady_clock::now() - start < std::chrono::seconds(30))
      Sleep(2);
  };
  ASSERT_EQ(Play(Fixture(L"noframe.mp3")), 0);
  // The prepare step announces its failure as the title, waits for the host
  // to fetch it, then posts the end of track to this thread.
  waitForPosted();
  PumpQueued();
  wchar_t title[260];
  int length = 0;
  M()->GetFileInfo(nullptr, title, &length);
  waitForPosted();
  M()->Stop();
  PumpQueued();
  PumpQueued();
  EXPECT_EQ(eofCount, 0);
}

TEST_F(MpegModule, AFileWithoutFramesEndsWithItsStatusAsTitle) {
  ASSERT_EQ(Play(Fixture(L"noframe.mp3")), 0);
  ASSERT_TRUE(PumpUntil([] { return eofCount == 1; }));
  wchar_t title[260] = L"x";
  int length = 0;
  M()->GetFileInfo(nullptr, title, &length);
  EXPECT_STREQ(title, L"Valid frame not found");
  EXPECT_FALSE(RecordingOutput::Get().Has("Open"));
  EXPECT_EQ(M()->GetOutputTime(), 0);
}

TEST_F(MpegModule, TitlesLengthsAndTagQueriesComeFromTheFile) {
  const std::wstring vbr = Fixture(L"vbr.mp3");
  wchar_t title[260] = {};
  int length = 0;
  M()->GetFileInfo(const_cast<wchar_t*>(vbr.c_str()), title, &length);
  EXPECT_STREQ(title, L"Artist - Title");
  EXPECT_EQ(length, 3000);

  // No tags: the name without folder and extension.
  const std::wstring cbr = Fixture(L"cbr_notoc.mp3");
  M()->GetFileInfo(const_cast<wchar_t*>(cbr.c_str()), title, &length);
  EXPECT_STREQ(title, L"cbr_notoc");
  EXPECT_NEAR(length, 3000, 30);  // from the bitrate: no frame count

  const std::wstring none = Fixture(L"noframe.mp3");
  M()->GetFileInfo(const_cast<wchar_t*>(none.c_str()), title, &length);
  EXPECT_EQ(length, -1000);
  EXPECT_EQ(std::wstring(title), none);

  M()->GetFileInfo(const_cast<wchar_t*>(L"http://example.invalid/stream"), title, &length);
  EXPECT_EQ(length, -1000);
  EXPECT_STREQ(title, L"");

  wchar_t value[64] = {};
  EXPECT_EQ(MpegGetExtendedFileInfoW(vbr.c_str(), L"Artist", value, 64), 1);
  EXPECT_STREQ(value, L"Artist");
  EXPECT_EQ(MpegGetExtendedFileInfoW(vbr.c_str(), L"album", value, 64), 1);
  EXPECT_STREQ(value, L"Album");
  EXPECT_EQ(MpegGetExtendedFileInfoW(vbr.c_str(), L"length", value, 64), 1);
  EXPECT_STREQ(value, L"3000");
  EXPECT_EQ(MpegGetExtendedFileInfoW(vbr.c_str(), L"bitrate", value, 64), 0);
  char narrow[64] = {};
  EXPECT_EQ(MpegGetExtendedFileInfoA(Ansi(vbr).c_str(), "title", narrow, 64), 1);
  EXPECT_STREQ(narrow, "Title");
}

}  // namespace
}  // namespace zul
