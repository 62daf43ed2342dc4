// How long the game's handlers take on the user-interface thread, through
// the real main window on the headless drivers, beside the rules alone:
//   motion_tick     Timer1Timer on a ball that rolls, falls and lands
//   bar_press       FormMouseDown on a bar half that moves the bar
//   settling_press  FormMouseDown that first finishes a fall (8 steps drawn)
//   repaint         FormPaint of the game screen
// Each prints: <measure> path=<window|rules> calls=N median_us=.. p99_us=.. max_us=..
// Usage: handler_bench [calls, default 20000]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "game/bar_moves.h"
#include "game/level_generator.h"
#include "game/motion.h"
#include "platform/app.h"
#include "platform/window.h"
#include "ui/main_form.h"

namespace {

using Clock = std::chrono::steady_clock;

void Measure(const char* measure, const char* path, int calls, const std::function<void()>& call,
             const std::function<void()>& prepare = {}) {
  std::vector<double> us;
  us.reserve(calls);
  for (int i = 0; i < calls; ++i) {
    if (prepare) prepare();
    const auto start = Clock::now();
    call();
    us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
  }
  std::sort(us.begin(), us.end());
  const auto at = [&](double q) { return us[static_cast<std::size_t>(q * (us.size() - 1) + 0.5)]; };
  std::printf("%s path=%s calls=%d median_us=%.2f p99_us=%.2f max_us=%.2f\n", measure, path, calls, at(0.5), at(0.99),
              us.back());
  std::fflush(stdout);
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

}  // namespace

int main(int argc, char** argv) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  std::string error;
  if (!platform::Init(error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  const int calls = argc > 1 ? std::atoi(argv[1]) : 20000;
  {
    TMainForm form;
    platform::SetActiveWindowForTest(form.Window.get());
    form.SoundOn = false;  // the sound device's cost is not the handler's
    const TBoard course = Course();
    const auto restart = [&] {
      *form.Board = *form.SavedBoard = course;
      game::PlaceBall(form, course.StartCol, course.StartRow);
      form.SpeedX = form.SpeedY = 0;
    };
    restart();
    form.ScreenMode = SCREEN_GAME;
    form.FormPaint();
    const int x0 = form.BallX, y0 = form.BallY;
    Measure("motion_tick", "window", calls, [&] {
      form.Timer1Timer(&form.Timer1);
      if (!form.Timer1.Enabled()) restart(), form.Timer1.SetEnabled(true);
    });
    std::printf("# the ball went from (%d, %d) to (%d, %d)\n", x0, y0, form.BallX, form.BallY);
    restart();
    int interval = 33;
    Measure("motion_tick", "rules", calls, [&] {
      interval = game::DecideSpeeds(*form.Board, form, interval).Interval;
      game::StepBall(form);
      if (game::ExitReached(*form.Board, form)) restart();
    });
    Measure("repaint", "window", std::max(calls / 20, 100), [&] { form.FormPaint(); });

    // A vertical bar pressed up and down in turn, the ball resting far away;
    // and a horizontal bar pressed while the ball falls beside it.
    TBoard presses{};
    game::FrameBoard(presses);
    presses.Cells[5][10] = CELL_VBAR_TOP, presses.Cells[5][11] = CELL_VBAR_BOTTOM;
    presses.Cells[12][10] = CELL_HBAR_LEFT, presses.Cells[13][10] = CELL_HBAR_RIGHT;
    presses.Cells[19][20] = CELL_HBAR_LEFT, presses.Cells[20][20] = CELL_HBAR_RIGHT;
    presses.Cells[17][20] = CELL_HBAR_LEFT, presses.Cells[18][20] = CELL_HBAR_RIGHT;
    presses.Cells[20][19] = CELL_VBAR_TOP, presses.Cells[20][20] = CELL_VBAR_BOTTOM;
    presses.ExitCol = 1, presses.ExitRow = 20;
    *form.Board = presses;
    form.Timer2.SetEnabled(false);  // the course's exit animation would hold presses off
    game::PlaceBall(form, 20, 18);  // in a pocket
    form.SpeedX = form.SpeedY = 0;
    form.FormPaint();
    bool up = true;
    const auto barPress = [&] {
      form.FormMouseDown(105, up ? 210 : 205);  // the upper half, then (moved up) the lower half
      up = !up;
    };
    Measure("bar_press", "window", calls, barPress);
    TBoard rules = presses;
    TBallFields ball = form;
    const auto rulesPress = [&](int col, int row) { game::PressBar(rules, ball, col, row); };
    up = true;
    Measure("bar_press", "rules", calls, [&] {
      rulesPress(5, 10);
      up = !up;
    });
    const auto falling = [](TBallFields& b) {
      b.BallX = game::CellX(11), b.BallY = game::CellY(5) + 2, b.BallCol = 11, b.BallRow = 5;
      b.SpeedX = 0, b.SpeedY = 2;
    };
    Measure("settling_press", "window", calls, [&] { form.FormMouseDown(12 * 20 + 5, 10 * 20 + 5); },
            [&] {
              falling(form);
              form.Board->Cells[12][10] = CELL_HBAR_LEFT, form.Board->Cells[13][10] = CELL_HBAR_RIGHT;
              form.Board->Cells[11][10] = CELL_EMPTY;
            });
    Measure("settling_press", "rules", calls, [&] { rulesPress(12, 10); },
            [&] {
              falling(ball);
              rules.Cells[12][10] = CELL_HBAR_LEFT, rules.Cells[13][10] = CELL_HBAR_RIGHT, rules.Cells[11][10] = CELL_EMPTY;
            });
  }
  platform::Shutdown();
  return 0;
}
