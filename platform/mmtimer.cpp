#include "platform/mmtimer.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

#include "platform/internal.h"
#include "platform/system.h"
#include "platform/tick_schedule.h"

namespace platform {
namespace {

constexpr std::uint32_t kPeriodMin = 1;
constexpr std::uint32_t kPeriodMax = 1000000;

using Clock = std::chrono::steady_clock;  // the monotonic clock

std::int64_t NowNs() { return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count(); }

struct TimerEvent {
  TimerCallback callback = nullptr;
  std::uintptr_t user = 0;
  bool periodic = false;
  bool fired = false;      // a one-shot that has called back
  bool scheduled = false;  // driven by the clock (not made under manual test timers)
  std::int64_t period = 0;    // ns
  std::int64_t due = 0;       // ns of the monotonic clock: the next tick's place on the grid
  std::int64_t deadline = 0;  // when it fires: `due`, or later while a late tick is made up
};

// Shared by the user-interface thread and the timer thread.
std::mutex g_mutex;
std::condition_variable g_wake;
std::map<std::uint32_t, TimerEvent> g_events;
std::uint32_t g_nextId = 1;
int g_activePeriods = 0;
bool g_manual = false;
bool g_stop = false;
std::thread g_thread;

// The timer thread: sleeps to the earliest deadline on the monotonic clock,
// to the nanosecond (SDL's timer thread counts whole milliseconds from when
// it woke, so its ticks run late and add up), and fires what is due. With no
// event alive it sleeps until one is made, without waking.
void RunClock() {
  PrepareTimerThread();
  std::unique_lock lock(g_mutex);
  while (!g_stop) {
    std::map<std::uint32_t, TimerEvent>::iterator due = g_events.end();
    for (auto it = g_events.begin(); it != g_events.end(); ++it)
      if (it->second.scheduled && !it->second.fired && (due == g_events.end() || it->second.deadline < due->second.deadline))
        due = it;
    NeedFineTimerGranularity(due != g_events.end());
    if (due == g_events.end()) {
      g_wake.wait(lock);
      continue;
    }
    const std::int64_t now = NowNs();
    if (now < due->second.deadline) {
      // Woken early by a new event or a stop: look again.
      WaitForDeadline(g_wake, lock, due->second.deadline);
      continue;
    }
    TimerEvent& event = due->second;
    if (event.periodic) {
      const TickPlan next = NextTick(event.due, event.period, now);
      event.due = next.due;
      event.deadline = next.deadline;
    } else {
      event.fired = true;
    }
    // Called under the lock, so that once timeKillEvent has returned the
    // event posts nothing more. The callback only posts.
    event.callback(due->first, event.user);
  }
  NeedFineTimerGranularity(false);
}

// A program that ends without Shutdown stops the thread all the same (a
// thread still running would end it with std::terminate).
struct StopAtExit {
  ~StopAtExit() { StopTimerThread(); }
} g_stopAtExit;

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
  event.scheduled = !g_manual;
  event.period = static_cast<std::int64_t>(delay) * 1000000;
  event.due = event.deadline = NowNs() + event.period;
  g_events.emplace(id, event);
  if (event.scheduled) {
    if (!g_thread.joinable()) {
      g_stop = false;
      g_thread = std::thread(RunClock);
    }
    g_wake.notify_one();
  }
  return id;
}

std::uint32_t timeKillEvent(std::uint32_t timerId) {
  std::lock_guard lock(g_mutex);
  // The timer thread finds the event gone when it next wakes.
  return g_events.erase(timerId) == 1 ? TIMERR_NOERROR : MMSYSERR_INVALPARAM;
}

void StopTimerThread() {
  {
    std::lock_guard lock(g_mutex);
    g_stop = true;
  }
  g_wake.notify_one();
  if (g_thread.joinable()) g_thread.join();
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
