#include "game/bar_moves.h"

namespace game {

TBarDirection BarDirection(std::uint8_t code) {
  switch (code) {
    case CELL_VBAR_TOP:
      return TBarDirection::Up;
    case CELL_VBAR_BOTTOM:
      return TBarDirection::Down;
    case CELL_HBAR_LEFT:
      return TBarDirection::Left;
    case CELL_HBAR_RIGHT:
      return TBarDirection::Right;
    default:
      return TBarDirection::None;
  }
}

std::optional<TBarMove> MoveFor(const TBoard& board, std::int32_t col, std::int32_t row) {
  // The pointer offsets share a base of (+3, +20), the corner of the
  // window's frame, and add the bar's own shift; the left one 22, not 20.
  switch (BarDirection(board.Cells[col][row])) {
    case TBarDirection::Up:
      return TBarMove{{col, row - 1}, {col, row + 1}, {col, row - 1}, true, 3, 0};
    case TBarDirection::Down:
      return TBarMove{{col, row + 1}, {col, row - 1}, {col, row}, true, 3, 40};
    case TBarDirection::Left:
      return TBarMove{{col - 1, row}, {col + 1, row}, {col - 1, row}, false, -19, 20};
    case TBarDirection::Right:
      return TBarMove{{col + 1, row}, {col - 1, row}, {col, row}, false, 23, 20};
    case TBarDirection::None:
      break;
  }
  return std::nullopt;
}

bool MoveAllowed(const TBoard& board, const TBallFields& ball, const TBarMove& move) {
  const TCell t = move.Target;
  return board.Cells[t.Col][t.Row] == CELL_EMPTY && t != TCell{ball.BallCol, ball.BallRow} &&
         t != TCell{board.ExitCol, board.ExitRow};
}

void ApplyMove(TBoard& board, const TBarMove& move) {
  // The new pair is the picture's cell and the one after it; the old far
  // half goes.
  const TCell first = move.Picture;
  const TCell second = move.Vertical ? TCell{first.Col, first.Row + 1} : TCell{first.Col + 1, first.Row};
  board.Cells[first.Col][first.Row] = move.Vertical ? CELL_VBAR_TOP : CELL_HBAR_LEFT;
  board.Cells[second.Col][second.Row] = move.Vertical ? CELL_VBAR_BOTTOM : CELL_HBAR_RIGHT;
  board.Cells[move.Vacated.Col][move.Vacated.Row] = CELL_EMPTY;
}

void AlignBall(const TBoard& board, TBallFields& ball, TDirection direction, const TStepHooks& hooks) {
  const auto step = [&](std::int32_t& position, std::int32_t speed) {
    int steps = 0;
    while (position % CELL_SIZE != 0) {
      if (hooks.BeforeStep) hooks.BeforeStep();
      position += speed;
      if (hooks.AfterStep) hooks.AfterStep();
      ++steps;
    }
    return steps > 0;
  };
  switch (direction) {
    case TDirection::Left:
      ball.SpeedX = -BALL_STEP;
      if (step(ball.BallX, ball.SpeedX)) ball.BallCol = ColumnAt(ball.BallX);
      ball.SpeedX = board.Cells[ball.BallCol - 1][ball.BallRow] == CELL_EMPTY ? -BALL_STEP : 0;
      break;
    case TDirection::Right:
      ball.SpeedX = BALL_STEP;
      if (step(ball.BallX, ball.SpeedX)) ball.BallCol = ColumnAt(ball.BallX);
      ball.SpeedX = board.Cells[ball.BallCol + 1][ball.BallRow] == CELL_EMPTY ? BALL_STEP : 0;
      break;
    case TDirection::Down:
      ball.SpeedY = BALL_STEP;
      if (step(ball.BallY, ball.SpeedY)) ball.BallRow = RowAt(ball.BallY);
      if (board.Cells[ball.BallCol][ball.BallRow + 1] != CELL_EMPTY) ball.SpeedY = 0;
      break;
  }
}

void SettleBall(const TBoard& board, const TBallFields& ball, std::int32_t col, std::int32_t row,
                const std::function<void(TDirection)>& align) {
  // `ball` is read afresh by every test: `align` moves it.
  const auto at = [&](std::int32_t c, std::int32_t r) { return ball.BallCol == c && ball.BallRow == r; };
  const bool betweenRows = ball.BallY % CELL_SIZE != 0;
  switch (board.Cells[col][row]) {
    case CELL_VBAR_TOP:  // target (col, row - 1)
      if (at(col, row - 1)) align(TDirection::Right);
      if (at(col - 1, row - 1)) align(TDirection::Left);
      if (at(col, row - 2)) align(TDirection::Down);
      break;
    case CELL_VBAR_BOTTOM:  // target (col, row + 1)
      if (at(col, row + 1)) align(TDirection::Right);
      if (at(col - 1, row + 1)) align(TDirection::Left);
      if (at(col, row + 1)) align(TDirection::Down);
      break;
    case CELL_HBAR_LEFT:  // target (col - 1, row)
      if (ball.BallCol < col - 2 || ball.BallCol > col + 1) break;
      if (ball.BallRow != row && !betweenRows) break;
      if (betweenRows) align(TDirection::Down);
      if (ball.BallCol == col - 2) align(TDirection::Left);
      break;
    case CELL_HBAR_RIGHT:  // target (col + 1, row)
      if (ball.BallCol < col - 1 || ball.BallCol > col + 1) break;
      if (ball.BallRow != row && !betweenRows) break;
      if (betweenRows) align(TDirection::Down);
      if (ball.BallCol == col + 1) align(TDirection::Right);
      break;
    default:
      break;
  }
}

std::optional<TBarMove> PressBar(TBoard& board, TBallFields& ball, std::int32_t col, std::int32_t row) {
  SettleBall(board, ball, col, row, [&](TDirection direction) { AlignBall(board, ball, direction); });
  const auto move = MoveFor(board, col, row);
  if (!move || !MoveAllowed(board, ball, *move)) return std::nullopt;
  ApplyMove(board, *move);
  return move;
}

}  // namespace game
