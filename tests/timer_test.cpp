// The millisecond timer: when it starts and stops, how its settings clamp,
// and how its ticks reach the user-interface thread. Ticks are fired by the
// tests, through the same posted message as the clock's.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
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

// A periodic event whose user-interface thread is held up: every tick owed
// comes when it is free again, back to back, and the rest keep their
// places, unless the hold-up was longer than the game replays. The wait is
// played on a clock of the test's own: it wakes at each deadline, except
// inside the hold-up, which it leaves at its end.
TEST(TimerDeadlines, TicksOwedAfterAHoldUpComeBackToBack) {
  constexpr std::int64_t ms = 1'000'000;
  struct Case {
    std::int64_t period, holdFrom, holdFor, until;  // ms from the event's start
    int delivered, atHoldEnd;                      // ticks by `until`; of them, at the end of the hold-up
    std::int64_t lastAt;                           // when the last one came
  } cases[] = {
      {33, 100, 300, 600, 18, 9, 594},           // a handler or a dealt level
      {5, 200, 1000, 1200, 240, 201, 1200},      // a fall held for a second
      {5, 50, 90, 200, 40, 19, 200},             // a short one
      {10, 5, 2005, 2100, 210, 201, 2100},       // the first owed tick as late as is replayed
      {10, 5, 2006, 2100, 9, 1, 2091},          // a millisecond more: starts afresh from there
      {33, 100, 5000, 5400, 13, 1, 5397},        // the machine suspended
  };
  static std::vector<std::int64_t> firedAt;
  static std::int64_t now;
  for (const Case& c : cases) {
    SCOPED_TRACE("period " + std::to_string(c.period) + " held " + std::to_string(c.holdFor) + " ms");
    firedAt.clear();
    const std::int64_t start = platform::MonotonicNs();  // the tests' clock stands still meanwhile
    const auto id = platform::timeSetEvent(static_cast<std::uint32_t>(c.period), 1,
                                           [](std::uint32_t, std::uintptr_t) { firedAt.push_back(now); }, 0,
                                           platform::TIME_PERIODIC);
    const std::int64_t holdFrom = start + c.holdFrom * ms, holdEnd = holdFrom + c.holdFor * ms;
    for (std::int64_t next; (next = platform::NextTimerDeadline()) <= start + c.until * ms;) {
      now = next >= holdFrom && next < holdEnd ? holdEnd : next;
      platform::FireDueTimers(now);
    }
    platform::timeKillEvent(id);
    ASSERT_EQ(firedAt.size(), static_cast<std::size_t>(c.delivered));
    EXPECT_EQ(std::count(firedAt.begin(), firedAt.end(), holdEnd), c.atHoldEnd);
    EXPECT_EQ(firedAt.back(), start + c.lastAt * ms);
  }
}

// The message loop's wait fires what is due, the time handed in here: each
// event at its deadline, earliest first, a one-shot once, a periodic one on
// along its grid; a killed event neither fires nor holds the wait.
TEST(TimerDeadlines, FireWhenDueEarliestFirstAndNeverOnceKilled) {
  constexpr std::int64_t ms = 1'000'000;
  static std::vector<std::uint32_t> fired;
  const auto note = [](std::uint32_t id, std::uintptr_t) { fired.push_back(id); };
  const std::int64_t start = platform::MonotonicNs();  // the tests' clock stands still meanwhile
  const auto periodic = platform::timeSetEvent(20, 1, note, 0, platform::TIME_PERIODIC);
  const std::int64_t periodicDue = start + 20 * ms;
  const auto oneShot = platform::timeSetEvent(10, 1, note, 0, platform::TIME_ONESHOT);
  const std::int64_t oneShotDue = platform::NextTimerDeadline();
  ASSERT_EQ(oneShotDue, start + 10 * ms);
  ASSERT_LT(oneShotDue, periodicDue);
  platform::FireDueTimers(oneShotDue - 1);
  EXPECT_TRUE(fired.empty());
  for (int pass = 0; pass < 2; ++pass) platform::FireDueTimers(periodicDue + 6 * ms);
  EXPECT_EQ(fired, (std::vector<std::uint32_t>{oneShot, periodic}));
  EXPECT_EQ(platform::NextTimerDeadline(), periodicDue + 20 * ms);
  for (auto id : {periodic, oneShot}) platform::timeKillEvent(id);
  EXPECT_EQ(platform::NextTimerDeadline(), platform::kNoDeadline);
  platform::FireDueTimers(platform::kNoDeadline - 1);
  EXPECT_EQ(fired.size(), 2u);
}

}  // namespace
