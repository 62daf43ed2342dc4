// Waiting for the next event without spinning and without a detour, and
// keeping the timers' deadlines meanwhile: the wait ends no later than the
// earliest one, and the ticks that have fallen due are posted from here, so
// a tick wakes one thread, once. On X, SDL would wake its waiting thread for
// a posted message by sending an X event to one of its windows through the
// X server: a round trip through a second process, the first thing to wait
// when the machine is busy. There the thread blocks on the display
// connection and on a wake-up of our own that a post from another thread
// rings, until the deadline to the nanosecond
// (platform/linux/x11_event_wait.cpp). On other drivers and on Windows the
// system's own wait for input serves, with the deadline kept as precisely as
// the system can (WaitForInputUntil). This is the system clock's wait
// (platform/clock.h).

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <thread>

#include "platform/clock.h"
#include "platform/internal.h"
#include "platform/system.h"

namespace platform {
namespace {

std::atomic<bool> g_displayWait{false};
std::thread::id g_waiter;  // the user-interface thread: its own posts need no wake-up

// The timers' next deadline, with the system asked to wake threads finely
// while there is one.
std::int64_t TimerDeadline() {
  const std::int64_t deadline = NextTimerDeadline();
  NeedFineTimerGranularity(deadline != kNoDeadline);
  return deadline;
}

bool WaitThroughSdl(SDL_Event* event, std::int64_t end) {
  const SDL_eventaction take = event != nullptr ? SDL_GETEVENT : SDL_PEEKEVENT;
  for (;;) {
    FireDueTimers(SystemClock::SteadyNs());
    const std::int64_t until = std::min(end, TimerDeadline());
    SDL_PumpEvents();
    if (SDL_PeepEvents(event, 1, take, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1) return true;
    if (SystemClock::SteadyNs() >= end) return false;
    WaitForInputUntil(until);
  }
}

bool WaitThroughDisplay(SDL_Event* event, std::int64_t end) {
  const SDL_eventaction take = event != nullptr ? SDL_GETEVENT : SDL_PEEKEVENT;
  for (;;) {
    FireDueTimers(SystemClock::SteadyNs());
    // What is queued goes first: pumping before every event costs system
    // calls per event, and under a flood of pointer moves that is what let
    // the display get ahead of the game. Events that Xlib has read in
    // already (a present reads them while it waits) are pumped at once,
    // though: each weighs several times more there than in SDL's queue.
    if (!DisplayInputBuffered() && SDL_PeepEvents(event, 1, take, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1) return true;
    // The pump reads everything the display has sent; what comes later
    // makes the connection readable.
    SDL_PumpEvents();
    if (SDL_PeepEvents(event, 1, take, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1) return true;
    const std::int64_t now = SystemClock::SteadyNs();
    if (now >= end) return false;
    const std::int64_t until = std::min(end, TimerDeadline());
    WaitOnDisplay(until == kNoDeadline ? -1 : std::max<std::int64_t>(0, until - now));
  }
}

}  // namespace

void NoteDisplayConnection(SDL_Window* window) {
  if (!g_displayWait && OpenDisplayWait(window)) WaitOnDisplayFromThisThread();
}

void WaitOnDisplayFromThisThread() {
  g_waiter = std::this_thread::get_id();
  g_displayWait = true;
}

void WakeMessageLoop() {
  if (g_displayWait && std::this_thread::get_id() != g_waiter) RingDisplayWait();
}

bool SystemClock::WaitForEvent(SDL_Event* event, std::int64_t endNs) {
  return g_displayWait ? WaitThroughDisplay(event, endNs) : WaitThroughSdl(event, endNs);
}

void CloseEventWait() {
  if (g_displayWait.exchange(false)) CloseDisplayWait();
}

}  // namespace platform
