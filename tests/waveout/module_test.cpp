// The output module through its Out_Module record under Wine: what it tells
// the host, what Open reports for the stored settings, the ring's room, the
// extensible-format retry, and calls without an open device.
#include <windows.h>
#include <gtest/gtest.h>
// mmsystem.h needs the types windows.h declares.
#include <mmsystem.h>

#include <cstring>

#include "pluginhost/protocol/winamp_messages.h"
#include "tests/waveout/module_harness.h"
#include "tests/waveout/tone_analysis.h"
#include "waveout/waveout_module.h"
#include "waveout/waveout_output.h"
#include "waveout/waveout_prefs.h"
#include "waveout/waveout_settings_file.h"

namespace zul::test {
namespace {

class WaveOutModuleTest : public ::testing::Test {
protected:
  void SetUp() override {
    DeleteFileW(WaveOutSettingsPath().c_str());
    out = StartModule(host);
  }
  void TearDown() override { StopModule(out); }

  CFakeHost host{255};
  Out_Module* out = nullptr;
};

TEST_F(WaveOutModuleTest, RecordIsCompleteAndTalksToTheHost) {
  EXPECT_EQ(out->version, 0);
  EXPECT_EQ(out->id, 0);
  ASSERT_NE(out->description, nullptr);
  EXPECT_GT(std::strlen(out->description), 0u);
  for (auto fn :
       {(void*)out->Config, (void*)out->About, (void*)out->Init, (void*)out->Quit, (void*)out->Open, (void*)out->Close,
        (void*)out->Write, (void*)out->CanWrite, (void*)out->IsPlaying, (void*)out->Pause, (void*)out->SetVolume,
        (void*)out->SetPan, (void*)out->Flush, (void*)out->GetOutputTime, (void*)out->GetWrittenTime})
    EXPECT_NE(fn, nullptr);

  // Init asked for the volume, then added its page.
  ASSERT_EQ(host.calls.size(), 2u);
  EXPECT_EQ(host.calls[0].ipc, IPC_SETVOLUME);
  EXPECT_EQ(static_cast<int>(host.calls[0].data), -666);
  EXPECT_EQ(host.calls[1].ipc, IPC_ADD_PREFS_DLG);
  auto* page = reinterpret_cast<_prefsDlgRec*>(host.calls[1].data);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->hInst, GetModuleHandleW(nullptr));
  EXPECT_EQ(page->dlgID, 2998);
  EXPECT_STREQ(page->name, "Plugins::Output::Standard plugin");
  EXPECT_EQ(page->where, 4);
  EXPECT_EQ(page->_id, 5);

  out->Config(nullptr);
  ASSERT_EQ(host.calls.size(), 3u);
  EXPECT_EQ(host.calls[2].ipc, IPC_OPENPREFSTOPAGE);
  EXPECT_EQ(host.calls[2].data, reinterpret_cast<WPARAM>(page));
  out->Quit();
  ASSERT_EQ(host.calls.size(), 4u);
  EXPECT_EQ(host.calls[3].ipc, IPC_REMOVE_PREFS_DLG);
  EXPECT_EQ(host.calls[3].data, reinterpret_cast<WPARAM>(page));
  out->Init();  // TearDown quits again
}

TEST_F(WaveOutModuleTest, OpenReportsTheLatencyOfTheStoredRing) {
  struct Case {
    WaveOutSettings stored;
    bool store;
    int latency;  // 44.1 kHz, 16-bit stereo
  };
  const Case cases[] = {
      {{}, false, 975},                           // nothing stored: 20 x 8192
      {{1, 100, 1, 0, -1, 1}, true, 17},          // clamped to 2 x 1024
      {{60, 1 << 20, 1, 0, -1, 1}, true, 18947},  // clamped to 50 x 65536
      {{20, 8192, 1, 0, 7, 1}, true, 975},        // no device 7: the wave mapper plays
      {{4, 4096, 1, 0, 0, 1}, true, 116},         // the first device by index
  };
  for (const Case& c : cases) {
    DeleteFileW(WaveOutSettingsPath().c_str());
    if (c.store) {
      ASSERT_TRUE(SaveWaveOutSettings(WaveOutSettingsPath(), c.stored));
    }
    EXPECT_EQ(out->Open(44100, 2, 16, -1, -1), c.latency) << "block count " << c.stored.blockCount;
    EXPECT_EQ(out->CanWrite(), WaveOutOutput().Stats().blockCount * WaveOutOutput().Stats().blockSize);
    out->Close();
  }
  // A record damaged on disk (its checksum fails) loads as the defaults.
  SaveWaveOutSettings(WaveOutSettingsPath(), {4, 4096, 1, 0, -1, 1});
  wchar_t stored[128];
  GetPrivateProfileStringW(L"out_ivwave", L"config", L"", stored, 128, WaveOutSettingsPath().c_str());
  std::wstring damaged = stored;
  damaged[0] = damaged[0] == L'0' ? L'1' : L'0';
  WritePrivateProfileStringW(L"out_ivwave", L"config", damaged.c_str(), WaveOutSettingsPath().c_str());
  EXPECT_EQ(out->Open(44100, 2, 16, -1, -1), 975);
}

TEST_F(WaveOutModuleTest, ShortWriteStaysInTheRingAndShrinksCanWrite) {
  ASSERT_EQ(out->Open(44100, 2, 16, 0, 0), 975);
  EXPECT_EQ(out->CanWrite(), 20 * 8192);
  EXPECT_EQ(out->IsPlaying(), 0);
  std::string pcm = Bytes(Sine(1000, 0.1, 44100, 2, 250));  // 1000 bytes
  EXPECT_EQ(out->Write(pcm.data(), 1000), 0);
  EXPECT_EQ(out->CanWrite(), 20 * 8192 - 1000);
  EXPECT_EQ(WaveOutOutput().Stats().usedBlocks, 0);
  EXPECT_EQ(out->GetWrittenTime(), 6);  // 1000 / 176400 s
  // Waiting for the end sends the tail to the device, and it plays out.
  EXPECT_TRUE(WaitUntilPlayed(out));
  EXPECT_EQ(out->CanWrite(), 20 * 8192);
}

TEST_F(WaveOutModuleTest, RefusedPlainFormatIsRetriedAsExtensible) {
  // Wine's driver takes 4-channel 32-bit audio only in the extensible form.
  ASSERT_EQ(out->Open(44100, 4, 32, 0, 0), 244);  // 21 x 8192 bytes at 705600 bytes/s
  WaveOutStats stats = WaveOutOutput().Stats();
  EXPECT_TRUE(stats.extensible);
  EXPECT_EQ(FormatWaveOutStats(stats).pcmConversion, L"Active");
  EXPECT_EQ(FormatWaveOutStats(stats).pcmFormat, L"44100 Hz, 32bit, 4ch");
  out->Close();
  ASSERT_EQ(out->Open(44100, 2, 16, 0, 0), 975);
  EXPECT_FALSE(WaveOutOutput().Stats().extensible);
  out->Close();

  ASSERT_TRUE(SaveWaveOutSettings(WaveOutSettingsPath(), {20, 8192, 1, 0, -1, 0}));
  EXPECT_EQ(out->Open(44100, 4, 32, 0, 0), -1);
  EXPECT_EQ(out->CanWrite(), 0);  // nothing stayed open
  EXPECT_EQ(out->IsPlaying(), 0);
}

TEST_F(WaveOutModuleTest, CallsWithoutAnOpenDeviceAreHarmless) {
  char data[64] = {};
  EXPECT_EQ(out->Write(data, sizeof data), 0);
  EXPECT_EQ(out->CanWrite(), 0);
  EXPECT_EQ(out->IsPlaying(), 0);
  EXPECT_EQ(out->GetOutputTime(), 0);
  EXPECT_EQ(out->GetWrittenTime(), 0);
  EXPECT_EQ(out->Pause(1), 0);
  EXPECT_EQ(out->Pause(0), 1);
  out->SetVolume(100);
  out->SetPan(-50);
  out->Flush(5000);
  out->Close();
  EXPECT_EQ(out->GetOutputTime(), 0);
  // Formats no device can take fail cleanly.
  EXPECT_EQ(out->Open(0, 2, 16, 0, 0), -1);
  EXPECT_EQ(out->Open(44100, 0, 16, 0, 0), -1);
  EXPECT_EQ(out->Open(44100, 2, 0, 0, 0), -1);
  EXPECT_EQ(out->CanWrite(), 0);
}

TEST_F(WaveOutModuleTest, PageListsTheDevices) {
  auto names = WaveOutDeviceNames();
  ASSERT_EQ(names.size(), waveOutGetNumDevs() + 1);
  EXPECT_EQ(names[0], L"Wave Mapper");
  for (size_t i = 1; i < names.size(); ++i) EXPECT_FALSE(names[i].empty());
}

}  // namespace
}  // namespace zul::test
