#pragma once
// The level: a 22 x 22 grid of cell codes (the 20 x 20 playfield inside a
// frame) with the ball's start cell and the exit cell.

#include <cstdint>

constexpr std::uint8_t CELL_EMPTY = 0;
constexpr std::uint8_t CELL_VBAR_TOP = 1;
constexpr std::uint8_t CELL_VBAR_BOTTOM = 2;
constexpr std::uint8_t CELL_HBAR_LEFT = 3;
constexpr std::uint8_t CELL_HBAR_RIGHT = 4;
constexpr std::uint8_t CELL_BORDER = 8;

constexpr int BOARD_CELLS = 22;   // frame included
constexpr int CELL_SIZE = 20;     // pixels

// Copied only as a whole, byte for byte.
struct TBoard {
  std::int32_t StartCol;
  std::int32_t StartRow;
  std::int32_t ExitCol;
  std::int32_t ExitRow;
  // Indexed by column, then row: Cells[c][r]; stored column by column.
  std::uint8_t Cells[BOARD_CELLS][BOARD_CELLS];
};

static_assert(sizeof(TBoard) == 16 + BOARD_CELLS * BOARD_CELLS, "TBoard is a plain record without padding");
