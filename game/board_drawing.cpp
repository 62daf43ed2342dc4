// Painting the level: every playfield cell, then the exit on top; and the
// ball where it stands.

#include "ui/main_form.h"

void TMainForm::DrawBoard() {
  for (int c = 1; c <= 20; ++c) {
    for (int r = 1; r <= 20; ++r) {
      switch (Board->Cells[c][r]) {
        case CELL_EMPTY:
          Draw(NoBall, CellX(c), CellY(r));
          break;
        case CELL_VBAR_TOP:  // the picture covers the lower half too
          Draw(Vertical, CellX(c), CellY(r));
          break;
        case CELL_HBAR_LEFT:  // the picture covers the right half too
          Draw(Horizont, CellX(c), CellY(r));
          break;
        default:
          break;
      }
    }
  }
  Draw(Exit, CellX(Board->ExitCol), CellY(Board->ExitRow));
}

void TMainForm::DrawBall() { Draw(Ball, BallX, BallY); }
