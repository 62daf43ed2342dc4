#pragma once
// The program's one clock, and the waits kept on it: the system's steady
// clock, or one a test hands in (UseClock), on which time moves only when
// the program waits. The game reads it as GetTickCount (platform/app.h);
// the timers' deadlines and the message loop's waits are kept on it in
// nanoseconds (MonotonicNs, platform/system.h). Never included by game code.

#include <SDL.h>

#include <cstdint>

#include "platform/system.h"

namespace platform {

class Clock {
 public:
  virtual ~Clock() = default;
  // Nanoseconds on a clock that never goes back.
  virtual std::int64_t NowNs() = 0;
  // The UTC time of day in milliseconds since midnight.
  virtual std::uint32_t UtcMillisecondsOfDay() = 0;
  virtual void Sleep(std::uint32_t ms) = 0;
  // The message loop's wait: until the next event comes, at most until
  // endNs (kNoDeadline: for ever). True when one came, taken into `event`,
  // or only looked at when `event` is null.
  virtual bool WaitForEvent(SDL_Event* event, std::int64_t endNs) = 0;
};

// The steady clock; its wait sleeps on the display connection or in the
// system's wait for input, and posts the timers' ticks as they fall due
// (platform/event_wait.cpp).
class SystemClock : public Clock {
 public:
  // The steady clock itself, which the system's wait reads directly.
  static std::int64_t SteadyNs();
  std::int64_t NowNs() override { return SteadyNs(); }
  std::uint32_t UtcMillisecondsOfDay() override;
  void Sleep(std::uint32_t ms) override;
  bool WaitForEvent(SDL_Event* event, std::int64_t endNs) override;
};

Clock& TheClock();
// Hands in the clock the program keeps (nullptr: the system's); a frame
// starts afresh on it.
void UseClock(Clock* clock);

// Sleeps this long on the program's clock.
void PauseFor(std::uint32_t ms);

}  // namespace platform
