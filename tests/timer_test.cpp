// The millisecond timer: when it starts and stops, how its settings clamp,
// and how its ticks reach the user-interface thread. Ticks are fired by the
// tests, through the same posted message as the clock's.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <thread>
#include <vector>

#include "platform/app.h"
#include "platform/internal.h"
#include "platform/mmtimer.h"
#include "platform/tick_schedule.h"
#include "tests/test_support.h"
#include "timing/hires_timer.h"

namespace {

class TimerTest : public testing::Test {
 protected:
  void SetUp() override {
    baseEvents = platform::LiveTimerEvents();
    basePeriods = platform::ActiveTimerPeriods();
    timer = std::make_unique<TcsHiResTimer>();
  }
  void TearDown() override {
    timer.reset();
    platform::ProcessMessages();  // stray ticks of this test go nowhere
  }

  void CountTicks() {
    timer->SetOnTimer([this](TcsCustomTimer* sender) {
      EXPECT_EQ(sender, timer.get());
      ++ticks;
    });
  }

  std::unique_ptr<TcsHiResTimer> timer;
  int ticks = 0;
  int baseEvents = 0;
  int basePeriods = 0;
};

TEST_F(TimerTest, StartsWithItsDefaultsAndStaysStoppedWithoutAHandler) {
  EXPECT_TRUE(timer->Enabled());
  EXPECT_FALSE(timer->OneShot());
  EXPECT_EQ(timer->Interval(), 100);
  EXPECT_EQ(timer->Resolution(), 100);
  timer->Loaded();
  timer->SetInterval(5);
  EXPECT_EQ(timer->TimerId(), 0u);
  EXPECT_EQ(platform::LiveTimerEvents(), baseEvents);
}

TEST_F(TimerTest, IntervalZeroNeverStarts) {
  timer->SetInterval(0);
  CountTicks();
  timer->SetEnabled(false);
  timer->SetEnabled(true);
  EXPECT_EQ(timer->TimerId(), 0u);
  EXPECT_EQ(timer->ActivePeriod(), 0);
}

TEST_F(TimerTest, RunsWithAHandlerAndHoldsAResolutionRequestWhileRunning) {
  timer->SetInterval(5);
  timer->SetResolution(5);
  CountTicks();
  EXPECT_NE(timer->TimerId(), 0u);
  EXPECT_EQ(timer->ActivePeriod(), 5);
  EXPECT_EQ(platform::ActiveTimerPeriods(), basePeriods + 1);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(Tick(*timer));
  EXPECT_EQ(ticks, 3);
  const auto stopped = timer->TimerId();
  timer->SetEnabled(false);
  EXPECT_FALSE(platform::FireTimerEventForTest(stopped));
  EXPECT_EQ(timer->TimerId(), 0u);
  EXPECT_EQ(timer->ActivePeriod(), 0);
  EXPECT_EQ(platform::ActiveTimerPeriods(), basePeriods);
  EXPECT_EQ(platform::LiveTimerEvents(), baseEvents);
}

TEST_F(TimerTest, ResolutionIsClampedToIntervalAndToTheSupportedRange) {
  timer->SetInterval(20);
  timer->SetResolution(50);
  EXPECT_EQ(timer->Resolution(), 20);
  timer->SetResolution(0);
  platform::TIMECAPS caps{};
  ASSERT_EQ(platform::timeGetDevCaps(&caps), platform::TIMERR_NOERROR);
  EXPECT_EQ(timer->Resolution(), static_cast<int>(caps.wPeriodMin));
  timer->SetResolution(7);
  EXPECT_EQ(timer->Resolution(), 7);
}

TEST_F(TimerTest, EveryChangeWhileRunningMakesAFreshEvent) {
  timer->SetInterval(50);
  CountTicks();
  const auto first = timer->TimerId();
  timer->SetEnabled(false);
  timer->SetEnabled(true);
  const auto second = timer->TimerId();
  EXPECT_NE(second, 0u);
  EXPECT_NE(second, first);
  timer->SetInterval(40);
  EXPECT_NE(timer->TimerId(), second);
  EXPECT_EQ(platform::LiveTimerEvents(), baseEvents + 1);
  // Setting a value it already has changes nothing.
  const auto third = timer->TimerId();
  timer->SetInterval(40);
  timer->SetEnabled(true);
  EXPECT_EQ(timer->TimerId(), third);
}

TEST_F(TimerTest, OneShotTicksOnceThenReadsDisabled) {
  timer->SetOneShot(true);
  timer->SetInterval(5);
  CountTicks();
  const auto event = timer->TimerId();
  EXPECT_TRUE(Tick(*timer));
  EXPECT_FALSE(platform::FireTimerEventForTest(event));
  platform::ProcessMessages();
  EXPECT_EQ(ticks, 1);
  EXPECT_FALSE(timer->Enabled());
  EXPECT_EQ(platform::LiveTimerEvents(), baseEvents);
}

TEST_F(TimerTest, OneShotDisabledBeforeItsTickNeverTicks) {
  timer->SetOneShot(true);
  timer->SetInterval(30);
  CountTicks();
  const auto event = timer->TimerId();
  ASSERT_NE(event, 0u);
  timer->SetEnabled(false);
  EXPECT_FALSE(platform::FireTimerEventForTest(event));
  platform::ProcessMessages();
  EXPECT_EQ(ticks, 0);
}

TEST_F(TimerTest, TicksRunOnTheUserInterfaceThread) {
  const auto uiThread = std::this_thread::get_id();
  bool elsewhere = false;
  timer->SetInterval(2);
  timer->SetOnTimer([&](TcsCustomTimer*) {
    elsewhere |= std::this_thread::get_id() != uiThread;
    ++ticks;
  });
  // Fired from another thread: a tick posted from anywhere is handled here.
  std::thread clock([id = timer->TimerId()] {
    for (int i = 0; i < 5; ++i) platform::FireTimerEventForTest(id);
  });
  clock.join();
  EXPECT_EQ(ticks, 0);
  platform::ProcessMessages();
  EXPECT_EQ(ticks, 5);
  EXPECT_FALSE(elsewhere);
}

TEST_F(TimerTest, AnErrorInTheHandlerIsReportedAndTheTimerRunsOn) {
  const int reportedBefore = platform::ReportedErrorCount();
  timer->SetInterval(3);
  timer->SetOnTimer([&](TcsCustomTimer*) {
    ++ticks;
    throw std::runtime_error("handler failed on purpose");
  });
  testing::internal::CaptureStderr();
  for (int i = 0; i < 3; ++i) Tick(*timer);
  const std::string report = testing::internal::GetCapturedStderr();
  EXPECT_GE(platform::ReportedErrorCount() - reportedBefore, 3);
  EXPECT_NE(report.find("handler failed on purpose"), std::string::npos);
  EXPECT_TRUE(timer->Enabled());
}

TEST_F(TimerTest, AnErrorInAOneShotHandlerSkipsItsStop) {
  timer->SetOneShot(true);
  timer->SetInterval(3);
  timer->SetOnTimer([&](TcsCustomTimer*) {
    ++ticks;
    throw std::runtime_error("one-shot failed on purpose");
  });
  testing::internal::CaptureStderr();
  EXPECT_TRUE(Tick(*timer));
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(ticks, 1);
  EXPECT_TRUE(timer->Enabled());
}

TEST_F(TimerTest, AnEventThatCannotBeMadeRaisesAndLeavesTheTimerStopped) {
  CountTicks();
  timer->SetEnabled(false);
  timer->SetInterval(-5);  // no system timer has such a period
  EXPECT_THROW(timer->SetEnabled(true), EOutOfResources);
  EXPECT_TRUE(timer->Enabled());
  EXPECT_EQ(timer->TimerId(), 0u);
}

TEST_F(TimerTest, TicksQueuedForADestroyedTimerAreDropped) {
  auto gone = std::make_shared<int>(0);
  timer->SetInterval(1);
  timer->SetOnTimer([gone](TcsCustomTimer*) { ++*gone; });
  // A second timer whose ticks are queued alongside shows that the pump ran.
  TcsHiResTimer survivor;
  survivor.SetInterval(1);
  int survived = 0;
  survivor.SetOnTimer([&](TcsCustomTimer*) { ++survived; });
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(QueueTick(*timer) && QueueTick(survivor));
  timer.reset();
  platform::ProcessMessages();
  EXPECT_EQ(*gone, 0);
  EXPECT_EQ(survived, 3);
}

TEST_F(TimerTest, ATickQueuedBeforeAStopIsStillDelivered) {
  timer->SetInterval(1);
  CountTicks();
  ASSERT_TRUE(QueueTick(*timer));
  timer->SetEnabled(false);
  platform::ProcessMessages();
  EXPECT_EQ(ticks, 1);
}

// A periodic event's next tick after one fired at `now`.
TEST(TickSchedule, KeepsTheGridAndMakesUpALateTickHalfAtATime) {
  constexpr std::int64_t ms = 1'000'000, us = 1'000;
  struct Case {
    std::int64_t period, now, due, deadline;  // the tick that fired was due at 100 ms
  } cases[] = {
      {20 * ms, 100 * ms, 120 * ms, 120 * ms},                    // on time
      {20 * ms, 100 * ms - 50 * us, 120 * ms, 120 * ms},          // woken early
      {20 * ms, 100 * ms + 500 * us, 120 * ms, 120 * ms},         // a little late: made up at once
      {20 * ms, 106 * ms, 120 * ms, 123 * ms},                    // late: half made up now
      {4 * ms, 103 * ms, 104 * ms, 105 * ms + 500 * us},          // late by most of a period: half made up
      {5 * ms, 117 * ms, 105 * ms, 119 * ms + 500 * us},          // a stall of periods, no burst after it
      {20 * ms, 200 * ms, 120 * ms, 210 * ms},                    // the longest stall still made up
      {20 * ms, 200 * ms + 1, 220 * ms + 1, 220 * ms + 1},        // a longer one is forgiven
  };
  for (const Case& c : cases) {
    const platform::TickPlan next = platform::NextTick(100 * ms, c.period, c.now);
    EXPECT_EQ(next.due, c.due) << "period " << c.period << " now " << c.now;
    EXPECT_EQ(next.deadline, c.deadline) << "period " << c.period << " now " << c.now;
  }
}

TEST(TickSchedule, NeverBunchesUpAndLosesNoTickThroughStalls) {
  std::mt19937 rng(7);
  for (std::int64_t period : {5'000'000LL, 70'000'000LL}) {
    platform::TickPlan plan{period, period};
    std::int64_t lastFired = 0, worstAfterStall = 0;
    const int ticks = 3000, calmTail = 100;
    for (int tick = 0; tick < ticks; ++tick) {
      // Woken a little late, now and then stalled for up to 30 ms; calm at the end.
      std::int64_t lateness = rng() % 200'000;
      const bool stall = tick < ticks - calmTail && rng() % 50 == 0;
      if (stall) lateness = rng() % 30'000'000;
      const std::int64_t now = plan.deadline + lateness;
      if (tick > 0) {
        ASSERT_GE(now - lastFired, period / 2) << "ticks bunched up at tick " << tick;
      }
      lastFired = now;
      const std::int64_t late = now - plan.due;
      plan = platform::NextTick(plan.due, period, now);
      // After a stall shorter than a period, the next tick is off by half as much.
      if (stall && late < period) worstAfterStall = std::max(worstAfterStall, plan.deadline - plan.due - late / 2);
    }
    EXPECT_LE(worstAfterStall, 0);
    // Every tick kept its place on the grid, and the last ones are on time again.
    EXPECT_EQ(plan.due, (ticks + 1) * period);
    EXPECT_EQ(plan.deadline, plan.due);
  }
}

// The message loop's wait fires what is due, the time handed in here: each
// event at its deadline, earliest first, a one-shot once, a periodic one on
// along its grid; a killed event, or one made under manual test timers,
// neither fires nor holds the wait.
TEST(TimerDeadlines, FireWhenDueEarliestFirstAndNeverOnceKilled) {
  constexpr std::int64_t ms = 1'000'000;
  static std::vector<std::uint32_t> fired;
  const auto note = [](std::uint32_t id, std::uintptr_t) { fired.push_back(id); };
  const auto manual = platform::timeSetEvent(1, 1, note, 0, platform::TIME_PERIODIC);
  platform::UseManualTimersForTest(false);
  const auto periodic = platform::timeSetEvent(20, 1, note, 0, platform::TIME_PERIODIC);
  const std::int64_t periodicDue = platform::NextTimerDeadline();
  const auto oneShot = platform::timeSetEvent(10, 1, note, 0, platform::TIME_ONESHOT);
  platform::UseManualTimersForTest(true);
  const std::int64_t oneShotDue = platform::NextTimerDeadline();
  ASSERT_LT(oneShotDue, periodicDue);
  platform::FireDueTimers(oneShotDue - 1);
  EXPECT_TRUE(fired.empty());
  for (int pass = 0; pass < 2; ++pass) platform::FireDueTimers(periodicDue + 6 * ms);
  EXPECT_EQ(fired, (std::vector<std::uint32_t>{oneShot, periodic}));
  EXPECT_EQ(platform::NextTimerDeadline(), platform::NextTick(periodicDue, 20 * ms, periodicDue + 6 * ms).deadline);
  for (auto id : {periodic, oneShot, manual}) platform::timeKillEvent(id);
  EXPECT_EQ(platform::NextTimerDeadline(), platform::kNoDeadline);
  platform::FireDueTimers(platform::kNoDeadline - 1);
  EXPECT_EQ(fired.size(), 2u);
}

}  // namespace
