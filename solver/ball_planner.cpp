#include "solver/ball_planner.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <deque>
#include <cstring>
#include <map>
#include <queue>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "game/bar_moves.h"
#include "game/motion.h"

namespace planner {

TState Pack(const TBallFields& ball) {
  return TState(ball.BallX) << 16 | TState(ball.BallY) << 4 | TState((ball.SpeedX + 2) / 2) << 1 |
         TState(ball.SpeedY / 2);
}

TBallFields Unpack(TState state) {
  TBallFields ball;
  ball.BallX = std::int32_t(state >> 16);
  ball.BallY = std::int32_t(state >> 4 & 0xfff);
  ball.SpeedX = std::int32_t(state >> 1 & 3) * 2 - 2;
  ball.SpeedY = std::int32_t(state & 1) * 2;
  ball.BallCol = game::ColumnAt(ball.BallX);
  ball.BallRow = game::RowAt(ball.BallY);
  return ball;
}

namespace {

// A state on a whole cell, numbered densely: a round always passes whole
// cells, so meeting one twice finds it.
int WholeCell(const TBallFields& ball) {
  return (((ball.BallCol - 1) * 20 + ball.BallRow - 1) * 3 + (ball.SpeedX + 2) / 2) * 2 + ball.SpeedY / 2;
}
constexpr int WHOLE_CELLS = 20 * 20 * 3 * 2;

}  // namespace

TFate Follow(const TBoard& board, TBallFields ball, int cap) {
  // Stamped rather than cleared: this runs a great many times per look.
  static thread_local int stamp[WHOLE_CELLS], metAt[WHOLE_CELLS], generation = 0;
  static thread_local std::vector<std::pair<int, TState>> whole;
  ++generation;
  whole.clear();
  int interval = game::INTERVAL_ROLL;
  for (int tick = 1; tick <= cap; ++tick) {
    const TBallFields before = ball;
    interval = game::DecideSpeeds(board, ball, interval).Interval;
    game::StepBall(ball);
    if (game::ExitReached(board, ball)) return {true, 0, tick};
    if (ball.BallX == before.BallX && ball.BallY == before.BallY && ball.SpeedX == 0 && ball.SpeedY == 0)
      return {false, Pack(ball), tick};
    if (!game::ColumnAligned(ball) || !game::RowAligned(ball)) continue;
    const int cell = WholeCell(ball);
    if (stamp[cell] == generation) {
      TState least = Pack(ball);
      for (auto [t, s] : whole)
        if (t >= metAt[cell]) least = std::min(least, s);
      return {false, least, tick};
    }
    stamp[cell] = generation, metAt[cell] = tick;
    whole.emplace_back(tick, Pack(ball));
  }
  return {false, Pack(ball), cap};  // never seen: dealt levels settle within a few hundred ticks
}

TPath Ahead(const TBoard& board, const TBallFields& ball, std::pair<int, int> period, int ticks) {
  TPath path;
  path.Balls.push_back(ball);
  path.Earliest.push_back(0);
  path.Latest.push_back(0);
  TBallFields now = ball;
  int fast = period.first, slow = period.second;
  // The first tick may come at once, or a whole period off.
  int earliest = 0, latest = slow;
  for (int k = 1; k <= ticks; ++k) {
    if (path.ExitTick < 0) {
      TBallFields copy = now;
      slow = game::DecideSpeeds(board, copy, slow).Interval;
      fast = game::DecideSpeeds(board, now, fast).Interval;
      game::StepBall(now);
      if (game::ExitReached(board, now)) path.ExitTick = k;
    }
    path.Balls.push_back(now);
    path.Earliest.push_back(earliest);
    path.Latest.push_back(latest);
    earliest += fast, latest += slow;
  }
  return path;
}

std::pair<int, int> TicksBetween(const TPath& path, int from, int to) {
  int lo = 0, hi = 0;
  const int last = int(path.Balls.size()) - 1;
  for (int k = 1; k <= last; ++k) {
    if (path.Latest[k] <= from) lo = k;
    if (path.Earliest[k] < to) hi = k;
  }
  return {std::max(0, lo - 1), std::min(last, hi + 1)};
}

std::uint64_t Outcome(const TBoard& board, const TBallFields& ball, int col, int row) {
  TBoard after = board;
  TBallFields moved = ball;
  if (!game::PressBar(after, moved, col, row)) return REFUSED;
  const TFate fate = Follow(after, moved);
  return fate.Exits ? OUT : fate.Round;
}

namespace {

bool Free(const TBoard& board, int c, int r) {
  return c >= 1 && c <= 20 && r >= 1 && r <= 20 && board.Cells[c][r] == CELL_EMPTY &&
         !(c == board.ExitCol && r == board.ExitRow);
}

// About how many presses clear a cell of its bar half: one when the bar
// can shift off it at once, two when it must shift twice or something in
// its way must shift first, else three.
int ClearCost(const TBoard& board, int c, int r, bool deeper = true) {
  const std::uint8_t code = board.Cells[c][r];
  if (code == CELL_EMPTY) return 0;
  if (code == CELL_BORDER) return -1;
  const bool vertical = code == CELL_VBAR_TOP || code == CELL_VBAR_BOTTOM;
  const bool first = code == CELL_VBAR_TOP || code == CELL_HBAR_LEFT;  // top or left half
  const int dc = vertical ? 0 : 1, dr = vertical ? 1 : 0;
  // Off this half at once: a top half goes by the bar moving down (or
  // right), into the cell past the other half; a bottom half the other way.
  const int sign = first ? 1 : -1;
  const int onceC = c + sign * 2 * dc, onceR = r + sign * 2 * dr;
  if (Free(board, onceC, onceR)) return 1;
  const int twiceC = c - sign * dc, twiceR = r - sign * dr;
  if (Free(board, twiceC, twiceR) && Free(board, twiceC - sign * dc, twiceR - sign * dr)) return 2;
  if (deeper && onceC >= 1 && onceC <= 20 && onceR >= 1 && onceR <= 20 && ClearCost(board, onceC, onceR, false) == 1)
    return 2;
  return 3;
}

// The cheapest way for the ball from its cell to a cell it drops out from,
// sideways and down only (it never climbs), each cell costing what it takes
// to clear; the cells on it that hold bars.
int WayOut(const TBoard& board, int col, int row, std::vector<game::TCell>* costly) {
  constexpr int FAR = 1 << 20;
  int cost[BOARD_CELLS][BOARD_CELLS];
  game::TCell from[BOARD_CELLS][BOARD_CELLS];
  for (auto& column : cost)
    for (int& c : column) c = FAR;
  using Item = std::pair<int, game::TCell>;
  const auto later = [](const Item& a, const Item& b) { return a.first > b.first; };
  std::priority_queue<Item, std::vector<Item>, decltype(later)> open(later);
  cost[col][row] = 0;
  open.push({0, {col, row}});
  const int ec = board.ExitCol, er = board.ExitRow;
  while (!open.empty()) {
    const auto [d, at] = open.top();
    open.pop();
    if (d > cost[at.Col][at.Row]) continue;
    if ((at.Row == er && std::abs(at.Col - ec) == 1) || (at.Col == ec && at.Row == er - 1)) {
      for (game::TCell c = at; costly && !(c == game::TCell{col, row}); c = from[c.Col][c.Row])
        if (board.Cells[c.Col][c.Row] != CELL_EMPTY) costly->push_back(c);
      return d;
    }
    for (const auto& [dc, dr] : {std::pair{-1, 0}, {1, 0}, {0, 1}}) {
      const int nc = at.Col + dc, nr = at.Row + dr;
      if (nc == ec && nr == er) continue;
      int step = ClearCost(board, nc, nr);
      // The ball rolls only over something: sideways over a hole it falls.
      if (step >= 0 && dr == 0 && board.Cells[at.Col][at.Row + 1] == CELL_EMPTY) step += 2;
      if (step < 0 || d + step >= cost[nc][nr]) continue;
      cost[nc][nr] = d + step;
      from[nc][nr] = at;
      open.push({d + step, {nc, nr}});
    }
  }
  return -1;
}

}  // namespace

int PressesInTheWay(const TBoard& board, int col, int row) { return WayOut(board, col, row, nullptr); }

namespace {

// One press's outcome on every tick of a path (a press after the ball is
// out changes nothing: the level is won).
std::vector<std::uint64_t> Outcomes(const TBoard& board, const TPath& path, int col, int row) {
  std::vector<std::uint64_t> out(path.Balls.size());
  for (std::size_t k = 0; k < out.size(); ++k) {
    const TBallFields& b = path.Balls[k];
    const bool same = k > 0 && Pack(b) == Pack(path.Balls[k - 1]);  // at rest
    out[k] = path.ExitTick >= 0 && int(k) >= path.ExitTick ? OUT : same ? out[k - 1] : Outcome(board, b, col, row);
  }
  return out;
}

// A press worth trying: a bar half that may move somewhere free.
bool MayMove(const TBoard& board, int col, int row) {
  const auto move = game::MoveFor(board, col, row);
  if (!move) return false;
  const game::TCell t = move->Target;
  return board.Cells[t.Col][t.Row] == CELL_EMPTY && !(t.Col == board.ExitCol && t.Row == board.ExitRow);
}

// Every outcome a press can be sure of: one that holds on each tick from
// some tick d to the last tick a press aimed at d may still land in.
void RobustOutcomes(const TPath& path, const std::vector<std::uint64_t>& out, int spreadMs, int col, int row,
                    std::vector<TSure>& edges) {
  const int last = int(out.size()) - 1;
  std::size_t firstNew = edges.size();
  for (int start = 0; start <= last;) {
    int end = start;
    while (end < last && out[end + 1] == out[start]) ++end;
    // The run [start, end]: its first tick has the shortest reach.
    int reach = start;
    while (reach < last && path.Earliest[reach + 1] <= path.Earliest[start] + spreadMs) ++reach;
    const bool known = reach < last || end < last;
    if (out[start] != REFUSED && reach <= end && known) {
      bool have = false;
      for (std::size_t i = firstNew; i < edges.size(); ++i) have = have || edges[i].Leads == out[start];
      if (!have) edges.push_back({col, row, out[start]});
    }
    start = end + 1;
  }
}

struct Node {
  TBoard Board;
  TBallFields Ball;
  std::pair<int, int> Period;
  int Parent = -1;
  int Col = 0, Row = 0;
  std::uint64_t Leads = 0;
  int Presses = 0;
  int InTheWay = 0;
};

}  // namespace

std::vector<TSure> SurePresses(const TBoard& board, const TBallFields& ball, std::pair<int, int> period,
                               const TLimits& limits, const TReach& reach) {
  const TFate fate = Follow(board, ball, limits.Ticks);
  const int ticks = std::min(limits.Ticks, fate.RoundEnds + limits.SpreadMs / game::INTERVAL_FASTEST + 2);
  const TPath path = Ahead(board, ball, period, ticks);
  int c0 = 20, c1 = 1, r0 = 20, r1 = 1;
  for (int k = 0; k <= std::min(ticks, fate.RoundEnds); ++k) {
    const TBallFields& b = path.Balls[k];
    c0 = std::min(c0, b.BallCol), c1 = std::max(c1, b.BallCol + 1);
    r0 = std::min(r0, b.BallRow), r1 = std::max(r1, b.BallRow + 1);
  }
  // And the bars on the cheapest way out, with what stands in their way.
  std::vector<game::TCell> costly;
  WayOut(board, ball.BallCol, ball.BallRow, &costly);
  // Only the first few on the way count: the rest will look different by
  // the time the ball gets there.
  if (costly.size() > std::size_t(reach.Ahead)) costly.erase(costly.begin(), costly.end() - reach.Ahead);
  const auto near = [&](int c, int r) {
    if (c >= c0 - reach.Sideways && c <= c1 + reach.Sideways && r >= r0 - 1 && r <= r1 + reach.Below) return true;
    for (const game::TCell& x : costly)
      if (std::abs(x.Col - c) <= reach.Around && std::abs(x.Row - r) <= reach.Around) return true;
    return false;
  };
  std::vector<TSure> edges;
  for (int c = 1; c <= 20; ++c)
    for (int r = 1; r <= 20; ++r)
      if (near(c, r) && MayMove(board, c, r))
        RobustOutcomes(path, Outcomes(board, path, c, r), limits.SpreadMs, c, r, edges);
  return edges;
}

namespace {

// Whether a bar next to a cell just left free can now move into it.
bool LetsABarIn(const TBoard& board, game::TCell freed) {
  const auto code = [&](int dc, int dr) { return board.Cells[freed.Col + dc][freed.Row + dr]; };
  return code(0, 1) == CELL_VBAR_TOP || code(0, -1) == CELL_VBAR_BOTTOM || code(1, 0) == CELL_HBAR_LEFT ||
         code(-1, 0) == CELL_HBAR_RIGHT;
}

std::string Key(const TBoard& board, TState state) {
  std::string key(reinterpret_cast<const char*>(&board.Cells), sizeof board.Cells);
  key.append(reinterpret_cast<const char*>(&state), sizeof state);
  return key;
}

// Best first by the presses made plus five times those still in the ball's
// way out (a greedy dive finds far more wins in the same time than a
// careful count of presses); a ball that can no longer reach the exit is
// dropped.
// Returns the root's child that a win starts with.
int Search(const TObserved& seen, const TLimits& limits, const TReach& reach, std::vector<Node>& nodes,
           std::chrono::steady_clock::time_point giveUp) {
  const auto worse = [&](int a, int b) {
    const auto score = [&](int i) { return nodes[i].Presses + 5 * nodes[i].InTheWay; };
    return score(a) > score(b) || (score(a) == score(b) && nodes[a].InTheWay > nodes[b].InTheWay);
  };
  std::priority_queue<int, std::vector<int>, decltype(worse)> open(worse);
  std::unordered_set<std::string> seenKeys;
  nodes.push_back({seen.Board, seen.Ball, seen.Period});
  nodes[0].InTheWay = PressesInTheWay(seen.Board, seen.Ball.BallCol, seen.Ball.BallRow);
  open.push(0);
  for (int expanded = 0; !open.empty() && expanded < limits.Nodes; ++expanded) {
    if (limits.ThinkMs > 0 && expanded % 64 == 63 && std::chrono::steady_clock::now() > giveUp) break;
    const int at = open.top();
    open.pop();
    if (nodes[at].Presses >= limits.Presses) continue;
    for (const TSure& e : SurePresses(nodes[at].Board, nodes[at].Ball, nodes[at].Period, limits, reach)) {
      Node next{nodes[at].Board, {}, {game::INTERVAL_ROLL, game::INTERVAL_ROLL}, at, e.Col, e.Row, e.Leads,
                nodes[at].Presses + 1};
      game::ApplyMove(next.Board, *game::MoveFor(nodes[at].Board, e.Col, e.Row));
      if (e.Leads == OUT) {
        nodes.push_back(next);
        return int(nodes.size()) - 1;
      }
      next.Ball = Unpack(TState(e.Leads));
      next.InTheWay = PressesInTheWay(next.Board, next.Ball.BallCol, next.Ball.BallRow);
      if (next.InTheWay < 0) continue;
      // A press that leaves the ball going round as it did is worth it
      // only if it lets another bar move, or shortens the way out.
      const bool ballMoved = Pack(next.Ball) != Pack(nodes[at].Ball) || at == 0;
      if (!ballMoved && next.InTheWay >= nodes[at].InTheWay &&
          !LetsABarIn(next.Board, game::MoveFor(nodes[at].Board, e.Col, e.Row)->Vacated))
        continue;
      if (!seenKeys.insert(Key(next.Board, TState(e.Leads))).second) continue;
      nodes.push_back(next);
      open.push(int(nodes.size()) - 1);
    }
  }
  return -1;
}

}  // namespace

TDecision Decide(const TObserved& seen, const std::function<std::pair<int, int>()>& window, TMemo& memo,
                 const TLimits& limits) {
  const TFate fate = Follow(seen.Board, seen.Ball, limits.Ticks);
  if (fate.Exits) return {TAct::Out};
  const int ticks = std::min(limits.Ticks, fate.RoundEnds + limits.SpreadMs / game::INTERVAL_FASTEST + 2);
  const TPath path = Ahead(seen.Board, seen.Ball, seen.Period, ticks);
  // A plan may come back to a board it had (a bar shifted there and back):
  // its steps are looked for from the one due, then the one just made
  // (its click may not have arrived).
  const auto on = [&](int i) {
    return i >= 0 && i < memo.Steps && std::memcmp(memo.Step[i].Cells, seen.Board.Cells, sizeof seen.Board.Cells) == 0;
  };
  int step = memo.Due;
  while (step < memo.Steps && !on(step)) ++step;
  if (step == memo.Steps && on(memo.Due - 1)) step = memo.Due - 1;
  if (step == memo.Steps) {
    memo.Steps = memo.Due = step = 0;
    // Every press of the plan must hold over as wide a window as this one,
    // with the tick of slack each side that TicksBetween gives.
    TLimits wide = limits;
    const auto [soonest, latest] = window();
    wide.SpreadMs = std::max(limits.SpreadMs, latest - soonest + 2 * game::INTERVAL_ROLL);
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(limits.ThinkMs);
    for (const TReach& reach : limits.Reaches) {
      std::vector<Node> nodes;
      int last = Search(seen, wide, reach, nodes, giveUp);
      if (last < 0) continue;
      for (int n = last; n > 0; n = nodes[n].Parent) ++memo.Steps;
      for (int n = last, i = memo.Steps - 1; n > 0; n = nodes[n].Parent, --i) {
        std::memcpy(memo.Step[i].Cells, nodes[nodes[n].Parent].Board.Cells, sizeof seen.Board.Cells);
        memo.Step[i].Col = nodes[n].Col, memo.Step[i].Row = nodes[n].Row, memo.Step[i].Leads = nodes[n].Leads;
      }
      break;
    }
    if (memo.Steps == 0) return {TAct::Lost};
  }
  // The plan's press for this board, if every tick it may land in now
  // leads where the plan goes; else wait for the ball to come round to it.
  const TMemo::TStep& next = memo.Step[step];
  TDecision decision{TAct::Wait, next.Col, next.Row, next.Leads, memo.Steps - step};
  const std::vector<std::uint64_t> out = Outcomes(seen.Board, path, next.Col, next.Row);
  const auto [from, to] = window();
  const auto [lo, hi] = TicksBetween(path, from, to);
  if (hi >= int(out.size()) - 1 && path.ExitTick < 0) return decision;  // beyond what was followed
  bool holds = true;
  for (int k = lo; k <= hi; ++k) holds = holds && out[k] == next.Leads;
  if (holds) decision.Act = TAct::Press, memo.Due = step + 1;
  // A press that will never hold again is forgotten: the next look searches afresh.
  else if (std::find(out.begin() + lo, out.end(), next.Leads) == out.end()) memo.Steps = 0;
  return decision;
}

bool SpeedsFromTwoLooks(const TBoard& board, const TBallFields& first, TBallFields& second, int ms) {
  if (first.BallX == second.BallX && first.BallY == second.BallY) {
    // Unmoved: at rest, if the rules let it rest there; else a tick came
    // late, and only another look can tell.
    TBallFields resting = second;
    resting.SpeedX = resting.SpeedY = 0;
    game::DecideSpeeds(board, resting, game::INTERVAL_ROLL);
    if (resting.SpeedX != 0 || resting.SpeedY != 0) return false;
    second = resting;
    return ms > game::INTERVAL_ROLL + 5;
  }
  int found = 0;
  TBallFields seenSpeeds;
  for (int sx : {-BALL_STEP, 0, BALL_STEP})
    for (int sy : {0, BALL_STEP}) {
      TBallFields ball = first;
      ball.SpeedX = sx, ball.SpeedY = sy;
      // As many ticks as can come in `ms`, the first at once, the period as
      // short as it can be, and one more for a late tick made up.
      int interval = sy != 0 ? game::INTERVAL_FASTEST : game::INTERVAL_ROLL;
      for (int at = 0; at <= ms + interval;) {
        interval = game::DecideSpeeds(board, ball, interval).Interval;
        game::StepBall(ball);
        at += interval;
        if (ball.BallX != second.BallX || ball.BallY != second.BallY) continue;
        if (found > 0 && (ball.SpeedX != seenSpeeds.SpeedX || ball.SpeedY != seenSpeeds.SpeedY)) return false;
        seenSpeeds = ball, ++found;
      }
    }
  if (found == 0) return false;
  second.SpeedX = seenSpeeds.SpeedX, second.SpeedY = seenSpeeds.SpeedY;
  return true;
}

void TTimedGame::RunTo(double ms) {
  for (; !Out && NextTick <= ms; NextTick += Interval) {
    Interval = game::DecideSpeeds(Board, Ball, Interval).Interval;
    game::StepBall(Ball);
    Out = game::ExitReached(Board, Ball);
  }
  Now = Out ? NextTick - Interval : ms;
}

}  // namespace planner
