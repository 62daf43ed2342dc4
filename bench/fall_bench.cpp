// The real main window under X with the ball falling at 5 ms ticks for as
// long as it is measured: a board with one open column, and the ball taken
// back up two rows from the bottom without losing its speed, so that it
// never lands. bench/session.sh measures the process's CPU from outside
// once it prints "falling"; no dealt level falls for ten seconds.
//
//   fall_bench [seconds, default 20]   (needs a display)

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "game/ball.h"
#include "game/level_generator.h"
#include "game/motion.h"
#include "platform/app.h"
#include "ui/main_form.h"

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  std::string error;
  if (!platform::Init(error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  platform::SetApplicationTitle("Quillamor 2000");
  {
    TMainForm form;
    form.Show();  // the sound probe, then the window on screen with the focus
    TBoard board{};
    game::FrameBoard(board);
    board.StartCol = 10, board.StartRow = 1;
    board.ExitCol = 2, board.ExitRow = 20;
    *form.Board = *form.SavedBoard = board;
    game::PlaceBall(form, board.StartCol, board.StartRow);
    form.LevelReady = true;
    form.ScreenMode = SCREEN_GAME;
    form.FormPaint();
    bool told = false;
    form.Timer1.SetOnTimer([&](TcsCustomTimer* sender) {
      form.Timer1Timer(sender);
      if (form.BallRow >= 18 && game::RowAligned(form)) {
        form.Draw(form.NoBall, form.BallX, form.BallY);
        game::PlaceBall(form, form.BallCol, 2);
        form.DrawBall();
      }
      if (!told && form.Timer1.Interval() == game::INTERVAL_FASTEST) {
        std::printf("falling\n");
        std::fflush(stdout);
        told = true;
      }
    });
    form.Timer1.SetEnabled(true);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    platform::ProcessMessagesUntil([&] { return std::chrono::steady_clock::now() >= end; });
    std::printf("ticks at %d ms when it ended\n", form.Timer1.Interval());
  }
  platform::Shutdown();
  return 0;
}
