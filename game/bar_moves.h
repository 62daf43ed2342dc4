#pragma once
// The player's one way to steer: a press on half of a bar shifts the whole
// bar one cell the way that half points, once the ball has finished any
// step that straddles the cell the bar would enter.

#include <cstdint>
#include <functional>
#include <optional>

#include "game/ball.h"
#include "game/board.h"

namespace game {

// Whether a press or the pointer at (X, Y) counts on the playfield: 21 to
// 419 on both axes; the first pixel row and column of the playfield do not.
constexpr bool OnPlayfield(std::int32_t X, std::int32_t Y) {
  return BOARD_LEFT < X && X < BOARD_LEFT + 400 && BOARD_TOP < Y && Y < BOARD_TOP + 400;
}

// The way a press on a cell of this code moves its bar (None: no bar half).
enum class TBarDirection { None, Up, Down, Left, Right };
TBarDirection BarDirection(std::uint8_t code);

struct TCell {
  std::int32_t Col = 0, Row = 0;
  bool operator==(const TCell&) const = default;
};

struct TBarMove {
  TCell Target;     // the cell the bar enters
  TCell Vacated;    // the cell it leaves
  TCell Picture;    // the bar's new top or left cell, where its picture goes
  bool Vertical = false;
  std::int32_t PointerDX = 0, PointerDY = 0;  // the pointer follows by these
};

// The move a press on (col, row) selects; none when the cell holds no bar half.
std::optional<TBarMove> MoveFor(const TBoard& board, std::int32_t col, std::int32_t row);
// A bar never enters another bar or the frame, the ball's cell or the exit.
bool MoveAllowed(const TBoard& board, const TBallFields& ball, const TBarMove& move);
// Rewrites the three cells the move changes.
void ApplyMove(TBoard& board, const TBarMove& move);

// Finishing the ball's partial step before a bar moves.
enum class TDirection { Left, Right, Down };
// Around each 2-pixel step of an alignment, so that the window can wipe the
// strip the step uncovers and draw the ball where it lands.
struct TStepHooks {
  std::function<void()> BeforeStep;
  std::function<void()> AfterStep;
};
// Carries the ball to the next cell boundary that way (at most 9 steps),
// then sets its speed on that axis from the cell that lies next.
void AlignBall(const TBoard& board, TBallFields& ball, TDirection direction, const TStepHooks& hooks = {});
// A whole press without the window: the ball settled (its steps undrawn),
// then the bar moved if it may. Returns the move made.
std::optional<TBarMove> PressBar(TBoard& board, TBallFields& ball, std::int32_t col, std::int32_t row);
// Wherever the ball straddles the cell the bar on (col, row) would enter,
// finishes its step with `align`; each test reads the ball as the earlier
// ones left it.
void SettleBall(const TBoard& board, const TBallFields& ball, std::int32_t col, std::int32_t row,
                const std::function<void(TDirection)>& align);

}  // namespace game
