// Waiting for the next event without spinning and without a detour, and
// keeping the timers' deadlines meanwhile: the wait ends no later than the
// earliest one, and the ticks that have fallen due are posted from here, so
// a tick wakes one thread, once. On X, SDL would wake its waiting thread for
// a posted message by sending an X event to one of its windows through the
// X server: a round trip through a second process, the first thing to wait
// when the machine is busy. Here the thread blocks on the display
// connection and on a wake-up of our own that a post from another thread
// rings, until the deadline to the nanosecond. On other drivers SDL's own
// wait serves, to the deadline rounded up to the millisecond. The Linux
// calls of the platform layer are kept to this file.

#include <SDL.h>
#include <SDL_syswm.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <thread>

#include "platform/internal.h"

namespace platform {
namespace {

int g_displayFd = -1;
Display* g_display = nullptr;
std::atomic<int> g_wakeFd{-1};
std::thread::id g_waiter;  // the user-interface thread: its own posts need no wake-up

// The end of a wait of timeoutMs from now; kNoDeadline for ever.
std::int64_t EndOfWait(std::int32_t timeoutMs) {
  return timeoutMs < 0 ? kNoDeadline : MonotonicNs() + std::int64_t{timeoutMs} * 1'000'000;
}

bool WaitThroughSdl(SDL_Event* event, std::int64_t end) {
  for (;;) {
    FireDueTimers(MonotonicNs());
    const std::int64_t until = std::min(end, NextTimerDeadline());
    if (until == kNoDeadline) return SDL_WaitEvent(event) == 1;
    // Rounded up: waking before the deadline would only wait again.
    const std::int64_t left = std::max<std::int64_t>(0, until - MonotonicNs());
    if (SDL_WaitEventTimeout(event, static_cast<int>(std::min<std::int64_t>((left + 999'999) / 1'000'000, INT32_MAX))) == 1)
      return true;
    if (MonotonicNs() >= end) return false;
  }
}

bool WaitOnDisplay(SDL_Event* event, std::int64_t end) {
  const SDL_eventaction take = event != nullptr ? SDL_GETEVENT : SDL_PEEKEVENT;
  for (;;) {
    FireDueTimers(MonotonicNs());
    // What is queued goes first: pumping before every event costs system
    // calls per event, and under a flood of pointer moves that is what let
    // the display get ahead of the game. Events that Xlib has read in
    // already (a present reads them while it waits) are pumped at once,
    // though: each weighs several times more there than in SDL's queue.
    if (QLength(g_display) == 0 && SDL_PeepEvents(event, 1, take, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1) return true;
    // The pump reads everything the display has sent; what comes later
    // makes the connection readable.
    SDL_PumpEvents();
    if (SDL_PeepEvents(event, 1, take, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1) return true;
    const std::int64_t now = MonotonicNs();
    if (now >= end) return false;
    const std::int64_t until = std::min(end, NextTimerDeadline());
    const std::int64_t left = std::max<std::int64_t>(0, until - now);
    const timespec timeout{static_cast<time_t>(left / 1'000'000'000), static_cast<long>(left % 1'000'000'000)};
    pollfd fds[2] = {{g_displayFd, POLLIN, 0}, {g_wakeFd, POLLIN, 0}};
    if (ppoll(fds, 2, until == kNoDeadline ? nullptr : &timeout, nullptr) > 0 && (fds[1].revents & POLLIN) != 0) {
      std::uint64_t rung;
      (void)!read(g_wakeFd, &rung, sizeof rung);
    }
  }
}

}  // namespace

void NoteDisplayConnection(SDL_Window* window) {
  if (g_displayFd >= 0) return;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return;
  const int wake = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (wake < 0) return;
  prctl(PR_SET_TIMERSLACK, 1UL);  // wake at a tick's deadline, not up to 50 µs later
  g_display = info.info.x11.display;
  g_displayFd = ConnectionNumber(g_display);
  g_waiter = std::this_thread::get_id();
  g_wakeFd = wake;
}

void WakeMessageLoop() {
  const int wake = g_wakeFd;
  if (wake < 0 || std::this_thread::get_id() == g_waiter) return;
  const std::uint64_t one = 1;
  (void)!write(wake, &one, sizeof one);
}

bool WaitForEvent(SDL_Event* event, std::int32_t timeoutMs) {
  return g_wakeFd < 0 ? WaitThroughSdl(event, EndOfWait(timeoutMs)) : WaitOnDisplay(event, EndOfWait(timeoutMs));
}

void CloseEventWait() {
  const int wake = g_wakeFd.exchange(-1);
  if (wake >= 0) close(wake);
  g_displayFd = -1;
  g_display = nullptr;
}

}  // namespace platform
