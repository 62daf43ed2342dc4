#pragma once
// How the ball moves on each motion tick: it rolls sideways, turns or stops
// at bars, falls where nothing holds it, lands, and drops out at the exit.
// The window draws, sounds and times what these report.

#include <cstdint>

#include "game/ball.h"
#include "game/board.h"

namespace game {

constexpr std::int32_t INTERVAL_ROLL = 33;     // ms between ticks, rolling or at rest
constexpr std::int32_t INTERVAL_FASTEST = 5;   // the fall speeds up to this

// What the rules of one tick decided before the ball steps.
struct TSpeedDecision {
  std::int32_t Knocks = 0;    // "Bam"s: a turn or stop at a bar, and a landing
  std::int32_t Interval = 0;  // the motion period from now on
};

// Decides the ball's new speeds from the cells around it and the period
// it was moving at: the fall acceleration, the sideways rule, then the
// vertical rule that overrides it.
TSpeedDecision DecideSpeeds(const TBoard& board, TBallFields& ball, std::int32_t interval);

// Moves the ball one step by its speeds and recomputes its cell.
void StepBall(TBallFields& ball);

// Whether the ball, standing where it is, drops out: only on a whole cell
// that is the exit or lies directly left of, right of or above it.
bool ExitReached(const TBoard& board, const TBallFields& ball);

// The strip of the old sprite that the coming step uncovers, to be wiped.
enum class TTrail { None, Column, Row };  // a 2 x 20 or a 20 x 2 strip
struct TTrailStrip {
  TTrail Kind = TTrail::None;
  std::int32_t X = 0, Y = 0;
};
TTrailStrip TrailStrip(const TBallFields& ball);

}  // namespace game
