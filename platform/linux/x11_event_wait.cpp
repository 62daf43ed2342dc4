// The X display connection waited on directly, with an eventfd of our own
// that PostMessage rings: SDL would wake its waiting thread through the X
// server instead, a round trip through another process for every tick.

#include <SDL.h>
#include <SDL_syswm.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>

#include "platform/linux/x11_event_wait.h"
#include "platform/system.h"

namespace platform {
namespace {

int g_displayFd = -1;
Display* g_display = nullptr;
std::atomic<int> g_wakeFd{-1};

}  // namespace

bool OpenDisplayWaitOn(Display* display, int fd) {
  const int wake = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (wake < 0) return false;
  g_display = display;
  g_displayFd = fd;
  g_wakeFd = wake;
  return true;
}

bool OpenDisplayWait(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
  return OpenDisplayWaitOn(info.info.x11.display, ConnectionNumber(info.info.x11.display));
}

void RingDisplayWait() {
  const int wake = g_wakeFd;
  if (wake < 0) return;
  const std::uint64_t one = 1;
  (void)!write(wake, &one, sizeof one);
}

bool DisplayInputBuffered() { return g_display != nullptr && QLength(g_display) != 0; }

bool WaitOnDisplay(std::int64_t timeoutNs) {
  const timespec timeout{static_cast<time_t>(timeoutNs / 1'000'000'000), static_cast<long>(timeoutNs % 1'000'000'000)};
  pollfd fds[2] = {{g_displayFd, POLLIN, 0}, {g_wakeFd, POLLIN, 0}};
  if (ppoll(fds, 2, timeoutNs < 0 ? nullptr : &timeout, nullptr) <= 0) return false;
  if ((fds[1].revents & POLLIN) != 0) {
    std::uint64_t rung;
    (void)!read(g_wakeFd, &rung, sizeof rung);
  }
  return true;
}

void CloseDisplayWait() {
  const int wake = g_wakeFd.exchange(-1);
  if (wake >= 0) close(wake);
  g_displayFd = -1;
  g_display = nullptr;
}

}  // namespace platform
