#pragma once
// Plans presses from the ball as it moves, with the game's own rules, for a
// player who sees the screen late and whose clicks arrive late by a time it
// cannot know: a press is chosen only where its outcome is the same on every
// motion tick it may land in.

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "game/ball.h"
#include "game/board.h"

namespace planner {

// The ball's position and speeds packed in one number; equal states, equal
// numbers.
using TState = std::uint32_t;
TState Pack(const TBallFields& ball);
TBallFields Unpack(TState state);

// Where the ball ends when left alone: out through the exit, or going round
// for ever on the same states (a rest is a round of one tick). The round is
// named by its smallest state, so that every way into it gives one name.
struct TFate {
  bool Exits = false;
  TState Round = 0;
  int RoundEnds = 0;  // ticks until the ball has gone once round (or left)
};
TFate Follow(const TBoard& board, TBallFields ball, int cap = 4000);

// The ball tick by tick from now, and when each tick may come. `period` is
// the least and the most the motion period may be now (a fall's period
// cannot be read off the screen); the first tick comes at most that far
// off, each later one the period the rules set after it.
struct TPath {
  std::vector<TBallFields> Balls;  // Balls[k]: after k ticks
  std::vector<int> Earliest, Latest;  // ms from now to tick k at the soonest, at the latest
  int ExitTick = -1;               // the tick the ball drops out at, if it does
};
TPath Ahead(const TBoard& board, const TBallFields& ball, std::pair<int, int> period, int ticks);
// The ticks that may have passed when a press arrives between `from` and
// `to` ms from now, a tick of slack each side for a late timer.
std::pair<int, int> TicksBetween(const TPath& path, int from, int to);

// What a press on (col, row) made after k ticks leads to: refused, out, or
// the round the ball ends in.
constexpr std::uint64_t REFUSED = ~std::uint64_t{0};
constexpr std::uint64_t OUT = REFUSED - 1;
std::uint64_t Outcome(const TBoard& board, const TBallFields& ball, int col, int row);

struct TObserved {
  TBoard Board;
  TBallFields Ball;
  std::pair<int, int> Period;  // the least and the most the motion period may be now
};

// The last plan found, kept between looks so that it is not searched for
// again while the ball goes round or after each of its presses: for each
// press, the board it is made on and what it must lead to.
constexpr int PLAN_STEPS = 80;
struct TMemo {
  struct TStep {
    std::uint8_t Cells[BOARD_CELLS][BOARD_CELLS];
    std::int32_t Col, Row;
    std::uint64_t Leads;
  };
  std::int32_t Steps = 0;
  std::int32_t Due = 0;  // the step after the last press made
  TStep Step[PLAN_STEPS];
};

enum class TAct { Out, Press, Wait, Lost };
struct TDecision {
  TAct Act = TAct::Lost;
  int Col = 0, Row = 0;      // the bar half to press
  std::uint64_t Leads = 0;   // what it leads to, on whichever tick it lands
  int Presses = 0;           // presses the whole plan takes
};

// Which bars a search presses: those within Sideways columns of where the
// ball goes and from a row above it to Below rows under it, and those
// within Around cells of the first Ahead bar halves on the cheapest way out.
struct TReach {
  int Sideways, Below, Around, Ahead;
};

struct TLimits {
  int SpreadMs = 350;       // how far apart the soonest and latest arrival of a press may lie, at least
  int Nodes = 10000;        // positions one search may expand
  int Ticks = 900;          // how far ahead one position is followed
  int Presses = PLAN_STEPS; // the longest plan
  int ThinkMs = 0;          // a look's searches give up after this long (0: never)
  // Searches tried in turn until one finds a win: each finds wins the
  // others miss. The narrow ones go deeper in the same number of positions
  // and give up soonest, so they come first.
  std::vector<TReach> Reaches{{1, 2, 1, 2}, {2, 3, 2, 3}, {0, 2, 1, 2}, {3, 4, 2, 5}, {2, 3, 3, 3}};
};

// Every press that is sure of where it leads from a position: the ball
// followed until it has gone round once, the bars near where it goes and on
// its way out tried on each tick, and an outcome kept where it holds on
// every tick from some tick to the last one a press aimed there may land
// in (SpreadMs later). One entry for each press and place it leads to.
struct TSure {
  int Col, Row;
  std::uint64_t Leads;
};
std::vector<TSure> SurePresses(const TBoard& board, const TBallFields& ball, std::pair<int, int> period,
                               const TLimits& limits, const TReach& reach);

// Decides what to do now: nothing (the ball leaves on its own), a press,
// wait for the ball to come round to where a planned press holds, or give
// up. `window` gives, when asked at the end, the ms from the look to the
// soonest and the latest moment a press made now can arrive.
TDecision Decide(const TObserved& seen, const std::function<std::pair<int, int>()>& window, TMemo& memo,
                 const TLimits& limits = {});

// About how many presses stand between the ball's cell and a cell it drops
// out from, going sideways and down only; -1 when there is no way at all.
int PressesInTheWay(const TBoard& board, int col, int row);

// The ball's speeds worked out from two looks: where it was, where it is
// `ms` later; false unless the rules allow exactly one set of speeds now.
bool SpeedsFromTwoLooks(const TBoard& board, const TBallFields& first, TBallFields& second, int ms);

// The game's motion timer on the rules alone, to try the planner without a
// window: ticks at the periods the rules set; a press restarts the period,
// as the window's does (set NextTick after one).
struct TTimedGame {
  TBoard Board{};
  TBallFields Ball;
  int Interval = 33;
  double NextTick = 33, Now = 0;  // ms
  bool Out = false;
  // Runs the ticks due by `ms`; the clock stops when the ball drops out.
  void RunTo(double ms);
};

}  // namespace planner
