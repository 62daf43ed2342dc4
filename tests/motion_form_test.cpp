// The ball on the window, with ticks fired by the test: what a motion tick
// paints, the exit animation and the win screen, the tick's guard, and
// ticks that were queued before their timer stopped.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "game/level_generator.h"
#include "tests/test_support.h"

namespace {

// A ball that starts top-left, rolls along a floor, drops through a gap onto
// a shelf, turns at a wall, rolls back off the shelf and falls down a long
// shaft onto the cell above the exit.
TBoard Course() {
  TBoard b{};
  game::FrameBoard(b);
  for (int c = 1; c <= 12; c += 2) b.Cells[c][3] = CELL_HBAR_LEFT, b.Cells[c + 1][3] = CELL_HBAR_RIGHT;
  for (int c = 13; c <= 15; c += 2) b.Cells[c][7] = CELL_HBAR_LEFT, b.Cells[c + 1][7] = CELL_HBAR_RIGHT;
  b.Cells[16][5] = CELL_VBAR_TOP, b.Cells[16][6] = CELL_VBAR_BOTTOM;
  b.StartCol = 1, b.StartRow = 2;
  b.ExitCol = 12, b.ExitRow = 20;
  return b;
}

using Motion = FormTest;

TEST_F(Motion, EveryTickPaintsOnlyTheBallAndItsTrailUntilTheExitThenEightFramesAndTheWin) {
  Play(Course());
  int ticks = 0;
  while (form->Timer1.Enabled() && ticks < 2000) {
    const int x = form->BallX, y = form->BallY;
    if (ticks % 25 == 0) form->Window->FillRect(0, 0, 550, 440, 0xFF00FF);
    ASSERT_TRUE(Tick(form->Timer1));
    ++ticks;
    if (ticks % 25 == 1) {
      // Only the box of the old and the new sprite was painted.
      for (int py = 0; py < 440; ++py)
        for (int px = 0; px < 550; ++px) {
          const bool inBox = px >= std::min(x, form->BallX) && px < std::max(x, form->BallX) + 20 &&
                             py >= std::min(y, form->BallY) && py < std::max(y, form->BallY) + 20;
          if (!inBox) {
            ASSERT_EQ(Pixel(px, py), 0xFF00FFu) << px << "," << py;
          }
        }
      form->FormPaint();
    } else if (form->Timer1.Enabled()) {
      ASSERT_TRUE(PlayfieldIsFresh()) << "tick " << ticks;
    }
  }
  ASSERT_FALSE(form->Timer1.Enabled());
  EXPECT_GT(ticks, 300);
  EXPECT_EQ(Played(form->SoundBam), 2);  // landing on the shelf, and the wall
  EXPECT_EQ(Played(form->SoundOut), 1);
  // Caught on the cell above the exit, wiped there at once.
  EXPECT_EQ((std::array{form->BallCol, form->BallRow}), (std::array{12, 19}));
  EXPECT_TRUE(Shows(form->NoBall, game::CellX(12), game::CellY(19)));
  EXPECT_TRUE(form->Timer2.Enabled());

  for (int frame = 1; frame <= 8; ++frame) {
    form->DrawBall();  // as a repaint would leave it: each frame wipes it first
    ASSERT_TRUE(Tick(form->Timer2));
    EXPECT_EQ(form->OutFrame, frame);
    EXPECT_TRUE(Shows(form->Frames[frame], game::CellX(12), game::CellY(20))) << frame;
    EXPECT_TRUE(Shows(form->NoBall, form->BallX, form->BallY)) << frame;
    EXPECT_EQ(form->ScreenMode, SCREEN_GAME);
  }
  EXPECT_EQ(Played(form->SoundWow), 0);
  ASSERT_TRUE(QueueTick(form->Timer2));
  ASSERT_TRUE(QueueTick(form->Timer2));  // one more, queued just before the win screen
  platform::ProcessMessages();
  EXPECT_EQ(form->ScreenMode, SCREEN_WIN);
  EXPECT_TRUE(Shows(form->Frames[0], 0, 0));
  EXPECT_FALSE(form->Timer2.Enabled());
  EXPECT_EQ(Played(form->SoundWow), 1);
}

// Nothing at all happens on a tick while the window is not active or the
// game screen is not up: no step, no paint, no change of speed.
TEST_F(Motion, TheTickWaitsWhileAnotherWindowIsActiveOrAnotherScreenIsUp) {
  Play(Course());
  for (int i = 0; i < 200 && form->SpeedY == 0; ++i) Tick(form->Timer1);  // rolling to the gap
  ASSERT_EQ(form->SpeedY, 2);
  Tick(form->Timer1);
  const int interval = form->Timer1.Interval();
  ASSERT_LT(interval, 33);
  for (int blocker = 0; blocker < 3; ++blocker) {
    if (blocker == 0) platform::SetActiveWindowForTest(nullptr);
    if (blocker == 1) form->ScreenMode = SCREEN_TITLE;
    if (blocker == 2) form->ScreenMode = SCREEN_WIN;
    const TBallFields before = *form;
    form->Window->FillRect(0, 0, 550, 440, 0xFF00FF);
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(Tick(form->Timer1));
    EXPECT_EQ(std::memcmp(&before, static_cast<TBallFields*>(form.get()), sizeof before), 0) << blocker;
    EXPECT_EQ(form->Timer1.Interval(), interval) << blocker;
    EXPECT_EQ(Pixel(form->BallX, form->BallY), 0xFF00FFu) << blocker;
    EXPECT_TRUE(form->Timer1.Enabled());
    platform::SetActiveWindowForTest(form->Window.get());
    form->ScreenMode = SCREEN_GAME;
  }
  Tick(form->Timer1);
  EXPECT_EQ(form->Timer1.Interval(), interval - 2);  // back in motion
}

TEST_F(Motion, AMotionTickQueuedBeforeTheTimerStoppedStillMovesTheBall) {
  Play(Course());
  ASSERT_TRUE(QueueTick(form->Timer1));
  form->Timer1.SetEnabled(false);
  platform::ProcessMessages();
  EXPECT_EQ(form->BallX, game::CellX(1) + 2);
  EXPECT_TRUE(Shows(form->Ball, form->BallX, form->BallY));
}

// An animation tick queued a moment before Next, Again or Main stopped the
// animation must not touch the level (or title) that came up instead.
class QueuedAnimationTick : public FormTest, public testing::WithParamInterface<int> {};

TEST_P(QueuedAnimationTick, DoesNothingAfterAPanelButtonStoppedTheAnimation) {
  platform::SetClockForTest([t = 5000u]() mutable { return t += 7; });
  form->Difficulty = 1;
  Play(Course());
  while (form->Timer1.Enabled()) ASSERT_TRUE(Tick(form->Timer1));
  ASSERT_TRUE(Tick(form->Timer2));
  ASSERT_TRUE(QueueTick(form->Timer2));
  for (int frame = 2; frame <= 8; ++frame) form->OutFrame = frame;  // the last frame: its next tick would win
  const int y = GetParam();
  form->FormMouseDown(480, y);
  form->FormMouseUp(480, y);
  const auto shown = Playfield();
  const TBallFields ball = *form;
  const int screen = form->ScreenMode;
  platform::ProcessMessages();
  EXPECT_EQ(Playfield(), shown);
  EXPECT_EQ(std::memcmp(&ball, static_cast<TBallFields*>(form.get()), sizeof ball), 0);
  EXPECT_EQ(form->ScreenMode, screen);
  EXPECT_NE(form->ScreenMode, SCREEN_WIN);
  EXPECT_EQ(Played(form->SoundWow), 0);
}

INSTANTIATE_TEST_SUITE_P(Buttons, QueuedAnimationTick, testing::Values(270, 340, 400),
                         [](const auto& info) { return std::string(info.param == 270 ? "Next" : info.param == 340 ? "Again" : "Main"); });

}  // namespace
