#include "platform/mmtimer.h"

#include <SDL.h>

#include <cmath>
#include <map>
#include <mutex>

namespace platform {
namespace {

constexpr std::uint32_t kPeriodMin = 1;
constexpr std::uint32_t kPeriodMax = 1000000;

struct TimerEvent {
  SDL_TimerID sdlId = 0;
  TimerCallback callback = nullptr;
  std::uintptr_t user = 0;
  bool periodic = false;
  bool fired = false;
  double periodTicks = 0;    // in performance-counter ticks
  double nextDeadline = 0;   // absolute, in performance-counter ticks
};

// Shared by the user-interface thread and SDL's timer thread.
std::mutex g_mutex;
std::map<std::uint32_t, TimerEvent> g_events;
std::uint32_t g_nextId = 1;
int g_activePeriods = 0;
bool g_manual = false;

Uint32 OnSdlTimer(Uint32, void* param) {
  const auto id = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(param));
  TimerCallback callback;
  std::uintptr_t user;
  Uint32 next = 0;
  {
    std::lock_guard lock(g_mutex);
    auto it = g_events.find(id);
    if (it == g_events.end() || it->second.fired) return 0;
    TimerEvent& event = it->second;
    callback = event.callback;
    user = event.user;
    if (event.periodic) {
      // SDL counts the next period from when its thread woke, so lateness
      // would add up; keep our own deadlines and ask for the time left.
      const double now = static_cast<double>(SDL_GetPerformanceCounter());
      event.nextDeadline += event.periodTicks;
      if (event.nextDeadline < now - event.periodTicks) event.nextDeadline = now;  // long stall: no burst
      const double left = (event.nextDeadline - now) * 1000.0 / static_cast<double>(SDL_GetPerformanceFrequency());
      next = static_cast<Uint32>(std::max(1.0, std::round(left)));
    } else {
      event.fired = true;
    }
  }
  callback(id, user);
  return next;
}

}  // namespace

std::uint32_t timeSetEvent(std::uint32_t delay, std::uint32_t, TimerCallback callback, std::uintptr_t user,
                           std::uint32_t type) {
  if (delay < kPeriodMin || delay > kPeriodMax || callback == nullptr) return 0;
  std::lock_guard lock(g_mutex);
  const std::uint32_t id = g_nextId++;
  TimerEvent event;
  event.callback = callback;
  event.user = user;
  event.periodic = (type & TIME_PERIODIC) != 0;
  event.periodTicks = static_cast<double>(delay) * static_cast<double>(SDL_GetPerformanceFrequency()) / 1000.0;
  event.nextDeadline = static_cast<double>(SDL_GetPerformanceCounter()) + event.periodTicks;
  if (!g_manual) {
    event.sdlId = SDL_AddTimer(delay, OnSdlTimer, reinterpret_cast<void*>(static_cast<std::uintptr_t>(id)));
    if (event.sdlId == 0) return 0;
  }
  g_events.emplace(id, event);
  return id;
}

std::uint32_t timeKillEvent(std::uint32_t timerId) {
  SDL_TimerID sdlId;
  {
    std::lock_guard lock(g_mutex);
    auto it = g_events.find(timerId);
    if (it == g_events.end()) return MMSYSERR_INVALPARAM;
    sdlId = it->second.sdlId;
    g_events.erase(it);
  }
  if (sdlId != 0) SDL_RemoveTimer(sdlId);
  return TIMERR_NOERROR;
}

std::uint32_t timeGetDevCaps(TIMECAPS* caps) {
  if (caps == nullptr) return MMSYSERR_INVALPARAM;
  caps->wPeriodMin = kPeriodMin;
  caps->wPeriodMax = kPeriodMax;
  return TIMERR_NOERROR;
}

std::uint32_t timeBeginPeriod(std::uint32_t period) {
  if (period < kPeriodMin || period > kPeriodMax) return TIMERR_NOCANDO;
  std::lock_guard lock(g_mutex);
  ++g_activePeriods;
  return TIMERR_NOERROR;
}

std::uint32_t timeEndPeriod(std::uint32_t period) {
  std::lock_guard lock(g_mutex);
  if (period < kPeriodMin || period > kPeriodMax || g_activePeriods == 0) return TIMERR_NOCANDO;
  --g_activePeriods;
  return TIMERR_NOERROR;
}

int ActiveTimerPeriods() {
  std::lock_guard lock(g_mutex);
  return g_activePeriods;
}

int LiveTimerEvents() {
  std::lock_guard lock(g_mutex);
  int live = 0;
  for (auto& [id, event] : g_events)
    if (!event.fired) ++live;
  return live;
}

void UseManualTimersForTest(bool manual) {
  std::lock_guard lock(g_mutex);
  g_manual = manual;
}

bool FireTimerEventForTest(std::uint32_t timerId) {
  TimerCallback callback;
  std::uintptr_t user;
  {
    std::lock_guard lock(g_mutex);
    auto it = g_events.find(timerId);
    if (it == g_events.end() || it->second.fired) return false;
    it->second.fired = !it->second.periodic;
    callback = it->second.callback;
    user = it->second.user;
  }
  callback(timerId, user);
  return true;
}

}  // namespace platform
