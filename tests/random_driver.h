#pragma once
// A player gone mad: random events from a seed thrown at the real main
// window through the event queue (presses, moves and releases anywhere with
// any button, ticks, stale ticks, repaints, focus lost and regained, the
// difficulty dialog, Main's wait, the win screen), with everything that
// must hold checked after each. Serves the test suite's short runs and
// tools/fuzz.sh's long ones.

#include <cstdint>
#include <string>

struct DriveResult {
  long events = 0;       // events made
  std::string fault;     // the first thing found wrong, or ""
  long ticks = 0, presses = 0, barMoves = 0, deals = 0, exits = 0, dialogs = 0;
};

// Drives a fresh main window for `events` events from `seed`. The playfield
// is checked against a fresh paint every `freshEvery` events and after a
// sample of ticks.
DriveResult DriveRandomly(std::uint32_t seed, long events, long freshEvery = 1000);
