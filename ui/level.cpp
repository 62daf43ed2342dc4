// The level on the window: dealing it with the hour-glass up, painting every
// playfield cell with the exit on top, and the ball where it stands.

#include "game/level_generator.h"
#include "platform/app.h"
#include "platform/cursor.h"
#include "ui/main_form.h"

void TMainForm::GenerateLevel() {
  // Dealing holds the window: the hour-glass says so, and each attempt is
  // seeded afresh from the clock.
  game::DealLevel(*Board, Difficulty, Random, [this] {
    Window->SetCursor(platform::CURSOR_HOURGLASS);
    Random.Seed(platform::UtcMillisecondsOfDay());
  });
  // The ball waits on the start cell.
  game::PlaceBall(*this, Board->StartCol, Board->StartRow);
  // Kept for playing the level again.
  *SavedBoard = *Board;
  Window->SetCursor(platform::CURSOR_ARROW);
}

void TMainForm::DrawBoard() {
  for (int c = 1; c <= 20; ++c) {
    for (int r = 1; r <= 20; ++r) {
      switch (Board->Cells[c][r]) {
        case CELL_EMPTY:
          Draw(NoBall, game::CellX(c), game::CellY(r));
          break;
        case CELL_VBAR_TOP:  // the picture covers the lower half too
          Draw(Vertical, game::CellX(c), game::CellY(r));
          break;
        case CELL_HBAR_LEFT:  // the picture covers the right half too
          Draw(Horizont, game::CellX(c), game::CellY(r));
          break;
        default:
          break;
      }
    }
  }
  Draw(Exit, game::CellX(Board->ExitCol), game::CellY(Board->ExitRow));
}

void TMainForm::DrawBall() { Draw(Ball, BallX, BallY); }
