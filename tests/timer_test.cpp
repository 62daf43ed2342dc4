// The millisecond timer: when it starts and stops, how its settings clamp,
// and how its ticks reach the user-interface thread.

#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "platform/app.h"
#include "platform/mmtimer.h"
#include "pump.h"
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
    PumpFor(20);  // let stray ticks of this test go by
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
  PumpFor(30);
  EXPECT_EQ(ticks, 0);
}

TEST_F(TimerTest, RunsWithAHandlerAndHoldsAResolutionRequestWhileRunning) {
  timer->SetInterval(5);
  timer->SetResolution(5);
  CountTicks();
  EXPECT_NE(timer->TimerId(), 0u);
  EXPECT_EQ(timer->ActivePeriod(), 5);
  EXPECT_EQ(platform::ActiveTimerPeriods(), basePeriods + 1);
  EXPECT_TRUE(PumpUntil([&] { return ticks >= 3; }));
  timer->SetEnabled(false);
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
  EXPECT_TRUE(PumpUntil([&] { return ticks >= 1; }));
  PumpFor(40);
  EXPECT_EQ(ticks, 1);
  EXPECT_FALSE(timer->Enabled());
  EXPECT_EQ(platform::LiveTimerEvents(), baseEvents);
}

TEST_F(TimerTest, OneShotDisabledBeforeItsTickNeverTicks) {
  timer->SetOneShot(true);
  timer->SetInterval(30);
  CountTicks();
  ASSERT_NE(timer->TimerId(), 0u);
  timer->SetEnabled(false);
  PumpFor(90);
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
  EXPECT_TRUE(PumpUntil([&] { return ticks >= 5; }));
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
  EXPECT_TRUE(PumpUntil([&] { return ticks >= 3; }));
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
  EXPECT_TRUE(PumpUntil([&] { return ticks >= 1; }));
  testing::internal::GetCapturedStderr();
  EXPECT_TRUE(timer->Enabled());
}

TEST_F(TimerTest, AnEventThatCannotBeMadeRaisesAndLeavesTheTimerStopped) {
  CountTicks();
  timer->SetEnabled(false);
  timer->SetInterval(-5);  // no system timer has such a period
  EXPECT_THROW(timer->SetEnabled(true), EOutOfResources);
  EXPECT_TRUE(timer->Enabled());
  EXPECT_EQ(timer->TimerId(), 0u);
  PumpFor(20);
  EXPECT_EQ(ticks, 0);
}

TEST_F(TimerTest, TicksQueuedForADestroyedTimerAreDropped) {
  auto counter = std::make_shared<int>(0);
  timer->SetInterval(1);
  timer->SetOnTimer([counter](TcsCustomTimer*) { ++*counter; });
  // Ticks pile up while nothing is pumped...
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  timer.reset();
  // ...and go nowhere once their timer is gone.
  PumpFor(20);
  EXPECT_EQ(*counter, 0);
}

TEST_F(TimerTest, ATickQueuedBeforeAStopIsStillDelivered) {
  timer->SetInterval(1);
  CountTicks();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  timer->SetEnabled(false);
  PumpFor(10);
  EXPECT_GT(ticks, 0);
}

}  // namespace
