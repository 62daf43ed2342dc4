// Random play far beyond what a player does, on every screen, with the
// level, the ball, the timers and the canvas checked after each event. The
// test command runs it a second time under the address and
// undefined-behaviour sanitizers; tools/fuzz.sh runs it for millions of
// events.

#include <gtest/gtest.h>

#include "tests/random_driver.h"

namespace {

class Stress : public testing::TestWithParam<int> {};

TEST_P(Stress, RandomEventsKeepTheGameSound) {
  const DriveResult run = DriveRandomly(static_cast<std::uint32_t>(GetParam()), 25000);
  EXPECT_EQ(run.fault, "") << "seed " << GetParam() << "; replay: tools/fuzz.sh --replay " << GetParam() << " 25000";
  // The run reached what it is meant to shake.
  EXPECT_GT(run.ticks, 2000);
  EXPECT_GT(run.barMoves, 50);
  EXPECT_GT(run.deals, 2);
}

INSTANTIATE_TEST_SUITE_P(Seeds, Stress, testing::Range(1, 9));

}  // namespace
