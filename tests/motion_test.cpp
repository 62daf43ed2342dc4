// The rules of ball motion on hand-built boards, tick by tick, and a sweep
// over dealt levels against what must always hold of the ball.

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "game/level_generator.h"
#include "game/motion.h"
#include "tests/ball_invariants.h"

namespace {


// An empty playfield in its frame, with a floor under row `floorRow` unless
// 0, and the exit far away in the bottom-right corner.
TBoard Board(std::initializer_list<std::pair<int, int>> blocked, int floorRow = 0) {
  TBoard b{};
  game::FrameBoard(b);
  for (int c = 1; c <= 20 && floorRow > 0; ++c) b.Cells[c][floorRow + 1] = CELL_BORDER;
  for (auto [c, r] : blocked) b.Cells[c][r] = CELL_VBAR_TOP;  // any bar half blocks
  b.ExitCol = 20, b.ExitRow = 20;
  return b;
}

TBallFields Ball(int x, int y, int speedX, int speedY) {
  TBallFields ball;
  ball.BallX = x, ball.BallY = y, ball.SpeedX = speedX, ball.SpeedY = speedY;
  ball.BallCol = game::ColumnAt(x), ball.BallRow = game::RowAt(y);
  return ball;
}

// One whole motion tick of the rules: what the window does, without drawing.
struct Tick {
  game::TSpeedDecision decided;
  bool exit;
};
Tick RunTick(const TBoard& board, TBallFields& ball, int interval) {
  const auto decided = game::DecideSpeeds(board, ball, interval);
  game::StepBall(ball);
  return {decided, game::ExitReached(board, ball)};
}

struct TickRow {
  const char* name;
  TBoard board;
  TBallFields before;
  int interval;
  int x, y, speedX, speedY, knocks, intervalAfter;
};

// Ball at (100, 100) is cell (5, 5); its neighbours are (4, 5), (6, 5), (5, 6).
const TickRow kTicks[] = {
    {"at rest, both sides free: rolls right", Board({}, 5), Ball(100, 100, 0, 0), 33, 102, 100, 2, 0, 0, 33},
    {"at rest, right blocked: rolls left", Board({{6, 5}}, 5), Ball(100, 100, 0, 0), 33, 98, 100, -2, 0, 0, 33},
    {"pocket: stays, silent", Board({{4, 5}, {6, 5}}, 5), Ball(100, 100, 0, 0), 33, 100, 100, 0, 0, 0, 33},
    {"rolling right into a bar: turns with one knock", Board({{6, 5}}, 5), Ball(100, 100, 2, 0), 33, 98, 100, -2, 0, 1,
     33},
    {"rolling right, bars both sides: stops with one knock", Board({{4, 5}, {6, 5}}, 5), Ball(100, 100, 2, 0), 33, 100,
     100, 0, 0, 1, 33},
    {"rolling left into a bar: turns with one knock", Board({{4, 5}}, 5), Ball(100, 100, -2, 0), 33, 102, 100, 2, 0, 1,
     33},
    {"rolling left, bars both sides: stops with one knock", Board({{4, 5}, {6, 5}}, 5), Ball(100, 100, -2, 0), 33, 100,
     100, 0, 0, 1, 33},
    // Between columns, moving left, its cell is the one it enters; the bar
    // beyond waits for the whole column.
    {"between columns a bar ahead is ignored", Board({{3, 5}}, 5), Ball(94, 100, -2, 0), 33, 92, 100, -2, 0, 0, 33},
    {"rolling onto a column over a hole: falls silently", Board({}, 0), Ball(100, 100, 2, 0), 33, 100, 102, 0, 2, 0,
     33},
    {"bar ahead over a hole: one knock and falls", Board({{6, 5}}, 0), Ball(100, 100, 2, 0), 33, 100, 102, 0, 2, 1, 33},
    {"falling speeds up", Board({}, 0), Ball(100, 104, 0, 2), 33, 100, 106, 0, 2, 0, 31},
    {"falling at 7 reaches 5", Board({}, 0), Ball(100, 104, 0, 2), 7, 100, 106, 0, 2, 0, 5},
    {"falling at 5 stays at 5", Board({}, 0), Ball(100, 104, 0, 2), 5, 100, 106, 0, 2, 0, 5},
    {"landing rolls off right in the same tick", Board({}, 5), Ball(100, 100, 0, 2), 9, 102, 100, 2, 0, 1, 33},
    {"landing with the right blocked rolls off left", Board({{6, 5}}, 5), Ball(100, 100, 0, 2), 9, 98, 100, -2, 0, 1,
     33},
    {"landing in a pocket rests", Board({{4, 5}, {6, 5}}, 5), Ball(100, 100, 0, 2), 9, 100, 100, 0, 0, 1, 33},
    // A ball set rolling over a fall by a press: both knocks in one tick.
    {"rolling and falling into a corner: two knocks", Board({{6, 5}}, 5), Ball(100, 100, 2, 2), 9, 98, 100, -2, 0, 2,
     33},
};

TEST(Motion, EachTickOfTheStateTable) {
  for (const TickRow& row : kTicks) {
    SCOPED_TRACE(row.name);
    TBallFields ball = row.before;
    const Tick tick = RunTick(row.board, ball, row.interval);
    EXPECT_EQ((std::vector{ball.BallX, ball.BallY, ball.SpeedX, ball.SpeedY, tick.decided.Knocks,
                           tick.decided.Interval}),
              (std::vector{row.x, row.y, row.speedX, row.speedY, row.knocks, row.intervalAfter}));
    EXPECT_EQ(BallFault(row.board, ball), "");
  }
}

TEST(Motion, ALongFallSpeedsUpToFiveAndStepsEveryPixelPair) {
  const TBoard board = Board({{4, 1}, {6, 1}}, 0);  // a chute from row 1 to the bottom frame
  TBallFields ball = Ball(100, 20, 0, 0);
  std::vector<int> intervals;
  int interval = 33, ticks = 0;
  while (true) {
    const Tick tick = RunTick(board, ball, interval);
    ++ticks;
    if (tick.decided.Knocks > 0) break;  // the landing
    ASSERT_EQ(ball.BallX, 100);
    ASSERT_EQ(ball.BallY, 20 + 2 * ticks);
    intervals.push_back(interval = tick.decided.Interval);
  }
  EXPECT_EQ(ball.BallY, 400);  // row 20, ten ticks a cell for 19 cells
  EXPECT_EQ(ticks, 19 * 10 + 1);
  const std::vector<int> speedUp{33, 31, 29, 27, 25, 23, 21, 19, 17, 15, 13, 11, 9, 7, 5, 5};
  EXPECT_EQ(std::vector(intervals.begin(), intervals.begin() + 16), speedUp);
  EXPECT_EQ(interval, 5);
}

TEST(Motion, TheExitIsReachedFromItsOwnCellAndLeftRightAndAboveOnly) {
  TBoard board = Board({});
  board.ExitCol = 10, board.ExitRow = 18;
  struct { int dc, dr; bool leaves; } cases[] = {
      {0, 0, true},  {-1, 0, true},  {1, 0, true},  {0, -1, true},   // the exit, left, right, above
      {0, 1, false}, {-1, -1, false}, {1, -1, false}, {-1, 1, false}, {1, 1, false}, {-2, 0, false}, {0, -2, false},
  };
  for (auto [dc, dr, leaves] : cases) {
    const TBallFields ball = Ball(game::CellX(10 + dc), game::CellY(18 + dr), 0, 0);
    EXPECT_EQ(game::ExitReached(board, ball), leaves) << dc << "," << dr;
    for (int off : {2, 18}) {  // never between cells
      EXPECT_FALSE(game::ExitReached(board, Ball(ball.BallX + off, ball.BallY, 2, 0))) << dc << "," << dr;
      EXPECT_FALSE(game::ExitReached(board, Ball(ball.BallX, ball.BallY + off, 0, 2))) << dc << "," << dr;
    }
  }
}

// Rolling over the cell above the exit, or falling past a cell beside it,
// the ball is caught on arrival there and never enters the exit.
TEST(Motion, ABallPassingTheExitIsCaughtOnArrival) {
  TBoard floor = Board({}, 17);
  floor.ExitCol = 10, floor.ExitRow = 18;
  TBallFields rolling = Ball(game::CellX(7), game::CellY(17), 2, 0);
  TBoard chute = Board({});
  chute.ExitCol = 10, chute.ExitRow = 18;
  TBallFields falling = Ball(game::CellX(9), game::CellY(12), 0, 2);
  for (auto [board, ball, col, row] : {std::tuple{&floor, &rolling, 10, 17}, std::tuple{&chute, &falling, 9, 18}}) {
    int ticks = 0, interval = 33;
    Tick tick{};
    while (!tick.exit && ++ticks < 200) interval = (tick = RunTick(*board, *ball, interval)).decided.Interval;
    EXPECT_TRUE(tick.exit);
    EXPECT_EQ((std::vector{ball->BallX, ball->BallY}), (std::vector{game::CellX(col), game::CellY(row)}));
  }
}

// A ball left on a whole cell beside the exit steps first: rolling in, it is
// caught on the exit itself; falling, not at that cell.
TEST(Motion, ABallStartingBesideTheExitStepsFirst) {
  TBoard board = Board({}, 18);
  board.ExitCol = 10, board.ExitRow = 18;
  TBallFields ball = Ball(game::CellX(9), game::CellY(18), 0, 0);
  for (int tick = 1; tick <= 9; ++tick) ASSERT_FALSE(RunTick(board, ball, 33).exit) << tick;
  EXPECT_TRUE(RunTick(board, ball, 33).exit);
  EXPECT_EQ(ball.BallX, game::CellX(10));

  board.Cells[9][19] = CELL_EMPTY;  // a hole under the cell beside the exit
  ball = Ball(game::CellX(9), game::CellY(18), 0, 0);
  for (int tick = 1; tick <= 10; ++tick) ASSERT_FALSE(RunTick(board, ball, 33).exit) << tick;
  EXPECT_EQ(ball.BallY, game::CellY(19));
}

// Dealt levels at every difficulty, the ball let go from its start and
// followed for a thousand ticks, or until it leaves.
TEST(Motion, OnDealtLevelsTheBallKeepsEveryInvariant) {
  game::TRandom random;
  std::uint32_t seed = 1;
  int falls = 0, knocks = 0;
  for (int difficulty = 1; difficulty <= 3; ++difficulty)
    for (int level = 0; level < 300; ++level) {
      TBoard board{};
      game::DealLevel(board, difficulty, random, [&] { random.Seed(seed++); });
      TBallFields ball;
      game::PlaceBall(ball, board.StartCol, board.StartRow);
      int interval = 33;
      for (int tick = 0; tick < 1000; ++tick) {
        const Tick t = RunTick(board, ball, interval);
        falls += ball.SpeedY != 0;
        knocks += t.decided.Knocks;
        interval = t.decided.Interval;
        const std::string fault = BallFault(board, ball);
        ASSERT_EQ(fault, "") << "difficulty " << difficulty << ", level " << level << ", tick " << tick;
        ASSERT_TRUE(interval >= 5 && interval <= 33 && interval % 2 == 1);
        if (t.exit) break;
      }
    }
  EXPECT_GT(falls, 1000);  // the sweep saw the ball fall and strike bars
  EXPECT_GT(knocks, 1000);
}

}  // namespace
