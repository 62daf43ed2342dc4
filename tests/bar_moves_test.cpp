// The rules of bar moves on hand-built boards: which presses count, the
// four moves and their refusals, and how the ball's partial step is
// finished before a bar moves, case by case.

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>
#include <vector>

#include "game/bar_moves.h"
#include "game/level_generator.h"

namespace {

using game::TCell;

TBoard Empty() {
  TBoard b{};
  game::FrameBoard(b);
  b.ExitCol = 20, b.ExitRow = 20;
  return b;
}
void VBar(TBoard& b, int c, int r) { b.Cells[c][r] = CELL_VBAR_TOP, b.Cells[c][r + 1] = CELL_VBAR_BOTTOM; }
void HBar(TBoard& b, int c, int r) { b.Cells[c][r] = CELL_HBAR_LEFT, b.Cells[c + 1][r] = CELL_HBAR_RIGHT; }

TBallFields Ball(int x, int y, int speedX = 0, int speedY = 0) {
  TBallFields ball;
  ball.BallX = x, ball.BallY = y, ball.SpeedX = speedX, ball.SpeedY = speedY;
  ball.BallCol = game::ColumnAt(x), ball.BallRow = game::RowAt(y);
  return ball;
}

bool Press(TBoard& board, TBallFields& ball, int col, int row) { return game::PressBar(board, ball, col, row).has_value(); }

TEST(BarMoves, OnlyPressesFrom21To419OnBothAxesCount) {
  const std::tuple<int, int, bool> cases[] = {
      {20, 100, false}, {21, 100, true},  {419, 100, true}, {420, 100, false}, {440, 100, false}, {-5, 100, false},
      {100, 20, false}, {100, 21, true},  {100, 419, true}, {100, 420, false}, {100, 439, false}, {100, -1, false},
  };
  for (auto [x, y, counts] : cases) EXPECT_EQ(game::OnPlayfield(x, y), counts) << x << "," << y;
  EXPECT_EQ((TCell{game::ColumnAt(21), game::RowAt(21)}), (TCell{1, 1}));
  EXPECT_EQ((TCell{game::ColumnAt(419), game::RowAt(419)}), (TCell{20, 20}));
}

TEST(BarMoves, EachHalfMovesItsBarOneCellItsWay) {
  struct Row {
    bool vertical;
    TCell pressed;
    TCell target, vacated, picture;
    int dx, dy;
  } rows[] = {
      {true, {5, 10}, {5, 9}, {5, 11}, {5, 9}, 3, 0},       // upper half: up
      {true, {5, 11}, {5, 12}, {5, 10}, {5, 11}, 3, 40},    // lower half: down
      {false, {8, 10}, {7, 10}, {9, 10}, {7, 10}, -19, 20}, // left half: left
      {false, {9, 10}, {10, 10}, {8, 10}, {9, 10}, 23, 20}, // right half: right
  };
  for (const Row& row : rows) {
    TBoard board = Empty();
    row.vertical ? VBar(board, 5, 10) : HBar(board, 8, 10);
    TBoard after = Empty();
    row.vertical ? VBar(after, row.picture.Col, row.picture.Row) : HBar(after, row.picture.Col, row.picture.Row);
    const auto move = game::MoveFor(board, row.pressed.Col, row.pressed.Row);
    ASSERT_TRUE(move);
    EXPECT_EQ((std::tuple{move->Target, move->Vacated, move->Picture, move->Vertical, move->PointerDX, move->PointerDY}),
              (std::tuple{row.target, row.vacated, row.picture, row.vertical, row.dx, row.dy}));
    TBallFields ball = Ball(game::CellX(1), game::CellY(1));
    ASSERT_TRUE(Press(board, ball, row.pressed.Col, row.pressed.Row));
    EXPECT_EQ(std::memcmp(&board, &after, sizeof board), 0);
  }
}

TEST(BarMoves, ABarNeverEntersABarTheFrameTheBallOrTheExit) {
  struct Row {
    const char* name;
    TBoard board;
    TCell pressed;
    TBallFields ball;
  };
  TBoard top = Empty(), bottom = Empty(), left = Empty(), right = Empty(), blocked = Empty(), exit = Empty();
  VBar(top, 4, 1), VBar(bottom, 4, 19), HBar(left, 1, 7), HBar(right, 19, 7);
  VBar(blocked, 4, 8), HBar(blocked, 3, 7);
  VBar(exit, 12, 16), exit.ExitCol = 12, exit.ExitRow = 15;
  const Row rows[] = {
      {"upper half on rows 1 and 2", top, {4, 1}, Ball(400, 400)},
      {"lower half on rows 19 and 20", bottom, {4, 20}, Ball(400, 20)},
      {"left half on columns 1 and 2", left, {1, 7}, Ball(400, 400)},
      {"right half on columns 19 and 20", right, {20, 7}, Ball(20, 400)},
      {"another bar in the way", blocked, {4, 8}, Ball(400, 400)},
      {"the ball in the way", top, {4, 2}, Ball(game::CellX(4), game::CellY(3))},
      {"the exit in the way, though it is empty", exit, {12, 16}, Ball(400, 400)},
      {"an empty cell", exit, {2, 2}, Ball(400, 400)},
  };
  for (const Row& row : rows) {
    TBoard board = row.board;
    TBallFields ball = row.ball;
    EXPECT_FALSE(Press(board, ball, row.pressed.Col, row.pressed.Row)) << row.name;
    EXPECT_EQ(std::memcmp(&board, &row.board, sizeof board), 0) << row.name;
  }
}

// Each case: the board's one bar, the half pressed, the ball before; the
// ball after (position and speeds) and whether the bar moved.
TEST(BarMoves, TheBallsPartialStepIsFinishedWhereItStraddlesTheTarget) {
  struct Row {
    const char* name;
    bool vertical;
    TCell bar, pressed;
    TBallFields before;
    int x, y, speedX, speedY;
    bool moved;
  };
  const int X5 = game::CellX(5), X6 = game::CellX(6);
  const Row rows[] = {
      {"rolling right through the cell above: carried on, then the bar goes up", true, {5, 10}, {5, 10},
       Ball(X5 + 6, game::CellY(9), 2, 0), X6, game::CellY(9), 2, 0, true},
      {"rolling left out of the cell above: carried on left", true, {5, 10}, {5, 10}, Ball(X5 - 6, game::CellY(9), -2, 0),
       game::CellX(4), game::CellY(9), -2, 0, true},
      {"falling into the cell above: dropped in, the bar stays", true, {5, 10}, {5, 10},
       Ball(X5, game::CellY(8) + 6, 0, 2), X5, game::CellY(9), 0, 0, false},
      {"wholly above, right free: not moved, set rolling right", true, {5, 10}, {5, 10}, Ball(X5, game::CellY(9)), X5,
       game::CellY(9), 2, 0, false},
      {"falling out of the cell below: a cell further down, the bar goes down", true, {5, 10}, {5, 11},
       Ball(X5, game::CellY(12) + 4, 0, 2), X5, game::CellY(13), 2, 2, true},
      {"rolling right into the cell below: carried back out left, the bar goes down", true, {5, 10}, {5, 11},
       Ball(game::CellX(4) + 6, game::CellY(12), 2, 0), game::CellX(4), game::CellY(12), -2, 0, true},
      // Two columns left of the pressed half: the fall is finished, then the
      // ball is also set rolling left although it goes on falling.
      {"falling near a horizontal bar's left half: finished at once", false, {8, 10}, {8, 10},
       Ball(game::CellX(6), game::CellY(3) + 8, 0, 2), game::CellX(6), game::CellY(4), -2, 2, true},
      {"falling two columns right of it: finished too", false, {8, 10}, {8, 10},
       Ball(game::CellX(9), game::CellY(14) + 8, 0, 2), game::CellX(9), game::CellY(15), 0, 2, true},
      {"falling three columns left: left alone", false, {8, 10}, {8, 10}, Ball(game::CellX(5), game::CellY(3) + 8, 0, 2),
       game::CellX(5), game::CellY(3) + 8, 0, 2, true},
      {"rolling into the left target: carried back out", false, {8, 10}, {8, 10},
       Ball(game::CellX(6) + 4, game::CellY(10), 2, 0), game::CellX(6), game::CellY(10), -2, 0, true},
      {"carried back out against the frame: comes to rest", false, {3, 10}, {3, 10},
       Ball(game::CellX(1) + 4, game::CellY(10), 2, 0), game::CellX(1), game::CellY(10), 0, 0, true},
      {"falling in the column of the right half's bar: finished", false, {8, 10}, {9, 10},
       Ball(game::CellX(8), game::CellY(3) + 8, 0, 2), game::CellX(8), game::CellY(4), 0, 2, true},
      {"rolling out of the right target: carried on", false, {8, 10}, {9, 10},
       Ball(game::CellX(10) + 4, game::CellY(10), 2, 0), game::CellX(11), game::CellY(10), 2, 0, true},
      {"falling onto a floor: stops falling, silently", false, {8, 10}, {9, 10},
       Ball(game::CellX(9), game::CellY(8) + 2, 0, 2), game::CellX(9), game::CellY(9), 0, 0, true},
  };
  for (const Row& row : rows) {
    TBoard board = Empty();
    row.vertical ? VBar(board, row.bar.Col, row.bar.Row) : HBar(board, row.bar.Col, row.bar.Row);
    TBallFields ball = row.before;
    EXPECT_EQ(Press(board, ball, row.pressed.Col, row.pressed.Row), row.moved) << row.name;
    EXPECT_EQ((std::vector{ball.BallX, ball.BallY, ball.SpeedX, ball.SpeedY}),
              (std::vector{row.x, row.y, row.speedX, row.speedY}))
        << row.name;
    EXPECT_EQ((TCell{ball.BallCol, ball.BallRow}), (TCell{game::ColumnAt(ball.BallX), game::RowAt(ball.BallY)}))
        << row.name;
  }
}

TEST(BarMoves, AnAlignmentTakesAtMostNineStepsEachBetweenTheHooks) {
  const TBoard board = Empty();
  TBallFields ball = Ball(game::CellX(5) + 2, game::CellY(5), -2, 0);
  std::vector<int> seen;
  game::AlignBall(board, ball, game::TDirection::Right,
                  {[&] { seen.push_back(-ball.BallX); }, [&] { seen.push_back(ball.BallX); }});
  std::vector<int> expected;
  for (int x = game::CellX(5) + 2; x < game::CellX(6); x += 2) expected.insert(expected.end(), {-x, x + 2});
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(seen.size(), 18u);
}

}  // namespace
