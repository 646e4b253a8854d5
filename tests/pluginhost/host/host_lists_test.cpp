// The plug-in lists through the real LoadLibraryW path: loading from and
// saving to the settings file, filling the records, choosing a plug-in for
// a location, and the file names ANSI and Unicode plug-ins receive.
#include <gtest/gtest.h>

#include "base/profile_file.h"
#include "equalizer/equalizer.h"
#include "pluginhost/host/dll_gen.h"
#include "pluginhost/host/dll_input_list.h"
#include "pluginhost/host/dll_output.h"
#include "pluginhost/host/host_callbacks.h"
#include "pluginhost/protocol/builtin_modules.h"
#include "tests/pluginhost/host/host_fixture.h"

namespace zul::test {
namespace {

class PluginLists : public ::testing::Test {
protected:
  void SetUp() override {
    dir = MakeTempDir(L"lists");
    ini = dir + L"\\zul.ini";
    window = CreateWinampStandIn();
    ResetBuiltins();
    OnIpc = nullptr;
  }
  void TearDown() override {
    generals.UnloadAll();
    inputs.UnloadAll();
    outputs.UnloadAll();
    DestroyWindow(window);
  }
  void Load(const std::wstring& lines) {
    WriteIni(ini, lines);
    ProfileFileReader reader(ini);
    inputs.LoadFromSettings(reader, window);
    outputs.LoadFromSettings(reader, window);
    generals.LoadFromSettings(reader, window);
  }
  std::vector<std::wstring> Names(std::initializer_list<const PluginCopy*> copies) {
    std::vector<std::wstring> names;
    for (const PluginCopy* c : copies) names.push_back(c ? c->path() : L"STANDARD");
    return names;
  }

  std::wstring dir, ini;
  HWND window = nullptr;
  MessageBoxCatcher boxes;
  CDllInputList inputs;
  CDllOutputList outputs;
  CDllGenList generals;
};

TEST_F(PluginLists, MissingDllThenNoneGivesOneMessageAndStandardIsSavedThenNone) {
  Load(L"dllInName0=" + dir + L"\\in_missing.dll\r\ndllInName1=NONE\r\ndllInName2=" + dir + L"\\in_later.dll\r\n");
  ASSERT_TRUE(boxes.WaitFor(1, 10000));
  Sleep(200);  // a second box would show up by now
  auto seen = boxes.Boxes();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].caption, L"ZUL");
  EXPECT_EQ(seen[0].text, L"Failed to load the input plugin in_missing.dll");
  EXPECT_EQ(inputs.Names(), std::vector<std::wstring>{L"STANDARD"});
  // Nothing listed for outputs and general plug-ins: the built-in output only.
  EXPECT_EQ(outputs.Names(), std::vector<std::wstring>{L"STANDARD"});
  EXPECT_EQ(generals.Count(), 0);

  EXPECT_TRUE(inputs.SaveAndUnload(ini));
  EXPECT_EQ(IniValue(ini, L"dllInName0"), L"STANDARD");
  EXPECT_EQ(IniValue(ini, L"dllInName1"), L"NONE");
  EXPECT_EQ(inputs.Count(), 0);
}

TEST_F(PluginLists, StandardOnceWhereListedFirstOrAfterTheLast) {
  PluginCopy a(L"in_fake_ansi.dll", dir, L"in_a.dll"), w(L"in_fake_wide.dll", dir, L"in_w.dll");
  PluginCopy out(L"out_fake.dll", dir, L"out_o.dll");
  Load(L"dllInName0=STANDARD\r\ndllInName1=" + a.path() + L"\r\ndllInName2=STANDARD\r\ndllInName3=" + w.path() +
       L"\r\ndllOutName0=" + out.path() + L"\r\ndllOutName1=NONE\r\n");
  EXPECT_EQ(inputs.Names(), Names({nullptr, &a, &w}));
  EXPECT_EQ(outputs.Names(), Names({&out, nullptr}));
  EXPECT_EQ(inputs.Current(), inputs.At(0));
  EXPECT_TRUE(boxes.Boxes().empty());

  EXPECT_TRUE(outputs.SaveAndUnload(ini));
  EXPECT_EQ(IniValue(ini, L"dllOutName0"), out.path());
  EXPECT_EQ(IniValue(ini, L"dllOutName1"), L"STANDARD");
  EXPECT_EQ(IniValue(ini, L"dllOutName2"), L"NONE");
}

TEST_F(PluginLists, UnusableDllsAreDroppedWithTheirKindsMessage) {
  PluginCopy out(L"out_fake.dll", dir, L"out_as_gen.dll");
  PluginCopy a(L"in_fake_ansi.dll", dir, L"in_norecord.dll");
  InputControls(a).SetInt("NoRecord", 1);
  Load(L"dllInName0=" + a.path() + L"\r\ndllOutName0=" + dir + L"\\out_missing.dll\r\ndllGenName0=" + out.path() +
       L"\r\ndllGenName1=STANDARD\r\n");
  ASSERT_TRUE(boxes.WaitFor(3, 10000));
  std::vector<std::wstring> texts;
  for (auto& b : boxes.Boxes()) texts.push_back(b.text);
  EXPECT_EQ(texts, (std::vector<std::wstring>{L"Failed to load the input plugin in_norecord.dll",
                                              L"Failed to load the output plugin out_missing.dll",
                                              L"Failed to load the gen plugin out_as_gen.dll"}));
  EXPECT_EQ(inputs.Names(), std::vector<std::wstring>{L"STANDARD"});
  EXPECT_EQ(outputs.Names(), std::vector<std::wstring>{L"STANDARD"});
  EXPECT_EQ(generals.Count(), 0);  // "STANDARD" is no general plug-in
}

TEST_F(PluginLists, NullMembersComeFromTheBuiltInButInitAndQuitAreNeverLent) {
  PluginCopy a(L"in_fake_ansi.dll", dir, L"in_nulls.dll");
  InputControls in(a);
  in.SetNull("Config,Play,GetLength,Init,Quit,EQSet");
  ASSERT_TRUE(inputs.Add(a.path(), window));
  CDllInput* p = inputs.At(0);
  const In_Module* builtin = BuiltinInModule();
  EXPECT_EQ(p->module()->Config, builtin->Config);
  EXPECT_EQ(p->module()->EQSet, builtin->EQSet);
  EXPECT_NE(p->module()->Init, builtin->Init);
  EXPECT_NE(p->module()->Init, nullptr);
  p->Config(window);
  EXPECT_EQ(BuiltinCalls("Config"), 1);
  EXPECT_EQ(inputs.PlayFile(L"C:\\x.tst"), 0);
  EXPECT_EQ(BuiltinCalls("Play"), 1);
  EXPECT_EQ(p->GetLength(), 42);
  EXPECT_EQ(p->GetOutputTime(), 567);  // its own
  inputs.RemoveAt(0);
  EXPECT_EQ(BuiltinCalls("Init"), 0);
  EXPECT_EQ(BuiltinCalls("Quit"), 0);

  PluginCopy o(L"out_fake.dll", dir, L"out_nulls.dll");
  auto setNull = o.Export<void (*)(const char*)>("TestOutSetNull");
  setNull("Open");
  setNull("Write");
  ASSERT_TRUE(outputs.Add(o.path(), window));
  EXPECT_EQ(outputs.At(0)->module()->Open, BuiltinOutModule()->Open);
  EXPECT_EQ(outputs.At(0)->module()->Write, BuiltinOutModule()->Write);

  PluginCopy g(L"gen_fake.dll", dir, L"gen_nulls.dll");
  GeneralControls gen(g);
  gen.Set("nullInit", 1);
  gen.Set("nullConfig", 1);
  gen.Set("nullQuit", 1);
  ASSERT_TRUE(generals.Add(g.path(), window));
  winampGeneralPurposePlugin* r = generals.At(0)->record();
  EXPECT_TRUE(r->init && r->config && r->quit);
  EXPECT_EQ(r->hwndParent, window);
  EXPECT_EQ(r->hDllInstance, g.module());
  generals.Config(0);
  generals.RemoveAt(0);
  EXPECT_EQ(gen.Get("initCalls") + gen.Get("configCalls") + gen.Get("quitCalls"), 0);
}

TEST_F(PluginLists, RecordsGetTheWindowTheInstanceAndTheHostCallbacks) {
  PluginCopy a(L"in_fake_ansi.dll", dir, L"in_a.dll"), own(L"in_fake_ansi.dll", dir, L"in_own.dll");
  InputControls inA(a), inOwn(own);
  inOwn.SetInt("OwnSetInfo", 1);
  ASSERT_TRUE(inputs.Add(a.path(), window));
  ASSERT_TRUE(inputs.Add(own.path(), window));
  In_Module* m = inputs.At(0)->module();
  EXPECT_EQ(m->hMainWindow, window);
  EXPECT_EQ(m->hDllInstance, a.module());
  EXPECT_EQ(inA.Calls("Init"), 1);
  for (auto member : {(void*)m->SAVSAInit, (void*)m->SAVSADeInit, (void*)m->SAAddPCMData, (void*)m->SAGetMode,
                      (void*)m->SAAdd, (void*)m->VSAAddPCMData, (void*)m->VSAGetMode, (void*)m->VSAAdd,
                      (void*)m->VSASetInfo, (void*)m->dsp_isactive, (void*)m->dsp_dosamples, (void*)m->SetInfo})
    EXPECT_NE(member, nullptr);

  // The built-in module is readied with every record created.
  In_Module* builtin = BuiltinInModule();
  EXPECT_EQ(builtin->hMainWindow, window);
  EXPECT_EQ(builtin->hDllInstance, GetModuleHandleW(nullptr));
  EXPECT_STREQ(builtin->description, "ZUL standard MPEG audio input");
  EXPECT_EQ(builtin->SetInfo, m->SetInfo);

  // SetInfo stores its arguments as given, -1 included.
  inA.CallSetInfo(128, 44100, 2, 1);
  HostPlaybackInfo info = ReadHostPlaybackInfo();
  EXPECT_EQ(info.bitrate, 128);
  EXPECT_EQ(info.sampleRate, 44100);
  EXPECT_EQ(info.channels, 2);
  EXPECT_EQ(info.synched, 1);
  inA.CallSetInfo(-1, 22050, -1, 0);
  info = ReadHostPlaybackInfo();
  EXPECT_EQ(info.bitrate, -1);
  EXPECT_EQ(info.channels, -1);

  // A plug-in with its own SetInfo keeps it; the host's information stays.
  inOwn.CallSetInfo(320, 48000, 1, 1);
  EXPECT_EQ(inOwn.GetInt("ownSetInfoCalls"), 1);
  EXPECT_EQ(ReadHostPlaybackInfo().bitrate, -1);

  // The DSP callbacks are the equalizer's: untouched audio for formats it
  // does not filter, and its on/off state.
  ASSERT_TRUE(EqInit());
  short samples[6 * 4] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  short copy[6 * 4];
  memcpy(copy, samples, sizeof samples);
  EXPECT_EQ(m->dsp_dosamples(samples, 4, 16, 6, 44100), 4);
  EXPECT_EQ(memcmp(samples, copy, sizeof samples), 0);
  TheEqualizer()->SetEnabled(true);
  EXPECT_EQ(m->dsp_isactive(), 1);
  TheEqualizer()->SetEnabled(false);
  EXPECT_EQ(m->dsp_isactive(), 0);
  EqQuit();
}

TEST_F(PluginLists, OutputsInitAtLoadAndTheFirstIsEveryInputsOutMod) {
  PluginCopy o1(L"out_fake.dll", dir, L"out_1.dll"), o2(L"out_fake.dll", dir, L"out_2.dll");
  PluginCopy a(L"in_fake_ansi.dll", dir, L"in_a.dll");
  auto calls1 = o1.Export<const char* (*)()>("TestOutCalls");
  auto calls2 = o2.Export<const char* (*)()>("TestOutCalls");
  o1.Export<void (*)()>("TestOutReset")();
  o2.Export<void (*)()>("TestOutReset")();
  Load(L"dllInName0=" + a.path() + L"\r\ndllOutName0=" + o1.path() + L"\r\n");
  EXPECT_STREQ(calls1(), "winampGetOutModule;Init;");
  EXPECT_EQ(outputs.At(0)->module()->hMainWindow, window);

  inputs.SetOutModAll(outputs.CurrentModule());
  EXPECT_EQ(inputs.At(0)->module()->outMod, outputs.At(0)->module());
  EXPECT_EQ(inputs.At(1)->module()->outMod, outputs.At(0)->module());  // "STANDARD" too

  // Added outputs wait for the next start unless they become current; one
  // never initialised is not asked to quit.
  ASSERT_TRUE(outputs.Add(o2.path(), window));
  EXPECT_STREQ(calls2(), "winampGetOutModule;");
  outputs.RemoveAt(2);
  EXPECT_STREQ(calls2(), "winampGetOutModule;");
  outputs.RemoveAt(0);
  EXPECT_STREQ(calls1(), "winampGetOutModule;Init;Quit;");
  EXPECT_EQ(outputs.CurrentModule(), BuiltinOutModule());
  outputs.RemoveAt(0);
  EXPECT_EQ(outputs.CurrentModule(), BuiltinOutModule());  // never a null outMod
}

TEST_F(PluginLists, ChoosingByExtensionInListOrder) {
  PluginCopy a(L"in_fake_ansi.dll", dir, L"in_a.dll"), w(L"in_fake_wide.dll", dir, L"in_w.dll");
  InputControls inA(a), inW(w);
  inA.Extensions("ogg;mp3\0Audio\0");
  inW.Extensions("MP3\0MPEG\0");
  Load(L"dllInName0=" + a.path() + L"\r\ndllInName1=" + w.path() + L"\r\n");

  EXPECT_EQ(inputs.PlayFile(L"C:\\Music\\SONG.Mp3"), 0);
  EXPECT_EQ(inA.Calls("Play"), 1);
  EXPECT_EQ(inW.Calls("Play"), 0);
  EXPECT_EQ(inA.Calls("IsOurFile"), 0);  // files are matched by extension only
  EXPECT_EQ(inputs.Current(), inputs.At(0));
  EXPECT_EQ(inputs.GetState(), PlayState::Playing);

  // Playing again stops the current plug-in first.
  EXPECT_EQ(inputs.PlayFile(L"C:\\Music\\other.mp3"), 0);
  EXPECT_EQ(inA.Calls("Stop"), 1);

  // Nobody: -1, the last entry ("STANDARD", appended) is current, stopped.
  EXPECT_EQ(inputs.PlayFile(L"C:\\Music\\a.flac"), -1);
  EXPECT_EQ(inputs.Current(), inputs.At(2));
  EXPECT_EQ(inputs.GetState(), PlayState::Stopped);
  EXPECT_EQ(BuiltinCalls("Play"), 0);

  std::wstring title = L"stale";
  int length = 99;
  const std::wstring unknown = L"C:\\a.flac";
  inputs.GetFileInfo(&unknown, title, length);
  EXPECT_EQ(title, L"");
  EXPECT_EQ(length, 0);
  EXPECT_EQ(inputs.InfoBox(L"C:\\a.flac", window), -1);
  wchar_t ret[64] = L"stale";
  EXPECT_EQ(inputs.GetExtendedFileInfo(L"C:\\a.flac", L"artist", ret, 64), -1);
  EXPECT_EQ(ret[0], L'\0');
}

TEST_F(PluginLists, TheBuiltInListedFirstIsTriedFirst) {
  PluginCopy a(L"in_fake_ansi.dll", dir, L"in_a.dll");
  InputControls inA(a);
  inA.Extensions("mp3\0MPEG\0");
  Load(L"dllInName0=STANDARD\r\ndllInName1=" + a.path() + L"\r\n");
  EXPECT_EQ(inputs.PlayFile(L"C:\\song.mp3"), 0);
  EXPECT_EQ(BuiltinCalls("Play"), 1);
  EXPECT_EQ(inA.Calls("Play"), 0);
  // The built-in answering "file not found" lets the next one try.
  SetBuiltinPlayResult(-1);
  EXPECT_EQ(inputs.PlayFile(L"C:\\song.mp3"), 0);
  EXPECT_EQ(inA.Calls("Play"), 1);
  EXPECT_EQ(inputs.Current(), inputs.At(1));
}

TEST_F(PluginLists, PlayResultsFallThroughOnlyForFiles) {
  PluginCopy a(L"in_fake_ansi.dll", dir, L"in_a.dll"), b(L"in_fake_ansi.dll", dir, L"in_b.dll");
  InputControls inA(a), inB(b);
  inA.Extensions("abc\0A\0");
  inB.Extensions("abc\0B\0");
  Load(L"dllInName0=" + a.path() + L"\r\ndllInName1=" + b.path() + L"\r\n");

  struct Case {
    const wchar_t* location;
    int playA, claimA, playB, claimB;
    int result, playsA, playsB;
  } cases[] = {
      // A file: -1 (not found) moves on, anything else is final.
      {L"C:\\x.abc", -1, 0, 0, 0, 0, 1, 1},
      {L"C:\\x.abc", 5, 0, 0, 0, 5, 1, 0},
      {L"C:\\x.abc", -1, 0, -1, 0, -1, 1, 1},
      // A stream: the first claimant's answer is final and -1 becomes 1.
      {L"http://radio/live.abc", -1, 1, 0, 1, 1, 1, 0},
      {L"http://radio/live.abc", 0, 0, 0, 1, 0, 0, 1},
      // A stream named like a known extension is not matched by it.
      {L"http://radio/live.abc", 0, 0, 0, 0, -1, 0, 0},
  };
  for (const Case& c : cases) {
    inA.Reset();
    inB.Reset();
    inA.Extensions("abc\0A\0");
    inB.Extensions("abc\0B\0");
    inA.SetInt("Play", c.playA);
    inA.SetInt("IsOurFile", c.claimA);
    inB.SetInt("Play", c.playB);
    inB.SetInt("IsOurFile", c.claimB);
    std::string where(c.location, c.location + wcslen(c.location));
    EXPECT_EQ(inputs.PlayFile(c.location), c.result) << where;
    EXPECT_EQ(inA.Calls("Play"), c.playsA) << where;
    EXPECT_EQ(inB.Calls("Play"), c.playsB) << where;
    EXPECT_EQ(inputs.GetState(), c.result == 0 ? PlayState::Playing : PlayState::Stopped) << where;
    inputs.Stop();
  }
  // Streams ask IsOurFile in order until one claims.
  inA.Reset();
  inB.Reset();
  inB.SetInt("IsOurFile", 7);
  EXPECT_EQ(inputs.AnyClaims(L"http://radio/x"), 7);
  EXPECT_EQ(inA.Calls("IsOurFile"), 1);
}

TEST_F(PluginLists, AnsiNamesAreCutTo254BytesAndUnicodeNamesPassWhole) {
  PluginCopy a(L"in_fake_ansi.dll", dir, L"in_a.dll"), w(L"in_fake_wide.dll", dir, L"in_w.dll");
  InputControls inA(a), inW(w);
  inA.Extensions("abc\0A\0");
  inW.Extensions("xyz\0W\0");
  Load(L"dllInName0=" + a.path() + L"\r\ndllInName1=" + w.path() + L"\r\n");
  EXPECT_FALSE(inputs.At(0)->IsUnicode());
  EXPECT_TRUE(inputs.At(1)->IsUnicode());

  const std::wstring longName = L"C:\\" + std::wstring(300, L'n') + L".abc";
  EXPECT_EQ(inputs.PlayFile(longName), 0);
  std::string got = static_cast<const char*>(inA.LastFile("Play"));
  EXPECT_EQ(got.size(), 254u);
  EXPECT_EQ(got, std::string(longName.begin(), longName.begin() + 254));

  // The ANSI code page (1252 here): "é" is one byte each way, and the
  // title the plug-in writes comes back as UTF-16.
  const std::wstring accented = L"C:\\caf\u00e9.abc";
  std::wstring title;
  int length = 0;
  inputs.GetFileInfo(&accented, title, length);
  EXPECT_STREQ(static_cast<const char*>(inA.LastFile("GetFileInfo")), "C:\\caf\xe9.abc");
  EXPECT_EQ(title, L"T:" + accented);
  EXPECT_EQ(length, 1234);

  const std::wstring wide = L"C:\\" + std::wstring(300, L'w') + L"\u00fc\u4e2d.xyz";
  EXPECT_EQ(inputs.PlayFile(wide), 0);
  EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(inW.LastFile("Play"))), wide);
  inputs.GetFileInfo(&wide, title, length);
  EXPECT_EQ(title, L"T:" + wide);

  // A null path asks the current plug-in about the playing track.
  inputs.GetFileInfo(nullptr, title, length);
  EXPECT_EQ(title, L"T:");
  EXPECT_EQ(inW.Calls("GetFileInfo"), 2);
}

TEST_F(PluginLists, AnsiPlayNameStaysValidWhileOtherCallsUseTheirOwnBuffers) {
  PluginCopy a(L"in_fake_ansi.dll", dir, L"in_a.dll");
  InputControls inA(a);
  inA.Extensions("abc\0A\0");
  Load(L"dllInName0=" + a.path() + L"\r\n");
  EXPECT_EQ(inputs.PlayFile(L"C:\\playing.abc"), 0);
  const char* kept = static_cast<const char*>(inA.PlayPointer());
  std::wstring title;
  int length;
  const std::wstring other = L"C:\\other.abc";
  inputs.GetFileInfo(&other, title, length);
  inputs.InfoBox(other, window);
  inputs.At(0)->IsOurFile(L"http://x/other");
  EXPECT_STREQ(kept, "C:\\playing.abc");
}

TEST_F(PluginLists, ExtendedInfoFromTheWideExportOrFromTheBuiltInForItsFiles) {
  PluginCopy a(L"in_fake_ansi.dll", dir, L"in_a.dll"), w(L"in_fake_wide.dll", dir, L"in_w.dll");
  InputControls inA(a), inW(w);
  inA.Extensions("mp3;abc\0A\0");
  inW.Extensions("xyz\0W\0");
  Load(L"dllInName0=" + a.path() + L"\r\ndllInName1=" + w.path() + L"\r\n");
  wchar_t ret[64];
  EXPECT_EQ(inputs.GetExtendedFileInfo(L"C:\\a.xyz", L"artist", ret, 64), 1);
  EXPECT_STREQ(ret, L"wide:artist");
  // No wide export: the built-in answers for the files it claims (".MP3").
  EXPECT_EQ(inputs.GetExtendedFileInfo(L"C:\\a.mp3", L"title", ret, 64), 1);
  EXPECT_STREQ(ret, L"built-in:title");
  EXPECT_EQ(inputs.GetExtendedFileInfo(L"C:\\a.abc", L"title", ret, 64), 0);
  EXPECT_STREQ(ret, L"");
  EXPECT_EQ(BuiltinCalls("ExtendedFileInfo"), 1);
}

TEST_F(PluginLists, FilterAndExtensionListFollowTheListOrder) {
  PluginCopy a(L"in_fake_ansi.dll", dir, L"in_a.dll");
  InputControls inA(a);
  inA.Extensions("ogg;oga\0Ogg Vorbis\0wav\0Wave\0");
  Load(L"dllInName0=STANDARD\r\ndllInName1=" + a.path() + L"\r\n");
  EXPECT_EQ(inputs.BuildOpenFilter(),
            L"All supported files|*.MP3;*.ogg;*.oga;*.wav;|MPEG Audio Files (*.MP3)|*.MP3|Ogg Vorbis|*.ogg;*.oga|"
            L"Wave|*.wav|");
  EXPECT_EQ(inputs.BuildExtensionList(), L"MP3;ogg;oga;wav;");
}

TEST_F(PluginLists, EditingTheInputList) {
  PluginCopy a(L"in_fake_ansi.dll", dir, L"in_a.dll"), b(L"in_fake_ansi.dll", dir, L"in_b.dll");
  InputControls inA(a), inB(b);
  inA.Extensions("abc\0A\0");
  Load(L"dllInName0=" + a.path() + L"\r\n");
  Out_Module* output = outputs.CurrentModule();
  inputs.SetOutModAll(output);
  ASSERT_TRUE(inputs.Add(b.path(), window));
  EXPECT_EQ(inB.Calls("Init"), 1);
  EXPECT_EQ(inputs.At(2)->module()->outMod, output);  // an added input gets the output too
  EXPECT_FALSE(inputs.Add(dir + L"\\in_nothing.dll", window));
  EXPECT_TRUE(boxes.WaitFor(1, 10000));
  EXPECT_EQ(inputs.Count(), 3);

  inputs.MoveUp(2);
  inputs.MoveUp(0);
  EXPECT_EQ(inputs.Names(), Names({&a, &b, nullptr}));

  // Removing a playing plug-in stops it before it quits.
  EXPECT_EQ(inputs.PlayFile(L"C:\\x.abc"), 0);
  inputs.RemoveAt(7);
  inputs.RemoveAt(-1);
  inputs.RemoveAt(0);
  EXPECT_STREQ(inA.CallOrder(), "winampGetInModule2;Init;Play;Stop;Quit;");
  EXPECT_EQ(inputs.Current(), inputs.At(0));
  EXPECT_EQ(inputs.Names(), Names({&b, nullptr}));
}

TEST_F(PluginLists, ControlsWithoutACurrentPluginAreHarmless) {
  EXPECT_EQ(inputs.GetState(), PlayState::Stopped);
  EXPECT_EQ(inputs.GetLength(), 0);
  inputs.Pause();
  inputs.Stop();
  std::wstring title = L"x";
  int length = 5;
  inputs.GetFileInfo(nullptr, title, length);
  EXPECT_EQ(title, L"");
  EXPECT_EQ(length, 0);
}

}  // namespace
}  // namespace zul::test
