// How evenly the motion timer ticks, as the tick handler sees it: the
// periods between ticks at 5, 33 and 70 ms, and through a fall as it speeds
// up from 33 to 5 ms, delivered through the message queue on the
// user-interface thread.
//
//   timer_bench [ticks]     (default 300 ticks a period)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/app.h"
#include "timing/hires_timer.h"

namespace {

void Measure(int interval, int ticks) {
  using Clock = std::chrono::steady_clock;
  std::vector<double> periods;
  periods.reserve(ticks);
  Clock::time_point last;
  int seen = 0;
  TcsHiResTimer timer;
  timer.SetEnabled(false);
  timer.SetInterval(interval);
  timer.SetResolution(interval);
  timer.SetOnTimer([&](TcsCustomTimer*) {
    const auto now = Clock::now();
    if (seen++ > 0) periods.push_back(std::chrono::duration<double, std::milli>(now - last).count());
    last = now;
    if (seen > ticks) platform::PostQuit();
  });
  const auto start = Clock::now();
  timer.SetEnabled(true);
  platform::RunMessageLoop();
  const double total = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  timer.SetEnabled(false);
  std::string error;
  platform::Init(error);  // clears the quit request for the next run

  std::sort(periods.begin(), periods.end());
  double sum = 0;
  for (double p : periods) sum += p;
  const double mean = sum / periods.size();
  const double p99 = periods[static_cast<std::size_t>(periods.size() * 0.99)];
  // Drift: how far the last tick is from where `ticks` exact periods would put it.
  std::printf("tick interval_ms=%d ticks=%zu mean_ms=%.3f min_ms=%.3f p99_ms=%.3f max_ms=%.3f drift_ms=%.1f\n",
              interval, periods.size(), mean, periods.front(), p99, periods.back(), total - interval * (ticks + 1.0));
}

// The periods of a fall: the handler shortens the interval by 2 ms a tick
// from 33 down to 5, as the motion tick does, for `falls` falls; prints the
// requested and measured period for each step.
void MeasureFall(int falls) {
  using Clock = std::chrono::steady_clock;
  std::vector<std::vector<double>> byInterval(34);
  TcsHiResTimer timer;
  timer.SetEnabled(false);
  timer.SetInterval(33);
  timer.SetResolution(33);
  Clock::time_point last;
  int fallsDone = 0, ticksAtFive = 0;
  bool first = true;
  timer.SetOnTimer([&](TcsCustomTimer*) {
    const auto now = Clock::now();
    if (!first) byInterval[timer.Interval()].push_back(std::chrono::duration<double, std::milli>(now - last).count());
    first = false;
    last = now;
    if (timer.Interval() > 5) {
      timer.SetInterval(timer.Interval() - 2);
    } else if (++ticksAtFive == 10) {  // landed: the next fall starts over
      ticksAtFive = 0;
      first = true;
      timer.SetInterval(33);
      if (++fallsDone == falls) platform::PostQuit();
    }
  });
  timer.SetEnabled(true);
  platform::RunMessageLoop();
  timer.SetEnabled(false);
  std::string error;
  platform::Init(error);
  for (int interval = 33; interval >= 5; interval -= 2) {
    auto& p = byInterval[interval];
    if (p.empty()) continue;
    std::sort(p.begin(), p.end());
    double sum = 0;
    for (double v : p) sum += v;
    std::printf("fall requested_ms=%d ticks=%zu mean_ms=%.3f median_ms=%.3f max_ms=%.3f\n", interval, p.size(),
                sum / p.size(), p[p.size() / 2], p.back());
  }
}

}  // namespace

int main(int argc, char** argv) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  std::string error;
  if (!platform::Init(error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  const int ticks = argc > 1 ? std::atoi(argv[1]) : 300;
  for (int interval : {5, 33, 70}) Measure(interval, interval == 70 ? std::max(ticks / 3, 10) : ticks);
  MeasureFall(std::max(ticks / 15, 5));
  platform::Shutdown();
  return 0;
}
