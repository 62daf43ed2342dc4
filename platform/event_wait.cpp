// Waiting for the next event without spinning and without a detour. On X,
// SDL would wake its waiting thread for a posted message by sending an X
// event to one of its windows through the X server: a round trip through a
// second process for every tick, which is the first thing to wait when the
// machine is busy. Here the thread blocks on the display connection and on
// a wake-up of our own that PostMessage rings. On other drivers SDL's own
// wait serves.

#include <SDL.h>
#include <SDL_syswm.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>

#include "platform/internal.h"

namespace platform {
namespace {

int g_displayFd = -1;
Display* g_display = nullptr;
std::atomic<int> g_wakeFd{-1};

}  // namespace

void NoteDisplayConnection(SDL_Window* window) {
  if (g_displayFd >= 0) return;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return;
  const int wake = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (wake < 0) return;
  g_display = info.info.x11.display;
  g_displayFd = ConnectionNumber(g_display);
  g_wakeFd = wake;
}

void WakeMessageLoop() {
  const int wake = g_wakeFd;
  if (wake < 0) return;
  const std::uint64_t one = 1;
  (void)!write(wake, &one, sizeof one);
}

bool WaitForEvent(SDL_Event* event, std::int32_t timeoutMs) {
  if (g_wakeFd < 0) return timeoutMs < 0 ? SDL_WaitEvent(event) == 1 : SDL_WaitEventTimeout(event, timeoutMs) == 1;
  const Uint64 deadline = SDL_GetTicks64() + static_cast<Uint64>(timeoutMs < 0 ? 0 : timeoutMs);
  const SDL_eventaction take = event != nullptr ? SDL_GETEVENT : SDL_PEEKEVENT;
  for (;;) {
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
    int wait = -1;
    if (timeoutMs >= 0) {
      const Uint64 now = SDL_GetTicks64();
      if (now >= deadline) return false;
      wait = static_cast<int>(deadline - now);
    }
    pollfd fds[2] = {{g_displayFd, POLLIN, 0}, {g_wakeFd, POLLIN, 0}};
    if (poll(fds, 2, wait) > 0 && (fds[1].revents & POLLIN) != 0) {
      std::uint64_t rung;
      (void)!read(g_wakeFd, &rung, sizeof rung);
    }
  }
}

void CloseEventWait() {
  const int wake = g_wakeFd.exchange(-1);
  if (wake >= 0) close(wake);
  g_displayFd = -1;
  g_display = nullptr;
}

}  // namespace platform
