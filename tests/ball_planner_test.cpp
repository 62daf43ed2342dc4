// The planner that follows a moving ball, on hand-built boards: where a
// ball left alone ends, which way a ball seen twice goes, and that a press
// is offered only where every tick a late click may land in gives the same
// outcome; then whole dealt levels played with clicks late by chance.

#include <gtest/gtest.h>

#include <set>

#include "game/bar_moves.h"
#include "game/level_generator.h"
#include "game/motion.h"
#include "solver/ball_planner.h"

namespace {

// A ball rolling to and fro on row 10 between walls in columns 3 and 18;
// above column 10 a vertical bar that, pressed on its lower half, drops
// into the ball's way and shuts it in on one side or the other.
TBoard Corridor() {
  TBoard b{};
  game::FrameBoard(b);
  for (int c = 1; c <= 20; ++c) b.Cells[c][11] = CELL_BORDER;
  b.Cells[3][10] = b.Cells[18][10] = CELL_BORDER;
  b.Cells[10][8] = CELL_VBAR_TOP, b.Cells[10][9] = CELL_VBAR_BOTTOM;
  b.ExitCol = 1, b.ExitRow = 20;
  return b;
}

TBallFields Rolling(int col, int speedX) {
  TBallFields ball;
  game::PlaceBall(ball, col, 10);
  ball.SpeedX = speedX;
  return ball;
}

TEST(BallPlanner, FollowNamesEachEndOnceWhereverTheBallJoinsIt) {
  const TBoard corridor = Corridor();
  const planner::TFate a = planner::Follow(corridor, Rolling(4, BALL_STEP));
  const planner::TFate b = planner::Follow(corridor, Rolling(15, -BALL_STEP));
  EXPECT_FALSE(a.Exits);
  EXPECT_EQ(a.Round, b.Round) << "two phases of one round, two names";
  TBoard pocket = corridor;
  pocket.Cells[5][10] = CELL_BORDER;  // shut in on column 4
  const planner::TFate rest = planner::Follow(pocket, Rolling(4, BALL_STEP));
  EXPECT_NE(rest.Round, a.Round);
  EXPECT_EQ(planner::Unpack(rest.Round).BallX, game::CellX(4));
  TBoard out = corridor;
  out.ExitCol = 12, out.ExitRow = 10;  // on its way: it leaves from column 11
  EXPECT_TRUE(planner::Follow(out, Rolling(4, BALL_STEP)).Exits);
}

TEST(BallPlanner, TwoLooksTellTheWayOnlyWhenOneWayFits) {
  const TBoard corridor = Corridor();
  struct Case {
    int x1, x2, ms;
    bool known;
    int speedX;
  } cases[] = {
      {game::CellX(6), game::CellX(6) + 4, 66, true, BALL_STEP},  // rolling right
      {game::CellX(6), game::CellX(6) - 4, 66, true, -BALL_STEP}, // rolling left
      {game::CellX(4) + 2, game::CellX(4) + 4, 100, true, BALL_STEP},  // turned at the wall between, or not
      {game::CellX(4) + 4, game::CellX(4) + 2, 100, false, 0},         // going left, or back from the wall
      {game::CellX(6), game::CellX(6), 100, false, 0},            // unmoved where it cannot rest: a tick came late
  };
  for (const Case& c : cases) {
    TBallFields first = Rolling(1, 0), second = Rolling(1, 0);
    first.BallX = c.x1, first.BallCol = game::ColumnAt(c.x1);
    second.BallX = c.x2, second.BallCol = game::ColumnAt(c.x2);
    EXPECT_EQ(planner::SpeedsFromTwoLooks(corridor, first, second, c.ms), c.known) << c.x1 << " -> " << c.x2;
    if (c.known) {
      EXPECT_EQ(second.SpeedX, c.speedX) << c.x1 << " -> " << c.x2;
    }
  }
}

TEST(BallPlanner, APressThatDependsOnTheTickIsOfferedOnlyWhereItCannot) {
  const TBoard corridor = Corridor();
  const TBallFields ball = Rolling(4, BALL_STEP);
  // Dropped early or late, the bar shuts the ball in on either side: the
  // press leads to two places, and is refused while the ball is under it.
  std::set<std::uint64_t> ends;
  TBallFields moving = ball;
  int interval = game::INTERVAL_ROLL;
  for (int tick = 0; tick < 300; ++tick) {
    ends.insert(planner::Outcome(corridor, moving, 10, 9));
    interval = game::DecideSpeeds(corridor, moving, interval).Interval;
    game::StepBall(moving);
  }
  ASSERT_EQ(ends.size(), 3u);
  ASSERT_TRUE(ends.count(planner::REFUSED));
  const planner::TReach reach{2, 3, 2, 3};
  const auto offered = [&](int spreadMs) {
    planner::TLimits limits;
    limits.SpreadMs = spreadMs;
    std::set<std::uint64_t> leads;
    for (const planner::TSure& s : planner::SurePresses(corridor, ball, {33, 33}, limits, reach))
      if (s.Col == 10 && s.Row == 9) leads.insert(s.Leads);
    return leads;
  };
  // A click late by up to a second can still be aimed at either side; one
  // late by longer than the ball takes to cross a side can be aimed at none.
  EXPECT_EQ(offered(1000), std::set<std::uint64_t>(ends.begin(), std::prev(ends.end())));
  EXPECT_TRUE(offered(8000).empty());
}

TEST(BallPlanner, DealtLevelsAreWonWithClicksLateByChance) {
  // Levels the planner wins at difficulty 1; each press, whenever within its
  // window it lands, must lead where the plan said.
  game::TRandom chance;
  chance.Seed(7);
  for (std::uint32_t clock : {3001u, 11001u, 21001u}) {
    game::TRandom random;
    std::uint32_t reading = clock;
    random.Seed(reading++);
    planner::TTimedGame g;
    game::DealLevel(g.Board, 1, random, [&] { random.Seed(reading++); });
    game::PlaceBall(g.Ball, g.Board.StartCol, g.Board.StartRow);
    static planner::TMemo memo;
    memo.Steps = memo.Due = 0;
    while (!g.Out && g.Now < 120000) {
      const TBallFields first = g.Ball;
      g.RunTo(g.Now + 60);
      planner::TObserved seen{g.Board, g.Ball, {}};
      if (!planner::SpeedsFromTwoLooks(g.Board, first, seen.Ball, 60)) continue;
      seen.Period = seen.Ball.SpeedY ? std::pair{5, 33} : std::pair{33, 33};
      const planner::TDecision d = planner::Decide(seen, [] { return std::pair{50, 450}; }, memo);
      ASSERT_NE(d.Act, planner::TAct::Lost) << "clock " << clock;
      if (d.Act == planner::TAct::Out) g.RunTo(g.Now + 60000);
      if (d.Act != planner::TAct::Press) {
        g.RunTo(g.Now + 100);
        continue;
      }
      g.RunTo(g.Now + 50 + 400 * chance.Random());
      ASSERT_FALSE(g.Out);
      ASSERT_EQ(planner::Outcome(g.Board, g.Ball, d.Col, d.Row), d.Leads) << "clock " << clock << " at " << g.Now;
      game::PressBar(g.Board, g.Ball, d.Col, d.Row);
      g.NextTick = g.Now + g.Interval;
    }
    EXPECT_TRUE(g.Out) << "clock " << clock << ": not won in two minutes";
  }
}

}  // namespace
