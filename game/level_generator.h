#pragma once
// The level dealer: bars scattered at random in a seed block at the top-left
// of the playfield, mirrored onto the rest of it, with a start cell near the
// top and an exit near the bottom.

#include <cstdint>
#include <functional>

#include "game/board.h"
#include "game/random.h"

namespace game {

// Deals a level into `board`: frame, bars, start and exit. Each attempt
// starts with `beforeAttempt`, where the caller reseeds `random` (and shows
// that it is busy); an attempt that leaves no room for a bar, walls the ball
// in or leaves no room to start or leave is thrown away.
void DealLevel(TBoard& board, std::int32_t difficulty, TRandom& random, const std::function<void()>& beforeAttempt);

// The dealer's steps, on their own so that their edges can be tried.
// Whether a layout draw in [0, 1) deals a four-fold level (mirrored both
// ways from a 10 x 10 seed block) rather than a two-fold one (mirrored left
// to right from a 10 x 20 seed block). An even draw of 0.5 is two-fold.
bool FourFoldLayout(double draw);
void ClearBoard(TBoard& board);
void FrameBoard(TBoard& board);
// False when a row or column of the W x H seed block is closed from end to
// end by bars.
bool NoSolidLine(const TBoard& board, std::int32_t W, std::int32_t H);

}  // namespace game
