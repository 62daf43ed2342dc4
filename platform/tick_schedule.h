#pragma once
// When a periodic timer event fires next: the one rule of the timer thread
// that is worth testing without a clock.

#include <cstdint>

namespace platform {

// The deadline after the one that just fired, in the same unit as its
// arguments (nanoseconds of the monotonic clock in the timer thread). Ticks
// stay on the event's own grid of whole periods, so a late wake-up does not
// push the later ones back (no drift): the next tick catches up. A tick that
// would come less than a quarter period after `now` is skipped, so a stall
// costs the ticks it swallowed and never brings a burst of them.
constexpr std::int64_t NextDeadline(std::int64_t deadline, std::int64_t period, std::int64_t now) {
  const std::int64_t next = deadline + period;
  const std::int64_t earliest = now + period / 4;
  if (next >= earliest) return next;
  return next + (earliest - next + period - 1) / period * period;
}

}  // namespace platform
