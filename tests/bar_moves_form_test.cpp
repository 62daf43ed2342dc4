// Bar moves through the window: what a press stops and starts, what it
// draws and where it takes the pointer, the direction cursors, any mouse
// button, and presses while the ball drops out.

#include <gtest/gtest.h>

#include <SDL.h>

#include <array>
#include <cstring>
#include <string>

#include "game/level_generator.h"
#include "tests/queued_events.h"
#include "tests/test_support.h"

namespace {

// A vertical bar on (5, 10)-(5, 11), a horizontal one on (8, 10)-(9, 10);
// the ball at rest in a pocket top-left, the exit far away.
TBoard Level() {
  TBoard b{};
  game::FrameBoard(b);
  b.Cells[5][10] = CELL_VBAR_TOP, b.Cells[5][11] = CELL_VBAR_BOTTOM;
  b.Cells[8][10] = CELL_HBAR_LEFT, b.Cells[9][10] = CELL_HBAR_RIGHT;
  b.Cells[2][1] = CELL_VBAR_TOP, b.Cells[2][2] = CELL_VBAR_BOTTOM;
  b.Cells[1][2] = CELL_VBAR_TOP, b.Cells[1][3] = CELL_VBAR_BOTTOM;
  b.StartCol = 1, b.StartRow = 1;
  b.ExitCol = 19, b.ExitRow = 20;
  return b;
}

class BarMoveForm : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    Play(Level());
  }
  void Press(int x, int y) { form->FormMouseDown(x, y), form->FormMouseUp(x, y); }
};

// A press outside the strict square leaves the motion timer untouched;
// every other press stops it and starts it afresh, bar or no bar.
TEST_F(BarMoveForm, EveryPressInsideRestartsTheMotionAndOnlyThose) {
  const struct { int x, y; bool inside; } presses[] = {
      {20, 100, false}, {100, 20, false}, {420, 100, false}, {430, 100, false}, {100, 420, false}, {440, 439, false},
      {21, 21, true},   {419, 419, true}, {200, 200, true},  {105, 210, true},  {395, 410, true},
  };
  for (bool running : {true, false})
    for (const auto& p : presses) {
      Play(Level());
      form->Timer1.SetEnabled(running);
      const auto event = form->Timer1.TimerId();
      Press(p.x, p.y);
      EXPECT_EQ(form->Timer1.Enabled(), p.inside || running) << p.x << "," << p.y;
      EXPECT_EQ(form->Timer1.TimerId() != event, p.inside) << p.x << "," << p.y;
    }
}

TEST_F(BarMoveForm, AMoveDrawsTheBarAndBlanksTheVacatedCellAndNothingElse) {
  form->Window->FillRect(0, 0, 550, 440, 0xFF00FF);
  Press(105, 210);  // upper half of the vertical bar: up
  ASSERT_EQ(form->Board->Cells[5][9], CELL_VBAR_TOP);
  EXPECT_TRUE(Shows(form->Vertical, game::CellX(5), game::CellY(9)));
  EXPECT_TRUE(Shows(form->NoBall, game::CellX(5), game::CellY(11)));
  EXPECT_EQ(Played(form->SoundMove), 1);
  for (int y = 0; y < 440; ++y)
    for (int x = 0; x < 420; ++x) {
      if (x >= 100 && x < 120 && y >= 180 && y < 240) continue;
      ASSERT_EQ(Pixel(x, y), 0xFF00FFu) << x << "," << y;
    }
  form->FormPaint();
  EXPECT_TRUE(PlayfieldIsFresh());
}

// The pointer goes with the bar: its place on the screen moves by the bar's
// shift (the left move's by 22) under any window frame.
TEST_F(BarMoveForm, ThePointerFollowsEachMoveAndOnlyAMove) {
  const struct { int x, y, dx, dy; } moves[] = {
      {105, 210, 0, -20},  // up
      {105, 235, 0, 20},   // down
      {165, 205, -22, 0},  // left
      {195, 205, 20, 0},   // right
  };
  for (const auto& m : moves) {
    Play(Level());
    pointerMoves.clear();
    Press(m.x, m.y);
    const int screenX = form->Window->Left() + 3 + m.x, screenY = form->Window->Top() + 20 + m.y;
    ASSERT_EQ(pointerMoves.size(), 1u) << m.x << "," << m.y;
    EXPECT_EQ(pointerMoves[0], (platform::PointerMove{screenX + m.dx, screenY + m.dy})) << m.x << "," << m.y;
  }
  pointerMoves.clear();
  Press(300, 300);  // an empty cell
  Press(form->BallX + 5, form->BallY + 5);
  EXPECT_TRUE(pointerMoves.empty());
}

TEST_F(BarMoveForm, AnyMouseButtonMovesABar) {
  form->Window->Show();
  for (Uint8 button : {SDL_BUTTON_LEFT, SDL_BUTTON_MIDDLE, SDL_BUTTON_RIGHT, SDL_BUTTON_X1}) {
    Play(Level());
    PushPointer(SDL_MOUSEBUTTONDOWN, form->Window->Id(), 105, 210, button);
    platform::ProcessMessages();
    EXPECT_EQ(form->Board->Cells[5][9], CELL_VBAR_TOP) << int(button);
  }
}

TEST_F(BarMoveForm, TheArrowShowsTheWayAndStaysOverEmptyCells) {
  const struct { int x, y, cursor; } path[] = {
      {105, 205, CURSOR_UP}, {150, 150, CURSOR_UP},      {105, 235, CURSOR_DOWN}, {300, 300, CURSOR_DOWN},
      {165, 205, CURSOR_LEFT}, {195, 205, CURSOR_RIGHT}, {21, 21, CURSOR_RIGHT},  {419, 419, CURSOR_RIGHT},
      {20, 200, platform::CURSOR_ARROW},
  };
  for (const auto& p : path) {
    form->FormMouseMove(p.x, p.y);
    EXPECT_EQ(form->Window->Cursor(), p.cursor) << p.x << "," << p.y;
  }
}

TEST_F(BarMoveForm, PressesWhileTheBallDropsOutAreIgnored) {
  form->Timer1.SetEnabled(false);
  form->Timer2.SetEnabled(true);
  Press(105, 210);
  EXPECT_EQ(form->Board->Cells[5][9], CELL_EMPTY);
  EXPECT_FALSE(form->Timer1.Enabled());
}

// A fall finished by a press ends silently, at the speed the fall had reached.
TEST_F(BarMoveForm, AFallFinishedOntoABarIsSilentAndKeepsItsSpeed) {
  form->BallX = game::CellX(9), form->BallY = game::CellY(8) + 2;
  form->BallCol = 9, form->BallRow = 8;
  form->SpeedX = 0, form->SpeedY = 2;
  form->Timer1.SetInterval(11);
  form->FormPaint();
  Press(185, 205);  // the right half: the ball falls onto it, the bar goes right
  EXPECT_EQ((std::array{form->BallY, form->SpeedY}), (std::array{game::CellY(9), 0}));
  EXPECT_EQ(form->Timer1.Interval(), 11);
  EXPECT_EQ(Played(form->SoundBam), 0);
  EXPECT_TRUE(PlayfieldIsFresh());
}

}  // namespace
