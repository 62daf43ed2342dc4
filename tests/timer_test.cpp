// The millisecond timer: when it starts and stops, how its settings clamp,
// and how its ticks reach the user-interface thread. Ticks are fired by the
// tests, through the same posted message as the clock's.

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <thread>

#include "platform/app.h"
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
  // Fired from another thread, as the clock's thread does.
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

// The timer thread's next deadline after a tick fired at `now`; in
// milliseconds here, the thread's unit being the same rule in nanoseconds.
TEST(TickSchedule, HoldsTheGridCatchesUpAndSkipsWhatAStallSwallowed) {
  struct Case {
    std::int64_t deadline, period, now, next;
  } cases[] = {
      {100, 20, 100, 120},  // on time
      {100, 20, 99, 120},   // woken early is on time too
      {100, 20, 103, 120},  // late: the next tick catches up, no drift
      {100, 20, 115, 120},  // late by three quarters: still caught up
      {100, 20, 116, 140},  // the next would come under a quarter period after: skipped
      {100, 20, 179, 200},  // a long stall: one tick, then back on the grid
      {100, 20, 181, 200},
      {100, 20, 196, 220},
      {100, 6, 105, 106},   // a quarter of a short period rounds down
      {100, 1, 100, 101},   // the shortest period
  };
  for (const Case& c : cases)
    EXPECT_EQ(platform::NextDeadline(c.deadline, c.period, c.now), c.next)
        << "deadline " << c.deadline << " period " << c.period << " now " << c.now;
}

TEST(TickSchedule, NeverDriftsAndNeverBurstsOverAThousandTicks) {
  std::mt19937 rng(7);
  for (std::int64_t period : {5'000'000LL, 33'000'000LL}) {
    std::int64_t deadline = 0, lastFired = -period, skipped = 0;
    for (int tick = 0; tick < 1000; ++tick) {
      // Mostly a little late, now and then stalled for several periods.
      const std::int64_t lateness = rng() % 10 == 0 ? rng() % (5 * period) : rng() % (period / 2);
      const std::int64_t now = deadline + lateness;
      const std::int64_t next = platform::NextDeadline(deadline, period, now);
      ASSERT_EQ(next % period, 0) << "off the grid";
      ASSERT_GE(next - now, period / 4) << "a burst after a stall";
      ASSERT_LE(next - now, period + period / 4);
      ASSERT_GT(now - lastFired, 0);
      skipped += (next - deadline) / period - 1;
      lastFired = now;
      deadline = next;
    }
    // Every tick that was not skipped kept its place: no drift.
    EXPECT_EQ(deadline, (1000 + skipped) * period);
  }
}

}  // namespace
