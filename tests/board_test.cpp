// Painting the board: every cell by its code, bars over both their cells,
// the exit on top whatever lies under it, and the ball alone.

#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "game/level_generator.h"
#include "test_support.h"

namespace {

class BoardDrawing : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    game::FrameBoard(*form->Board);
    game::ClearBoard(*form->Board);
    form->Board->ExitCol = 7;
    form->Board->ExitRow = 18;
    // Something that is not black under the playfield, to see what changes.
    form->Draw(form->Title, 0, 0);
  }
  TBoard& board() { return *form->Board; }
};

TEST_F(BoardDrawing, AnEmptyBoardIsBlackWithTheExitOnTop) {
  form->DrawBoard();
  for (int c = 1; c <= 20; ++c)
    for (int r = 1; r <= 20; ++r) {
      if (c == 7 && r == 18) continue;
      ASSERT_TRUE(Shows(form->NoBall, game::CellX(c), game::CellY(r))) << c << "," << r;
    }
  EXPECT_TRUE(Shows(form->Exit, game::CellX(7), game::CellY(18)));
  // The frame cells are never drawn: the picture behind them stays.
  for (int x : {0, 10, 19, 420, 430})
    for (int y : {0, 10, 19, 200, 425}) EXPECT_EQ(Pixel(x, y), form->Title.Pixel(x, y)) << x << "," << y;
}

TEST_F(BoardDrawing, BarsCoverBothTheirCells) {
  board().Cells[3][4] = CELL_VBAR_TOP;
  board().Cells[3][5] = CELL_VBAR_BOTTOM;
  board().Cells[19][20] = CELL_HBAR_LEFT;
  board().Cells[20][20] = CELL_HBAR_RIGHT;
  board().Cells[1][1] = CELL_HBAR_LEFT;
  board().Cells[2][1] = CELL_HBAR_RIGHT;
  form->DrawBoard();
  EXPECT_TRUE(Shows(form->Vertical, game::CellX(3), game::CellY(4)));
  EXPECT_TRUE(Shows(form->Horizont, game::CellX(19), game::CellY(20)));
  EXPECT_TRUE(Shows(form->Horizont, 20, 20));
  EXPECT_TRUE(Shows(form->NoBall, game::CellX(3), game::CellY(6)));
  EXPECT_TRUE(Shows(form->NoBall, game::CellX(4), game::CellY(4)));
}

TEST_F(BoardDrawing, TheExitShowsWhateverCellItIsOn) {
  board().Cells[7][17] = CELL_VBAR_TOP;
  board().Cells[7][18] = CELL_VBAR_BOTTOM;
  form->DrawBoard();
  EXPECT_TRUE(Shows(form->Exit, game::CellX(7), game::CellY(18)));
  // The upper half of the bar keeps its picture.
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x)
      ASSERT_EQ(Pixel(game::CellX(7) + x, game::CellY(17) + y), form->Vertical.Pixel(x, y));
}

TEST_F(BoardDrawing, TheBallIsDrawnWhereItsFieldsSayAndNothingElseChanges) {
  form->DrawBoard();
  form->BallX = 46, form->BallY = 100;  // between cells, as in mid-roll
  form->DrawBall();
  EXPECT_TRUE(Shows(form->Ball, 46, 100));
  EXPECT_TRUE(Shows(form->NoBall, 20, 100));
  EXPECT_TRUE(Shows(form->NoBall, 66, 100));
  EXPECT_TRUE(Shows(form->Exit, game::CellX(7), game::CellY(18)));
}

// Dealing on the window: the hour-glass is up whenever an attempt is seeded
// from the clock, the ball waits on the start cell, the dealt level is kept,
// and the arrow comes back.
TEST_F(FormTest, GenerateLevelSeedsEachAttemptUnderTheHourGlass) {
  int reads = 0;
  bool hourGlass = true;
  platform::SetClockForTest([&] {
    hourGlass = hourGlass && form->Window->Cursor() == platform::CURSOR_HOURGLASS;
    return 1000u + reads++;
  });
  for (int difficulty = 1; difficulty <= 3; ++difficulty) {
    form->Difficulty = difficulty;
    for (int level = 0; level < 50; ++level) {
      form->Window->SetCursor(CURSOR_DOWN);
      form->GenerateLevel();
      const TBoard& b = *form->Board;
      ASSERT_EQ((std::array{form->BallCol, form->BallRow, form->BallX, form->BallY}),
                (std::array{b.StartCol, b.StartRow, 20 * b.StartCol, 20 * b.StartRow}));
      ASSERT_EQ(std::memcmp(form->SavedBoard.get(), &b, sizeof(TBoard)), 0);
      ASSERT_EQ(form->Window->Cursor(), platform::CURSOR_ARROW);
    }
  }
  EXPECT_TRUE(hourGlass);
  EXPECT_GT(reads, 150);  // some attempts were thrown away and seeded again
}

}  // namespace
