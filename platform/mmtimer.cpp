// The timers keep absolute deadlines on the monotonic clock and have no
// thread of their own: the user-interface thread's wait for the next event
// sleeps no later than the earliest deadline and fires what is due from
// there (platform/event_wait.cpp). A tick then costs one wake-up, not two
// (a timer thread's and then the waiting thread's), and on a busy machine
// that is one chance fewer to wait for a CPU. Everything here runs on the
// user-interface thread, so a callback never runs beside timeKillEvent:
// once that returns, the event posts nothing more.

#include "platform/mmtimer.h"

#include <map>

#include "platform/internal.h"
#include "platform/tick_schedule.h"

namespace platform {
namespace {

constexpr std::uint32_t kPeriodMin = 1;
constexpr std::uint32_t kPeriodMax = 1000000;

struct TimerEvent {
  TimerCallback callback = nullptr;
  std::uintptr_t user = 0;
  bool periodic = false;
  bool fired = false;  // a one-shot that has called back
  std::int64_t period = 0;  // ns
  std::int64_t due = 0;     // ns of the monotonic clock: when the next tick fires
};

std::map<std::uint32_t, TimerEvent> g_events;
std::uint32_t g_nextId = 1;
int g_activePeriods = 0;

// The live event that fires first, or none.
std::map<std::uint32_t, TimerEvent>::iterator Earliest() {
  auto first = g_events.end();
  for (auto it = g_events.begin(); it != g_events.end(); ++it)
    if (!it->second.fired && (first == g_events.end() || it->second.due < first->second.due))
      first = it;
  return first;
}

}  // namespace

std::int64_t NextTimerDeadline() {
  const auto first = Earliest();
  return first == g_events.end() ? kNoDeadline : first->second.due;
}

void FireDueTimers(std::int64_t now) {
  // Earliest first, every tick owed: after a hold-up they are posted here
  // together and run back to back before the loop waits again.
  for (auto it = Earliest(); it != g_events.end() && it->second.due <= now; it = Earliest()) FireTimerEvent(it->first, now);
}

bool FireTimerEvent(std::uint32_t timerId, std::int64_t now) {
  auto it = g_events.find(timerId);
  if (it == g_events.end() || it->second.fired) return false;
  TimerEvent& event = it->second;
  if (event.periodic) {
    event.due = NextTick(event.due, event.period, now);
  } else {
    event.fired = true;
  }
  event.callback(timerId, event.user);  // only posts
  return true;
}

std::uint32_t timeSetEvent(std::uint32_t delay, std::uint32_t, TimerCallback callback, std::uintptr_t user,
                           std::uint32_t type) {
  if (delay < kPeriodMin || delay > kPeriodMax || callback == nullptr) return 0;
  const std::uint32_t id = g_nextId++;
  TimerEvent event;
  event.callback = callback;
  event.user = user;
  event.periodic = (type & TIME_PERIODIC) != 0;
  event.period = static_cast<std::int64_t>(delay) * 1000000;
  event.due = MonotonicNs() + event.period;
  g_events.emplace(id, event);
  return id;
}

std::uint32_t timeKillEvent(std::uint32_t timerId) {
  return g_events.erase(timerId) == 1 ? TIMERR_NOERROR : MMSYSERR_INVALPARAM;
}

std::uint32_t timeGetDevCaps(TIMECAPS* caps) {
  if (caps == nullptr) return MMSYSERR_INVALPARAM;
  caps->wPeriodMin = kPeriodMin;
  caps->wPeriodMax = kPeriodMax;
  return TIMERR_NOERROR;
}

std::uint32_t timeBeginPeriod(std::uint32_t period) {
  if (period < kPeriodMin || period > kPeriodMax) return TIMERR_NOCANDO;
  ++g_activePeriods;
  return TIMERR_NOERROR;
}

std::uint32_t timeEndPeriod(std::uint32_t period) {
  if (period < kPeriodMin || period > kPeriodMax || g_activePeriods == 0) return TIMERR_NOCANDO;
  --g_activePeriods;
  return TIMERR_NOERROR;
}

int ActiveTimerPeriods() { return g_activePeriods; }

int LiveTimerEvents() {
  int live = 0;
  for (auto& [id, event] : g_events)
    if (!event.fired) ++live;
  return live;
}

}  // namespace platform
