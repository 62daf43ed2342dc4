// Waiting for the next event without spinning and without a detour. On X,
// SDL would wake its waiting thread for a posted message by sending an X
// event to one of its windows through the X server: a round trip through a
// second process for every tick, which is the first thing to wait when the
// machine is busy. Here the thread blocks on the display connection and on
// a wake-up of our own that PostMessage rings (platform/x11_event_wait.cpp).
// On other drivers and on Windows SDL's own wait serves: it wakes when
// another thread pushes an event.

#include <SDL.h>

#include <atomic>
#include <cstdint>

#include "platform/internal.h"
#include "platform/system.h"

namespace platform {
namespace {

std::atomic<bool> g_displayWait{false};

}  // namespace

void NoteDisplayConnection(SDL_Window* window) {
  if (!g_displayWait && OpenDisplayWait(window)) g_displayWait = true;
}

void WakeMessageLoop() {
  if (g_displayWait) RingDisplayWait();
}

bool WaitForEvent(SDL_Event* event, std::int32_t timeoutMs) {
  if (!g_displayWait) return timeoutMs < 0 ? SDL_WaitEvent(event) == 1 : SDL_WaitEventTimeout(event, timeoutMs) == 1;
  const Uint64 deadline = SDL_GetTicks64() + static_cast<Uint64>(timeoutMs < 0 ? 0 : timeoutMs);
  const SDL_eventaction take = event != nullptr ? SDL_GETEVENT : SDL_PEEKEVENT;
  for (;;) {
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
    int wait = -1;
    if (timeoutMs >= 0) {
      const Uint64 now = SDL_GetTicks64();
      if (now >= deadline) return false;
      wait = static_cast<int>(deadline - now);
    }
    WaitOnDisplay(wait);
  }
}

void CloseEventWait() {
  if (g_displayWait.exchange(false)) CloseDisplayWait();
}

}  // namespace platform
