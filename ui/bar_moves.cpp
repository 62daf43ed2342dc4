// The playfield side of the mouse: a press on half of a bar settles the
// ball, moves the bar one cell and takes the pointer along; moving over a
// bar half shows the arrow of the way it would go.

#include "game/bar_moves.h"
#include "platform/cursor.h"
#include "ui/main_form.h"

void TMainForm::PlayfieldMouseDown(int X, int Y) {
  // While the ball drops out the level is over: a press must not set it
  // moving again and catch it a second time.
  if (Timer2.Enabled()) return;
  if (!game::OnPlayfield(X, Y)) return;
  const int col = game::ColumnAt(X), row = game::RowAt(Y);
  SettleBall(col, row);
  if (const auto move = game::MoveFor(*Board, col, row); move && game::MoveAllowed(*Board, *this, *move)) {
    game::ApplyMove(*Board, *move);
    PlaySound(SoundMove);
    Draw(move->Vertical ? Vertical : Horizont, game::CellX(move->Picture.Col), game::CellY(move->Picture.Row));
    Draw(NoBall, game::CellX(move->Vacated.Col), game::CellY(move->Vacated.Row));
    platform::SetCursorPos(Window->Left() + X + move->PointerDX, Window->Top() + Y + move->PointerDY);
  }
  Timer1.SetEnabled(true);
}

void TMainForm::PlayfieldMouseMove(int X, int Y) {
  // By direction: none, up, down, left, right. Over an empty cell the last
  // arrow stays.
  static constexpr int CURSOR_FOR[] = {0, CURSOR_UP, CURSOR_DOWN, CURSOR_LEFT, CURSOR_RIGHT};
  const auto direction = game::BarDirection(Board->Cells[game::ColumnAt(X)][game::RowAt(Y)]);
  if (direction != game::TBarDirection::None) Window->SetCursor(CURSOR_FOR[static_cast<int>(direction)]);
}

void TMainForm::SettleBall(std::int32_t col, std::int32_t row) {
  Timer1.SetEnabled(false);
  game::SettleBall(*Board, *this, col, row, [this](game::TDirection Direction) { AlignBall(Direction); });
}

void TMainForm::AlignBall(game::TDirection Direction) {
  // Every step is drawn at once, with no pause and no message handled.
  game::AlignBall(*Board, *this, Direction, {[this] { EraseBallTrail(); }, [this] { DrawBall(); }});
}
