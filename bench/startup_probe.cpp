// Start-up as a player sees it: from exec to the first window on the screen,
// drawn. Starts a program again and again on the display in DISPLAY (an
// Xvfb with no window manager), waits for its first top-level window to be
// mapped and for one of its pixels to show a given colour, then reads the
// program's peak memory and kills it.
//
//   startup_probe RUNS X Y RRGGBB -- GAME [ARGS] -- BASELINE [ARGS]
//
// The two programs take turns, so that both meet the same machine. Prints
// the start-up figure (median, ours beside the baseline), every run, and the
// peak memory of each at that moment.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "bench/report.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::milli>(b - a).count(); }

// The peak resident set of a process, in MB.
double PeakMb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
  return bench::kNone;
}

struct Shown {
  double mappedMs = -1, drawnMs = -1, peakMb = bench::kNone;
};

class Probe {
 public:
  Probe(int x, int y, unsigned long rgb) : x_(x), y_(y), rgb_(rgb) {
    display_ = XOpenDisplay(nullptr);
    if (display_ == nullptr) {
      std::fprintf(stderr, "startup_probe: cannot open the display\n");
      std::exit(1);
    }
    XSelectInput(display_, DefaultRootWindow(display_), SubstructureNotifyMask);
    XSync(display_, False);
  }
  ~Probe() { XCloseDisplay(display_); }

  // One run: -1 times when the window never came (10 s).
  Shown Run(char** argv) {
    XSync(display_, True);  // forget the events of earlier runs
    Shown shown;
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
      execvp(argv[0], argv);
      _exit(127);
    }
    Window mapped = 0;
    while (Ms(start, Clock::now()) < 10000) {
      if (mapped == 0) {
        pollfd fd{ConnectionNumber(display_), POLLIN, 0};
        if (XPending(display_) == 0) poll(&fd, 1, 5);
        while (XPending(display_) > 0) {
          XEvent event;
          XNextEvent(display_, &event);
          if (event.type == MapNotify && mapped == 0) {
            mapped = event.xmap.window;
            shown.mappedMs = Ms(start, Clock::now());
          }
        }
        continue;
      }
      // A one-pixel image is cheap to ask for; ask often.
      XImage* image = XGetImage(display_, mapped, x_, y_, 1, 1, AllPlanes, ZPixmap);
      const bool drawn = image != nullptr && (XGetPixel(image, 0, 0) & 0xFFFFFF) == rgb_;
      if (image != nullptr) XDestroyImage(image);
      if (drawn) {
        shown.drawnMs = Ms(start, Clock::now());
        break;
      }
      usleep(200);
    }
    shown.peakMb = PeakMb(pid);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return shown;
  }

 private:
  Display* display_;
  int x_, y_;
  unsigned long rgb_;
};

}  // namespace

int main(int argc, char** argv) {
  std::vector<char**> programs;
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--") == 0) {
      argv[i] = nullptr;
      programs.push_back(argv + i + 1);
    }
  if (argc < 6 || programs.size() != 2) {
    std::fprintf(stderr, "usage: startup_probe RUNS X Y RRGGBB -- GAME [ARGS] -- BASELINE [ARGS]\n");
    return 2;
  }
  const int runs = std::atoi(argv[1]);
  Probe probe(std::atoi(argv[2]), std::atoi(argv[3]), std::strtoul(argv[4], nullptr, 16));
  std::vector<double> drawn[2], mapped[2];
  double peak[2] = {0, 0};
  for (int run = 0; run < runs; ++run)
    for (int which = 0; which < 2; ++which) {
      const Shown shown = probe.Run(programs[which]);
      char line[160];
      std::snprintf(line, sizeof line, "start-up %s run %d: mapped %.1f ms, drawn %.1f ms, peak %.1f MB",
                    which == 0 ? "game" : "baseline", run + 1, shown.mappedMs, shown.drawnMs, shown.peakMb);
      bench::Detail(line);
      if (shown.drawnMs < 0) {
        std::fprintf(stderr, "startup_probe: %s showed no window\n", programs[which][0]);
        return 1;
      }
      drawn[which].push_back(shown.drawnMs);
      mapped[which].push_back(shown.mappedMs);
      peak[which] = std::max(peak[which], shown.peakMb);
    }
  const bench::Stats game = bench::Summarise(drawn[0]), base = bench::Summarise(drawn[1]);
  bench::Detail("start-up game, exec to drawn", game, "ms");
  bench::Detail("start-up baseline, exec to drawn", base, "ms");
  bench::Detail("start-up game, exec to mapped", bench::Summarise(mapped[0]), "ms");
  bench::Detail("start-up baseline, exec to mapped", bench::Summarise(mapped[1]), "ms");
  bench::Figure("start-up: exec to the difficulty dialog on screen, median", game.median, base.median, "ms",
                "<base+50");
  char peaks[120];
  std::snprintf(peaks, sizeof peaks, "start-up game peak MB at the dialog %.2f\nstart-up baseline peak MB %.2f", peak[0],
                peak[1]);
  bench::Detail(peaks);
  return 0;
}
