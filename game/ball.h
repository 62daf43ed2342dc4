#pragma once
// The ball: the top-left pixel of its 20 x 20 sprite, the cell that pixel
// lies in, and its step per tick on each axis.

#include <cstdint>

#include "game/board.h"

// The playfield's pixel origin: cell (1, 1) starts at (20, 20).
constexpr std::int32_t BOARD_LEFT = 20;
constexpr std::int32_t BOARD_TOP = 20;
// The ball moves in steps of 2 pixels, so every whole cell on its way is met.
constexpr std::int32_t BALL_STEP = 2;

struct TBallFields {
  std::int32_t BallX = 0, BallY = 0;      // always even; a multiple of 20 on a whole column or row
  std::int32_t BallCol = 0, BallRow = 0;  // 1..20
  std::int32_t SpeedX = 0;                // -2 left, 0, +2 right
  std::int32_t SpeedY = 0;                // 0, or +2 while falling
};

namespace game {

// The cell's top-left pixel.
constexpr std::int32_t CellX(std::int32_t col) { return BOARD_LEFT + CELL_SIZE * (col - 1); }
constexpr std::int32_t CellY(std::int32_t row) { return BOARD_TOP + CELL_SIZE * (row - 1); }
// The cell holding a pixel of the playfield.
constexpr std::int32_t ColumnAt(std::int32_t x) { return (x - BOARD_LEFT) / CELL_SIZE + 1; }
constexpr std::int32_t RowAt(std::int32_t y) { return (y - BOARD_TOP) / CELL_SIZE + 1; }

constexpr bool ColumnAligned(const TBallFields& ball) { return (ball.BallX - BOARD_LEFT) % CELL_SIZE == 0; }
constexpr bool RowAligned(const TBallFields& ball) { return (ball.BallY - BOARD_TOP) % CELL_SIZE == 0; }

// Puts the ball wholly on a cell; its speeds are the caller's business.
constexpr void PlaceBall(TBallFields& ball, std::int32_t col, std::int32_t row) {
  ball.BallCol = col;
  ball.BallRow = row;
  ball.BallX = CellX(col);
  ball.BallY = CellY(row);
}

}  // namespace game
