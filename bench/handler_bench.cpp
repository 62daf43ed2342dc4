// How long the game's handlers take on the user-interface thread, through
// the real main window on the headless drivers, beside the rules alone:
//   motion_tick   Timer1Timer on a ball that rolls, falls and lands
//   repaint       FormPaint of the game screen
// Each prints: <measure> path=<window|rules> calls=N median_us=.. p99_us=.. max_us=..
// Usage: handler_bench [calls, default 20000]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "game/level_generator.h"
#include "game/motion.h"
#include "platform/app.h"
#include "platform/window.h"
#include "ui/main_form.h"

namespace {

using Clock = std::chrono::steady_clock;

void Measure(const char* measure, const char* path, int calls, const std::function<void()>& call) {
  std::vector<double> us;
  us.reserve(calls);
  for (int i = 0; i < calls; ++i) {
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
  }
  platform::Shutdown();
  return 0;
}
