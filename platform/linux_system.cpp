// Linux's side of platform/system.h (the display wait is in
// platform/x11_event_wait.cpp).

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <ctime>
#include <cstdlib>

#include "platform/system.h"
#include "platform/video_choice.h"
#include "platform/wayland_pointer.h"

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
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const std::int64_t left = deadlineNs - (std::int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec);
  if (left > kFineWaitNs) {
    SDL_WaitEventTimeout(nullptr, static_cast<int>(std::min<std::int64_t>((left - kFineWaitNs) / 1'000'000 + 1, INT32_MAX)));
    return;
  }
  const timespec until{static_cast<time_t>(deadlineNs / 1'000'000'000), static_cast<long>(deadlineNs % 1'000'000'000)};
  while (left > 0 && clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
  }
}

bool WindowsOnOneCanvas() { return false; }

void UpdateSurfaceRect(SDL_Window* window, const SDL_Rect& rect) { SDL_UpdateWindowSurfaceRects(window, &rect, 1); }

std::uint32_t StartDetached(const std::vector<std::string>& words) {
  std::vector<char*> argv;
  for (const std::string& w : words) argv.push_back(const_cast<char*>(w.c_str()));
  argv.push_back(nullptr);
  // `start FILE` opens the file with the desktop's opener.
  char opener[] = "xdg-open";
  if (words[0] == "start") argv[0] = opener;

  // Twice forked, so the child belongs to nobody and leaves no zombie; no
  // terminal, output discarded.
  const pid_t first = fork();
  if (first < 0) return 0;
  if (first == 0) {
    setsid();
    if (fork() == 0) {
      const int null = open("/dev/null", O_RDWR);
      if (null >= 0) {
        dup2(null, 0), dup2(null, 1), dup2(null, 2);
        if (null > 2) close(null);
      }
      execvp(argv[0], argv.data());
      _exit(127);
    }
    _exit(0);
  }
  int status = 0;
  waitpid(first, &status, 0);
  return 33;
}

}  // namespace platform
