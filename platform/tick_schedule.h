#pragma once
// When a periodic timer event fires next: the one rule of the timers
// that is worth testing without a clock. Times are nanoseconds of the
// monotonic clock.

#include <algorithm>
#include <cstdint>

namespace platform {

// A tick this late is made up at once, by the next one coming that much
// sooner: the usual lateness of a wake-up.
constexpr std::int64_t kTickMadeUpAtOnceNs = 500'000;
// A stall longer than this (the machine suspended, say) is not made up: the
// ticks start afresh from it.
constexpr std::int64_t kTickForgiveNs = 100'000'000;

struct TickPlan {
  std::int64_t due;       // where the next tick belongs: on the event's grid of whole periods
  std::int64_t deadline;  // when it fires: its due time, or later while a late tick is made up
};

// The next tick of an event with this period, after the tick due at `due`
// has fired at `now`. The ticks keep their grid, so lateness does not add
// up (no drift) and a stall costs no ticks. A tick later than
// kTickMadeUpAtOnceNs is made up half at a time, so that one stall does not
// make a second uneven period as long as the first, and no tick comes
// within half a period of the last; a stall of more than kTickForgiveNs
// starts the grid afresh.
constexpr TickPlan NextTick(std::int64_t due, std::int64_t period, std::int64_t now) {
  const std::int64_t late = now - due;
  if (late > kTickForgiveNs) return {now + period, now + period};
  const std::int64_t next = due + period;
  if (late <= kTickMadeUpAtOnceNs) return {next, next};
  return {next, std::max(next + late / 2, now + period / 2)};
}

}  // namespace platform
