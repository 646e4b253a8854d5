// Faults inside plug-ins, the window procedures general plug-ins put on the
// Winamp window, and a plug-in whose quit() waits for a thread that is
// sending to the Winamp window.
#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "base/profile_file.h"
#include "pluginhost/host/dll_gen.h"
#include "pluginhost/host/dll_input_list.h"
#include "pluginhost/host/plugin_guard.h"
#include "tests/pluginhost/host/fault_kit.h"
#include "tests/pluginhost/host/host_fixture.h"
#include "tests/pluginhost/host/register_check.h"

namespace zul::test {
namespace {

class PluginFaults : public ::testing::Test {
protected:
  void SetUp() override {
    dir = MakeTempDir(L"faults");
    window = CreateWinampStandIn();
    OnIpc = nullptr;
    ResetBuiltins();
  }
  void TearDown() override {
    OnIpc = nullptr;
    generals.UnloadAll();
    inputs.UnloadAll();
    DestroyWindow(window);
  }
  std::wstring dir;
  HWND window = nullptr;
  MessageBoxCatcher boxes;
  CDllInputList inputs;
  CDllGenList generals;
};

// One guarded host call and the neutral result it must give on a fault.
struct GuardedCall {
  const char* member;
  std::function<bool(CDllInputList&, CDllInput&)> callGivesNeutral;
};

std::vector<GuardedCall> GuardedCalls() {
  const std::wstring file = L"C:\\x.tst";
  return {
      {"Init", [](CDllInputList&, CDllInput& p) { return p.Initialise(), true; }},
      {"GetLength", [](CDllInputList& l, CDllInput&) { return l.GetLength() == 0; }},
      {"GetOutputTime", [](CDllInputList& l, CDllInput&) { return l.GetOutputTime() == 0; }},
      {"SetOutputTime", [](CDllInputList& l, CDllInput&) { return l.SetOutputTime(1000), true; }},
      {"SetVolume", [](CDllInputList& l, CDllInput&) { return l.SetVolumeAll(200), true; }},
      {"SetPan", [](CDllInputList& l, CDllInput&) { return l.SetPan(-20), true; }},
      {"Stop", [](CDllInputList& l, CDllInput&) { return l.Stop(), l.GetState() == PlayState::Stopped; }},
      {"Pause", [](CDllInputList& l, CDllInput&) { return l.Pause(), true; }},
      {"UnPause", [](CDllInputList& l, CDllInput&) { return l.UnPause(), true; }},
      {"IsPaused", [](CDllInputList& l, CDllInput&) { return l.IsPaused() == 0; }},
      {"GetFileInfo",
       [file](CDllInputList& l, CDllInput&) {
         std::wstring title = L"x";
         int length = 1;
         l.GetFileInfo(&file, title, length);
         return title.empty() && length == 0;
       }},
      {"Play",
       [file](CDllInputList& l, CDllInput&) { return l.PlayFile(file) == 1 && l.GetState() == PlayState::Stopped; }},
      {"IsOurFile", [](CDllInputList& l, CDllInput&) { return l.AnyClaims(L"http://x/y") == 0; }},
      {"InfoBox", [file](CDllInputList& l, CDllInput&) { return l.InfoBox(file, nullptr) == 1; }},
      {"Config", [](CDllInputList&, CDllInput& p) { return p.Config(nullptr), true; }},
      {"About", [](CDllInputList&, CDllInput& p) { return p.About(nullptr), true; }},
  };
}

TEST_F(PluginFaults, AThousandFaultsInEveryGuardedCallThenNormalCallsWork) {
  PluginCopy a(L"in_fake_ansi.dll", dir, L"in_fault.dll");
  InputControls in(a);
  ASSERT_TRUE(inputs.Add(a.path(), window));
  CDllInput& p = *inputs.At(0);
  const auto calls = GuardedCalls();
#if defined(__i386__)
  void* chain = ChainHead();
#endif
  const int kinds[] = {kAccessViolation, kDivideByZero, kMsvcThrow};
  for (int i = 0; i < 1000; ++i) {
    const GuardedCall& call = calls[i % calls.size()];
    in.SetFault(call.member, kinds[(i / calls.size()) % 3]);
    ASSERT_TRUE(call.callGivesNeutral(inputs, p)) << call.member << " round " << i;
    in.SetFault(call.member, kNoFault);
  }
  EXPECT_EQ(p.faults(), 1000);
#if defined(__i386__)
  EXPECT_EQ(ChainHead(), chain);
#endif
  // Floating point still works after faults that left x87 values behind.
  in.SetFault("GetLength", kFaultWithX87Values);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(inputs.GetLength(), 0);
  volatile double x = 1.5;
  EXPECT_EQ(x * x + x, 3.75);

  // And the plug-in answers normally again.
  in.SetFault("GetLength", kNoFault);
  EXPECT_EQ(inputs.GetLength(), 1234);
  EXPECT_EQ(inputs.PlayFile(L"C:\\x.tst"), 0);
  EXPECT_EQ(inputs.GetState(), PlayState::Playing);
  std::wstring title;
  int length = 0;
  const std::wstring file = L"C:\\y.tst";
  inputs.GetFileInfo(&file, title, length);
  EXPECT_EQ(title, L"T:C:\\y.tst");
  inputs.SetVolumeAll(77);
  EXPECT_EQ(in.GetInt("LastVolume"), 77);
}

TEST_F(PluginFaults, SetVolumeAllStopsAtThePluginThatFaults) {
  PluginCopy a(L"in_fake_ansi.dll", dir, L"in_a.dll"), b(L"in_fake_ansi.dll", dir, L"in_b.dll");
  InputControls inA(a), inB(b);
  ASSERT_TRUE(inputs.Add(a.path(), window));
  ASSERT_TRUE(inputs.Add(b.path(), window));
  inA.SetFault("SetVolume", kAccessViolation);
  inputs.SetVolumeAll(10);
  EXPECT_EQ(inB.Calls("SetVolume"), 0);
  inA.SetFault("SetVolume", kNoFault);
  inputs.SetVolumeAll(11);
  EXPECT_EQ(inB.GetInt("LastVolume"), 11);
}

TEST_F(PluginFaults, ThePluginsOwnHandlersStillWork) {
  PluginCopy a(L"in_fake_ansi.dll", dir, L"in_own.dll");
  InputControls in(a);
  ASSERT_TRUE(inputs.Add(a.path(), window));
  // A fault under the plug-in's own handler: the handler sees its unwind.
  in.SetFault("GetLength", kFaultUnderOwnHandler);
  EXPECT_EQ(inputs.GetLength(), 0);
  EXPECT_EQ(in.GetInt("unwindsSeen"), 1);
  // An exception the plug-in handles itself never reaches the guard.
  in.SetFault("GetLength", kHandledByPlugin);
  EXPECT_EQ(inputs.GetLength(), 1234);
  EXPECT_EQ(in.GetInt("handledSeen"), 1);
  EXPECT_EQ(inputs.At(0)->faults(), 1);
}

TEST_F(PluginFaults, GuardsNestAndWorkOnTwoThreadsAtOnce) {
  PluginCopy a(L"in_fake_ansi.dll", dir, L"in_a.dll");
  PluginCopy g(L"gen_fake.dll", dir, L"gen_nest.dll");
  InputControls in(a);
  GeneralControls gen(g);
  ASSERT_TRUE(inputs.Add(a.path(), window));
  in.SetFault("GetLength", kMsvcThrow);
  // init() asks the Winamp window, whose handler calls a faulting input
  // plug-in under its own guard; then init() itself faults.
  int innerLength = -1;
  OnIpc = [&](LPARAM) -> LRESULT {
    innerLength = inputs.GetLength();
    return 0x5030;
  };
  gen.Set("ipc", 0);
  gen.Set("faultInit", kAccessViolation);
#if defined(__i386__)
  void* chain = ChainHead();
#endif
  ASSERT_TRUE(generals.Add(g.path(), window));
#if defined(__i386__)
  EXPECT_EQ(ChainHead(), chain);
#endif
  EXPECT_EQ(innerLength, 0);
  EXPECT_EQ(gen.Get("ipcResult"), 0x5030);
  EXPECT_EQ(inputs.At(0)->faults(), 1);
  EXPECT_EQ(generals.At(0)->faults(), 1);

  // Two threads faulting at the same time, each under its own guard.
  auto fault = in.Fault;
  int caught[2] = {0, 0};
  auto worker = [&](int index, int kind) {
    for (int i = 0; i < 1000; ++i) caught[index] += Guarded([&] { fault(kind); }).faulted ? 1 : 0;
  };
  std::thread t1(worker, 0, kAccessViolation), t2(worker, 1, kMsvcThrow);
  t1.join();
  t2.join();
  EXPECT_EQ(caught[0], 1000);
  EXPECT_EQ(caught[1], 1000);
  GuardFault f = Guarded([&] { fault(kDivideByZero); });
  EXPECT_TRUE(f.faulted);
  EXPECT_EQ(f.code, static_cast<DWORD>(EXCEPTION_INT_DIVIDE_BY_ZERO));
  EXPECT_FALSE(Guarded([&] { fault(kNoFault); }).faulted);
}

// What a recovery could get wrong below the C++ level: the registers a callee
// must keep. The plug-in overwrites them all before it faults, so only the
// unwind (or the guard's own frame) can give the caller its values back.
TEST_F(PluginFaults, TheCallerGetsItsRegistersBackAfterARecoveredFault) {
  const unsigned allRegisters = (1u << kCheckedRegisters) - 1;
  ASSERT_EQ(ZulCallWithRegisterPatterns(&ZulClobberRegisters, nullptr), allRegisters) << "the check sees nothing";

  PluginCopy a(L"in_fake_ansi.dll", dir, L"in_regs.dll");
  InputControls in(a);
  struct Call {
    InputControls* in;
    int kind;
    bool faulted;
  };
  for (int kind : {kFaultWithRegistersSet, kAccessViolation, kMsvcThrow, kNoFault}) {
    Call call{&in, kind, false};
    const unsigned lost = ZulCallWithRegisterPatterns(
        [](void* c) {
          auto* call = static_cast<Call*>(c);
          call->faulted = Guarded([&] { call->in->Fault(call->kind); }).faulted;
        },
        &call);
    EXPECT_EQ(lost, 0u) << "fault kind " << kind;
    EXPECT_EQ(call.faulted, kind != kNoFault) << "fault kind " << kind;
  }
}

TEST_F(PluginFaults, EveryStackOverflowOnAThreadIsCaught) {
  PluginCopy a(L"in_fake_ansi.dll", dir, L"in_deep.dll");
  InputControls in(a);
  std::vector<DWORD> codes;
  std::thread([&] {
    for (int i = 0; i < 3; ++i) codes.push_back(Guarded([&] { in.Fault(kStackOverflow); }).code);
    // And the thread's stack still serves a normal call.
    codes.push_back(Guarded([&] { in.Fault(kNoFault); }).code);
  }).join();
  const DWORD overflow = EXCEPTION_STACK_OVERFLOW;
  EXPECT_EQ(codes, (std::vector<DWORD>{overflow, overflow, overflow, 0}));
}

TEST_F(PluginFaults, GeneralPluginFaultsInInitAndQuitAreSurvived) {
  PluginCopy g(L"gen_fake.dll", dir, L"gen_faulty.dll");
  GeneralControls gen(g);
  gen.Set("subclass", 1);
  gen.Set("id", 3);
  gen.Set("faultInit", kMsvcThrow);
  gen.Set("faultQuit", kAccessViolation);
  const LONG_PTR original = GetWindowLongPtrW(window, GWLP_WNDPROC);
  ASSERT_TRUE(generals.Add(g.path(), window));
  EXPECT_EQ(SendMessageW(window, kWho, 0, 0), 93);
  g.Release();
  generals.RemoveAt(0);
  // Its procedure is gone from the window although quit() faulted; the DLL
  // stays mapped because its threads or hooks may still need its code.
  EXPECT_EQ(GetWindowLongPtrW(window, GWLP_WNDPROC), original);
  EXPECT_EQ(SendMessageW(window, kWho, 0, 0), 9);
  EXPECT_TRUE(g.Mapped());
}

class WindowProcedures : public PluginFaults {};

TEST_F(WindowProcedures, UnloadingInAnyOrderNeverLeavesAProcedureOfAFreedDll) {
  const LONG_PTR original = GetWindowLongPtrW(window, GWLP_WNDPROC);
  // The orders in which the two subclassing plug-ins are removed, and the
  // "who" answer after the first removal.
  struct Order {
    int first, second;
    LRESULT afterFirst;
  } orders[] = {{0, 0, 9}, {1, 0, 91}};
  for (const Order& order : orders) {
    PluginCopy g1(L"gen_fake.dll", dir, L"gen_one.dll"), g2(L"gen_fake.dll", dir, L"gen_two.dll");
    GeneralControls c1(g1), c2(g2);
    c1.Set("id", 1);
    c1.Set("subclass", 1);  // SetWindowLongPtrW
    c2.Set("id", 2);
    c2.Set("subclass", 2);  // SetWindowLongPtrA, as ANSI plug-ins do
    ASSERT_TRUE(generals.Add(g1.path(), window));
    ASSERT_TRUE(generals.Add(g2.path(), window));
    EXPECT_EQ(SendMessageW(window, kWho, 0, 0), 912);
    g1.Release();
    g2.Release();

    generals.RemoveAt(order.first);
    EXPECT_EQ(SendMessageW(window, kWho, 0, 0), order.afterFirst);
    generals.RemoveAt(order.second);
    EXPECT_FALSE(g1.Mapped());
    EXPECT_FALSE(g2.Mapped());
    EXPECT_EQ(GetWindowLongPtrW(window, GWLP_WNDPROC), original);
    EXPECT_EQ(SendMessageW(window, kWho, 0, 0), 9);  // would crash in a freed DLL
  }

  // The shutdown: names saved, unloaded in list order.
  PluginCopy g1(L"gen_fake.dll", dir, L"gen_one.dll"), g2(L"gen_fake.dll", dir, L"gen_two.dll");
  GeneralControls(g1).Set("subclass", 1);
  GeneralControls(g2).Set("subclass", 2);
  const std::wstring ini = dir + L"\\zul.ini";
  WriteIni(ini, L"dllGenName0=" + g1.path() + L"\r\ndllGenName1=" + g2.path() + L"\r\n");
  generals.LoadFromSettings(ProfileFileReader(ini), window);
  generals.InitAll();
  g1.Release();
  g2.Release();
  EXPECT_TRUE(generals.SaveAndUnload(ini));
  EXPECT_EQ(IniValue(ini, L"dllGenName0"), g1.path());
  EXPECT_EQ(IniValue(ini, L"dllGenName1"), g2.path());
  EXPECT_EQ(IniValue(ini, L"dllGenName2"), L"NONE");
  EXPECT_FALSE(g1.Mapped());
  EXPECT_FALSE(g2.Mapped());
  EXPECT_EQ(GetWindowLongPtrW(window, GWLP_WNDPROC), original);
  EXPECT_EQ(SendMessageW(window, kWho, 0, 0), 9);
}

TEST_F(PluginFaults, QuitWaitingForAThreadThatSendsToTheWinampWindowDoesNotDeadlock) {
  PluginCopy g(L"gen_fake.dll", dir, L"gen_thread.dll");
  GeneralControls gen(g);
  gen.Set("thread", 1);
  ASSERT_TRUE(generals.Add(g.path(), window));
  OnIpc = [](LPARAM) -> LRESULT { return 77; };
  gen.Go();
  // Wait until the plug-in's thread is blocked sending to this thread.
  const DWORD start = GetTickCount();
  while (!(HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) && GetTickCount() - start < 10000) Sleep(5);
  ASSERT_TRUE(HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) << "the plug-in's thread never sent";
  generals.RemoveAt(0);
  EXPECT_EQ(gen.Get("deadlocked"), 0);
  EXPECT_EQ(gen.Get("sendReturned"), 1);
  EXPECT_EQ(gen.Get("sendResult"), 77);
  EXPECT_EQ(gen.Get("quitCalls"), 1);
}

}  // namespace
}  // namespace zul::test
