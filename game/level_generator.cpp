// The level dealer. A seed that leaves no room for a bar, or that walls the
// ball in with a solid line, is thrown away and dealt again from a fresh
// seed.

#include "game/level_generator.h"

#include <algorithm>

namespace game {

bool FourFoldLayout(double draw) { return draw > 0.5; }

namespace {

constexpr int SEED_WIDTH = 10;   // columns 1..10; the mirror line lies between 10 and 11
constexpr int PLAYFIELD = 20;
constexpr int MAX_TRIES = 500;   // a bar gets one try more than this before the seed is given up

// Bars wanted of each kind in the seed block, by difficulty 1..3.
int BarTarget(bool fourFold, int difficulty) {
  static constexpr int fourFoldTarget[] = {20, 22, 24};
  static constexpr int twoFoldTarget[] = {40, 44, 46};
  const int level = std::clamp(difficulty, 1, 3);  // never read outside the table
  return (fourFold ? fourFoldTarget : twoFoldTarget)[level - 1];
}

std::uint8_t FlipVertical(std::uint8_t code) {
  if (code == CELL_VBAR_TOP) return CELL_VBAR_BOTTOM;
  if (code == CELL_VBAR_BOTTOM) return CELL_VBAR_TOP;
  return code;
}

std::uint8_t FlipHorizontal(std::uint8_t code) {
  if (code == CELL_HBAR_LEFT) return CELL_HBAR_RIGHT;
  if (code == CELL_HBAR_RIGHT) return CELL_HBAR_LEFT;
  return code;
}

// Tries bars at random cells of the seed block until one fits.
bool PlaceBar(TBoard& board, TRandom& random, bool vertical, int seedHeight) {
  for (int tries = 0; tries <= MAX_TRIES; ++tries) {
    // The column is drawn before the row.
    const int c = random.Random(vertical ? SEED_WIDTH : SEED_WIDTH - 1) + 1;
    const int r = random.Random(vertical ? seedHeight - 1 : seedHeight) + 1;
    std::uint8_t& first = board.Cells[c][r];
    std::uint8_t& second = vertical ? board.Cells[c][r + 1] : board.Cells[c + 1][r];
    if (first == CELL_EMPTY && second == CELL_EMPTY) {
      first = vertical ? CELL_VBAR_TOP : CELL_HBAR_LEFT;
      second = vertical ? CELL_VBAR_BOTTOM : CELL_HBAR_RIGHT;
      return true;
    }
  }
  return false;
}

// Whether the band of rows has a cell free for the ball's start or the exit.
bool BandHasRoom(const TBoard& board, int firstRow, int lastRow) {
  for (int c = 1; c <= PLAYFIELD - 1; ++c)
    for (int r = firstRow; r <= lastRow; ++r)
      if (board.Cells[c][r] == CELL_EMPTY) return true;
  return false;
}

}  // namespace

void DealLevel(TBoard& board, std::int32_t difficulty, TRandom& random, const std::function<void()>& beforeAttempt) {
  // 1. Layout and bar target, fixed for every attempt of this deal.
  const bool fourFold = FourFoldLayout(random.Random());
  const int W = SEED_WIDTH;
  const int H = fourFold ? 10 : 20;
  const int T = BarTarget(fourFold, difficulty);

  for (;;) {
    // 2. A fresh attempt, freshly seeded.
    beforeAttempt();
    const int warmUp = random.Random(150) + 2;
    for (int i = 0; i < warmUp; ++i) random.Random(200);
    ClearBoard(board);
    FrameBoard(board);
    int hBarsLeft = T - random.Random(4);
    int vBarsLeft = T - random.Random(4);
    bool ok = true;

    // 3. Placement cycles: a vertical bar, then a horizontal one, then the
    // seed block must still let the ball through.
    while ((vBarsLeft != 0 || hBarsLeft != 0) && ok) {
      if (vBarsLeft != 0) {
        ok = PlaceBar(board, random, true, H);
        if (ok) --vBarsLeft;
      }
      if (hBarsLeft != 0 && ok) {
        ok = PlaceBar(board, random, false, H);
        if (ok) --hBarsLeft;
      }
      if (ok) ok = NoSolidLine(board, W, H);
    }
    // 4. A failed seed is dealt again with the same layout and target.
    if (!ok) continue;

    // 5. Four-fold: rows 1..10 mirrored onto rows 20..11.
    if (fourFold)
      for (int c = 1; c <= SEED_WIDTH; ++c)
        for (int k = 1; k <= 10; ++k)
          if (const std::uint8_t code = board.Cells[c][11 - k]; code != CELL_EMPTY)
            board.Cells[c][10 + k] = FlipVertical(code);

    // 6. Columns 1..10 mirrored onto columns 20..11.
    for (int i = 1; i <= SEED_WIDTH; ++i)
      for (int r = 1; r <= PLAYFIELD; ++r)
        if (const std::uint8_t code = board.Cells[11 - i][r]; code != CELL_EMPTY)
          board.Cells[10 + i][r] = FlipHorizontal(code);

    // A board with no free cell for the start or the exit is dealt again.
    if (BandHasRoom(board, 1, 4) && BandHasRoom(board, PLAYFIELD - 3, PLAYFIELD)) break;
  }

  // 7. Start cell in the top four rows.
  for (;;) {
    const int c = random.Random(19) + 1;
    const int r = random.Random(4) + 1;
    if (board.Cells[c][r] == CELL_EMPTY) {
      board.StartCol = c;
      board.StartRow = r;
      break;
    }
  }
  // 8. Exit cell in the bottom four rows.
  for (;;) {
    const int c = random.Random(19) + 1;
    const int r = PLAYFIELD - random.Random(4);
    if (board.Cells[c][r] == CELL_EMPTY) {
      board.ExitCol = c;
      board.ExitRow = r;
      break;
    }
  }
}

void ClearBoard(TBoard& board) {
  for (int c = 1; c <= PLAYFIELD; ++c)
    for (int r = 1; r <= PLAYFIELD; ++r) board.Cells[c][r] = CELL_EMPTY;
}

void FrameBoard(TBoard& board) {
  for (int i = 0; i < BOARD_CELLS; ++i) {
    board.Cells[i][0] = CELL_BORDER;
    board.Cells[i][BOARD_CELLS - 1] = CELL_BORDER;
    board.Cells[0][i] = CELL_BORDER;
    board.Cells[BOARD_CELLS - 1][i] = CELL_BORDER;
  }
}

// A row or column of the seed block closed from end to end by bars would
// wall the ball off; its mirror images would too.
bool NoSolidLine(const TBoard& board, std::int32_t W, std::int32_t H) {
  const auto& cells = board.Cells;
  // Whether the listed cells of the line, from the first by `step` up to
  // `last`, all hold `code`; the scan stops at the first one that does not.
  const auto rowSolid = [&](int r, int step, int last, std::uint8_t code) {
    for (int c = 1; c <= last; c += step)
      if (cells[c][r] != code) return false;
    return true;
  };
  const auto columnSolid = [&](int c, int step, int last, std::uint8_t code) {
    for (int r = 1; r <= last; r += step)
      if (cells[c][r] != code) return false;
    return true;
  };

  for (int r = 1; r <= H; ++r) {
    if (rowSolid(r, 2, W - 1, CELL_HBAR_LEFT)) return false;  // horizontal bars side by side
    if (rowSolid(r, 1, W, CELL_VBAR_TOP)) return false;       // vertical bars side by side
  }
  for (int c = 1; c <= W; ++c) {
    if (columnSolid(c, 1, H, CELL_HBAR_LEFT)) return false;     // horizontal bars stacked
    if (columnSolid(c, 2, H - 1, CELL_VBAR_TOP)) return false;  // vertical bars end to end
  }
  return true;
}

}  // namespace game
