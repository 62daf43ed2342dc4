// Linux's side of platform/system.h (the display wait is in
// platform/linux/x11_event_wait.cpp, the detached launch in
// platform/posix/start_detached.cpp).

#include <sys/prctl.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <ctime>
#include <cstdlib>

#include "platform/system.h"
#include "platform/window_screen.h"
#include "platform/linux/video_choice.h"
#include "platform/linux/wayland_pointer.h"

namespace platform {

bool DisplayNamed() { return std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr; }

const char* RunHint() { return "run it on a desktop, or under a virtual display: xvfb-run quillamor2000"; }

std::vector<const char*> PreferredVideoDrivers() {
  DisplaysNamed named{std::getenv("WAYLAND_DISPLAY") != nullptr, std::getenv("DISPLAY") != nullptr};
  // Asking the compositor costs a connection: only when the answer matters.
  if (named.wayland && named.x) named.waylandCarriesPointer = WaylandCarriesPointer();
  return VideoDriverOrder(named);
}

void ShowStartupError(const std::string&) {}

bool MovePointer(SDL_Window* window, int x, int y) {
  if (!OnWayland(window)) {
    SDL_WarpMouseGlobal(x, y);
    return true;
  }
  int left = 0, top = 0;
  SDL_GetWindowPosition(window, &left, &top);
  MoveWaylandPointer(window, x - left, y - top);
  return false;  // moved or not, SDL hears nothing of it
}

void ClosePointerMover() { CloseWaylandPointer(); }

void NeedFineTimerGranularity(bool need) {
  static bool asked = false;
  if (!need || asked) return;
  prctl(PR_SET_TIMERSLACK, 1UL);  // wake at a tick's deadline, not up to 50 µs later
  asked = true;
}

// SDL's wait counts whole milliseconds and wakes up to one more late: it
// sleeps all but the last stretch before the deadline, which is slept on
// the clock itself.
void WaitForInputUntil(std::int64_t deadlineNs) {
  constexpr std::int64_t kFineWaitNs = 2'000'000;
  const std::int64_t left = deadlineNs - MonotonicNs();
  if (left > kFineWaitNs) {
    SDL_WaitEventTimeout(nullptr, static_cast<int>(std::min<std::int64_t>((left - kFineWaitNs) / 1'000'000 + 1, INT32_MAX)));
    return;
  }
  const timespec until{static_cast<time_t>(deadlineNs / 1'000'000'000), static_cast<long>(deadlineNs % 1'000'000'000)};
  while (left > 0 && clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
  }
}

// Every window a window of its own, shown through SDL's own surface update.
std::unique_ptr<WindowScreen> MakeWindowScreen(const WindowOptions& options) { return DesktopWindow(options); }
void UpdateSurfaceRect(SDL_Window* window, const SDL_Rect& rect) { SDL_UpdateWindowSurfaceRects(window, &rect, 1); }

}  // namespace platform
