#pragma once
// When a periodic timer event fires next: the one rule of the timers
// that is worth testing without a clock. Times are nanoseconds of the
// monotonic clock.

#include <cstdint>

namespace platform {

// Ticks owed after a hold-up longer than this are not replayed: the game
// was not running (the machine suspended, the process stopped in a
// debugger, a browser tab hidden for minutes), not merely busy. Two seconds
// cover the longest hold-up the game makes itself and a hidden tab's wake-up
// once a second, and replay at most 400 ticks of a fall, a few milliseconds
// of work.
constexpr std::int64_t kTickReplayLimitNs = 2'000'000'000;

// When the next tick of an event with this period is due, after the tick
// due at `due` has fired at `now`. Ticks keep their grid of whole periods,
// so lateness never adds up (no drift); after a hold-up every owed tick is
// due at once and they run back to back. Past kTickReplayLimitNs the grid
// starts afresh, one period from now.
constexpr std::int64_t NextTick(std::int64_t due, std::int64_t period, std::int64_t now) {
  return now - due > kTickReplayLimitNs ? now + period : due + period;
}

}  // namespace platform
