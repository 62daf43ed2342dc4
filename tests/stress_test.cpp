// Long random runs of mouse events and timer ticks on every screen, with the
// level, the ball and the screen checked after each event. Built a second
// time with the address and undefined-behaviour sanitizers by the test
// command.

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "tests/ball_invariants.h"
#include "tests/test_support.h"

namespace {

// What must hold of a dealt level whatever the player did.
void ExpectSoundLevel(const TMainForm& f, bool afterTick) {
  const TBoard& b = *f.Board;
  for (int i = 0; i < 22; ++i) {
    ASSERT_EQ(b.Cells[i][0], CELL_BORDER);
    ASSERT_EQ(b.Cells[i][21], CELL_BORDER);
    ASSERT_EQ(b.Cells[0][i], CELL_BORDER);
    ASSERT_EQ(b.Cells[21][i], CELL_BORDER);
  }
  for (int c = 1; c <= 20; ++c)
    for (int r = 1; r <= 20; ++r) {
      const auto code = b.Cells[c][r];
      ASSERT_LE(code, CELL_HBAR_RIGHT);
      // Every half has its other half beside it.
      const bool paired = (code == CELL_EMPTY) || (code == CELL_VBAR_TOP && b.Cells[c][r + 1] == CELL_VBAR_BOTTOM) ||
                          (code == CELL_VBAR_BOTTOM && b.Cells[c][r - 1] == CELL_VBAR_TOP) ||
                          (code == CELL_HBAR_LEFT && b.Cells[c + 1][r] == CELL_HBAR_RIGHT) ||
                          (code == CELL_HBAR_RIGHT && b.Cells[c - 1][r] == CELL_HBAR_LEFT);
      ASSERT_TRUE(paired) << c << "," << r;
    }
  ASSERT_EQ(b.Cells[b.StartCol][b.StartRow], CELL_EMPTY);
  ASSERT_EQ(b.Cells[b.ExitCol][b.ExitRow], CELL_EMPTY);
  ASSERT_EQ(BallFault(b, f, afterTick), "");
  // Bars only move: as many of each kind as were dealt.
  const auto count = [](const TBoard& board, std::uint8_t code) {
    int n = 0;
    for (int c = 1; c <= 20; ++c)
      for (int r = 1; r <= 20; ++r) n += board.Cells[c][r] == code;
    return n;
  };
  ASSERT_EQ(count(b, CELL_VBAR_TOP), count(*f.SavedBoard, CELL_VBAR_TOP));
  ASSERT_EQ(count(b, CELL_HBAR_LEFT), count(*f.SavedBoard, CELL_HBAR_LEFT));
}

class Stress : public FormTest, public testing::WithParamInterface<int> {};

TEST_P(Stress, RandomMouseEventsKeepTheGameSound) {
  std::mt19937 rng(GetParam());
  std::uint32_t clock = 1000;
  platform::SetClockForTest([&] { return clock += 7; });
  form->Difficulty = GetParam() % 3 + 1;
  form->SoundOn = false;  // the win fanfare would hold each run for a second and a half
  // Points cluster round the active areas' edges, where faults hide.
  std::uniform_int_distribution<int> anyX(-30, 580), anyY(-30, 470), pick(0, 99);
  const int edgesX[] = {0, 89, 90, 91, 419, 420, 440, 441, 459, 460, 470, 471, 549, 550};
  const int edgesY[] = {0, 20, 21, 244, 245, 309, 310, 360, 361, 374, 375, 380, 381, 419, 435, 436, 439};
  int ticks = 0;
  bool pressSinceTick = false;
  for (int step = 0; step < 1500; ++step) {
    int x = anyX(rng), y = anyY(rng);
    if (pick(rng) < 50) x = edgesX[rng() % std::size(edgesX)];
    if (pick(rng) < 50) y = edgesY[rng() % std::size(edgesY)];
    const int what = pick(rng);
    // Ticks come between the mouse's events, now and then queued to run
    // after the next one.
    if (pick(rng) < 60) {
      const bool queueOnly = pick(rng) < 10;
      for (TcsHiResTimer* timer : {&form->Timer1, &form->Timer2})
        if (queueOnly ? QueueTick(*timer) : Tick(*timer)) ticks += timer == &form->Timer1;
      // A motion tick restores what a press may have left (a ball set
      // rolling over an unfinished fall).
      if (!queueOnly && form->ScreenMode == SCREEN_GAME && form->Timer1.Enabled()) pressSinceTick = false;
    }
    if (what < 40) {
      form->FormMouseMove(x, y);
    } else if (what < 65) {
      form->FormMouseDown(x, y);
      pressSinceTick = true;
    } else if (what < 95) {
      form->FormMouseUp(x, y);
    } else if (what < 97 && form->ScreenMode == SCREEN_GAME) {
      form->ShowWinScreen();
    } else {
      form->FormPaint();
    }
    ASSERT_TRUE(form->ScreenMode == SCREEN_TITLE || form->ScreenMode == SCREEN_GAME ||
                form->ScreenMode == SCREEN_WIN);
    if (form->ScreenMode != SCREEN_TITLE) {
      ASSERT_TRUE(form->LevelReady);
    }
    if (form->LevelReady) ExpectSoundLevel(*form, !pressSinceTick);
    if (form->Timer2.Enabled()) {
      ASSERT_FALSE(form->Timer1.Enabled());
    }
  }
  EXPECT_GT(ticks, 100);
}

INSTANTIATE_TEST_SUITE_P(Seeds, Stress, testing::Range(1, 7));

}  // namespace
