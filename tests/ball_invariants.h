#pragma once
// What must hold of the ball after every motion tick and every press,
// stated from the board and the ball alone, apart from the rules that move
// it. Shared by the rules' sweep and the window's random runs.

#include <string>

#include "game/ball.h"
#include "game/board.h"

// The first thing wrong with the ball, or "" when all holds. A press may
// leave a ball set rolling by the alignment over a fall it has not finished;
// a motion tick never does.
inline std::string BallFault(const TBoard& board, const TBallFields& ball, bool afterTick = true) {
  const auto where = " at (" + std::to_string(ball.BallX) + "," + std::to_string(ball.BallY) + ") speed (" +
                     std::to_string(ball.SpeedX) + "," + std::to_string(ball.SpeedY) + ")";
  if (ball.BallX % 2 != 0 || ball.BallY % 2 != 0) return "odd position" + where;
  if (ball.BallX < 20 || ball.BallX > 400 || ball.BallY < 20 || ball.BallY > 400) return "off the playfield" + where;
  if (ball.BallCol != (ball.BallX - 20) / 20 + 1 || ball.BallRow != (ball.BallY - 20) / 20 + 1)
    return "cell does not match the position" + where;
  const bool betweenColumns = ball.BallX % 20 != 0, betweenRows = ball.BallY % 20 != 0;
  if (ball.SpeedX != 0 && ball.SpeedX != 2 && ball.SpeedX != -2) return "sideways speed" + where;
  if (ball.SpeedY != 0 && ball.SpeedY != 2) return "vertical speed" + where;
  if (ball.SpeedX == 0 && betweenColumns) return "stopped between columns" + where;
  if (afterTick && ball.SpeedY == 2 && ball.SpeedX != 0) return "falling sideways" + where;
  if (betweenColumns && betweenRows) return "between columns and rows at once" + where;
  // Every cell the sprite covers is free.
  for (int c = ball.BallCol; c <= ball.BallCol + (betweenColumns ? 1 : 0); ++c)
    for (int r = ball.BallRow; r <= ball.BallRow + (betweenRows ? 1 : 0); ++r)
      if (board.Cells[c][r] != CELL_EMPTY)
        return "on a blocked cell (" + std::to_string(c) + "," + std::to_string(r) + ")" + where;
  return "";
}
