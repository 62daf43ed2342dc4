// How long the game's handlers take on the user-interface thread, through
// the real main window on the headless drivers (sounds played on the silent
// device, as the handler pays for them), beside the rules alone:
//   motion tick     Timer1Timer on a ball that rolls, falls and lands,
//                   beside DecideSpeeds, StepBall and ExitReached
//   bar press       FormMouseDown on a bar half, the ball far away, beside
//                   PressBar, the same press by the rules alone
//   settling press  the same press with the ball falling through the cell
//                   above the one the bar enters: nine steps of the ball
//                   are drawn first
//   repaint         FormPaint of the game screen, beside the background
//                   picture alone (a repaint has no rules)
// Usage: handler_bench [calls, default 20000]

#include <SDL.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "bench/report.h"
#include "game/bar_moves.h"
#include "game/level_generator.h"
#include "game/motion.h"
#include "bench/headless.h"
#include "platform/app.h"
#include "platform/window.h"
#include "tests/test_seams.h"
#include "ui/main_form.h"

namespace {

using Clock = std::chrono::steady_clock;

// Microseconds of each call; `prepare` sets each call up, untimed.
bench::Stats Time(int calls, const std::function<void()>& prepare, const std::function<void()>& call) {
  std::vector<double> us;
  us.reserve(calls);
  for (int i = 0; i < calls; ++i) {
    prepare();
    const auto start = Clock::now();
    call();
    us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    // Ticks of the running timer pile up unhandled: drop them now and then.
    if (i % 1000 == 999) SDL_FlushEvents(SDL_USEREVENT, SDL_LASTEVENT);
  }
  return bench::Summarise(us);
}

void Report(const std::string& what, const bench::Stats& window, const bench::Stats& rules, const std::string& goal,
            const std::string& baselineName = "the rules alone") {
  bench::Detail(what + ", the window's handler", window, "us");
  bench::Detail(what + ", " + baselineName, rules, "us");
  bench::Figure(what + ": median (baseline: " + baselineName + ")", window.median, rules.median, "us", goal);
}

// A ball that falls the height of the board, lands, rolls to a wall, turns,
// and drops again through gaps in staggered floors: every kind of tick.
TBoard Course() {
  TBoard b{};
  game::FrameBoard(b);
  for (int r = 4; r <= 19; r += 5)
    for (int c = 1; c <= 19; c += 2)
      if (c != (r % 2 ? 9 : 11)) b.Cells[c][r] = CELL_HBAR_LEFT, b.Cells[c + 1][r] = CELL_HBAR_RIGHT;
  b.StartCol = 10, b.StartRow = 1;
  b.ExitCol = 20, b.ExitRow = 20;
  return b;
}

// One horizontal bar on (5, 10)-(6, 10); a press on its right half moves it
// into (7, 10).
constexpr int kBarCol = 6, kBarRow = 10;
TBoard OneBar() {
  TBoard b{};
  game::FrameBoard(b);
  b.Cells[5][kBarRow] = CELL_HBAR_LEFT;
  b.Cells[6][kBarRow] = CELL_HBAR_RIGHT;
  b.StartCol = 15, b.StartRow = 2;
  b.ExitCol = 18, b.ExitRow = 20;
  return b;
}

// The ball in column 7, falling, two pixels below row 8: the press first
// carries it nine steps down onto row 9, above the cell the bar enters.
void FallingAboveTheTarget(TBallFields& ball) {
  game::PlaceBall(ball, 7, 8);
  ball.BallY += 2;
  ball.SpeedX = 0;
  ball.SpeedY = BALL_STEP;
}

void FarAway(TBallFields& ball) {
  game::PlaceBall(ball, 15, 2);
  ball.SpeedX = ball.SpeedY = 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (!bench::StartHeadless()) return 1;
  const int calls = argc > 1 ? std::max(100, std::atoi(argv[1])) : 20000;
  {
    TMainForm form;
    platform::SetActiveWindowForTest(form.Window.get());
    form.SoundOn = platform::PlaySoundImage(form.SoundStart, platform::PlayMode::Async);
    if (!form.SoundOn) bench::Detail("note: no sound device, the handlers play nothing");
    form.ScreenMode = SCREEN_GAME;
    const auto none = [] {};

    // Motion tick.
    const TBoard course = Course();
    // The course starts over when the ball drops out or comes to rest, so
    // that every tick moves it.
    const auto restart = [&] {
      form.Timer2.SetEnabled(false);
      *form.Board = *form.SavedBoard = course;
      game::PlaceBall(form, course.StartCol, course.StartRow);
      form.SpeedX = form.SpeedY = 0;
      form.Timer1.SetInterval(game::INTERVAL_ROLL);
      form.Timer1.SetEnabled(true);
      form.FormPaint();
    };
    int lastX = 0, lastY = 0;
    const auto onCourse = [&] {
      if (!form.Timer1.Enabled() || (form.BallX == lastX && form.BallY == lastY)) restart();
      lastX = form.BallX, lastY = form.BallY;
    };
    restart();
    const bench::Stats tick = Time(calls, onCourse, [&] { form.Timer1Timer(&form.Timer1); });
    restart();
    int interval = game::INTERVAL_ROLL;
    bool out = false;
    const bench::Stats tickRules = Time(
        calls,
        [&] {
          if (out || (form.BallX == lastX && form.BallY == lastY)) restart(), interval = game::INTERVAL_ROLL;
          lastX = form.BallX, lastY = form.BallY;
        },
        [&] {
          interval = game::DecideSpeeds(*form.Board, form, interval).Interval;
          game::StepBall(form);
          out = game::ExitReached(*form.Board, form);
        });
    Report("motion tick", tick, tickRules, "<20");

    // Presses on the bar, through the window and by the rules.
    form.Timer2.SetEnabled(false);
    const TBoard oneBar = OneBar();
    const int x = game::CellX(kBarCol) + 10, y = game::CellY(kBarRow) + 10;
    *form.Board = *form.SavedBoard = oneBar;
    form.FormPaint();
    const auto pressBench = [&](const std::function<void(TBallFields&)>& place) {
      return Time(calls / 4, [&] { *form.Board = oneBar, place(form); }, [&] { form.FormMouseDown(x, y); });
    };
    const auto rulesBench = [&](const std::function<void(TBallFields&)>& place) {
      TBoard board;
      TBallFields ball;
      return Time(calls / 4, [&] { board = oneBar, place(ball); }, [&] { game::PressBar(board, ball, kBarCol, kBarRow); });
    };
    Report("bar press", pressBench(FarAway), rulesBench(FarAway), "<100");
    Report("settling press", pressBench(FallingAboveTheTarget), rulesBench(FallingAboveTheTarget), "<100");
    form.Timer1.SetEnabled(false);

    // Repaint.
    const bench::Stats repaint = Time(std::max(calls / 20, 100), none, [&] { form.FormPaint(); });
    const bench::Stats background = Time(std::max(calls / 20, 100), none, [&] { form.Draw(form.Walpaper, 0, 0); });
    bench::Detail("repaint of the game screen, the window's handler", repaint, "us");
    bench::Detail("repaint of the game screen, the background picture alone", background, "us");
    bench::Figure("repaint of the game screen: median (baseline: the background picture alone)",
                  repaint.median / 1000, background.median / 1000, "ms", "<2");
  }
  platform::Shutdown();
  return 0;
}
