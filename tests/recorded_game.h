#pragma once
// Recorded games: a level dealt from a clock reading at a difficulty, and
// the presses a player made at given motion ticks. Replayed through the
// real handlers, with the ticks fired one by one.
//
// File format, one item a line ('#' starts a comment):
//   difficulty D
//   clock MS              the clock's reading when the game starts
//   press TICK X Y        a click at (X, Y) just before that motion tick

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "tests/test_support.h"

struct RecordedPress {
  int tick, x, y;
};

struct RecordedGame {
  int difficulty = 1;
  std::uint32_t clock = 0;
  std::vector<RecordedPress> presses;
};

// Empty `error` when the file was read.
inline RecordedGame ReadRecordedGame(const std::string& path, std::string& error) {
  RecordedGame game;
  std::ifstream in(path);
  if (!in) error = "cannot read " + path;
  std::string line;
  while (error.empty() && std::getline(in, line)) {
    std::istringstream words(line.substr(0, line.find('#')));
    std::string what;
    if (!(words >> what)) continue;
    RecordedPress p{};
    if (what == "difficulty" && words >> game.difficulty) continue;
    if (what == "clock" && words >> game.clock) continue;
    if (what == "press" && words >> p.tick >> p.x >> p.y) {
      game.presses.push_back(p);
      continue;
    }
    error = path + ": cannot read \"" + line + "\"";
  }
  return game;
}

// Plays the game from the title's start spot; the press numbered `leaveOut`
// (if any) is not made. Returns the motion ticks it took to reach the win
// screen, or -1 when `tickLimit` ticks went by without a win.
inline int Replay(TMainForm& form, const RecordedGame& game, int leaveOut = -1, int tickLimit = 20000) {
  // The clock outlives the replay: a window made afterwards still reads it.
  auto clock = std::make_shared<std::uint32_t>(game.clock);
  platform::SetClockForTest([clock] { return (*clock)++; });
  form.Random.Seed((*clock)++);  // as the window's creation seeds it
  form.Difficulty = game.difficulty;
  form.FormMouseDown(505, 400);
  form.FormMouseUp(505, 400);
  std::size_t next = 0;
  for (int tick = 1; tick <= tickLimit; ++tick) {
    for (; next < game.presses.size() && game.presses[next].tick <= tick; ++next) {
      if (static_cast<int>(next) == leaveOut) continue;
      form.FormMouseDown(game.presses[next].x, game.presses[next].y);
      form.FormMouseUp(game.presses[next].x, game.presses[next].y);
    }
    if (!Tick(form.Timer1)) Tick(form.Timer2);
    if (form.ScreenMode == SCREEN_WIN) return tick;
  }
  return -1;
}
