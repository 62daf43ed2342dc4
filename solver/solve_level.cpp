// Finds presses that win a level, with the game's own rules.
//
//   solve_level follow MEMO SEEN_FROM SEEN_TO LATENCY < ROWS
//                                 one look of a player who follows the ball as
//                                 it moves (tests/harness/play_level.py):
//                                 ROWS is the playfield as
//                                 tests/harness/compare_region.py board --show
//                                 reads it, then "look X1 Y1 X2 Y2 MS",
//                                 the ball's top-left client pixel on two looks
//                                 MS apart; the second was taken between the
//                                 epoch ms SEEN_FROM and SEEN_TO, and a click
//                                 arrives at most LATENCY ms after it is sent.
//                                 Prints "out" (the ball leaves on its own),
//                                 "press X Y" ("press X Y out" when it sends the
//                                 ball out), "wait", "unsure" (look again) or
//                                 "lost"; MEMO keeps the plan between looks
//   solve_level trial D N [CLOCK] plays N levels dealt at difficulty D that
//                                 way against the rules alone, each look and
//                                 click late by a random time, and prints the
//                                 wins
//   solve_level board < ROWS      ROWS with the ball whole ('o') and at rest:
//                                 presses to make while the ball rests, one
//                                 "X Y" a line (client pixels), each followed
//                                 by "rest COL ROW" or "exit"
//   solve_level deal D CLOCK      deals the level the game deals at difficulty D
//                                 when its clock reads CLOCK at start-up, lets
//                                 the ball go and prints a recorded game
//
// Exit status 1 when no win is found within the search's bounds.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <map>
#include <queue>
#include <string>
#include <unordered_map>
#include <vector>

#include "game/bar_moves.h"
#include "game/level_generator.h"
#include "game/motion.h"
#include "solver/ball_planner.h"

namespace {

// A moment a press may come: the ball's state and the motion ticks since
// the last press.
struct Moment {
  TBallFields ball;
  int ticks;
};

// Lets the ball go on until it leaves (true), and otherwise notes the
// moments a press may come: the ball resting in a pocket, or, when
// `anyWholeCell` and the ball rolls or falls round in circles, each whole
// cell of one round.
bool PlayOn(const TBoard& board, TBallFields ball, bool anyWholeCell, std::vector<Moment>& moments, int& exitTicks) {
  std::vector<TBallFields> path;
  std::unordered_map<std::uint32_t, int> wholeCellsMet;  // the ball's state on a whole cell -> its tick
  int interval = game::INTERVAL_ROLL;
  for (int tick = 1; tick <= 3000; ++tick) {
    const TBallFields before = ball;
    interval = game::DecideSpeeds(board, ball, interval).Interval;
    game::StepBall(ball);
    if (game::ExitReached(board, ball)) {
      exitTicks = tick;
      return true;
    }
    if (ball.SpeedX == 0 && ball.SpeedY == 0 && ball.BallX == before.BallX && ball.BallY == before.BallY) {
      moments.push_back({ball, tick});
      return false;
    }
    path.push_back(ball);
    if (!game::ColumnAligned(ball) || !game::RowAligned(ball)) continue;
    // A whole cell met again with the same speeds: the ball goes round.
    const std::uint32_t state = std::uint32_t(ball.BallX) << 16 | std::uint32_t(ball.BallY) << 4 |
                                std::uint32_t(ball.SpeedX + 2) << 2 | std::uint32_t(ball.SpeedY);
    const auto [met, first] = wholeCellsMet.emplace(state, tick);
    if (first) continue;
    if (anyWholeCell)
      for (int t = met->second; t < tick; ++t) {
        const TBallFields& at = path[t - 1];
        if (game::ColumnAligned(at) && game::RowAligned(at)) moments.push_back({at, t});
      }
    return false;
  }
  return false;
}

struct Step {
  int waited;     // motion ticks before the press
  int col, row;   // the bar half pressed
  TBallFields ball;  // where the ball came to be pressed
};

struct Node {
  TBoard board;
  TBallFields ball;
  std::vector<Step> steps;
};

std::string Key(const Node& n) {
  std::string key(reinterpret_cast<const char*>(&n.board.Cells), sizeof n.board.Cells);
  for (int v : {n.ball.BallX, n.ball.BallY, n.ball.SpeedX, n.ball.SpeedY}) key += std::to_string(v) + ",";
  return key;
}

// Best first: the deeper the ball, and the fewer presses, the sooner a
// state is tried; only bar halves near the ball are pressed. Pressing only
// while the ball rests leaves fewer ways down, so that search goes deeper
// and cares less for the number of presses. The solution ends with the
// ticks from the last press to the exit.
bool Solve(const TBoard& board, const std::vector<Moment>& first, bool anyWholeCell, std::vector<Step>& solution,
           int& lastTicks) {
  const int pressWeight = anyWholeCell ? 1 : 1, depthWeight = anyWholeCell ? 4 : 4;
  const std::size_t maxPresses = anyWholeCell ? 40 : 30;
  const auto worse = [=](const Node& a, const Node& b) {
    return a.ball.BallRow * depthWeight - pressWeight * int(a.steps.size()) <
           b.ball.BallRow * depthWeight - pressWeight * int(b.steps.size());
  };
  std::priority_queue<Node, std::vector<Node>, decltype(worse)> open(worse);
  std::map<std::string, bool> seen;
  const auto add = [&](const Node& from, const std::vector<Moment>& moments) {
    for (const Moment& m : moments) {
      Node next = from;
      next.ball = m.ball;
      next.steps.push_back({m.ticks, 0, 0, m.ball});
      if (seen.emplace(Key(next), true).second) open.push(std::move(next));
    }
  };
  add(Node{board, {}, {}}, first);
  for (int expanded = 0; !open.empty() && expanded < 200000; ++expanded) {
    const Node node = open.top();
    open.pop();
    if (node.steps.size() > maxPresses) continue;
    for (int c = std::max(1, node.ball.BallCol - 5); c <= std::min(20, node.ball.BallCol + 5); ++c)
      for (int r = std::max(1, node.ball.BallRow - 2); r <= std::min(20, node.ball.BallRow + 6); ++r) {
        Node pressed = node;
        if (!game::PressBar(pressed.board, pressed.ball, c, r)) continue;
        pressed.steps.back().col = c, pressed.steps.back().row = r;
        std::vector<Moment> moments;
        if (PlayOn(pressed.board, pressed.ball, anyWholeCell, moments, lastTicks)) {
          solution = pressed.steps;
          return true;
        }
        add(pressed, moments);
      }
  }
  return false;
}

// Reads the playfield rows as tests/harness/compare_region.py board --show
// prints them into a framed board; the cells the ball covers ('o', '?') are
// empty.
bool ReadRows(std::istream& in, TBoard& board) {
  game::FrameBoard(board);
  board.ExitCol = 0;
  std::string line;
  for (int r = 1; r <= 20; ++r) {
    if (!std::getline(in, line) || line.size() < 20) return false;
    for (int c = 1; c <= 20; ++c) {
      const char letter = line[c - 1];
      const char* codes = ".^v<>";
      if (const char* at = std::strchr(codes, letter); at != nullptr && letter != '\0') {
        board.Cells[c][r] = static_cast<std::uint8_t>(at - codes);
      } else if (letter == 'E') {
        board.ExitCol = c, board.ExitRow = r;
      } else if (letter != 'o' && letter != '?') {
        return false;
      }
    }
  }
  return board.ExitCol != 0;
}

TBallFields BallAt(int x, int y) {
  TBallFields ball;
  ball.BallX = x, ball.BallY = y;
  ball.BallCol = game::ColumnAt(x), ball.BallRow = game::RowAt(y);
  return ball;
}

long long EpochMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
      .count();
}

// While it falls the period shortens from one roll's to the shortest.
std::pair<int, int> Period(const TBallFields& ball) {
  return ball.SpeedY != 0 ? std::pair{game::INTERVAL_FASTEST, game::INTERVAL_ROLL}
                          : std::pair{game::INTERVAL_ROLL, game::INTERVAL_ROLL};
}

int FromLook(const char* memoPath, long long seenFrom, long long seenTo, int latency) {
  planner::TObserved seen;
  std::string word;
  int x1, y1, x2, y2, ms;
  if (!ReadRows(std::cin, seen.Board) || !(std::cin >> word >> x1 >> y1 >> x2 >> y2 >> ms) || word != "look") {
    std::fprintf(stderr, "solve_level: want 20 rows of 20 cells with the exit, then look X1 Y1 X2 Y2 MS\n");
    return 2;
  }
  seen.Ball = BallAt(x2, y2);
  if (!planner::SpeedsFromTwoLooks(seen.Board, BallAt(x1, y1), seen.Ball, ms)) {
    std::printf("unsure\n");
    return 0;
  }
  seen.Period = Period(seen.Ball);
  planner::TMemo memo;
  if (std::FILE* f = std::fopen(memoPath, "rb")) {
    if (std::fread(&memo, sizeof memo, 1, f) != 1) memo.Steps = memo.Due = 0;
    std::fclose(f);
  }
  const auto window = [&] {
    const long long now = EpochMs();
    return std::pair{int(now - seenTo), int(now - seenFrom + latency)};
  };
  // A player who has thought this long without finding a way deals again:
  // the levels no search wins take many times longer to give up on.
  planner::TLimits limits;
  limits.ThinkMs = 30000;
  const planner::TDecision d = planner::Decide(seen, window, memo, limits);
  if (std::FILE* f = std::fopen(memoPath, "wb")) {
    std::fwrite(&memo, sizeof memo, 1, f);
    std::fclose(f);
  }
  switch (d.Act) {
    case planner::TAct::Out: std::printf("out\n"); break;
    case planner::TAct::Press:
      std::printf("press %d %d%s\n", game::CellX(d.Col) + 10, game::CellY(d.Row) + 10,
                  d.Leads == planner::OUT ? " out" : "");
      break;
    case planner::TAct::Wait: std::printf("wait\n"); break;
    case planner::TAct::Lost: std::printf("lost\n"); break;
  }
  return 0;
}

// Plays levels as tests/harness/play_level.py does, a look taking 20 to
// 150 ms to plan on and a click arriving up to 300 ms after it is sent, and
// checks that each press leads where the plan said whenever it lands.
int Trial(int difficulty, int levels, std::uint32_t clock) {
  game::TRandom chance;
  chance.Seed(clock);
  const auto between = [&](double a, double b) { return a + (b - a) * chance.Random(); };
  int wins = 0, presses = 0, astray = 0;
  for (int level = 0; level < levels; ++level) {
    game::TRandom random;
    std::uint32_t reading = clock + 1000u * std::uint32_t(level);
    random.Seed(reading++);
    planner::TTimedGame g;
    game::DealLevel(g.Board, difficulty, random, [&] { random.Seed(reading++); });
    game::PlaceBall(g.Ball, g.Board.StartCol, g.Board.StartRow);
    static planner::TMemo memo;
    memo.Steps = memo.Due = 0;
    const int pressesBefore = presses;
    const char* end = "lost";
    while (g.Now < 120000 && !g.Out) {
      const TBallFields first = g.Ball;
      g.RunTo(g.Now + 60);
      planner::TObserved seen{g.Board, BallAt(g.Ball.BallX, g.Ball.BallY), {}};
      if (!planner::SpeedsFromTwoLooks(g.Board, first, seen.Ball, 60)) continue;
      seen.Period = Period(seen.Ball);
      const double planning = between(20, 150);
      const planner::TDecision d = planner::Decide(seen, [&] { return std::pair{int(planning), int(planning) + 300}; }, memo);
      if (d.Act == planner::TAct::Lost) break;
      if (d.Act == planner::TAct::Out) {
        g.RunTo(g.Now + 60000);
        break;
      }
      if (d.Act == planner::TAct::Wait) {
        g.RunTo(g.Now + 100);
        continue;
      }
      g.RunTo(g.Now + planning + between(0, 300));
      if (g.Out) break;
      ++presses;
      if (planner::Outcome(g.Board, g.Ball, d.Col, d.Row) != d.Leads) ++astray;
      if (std::getenv("TRIALDEBUG")) std::fprintf(stderr, "%.1f press %d %d, %d to go, ball %d %d\n", g.Now / 1000, d.Col, d.Row, d.Presses, g.Ball.BallCol, g.Ball.BallRow);
      game::PressBar(g.Board, g.Ball, d.Col, d.Row);
      g.NextTick = g.Now + g.Interval;
      g.RunTo(g.Now + 150);
    }
    if (g.Out) end = "won", ++wins;
    std::printf("level %d (clock %u): %s at %.1f s after %d presses\n", level + 1, clock + 1000u * std::uint32_t(level), end,
                g.Now / 1000, presses - pressesBefore);
    std::fflush(stdout);
  }
  std::printf("won %d of %d at difficulty %d; %d presses, %d led elsewhere than planned\n", wins, levels, difficulty,
              presses, astray);
  return 0;
}

struct TimedPress {
  int tick, col, row;
};

// Plays the level with presses just before given motion ticks, as a
// recorded game is replayed; the tick the ball leaves at, or 0.
int Replay(const TBoard& dealt, const std::vector<TimedPress>& presses) {
  TBoard board = dealt;
  TBallFields ball;
  game::PlaceBall(ball, board.StartCol, board.StartRow);
  int interval = game::INTERVAL_ROLL;
  std::size_t next = 0;
  for (int tick = 1; tick <= 20000; ++tick) {
    for (; next < presses.size() && presses[next].tick <= tick; ++next)
      game::PressBar(board, ball, presses[next].col, presses[next].row);
    interval = game::DecideSpeeds(board, ball, interval).Interval;
    game::StepBall(ball);
    if (game::ExitReached(board, ball)) return tick;
  }
  return 0;
}

int FromDeal(int difficulty, std::uint32_t clock, bool restOnly) {
  // As the window does: seeded at start-up, then afresh for each attempt.
  game::TRandom random;
  std::uint32_t reading = clock;
  random.Seed(reading++);
  Node start;
  game::DealLevel(start.board, difficulty, random, [&] { random.Seed(reading++); });
  game::PlaceBall(start.ball, start.board.StartCol, start.board.StartRow);
  std::vector<Moment> first;
  int lastTicks = 0;
  if (PlayOn(start.board, start.ball, !restOnly, first, lastTicks)) {
    std::fprintf(stderr, "solve_level: the level plays itself out\n");
    return 1;
  }
  std::vector<Step> solution;
  if (!Solve(start.board, first, !restOnly, solution, lastTicks)) {
    std::fprintf(stderr, "solve_level: no win found\n");
    return 1;
  }
  // A press comes just before the tick after the one the ball was met at.
  std::vector<TimedPress> presses;
  int tick = 0;
  for (const Step& s : solution) {
    tick += s.waited;
    presses.push_back({tick + 1, s.col, s.row});
  }
  // Leave out every press the win does without, until each one left counts.
  for (bool shorter = true; shorter;) {
    shorter = false;
    for (std::size_t i = presses.size(); i-- > 0;) {
      std::vector<TimedPress> fewer;
      for (std::size_t j = 0; j < presses.size(); ++j)
        if (j != i) fewer.push_back(presses[j]);
      if (Replay(start.board, fewer) > 0) presses = fewer, shorter = true;
    }
  }
  std::printf("# A level at difficulty %d won in %zu presses, each of them needed.\n", difficulty, presses.size());
  std::printf("difficulty %d\nclock %u\n", difficulty, clock);
  for (const TimedPress& p : presses)
    std::printf("press %d %d %d\n", p.tick, game::CellX(p.col) + 10, game::CellY(p.row) + 10);
  std::printf("# the ball leaves at motion tick %d\n", Replay(start.board, presses));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 6 && std::strcmp(argv[1], "follow") == 0)
    return FromLook(argv[2], std::atoll(argv[3]), std::atoll(argv[4]), std::atoi(argv[5]));
  if ((argc == 4 || argc == 5) && std::strcmp(argv[1], "trial") == 0)
    return Trial(std::atoi(argv[2]), std::atoi(argv[3]),
                 argc == 5 ? static_cast<std::uint32_t>(std::strtoul(argv[4], nullptr, 10)) : 1u);
  if ((argc == 4 || argc == 5) && std::strcmp(argv[1], "deal") == 0)
    return FromDeal(std::atoi(argv[2]), static_cast<std::uint32_t>(std::strtoul(argv[3], nullptr, 10)),
                    argc == 5 && std::strcmp(argv[4], "rest") == 0);
  std::fprintf(stderr,
               "usage: solve_level follow MEMO SEEN_FROM SEEN_TO LATENCY < look | solve_level trial DIFFICULTY N "
               "[CLOCK] | solve_level deal DIFFICULTY CLOCK\n");
  return 2;
}
