// From a press to the screen, as the X server sees it: presses a mouse
// button over a window (XTest, as a real mouse's press arrives at the
// server) and times each press until the server reports that the window was
// drawn on over a given rectangle (XDamage, one report for every drawing
// request). Before each press the pointer is put back on the spot, a pixel
// off each time (the game moves the pointer with a pushed bar, and takes a
// pointer that has not moved to be where the bar took it), and the press
// waits a random 20-50 ms after that move: what the move drew is done with
// and reported first, and presses fall anywhere between the program's own
// ticks.
//
//   click_to_screen WINDOW PRESSES X Y [WX WY WW WH]
//
// WINDOW is an X window id, X Y where to press in it, WX WY WW WH the
// rectangle (in the window) whose drawing answers a press: the whole window
// unless given. A press that nothing answers within 300 ms is counted as
// moving nothing. Prints every answer's time and one "answers" line.

#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <X11/extensions/XTest.h>
#include <poll.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <thread>
#include <vector>

#include "bench/report.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Rect {
  int x, y, w, h;
  bool Meets(const XRectangle& r) const { return r.x < x + w && x < r.x + r.width && r.y < y + h && y < r.y + r.height; }
};

class Presser {
 public:
  Presser(Display* display, Window window, int damageBase) : display_(display), window_(window), damageBase_(damageBase) {
    damage_ = XDamageCreate(display_, window_, XDamageReportRawRectangles);
    XSync(display_, False);
  }
  ~Presser() { XDamageDestroy(display_, damage_); }

  // Presses at (x, y) of the window; the milliseconds until drawing met
  // `answer`, or a negative number when nothing did within the time allowed.
  double Press(int x, int y, const Rect& answer, std::chrono::milliseconds settle) {
    int rootX = 0, rootY = 0;
    Window child = 0;
    XTranslateCoordinates(display_, window_, DefaultRootWindow(display_), x, y, &rootX, &rootY, &child);
    XTestFakeMotionEvent(display_, -1, rootX, rootY, CurrentTime);
    XFlush(display_);
    std::this_thread::sleep_for(settle);
    XSync(display_, False);
    Forget();
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XFlush(display_);
    const Clock::time_point pressed = Clock::now();
    const double ms = WaitFor(answer, pressed);
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    XFlush(display_);
    return ms;
  }

 private:
  // Drops the reports of drawing done before the press.
  void Forget() {
    XEvent event;
    while (XPending(display_) > 0) XNextEvent(display_, &event);
  }

  double WaitFor(const Rect& answer, Clock::time_point pressed) {
    const Clock::time_point deadline = pressed + std::chrono::milliseconds(300);
    for (;;) {
      while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type != damageBase_ + XDamageNotify) continue;
        const auto& damage = reinterpret_cast<const XDamageNotifyEvent&>(event);
        if (answer.Meets(damage.area))
          return std::chrono::duration<double, std::milli>(Clock::now() - pressed).count();
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (left <= 0) return -1;
      pollfd fd{ConnectionNumber(display_), POLLIN, 0};
      poll(&fd, 1, static_cast<int>(left) + 1);
    }
  }

  Display* display_;
  Window window_;
  int damageBase_;
  Damage damage_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5 && argc != 9) {
    std::fprintf(stderr, "usage: click_to_screen WINDOW PRESSES X Y [WX WY WW WH]\n");
    return 2;
  }
  const Window window = std::strtoul(argv[1], nullptr, 0);
  const int presses = std::atoi(argv[2]);
  const int x = std::atoi(argv[3]), y = std::atoi(argv[4]);
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "click_to_screen: cannot open the display\n");
    return 1;
  }
  int damageBase = 0, damageError = 0, xtest = 0, major = 0, minor = 0;
  if (!XDamageQueryExtension(display, &damageBase, &damageError) ||
      !XTestQueryExtension(display, &xtest, &xtest, &major, &minor)) {
    std::fprintf(stderr, "click_to_screen: the X server lacks DAMAGE or XTEST\n");
    return 1;
  }
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, window, &attributes)) {
    std::fprintf(stderr, "click_to_screen: no window %s\n", argv[1]);
    return 1;
  }
  const Rect answer = argc == 9 ? Rect{std::atoi(argv[5]), std::atoi(argv[6]), std::atoi(argv[7]), std::atoi(argv[8])}
                                : Rect{0, 0, attributes.width, attributes.height};
  std::vector<double> answered;
  int nothing = 0;
  {
    Presser presser(display, window, damageBase);
    std::minstd_rand random(std::random_device{}());
    for (int i = 0; i < presses; ++i) {
      const double ms = presser.Press(x, y + i % 2, answer, std::chrono::milliseconds(20 + random() % 31));
      if (ms < 0)
        ++nothing;
      else
        answered.push_back(ms);
      std::printf("press %d: %s%.3f ms\n", i + 1, ms < 0 ? "nothing, " : "", ms < 0 ? 0.0 : ms);
    }
  }
  const bench::Stats stats = bench::Summarise(answered);
  std::printf("answers n=%zu median=%.4g p99=%.4g max=%.4g ms, moved nothing %d\n", stats.n, stats.median, stats.p99,
              stats.max, nothing);
  XCloseDisplay(display);
  return stats.n == 0 ? 1 : 0;
}
