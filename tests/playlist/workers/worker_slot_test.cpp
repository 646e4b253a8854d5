// One worker per slot, freed when the job ends or when a stop gives up.
#include "playlist/workers/worker_slot.h"

#include <gtest/gtest.h>

#include <thread>

namespace zul::test {
namespace {

using namespace std::chrono_literals;

TEST(WorkerSlot, OneJobAtATimeAndTheSlotIsFreeWhenItEnds) {
  WorkerSlot slot;
  std::atomic<bool> release{false};
  std::atomic<int> runs{0};
  auto job = [&](StopToken) {
    ++runs;
    while (!release) std::this_thread::sleep_for(1ms);
  };
  ASSERT_TRUE(slot.Start(job));
  EXPECT_TRUE(slot.Running());
  EXPECT_FALSE(slot.Start(job));  // busy: ignored
  release = true;
  ASSERT_TRUE(slot.Wait(10s));
  EXPECT_FALSE(slot.Running());
  ASSERT_TRUE(slot.Start(job));
  ASSERT_TRUE(slot.Wait(10s));
  EXPECT_EQ(runs, 2);
}

TEST(WorkerSlot, StopSetsTheFlagAndWaitsForTheJob) {
  WorkerSlot slot;
  std::atomic<bool> sawStop{false};
  std::atomic<int> waits{0};
  ASSERT_TRUE(slot.Start([&](StopToken stop) {
    while (!stop) std::this_thread::sleep_for(1ms);
    std::this_thread::sleep_for(30ms);  // still busy after the flag: Stop must wait
    sawStop = true;
  }));
  EXPECT_TRUE(slot.Stop(10s, [&] { ++waits; }));
  EXPECT_TRUE(sawStop);
  EXPECT_FALSE(slot.Running());
  EXPECT_GT(waits, 0);          // the waiting thread kept answering
  EXPECT_TRUE(slot.Stop(10s));  // nothing running
}

TEST(WorkerSlot, AStopThatGivesUpFreesTheSlotAndTheJobFinishesAlone) {
  WorkerSlot slot;
  // Shared with the jobs: they may outlive this scope's first slot use.
  auto gate = std::make_shared<std::atomic<bool>>(false);
  auto finished = std::make_shared<std::atomic<int>>(0);
  auto stuck = [gate, finished](StopToken) {
    while (!*gate) std::this_thread::sleep_for(1ms);  // a plug-in call that takes long
    ++*finished;
  };
  ASSERT_TRUE(slot.Start(stuck));
  EXPECT_FALSE(slot.Stop(20ms));
  EXPECT_FALSE(slot.Running());
  ASSERT_TRUE(slot.Start([finished](StopToken) { ++*finished; }));
  ASSERT_TRUE(slot.Wait(10s));
  EXPECT_EQ(*finished, 1);
  *gate = true;
  for (int i = 0; i < 10000 && *finished < 2; ++i) std::this_thread::sleep_for(1ms);
  EXPECT_EQ(*finished, 2);
}

std::atomic<int> g_hookCalls{0};
thread_local bool t_hooked = false;

TEST(WorkerSlot, StartHookRunsOnTheWorkerThreadBeforeTheJob) {
  SetWorkerThreadStartHook([] {
    ++g_hookCalls;
    t_hooked = true;
  });
  WorkerSlot slot;
  std::atomic<bool> hookedInJob{false};
  ASSERT_TRUE(slot.Start([&](StopToken) { hookedInJob = t_hooked; }));
  ASSERT_TRUE(slot.Wait(10s));
  SetWorkerThreadStartHook(nullptr);
  EXPECT_TRUE(hookedInJob);
  EXPECT_FALSE(t_hooked);
  EXPECT_EQ(g_hookCalls, 1);
}

}  // namespace
}  // namespace zul::test
