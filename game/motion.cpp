#include "game/motion.h"

namespace game {

TSpeedDecision DecideSpeeds(const TBoard& board, TBallFields& ball, std::int32_t interval) {
  const auto empty = [&](int c, int r) { return board.Cells[c][r] == CELL_EMPTY; };
  const bool leftEmpty = empty(ball.BallCol - 1, ball.BallRow);
  const bool rightEmpty = empty(ball.BallCol + 1, ball.BallRow);
  const bool belowEmpty = empty(ball.BallCol, ball.BallRow + 1);
  const bool aligned = ColumnAligned(ball);
  TSpeedDecision decision{0, interval};

  // A fall speeds up on every tick after the one that started it.
  if (ball.SpeedY != 0 && decision.Interval > INTERVAL_FASTEST) decision.Interval -= 2;

  // Sideways: a ball at rest sets off (right first); a rolling one reacts to
  // a bar ahead only once it stands on a whole column.
  if (ball.SpeedX == 0) {
    ball.SpeedX = rightEmpty ? BALL_STEP : leftEmpty ? -BALL_STEP : 0;
  } else if (ball.SpeedX > 0 && !rightEmpty && aligned) {
    ball.SpeedX = leftEmpty ? -BALL_STEP : 0;
    ++decision.Knocks;
  } else if (ball.SpeedX < 0 && !leftEmpty && aligned) {
    ball.SpeedX = rightEmpty ? BALL_STEP : 0;
    ++decision.Knocks;
  }

  // Down: nothing below a whole column means a fall, whatever the sideways
  // rule said; a fall that finds something below is a landing, and the
  // ball may roll off in this same tick.
  if (belowEmpty && aligned) {
    ball.SpeedY = BALL_STEP;
    ball.SpeedX = 0;
  } else if (ball.SpeedY == BALL_STEP) {
    decision.Interval = INTERVAL_ROLL;
    ball.SpeedY = 0;
    ++decision.Knocks;
  }
  return decision;
}

void StepBall(TBallFields& ball) {
  ball.BallX += ball.SpeedX;
  ball.BallY += ball.SpeedY;
  ball.BallCol = ColumnAt(ball.BallX);
  ball.BallRow = RowAt(ball.BallY);
}

bool ExitReached(const TBoard& board, const TBallFields& ball) {
  if (!ColumnAligned(ball) || !RowAligned(ball)) return false;
  const int dc = board.ExitCol - ball.BallCol;
  const int dr = board.ExitRow - ball.BallRow;
  return (dr == 0 && dc >= -1 && dc <= 1) || (dc == 0 && dr == 1);
}

TTrailStrip TrailStrip(const TBallFields& ball) {
  // Sideways first: its strip is the column the sprite leaves behind.
  if (ball.SpeedX == -BALL_STEP) return {TTrail::Column, ball.BallX + CELL_SIZE - BALL_STEP, ball.BallY};
  if (ball.SpeedX == BALL_STEP) return {TTrail::Column, ball.BallX, ball.BallY};
  if (ball.SpeedY == BALL_STEP) return {TTrail::Row, ball.BallX, ball.BallY};
  return {};
}

}  // namespace game
