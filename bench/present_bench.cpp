// What it costs to put the canvas on the screen: creating the window and
// presenting the whole 550 x 440 client area, and a 20 x 20 cell, as the
// motion tick does. Needs a display (run it under xvfb-run). QUILLAMOR_SCALE
// sets the scale the canvas is shown at, as for the game.
//
//   present_bench [accelerated]   ("accelerated" presents through a texture)

#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench/report.h"
#include "platform/app.h"
#include "platform/bitmap.h"
#include "platform/window.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::milli>(b - a).count(); }

void Report(const char* what, const char* mode, int scale, const std::vector<double>& samples) {
  bench::Detail(std::string("present ") + what + " mode=" + mode + " scale=" + std::to_string(scale),
                bench::Summarise(samples), "ms");
}

}  // namespace

int main(int argc, char** argv) {
  const bool accelerated = argc > 1 && std::strcmp(argv[1], "accelerated") == 0;
  std::string error;
  if (!platform::Init(error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  // Init chose the direct framebuffer; this run may ask for the texture path.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, accelerated ? "1" : "0");
  const char* mode = accelerated ? "texture" : "direct";
  platform::WindowEvents none;
  platform::WindowOptions options{"present_bench", 550, 440, false, nullptr, false};

  const auto created = Clock::now();
  platform::Window window(options, &none);
  platform::Bitmap background;
  background.LoadFromResource("Walpaper");
  platform::Bitmap ball;
  ball.LoadFromResource("Ball");
  window.Show();
  std::printf("present first_show mode=%s scale=%d ms=%.3f\n", mode, window.Scale(), Ms(created, Clock::now()));

  std::vector<double> whole, cell;
  for (int i = 0; i < 300; ++i) {
    window.Draw(background, 0, 0);
    const auto start = Clock::now();
    window.Present();
    whole.push_back(Ms(start, Clock::now()));
  }
  for (int i = 0; i < 1000; ++i) {
    window.Draw(ball, 20 + (i % 380), 200);
    const auto start = Clock::now();
    window.Present();
    cell.push_back(Ms(start, Clock::now()));
  }
  Report("whole_window", mode, window.Scale(), whole);
  Report("ball_sized", mode, window.Scale(), cell);
  platform::Shutdown();
  return 0;
}
