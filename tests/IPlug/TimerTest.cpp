#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "IPlug/Timer.h"
#include "RecordingPlugin.h"

#ifdef _WIN32
#include <windows.h>
#else
#include "IPlug/TimerRunLoop.h"
#endif

using iplug::Timer;
using Clock = std::chrono::steady_clock;

#ifndef _WIN32
using iplug::TimerRunLoop;

namespace {
// Pumps this thread's timers until the predicate holds or two seconds pass.
template <typename Pred>
bool PumpUntil(Pred done) {
  const auto deadline = Clock::now() + std::chrono::seconds(2);
  while (!done()) {
    if (Clock::now() > deadline) return false;
    TimerRunLoop::Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}
}  // namespace

TEST(Timer, FiresOnlyOnTheThreadThatCreatedItWhenThatThreadPumps) {
  std::atomic<int> fired{0};
  std::thread::id firedOn;
  std::unique_ptr<Timer> timer = Timer::MakeTimer(
      [&](Timer&) {
        firedOn = std::this_thread::get_id();
        fired.fetch_add(1);
      },
      5);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));

  // Another thread pumping does not run this thread's timer.
  std::thread other([] {
    for (int i = 0; i < 5; ++i) {
      EXPECT_EQ(TimerRunLoop::Pump(), 0);
      EXPECT_EQ(TimerRunLoop::MillisecondsUntilNextDue(), -1);
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  });
  other.join();
  EXPECT_EQ(fired.load(), 0) << "no callback without a pump on the owning thread";

  EXPECT_EQ(TimerRunLoop::MillisecondsUntilNextDue(), 0) << "overdue";
  EXPECT_EQ(TimerRunLoop::Pump(), 1) << "an overdue timer fires once, not once per missed interval";
  EXPECT_EQ(firedOn, std::this_thread::get_id());
  ASSERT_TRUE(PumpUntil([&] { return fired.load() >= 4; }));
  EXPECT_EQ(firedOn, std::this_thread::get_id());
}

TEST(Timer, KeepsItsIntervalRoughly) {
  int fired = 0;
  auto timer = Timer::MakeTimer([&](Timer&) { ++fired; }, 20);
  const auto start = Clock::now();
  ASSERT_TRUE(PumpUntil([&] { return fired >= 5; }));
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
  EXPECT_GE(elapsed, 5 * 20 - 2) << "five ticks of 20 ms cannot come sooner";
}

TEST(Timer, ThePluginTimerServicesTheQueuesWhenTheEditorThreadPumps) {
  testplug::RecordingPlugin plug(testplug::TestConfig(1));
  plug.StartTimer();
  std::thread audio([&] { plug.SendParamValueFromProcessor(0, 3.0, false); });
  audio.join();
  auto delivered = [&] {
    for (const auto& line : plug.mLog)
      if (line == "toEditor 0 3 plain") return true;
    return false;
  };
  ASSERT_TRUE(PumpUntil(delivered));
  EXPECT_EQ(plug.mLog.back(), "tick");
  plug.StopTimer();
  plug.mLog.clear();
  std::this_thread::sleep_for(std::chrono::milliseconds(25));
  TimerRunLoop::Pump();
  EXPECT_TRUE(plug.mLog.empty()) << "no tick after the timer stopped";
}

TEST(Timer, StoppedFromItsOwnCallbackItNeverFiresAgain) {
  int fired = 0;
  auto timer = Timer::MakeTimer(
      [&](Timer& self) {
        ++fired;
        self.Stop();
      },
      1);
  ASSERT_TRUE(PumpUntil([&] { return fired == 1; }));
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(TimerRunLoop::Pump(), 0);
  EXPECT_EQ(fired, 1);
  EXPECT_EQ(TimerRunLoop::MillisecondsUntilNextDue(), -1);
  timer->Stop();  // stopping twice is harmless
}

TEST(Timer, ACallbackMayCreateAnotherTimer) {
  std::vector<std::unique_ptr<Timer>> spawned;
  int childFired = 0;
  auto parent = Timer::MakeTimer(
      [&](Timer& self) {
        self.Stop();
        spawned.push_back(Timer::MakeTimer([&](Timer&) { ++childFired; }, 1));
      },
      1);
  ASSERT_TRUE(PumpUntil([&] { return childFired >= 2; }));
  EXPECT_EQ(spawned.size(), 1u);
}

TEST(Timer, DestroyedTimersAreForgotten) {
  int fired = 0;
  { auto timer = Timer::MakeTimer([&](Timer&) { ++fired; }, 1); }
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(TimerRunLoop::Pump(), 0);
  EXPECT_EQ(fired, 0);
}

#else  // _WIN32

namespace {
// Runs this thread's message loop until the predicate holds or the time is up.
template <typename Pred>
bool RunMessagesUntil(Pred done, int timeoutMs = 2000) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  MSG msg;
  while (!done()) {
    if (Clock::now() > deadline) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return true;
}
}  // namespace

TEST(Timer, ThreadTimerFiresThroughTheCreatingThreadsMessageLoop) {
  int fired = 0;
  DWORD firedOn = 0;
  auto timer = Timer::MakeTimer(
      [&](Timer&) {
        ++fired;
        firedOn = GetCurrentThreadId();
      },
      20);
  Sleep(60);
  EXPECT_EQ(fired, 0) << "nothing fires while the thread does not run its message loop";
  ASSERT_TRUE(RunMessagesUntil([&] { return fired >= 3; }));
  EXPECT_EQ(firedOn, GetCurrentThreadId());
  timer->Stop();
  const int afterStop = fired;
  RunMessagesUntil([&] { return false; }, 100);  // dispatches everything for 100 ms
  EXPECT_EQ(fired, afterStop) << "a stopped timer stays silent";
}

TEST(Timer, StoppedFromItsOwnCallbackItNeverFiresAgain) {
  int fired = 0;
  auto timer = Timer::MakeTimer(
      [&](Timer& self) {
        ++fired;
        self.Stop();
      },
      5);
  ASSERT_TRUE(RunMessagesUntil([&] { return fired == 1; }));
  Sleep(30);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  EXPECT_EQ(fired, 1);
}

TEST(Timer, ThePluginTimerServicesTheQueuesThroughTheMessageLoop) {
  testplug::RecordingPlugin plug(testplug::TestConfig(1));
  plug.StartTimer();
  plug.SendParamValueFromProcessor(0, 3.0, false);
  auto delivered = [&] {
    for (const auto& line : plug.mLog)
      if (line == "toEditor 0 3 plain") return true;
    return false;
  };
  ASSERT_TRUE(RunMessagesUntil(delivered));
  plug.StopTimer();
}

#endif
