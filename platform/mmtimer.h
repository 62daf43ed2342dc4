#pragma once
// The multimedia timer service: periodic or one-shot events with
// millisecond delays, called back on the user-interface thread from its
// wait for the next event, when the event is due. A callback only posts a
// message: it must not call these functions. All of them belong to the
// user-interface thread.

#include <cstdint>

namespace platform {

using TimerCallback = void (*)(std::uint32_t timerId, std::uintptr_t user);

constexpr std::uint32_t TIME_ONESHOT = 0;
constexpr std::uint32_t TIME_PERIODIC = 1;
constexpr std::uint32_t TIMERR_NOERROR = 0;
constexpr std::uint32_t MMSYSERR_INVALPARAM = 11;
constexpr std::uint32_t TIMERR_NOCANDO = 97;

struct TIMECAPS {
  std::uint32_t wPeriodMin;
  std::uint32_t wPeriodMax;
};

// Returns the new event's id (never reused), or 0 when the delay lies
// outside the supported range or the event cannot be made. A periodic event
// keeps its own deadlines, so its period holds on average without drift.
std::uint32_t timeSetEvent(std::uint32_t delay, std::uint32_t resolution, TimerCallback callback,
                           std::uintptr_t user, std::uint32_t type);
// Kills a running event, or a one-shot event that has fired.
std::uint32_t timeKillEvent(std::uint32_t timerId);

std::uint32_t timeGetDevCaps(TIMECAPS* caps);
// Resolution requests are accepted and counted: the timers here are already
// millisecond-precise.
std::uint32_t timeBeginPeriod(std::uint32_t period);
std::uint32_t timeEndPeriod(std::uint32_t period);

// For tests: resolution requests in force, and events alive.
int ActiveTimerPeriods();
int LiveTimerEvents();

}  // namespace platform
