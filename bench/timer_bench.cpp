// How evenly the motion timer ticks, as the tick handler sees it on the
// user-interface thread, against a plain periodic SDL timer posting the same
// message in the same run: steady periods of 5, 7, 33 and 70 ms, and the
// periods of whole falls (33, 31 ... 5 with the interval set anew in the
// handler at every tick, as the motion tick does, then ten ticks at 5 ms
// before the ball lands and the next fall starts).
//
// Run it on a display (tools/bench.sh gives it Xvfb): with a window shown,
// SDL blocks on the display connection and a posted tick wakes it at once;
// on the headless driver SDL polls once a millisecond instead.
//
//   timer_bench [--busy] [ticks]   --busy keeps the other core spinning

#include <SDL.h>
#include <dirent.h>
#ifndef _WIN32  // --busy is Linux's alone
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench/report.h"
#include "platform/app.h"
#include "platform/messages.h"
#include "platform/mmtimer.h"
#include "platform/window.h"
#include "timing/hires_timer.h"

namespace {

using Clock = std::chrono::steady_clock;

double NowMs() { return std::chrono::duration<double, std::milli>(Clock::now().time_since_epoch()).count(); }

// Milliseconds the process's threads have spent ready to run but waiting
// for a CPU (the second field of each thread's schedstat): what the rest of
// the machine costs us.
double WaitedForCpuMs() {
  double ns = 0;
  if (DIR* tasks = opendir("/proc/self/task")) {
    while (const dirent* task = readdir(tasks)) {
      if (task->d_name[0] == '.') continue;
      std::ifstream stat(std::string("/proc/self/task/") + task->d_name + "/schedstat");
      double onCpu = 0, waiting = 0;
      if (stat >> onCpu >> waiting) ns += waiting;
    }
    closedir(tasks);
  }
  return ns / 1e6;
}

// When the handler ran, the period in force before each tick, and how long
// the process waited for a CPU meanwhile.
struct Ticks {
  std::vector<double> at;
  std::vector<double> asked;
  double waitedMs = -WaitedForCpuMs();
  void Note(double period) {
    at.push_back(NowMs());
    asked.push_back(period);
  }
};

// A fall speeds up by 2 ms a tick from 33 to 5 and goes on at 5 for ten
// ticks; then it lands and the next one starts.
struct Fall {
  int interval = 33;
  int atFastest = 0;
  int Next() {
    if (interval > 5) return interval -= 2;
    if (++atFastest < 10) return interval;
    atFastest = 0;
    return interval = 33;
  }
};

// ---- ours: the game's timer ----

Ticks OursSteady(int interval, int ticks) {
  Ticks seen;
  TcsHiResTimer timer;
  timer.SetEnabled(false);
  timer.SetInterval(interval);
  timer.SetResolution(interval);
  timer.SetOnTimer([&](TcsCustomTimer*) { seen.Note(interval); });
  timer.SetEnabled(true);
  platform::ProcessMessagesUntil([&] { return static_cast<int>(seen.at.size()) > ticks; });
  seen.waitedMs += WaitedForCpuMs();
  return seen;
}

Ticks OursFalls(int ticks) {
  Ticks seen;
  Fall fall;
  TcsHiResTimer timer;
  timer.SetEnabled(false);
  timer.SetInterval(fall.interval);
  timer.SetResolution(1);
  timer.SetOnTimer([&](TcsCustomTimer*) {
    seen.Note(timer.Interval());
    timer.SetInterval(fall.Next());
  });
  timer.SetEnabled(true);
  platform::ProcessMessagesUntil([&] { return static_cast<int>(seen.at.size()) > ticks; });
  seen.waitedMs += WaitedForCpuMs();
  return seen;
}

// ---- the baseline: a plain SDL timer posting the same message ----

struct Plain {
  platform::HWND window = 0;
  std::function<void()> onTick;
  Plain() {
    window = platform::AllocateHWnd([this](std::uint32_t msg, std::uintptr_t, std::intptr_t) {
      if (msg == platform::WM_USER) onTick();
    });
  }
  ~Plain() { platform::DeallocateHWnd(window); }
  static Uint32 Periodic(Uint32 interval, void* self) {
    platform::PostMessage(static_cast<Plain*>(self)->window, platform::WM_USER, 0, 0);
    return interval;
  }
};

Ticks PlainSteady(int interval, int ticks) {
  Ticks seen;
  Plain plain;
  plain.onTick = [&] { seen.Note(interval); };
  const SDL_TimerID id = SDL_AddTimer(static_cast<Uint32>(interval), Plain::Periodic, &plain);
  platform::ProcessMessagesUntil([&] { return static_cast<int>(seen.at.size()) > ticks; });
  SDL_RemoveTimer(id);
  seen.waitedMs += WaitedForCpuMs();
  platform::ProcessMessages();  // a tick already queued goes to this run's window
  return seen;
}

Ticks PlainFalls(int ticks) {
  Ticks seen;
  Plain plain;
  Fall fall;
  SDL_TimerID id = 0;
  // As the game's timer does: a new event when the interval changes, else
  // the periodic one goes on.
  plain.onTick = [&] {
    seen.Note(fall.interval);
    const int before = fall.interval;
    if (fall.Next() == before) return;
    SDL_RemoveTimer(id);
    id = SDL_AddTimer(static_cast<Uint32>(fall.interval), Plain::Periodic, &plain);
  };
  id = SDL_AddTimer(static_cast<Uint32>(fall.interval), Plain::Periodic, &plain);
  platform::ProcessMessagesUntil([&] { return static_cast<int>(seen.at.size()) > ticks; });
  SDL_RemoveTimer(id);
  seen.waitedMs += WaitedForCpuMs();
  platform::ProcessMessages();
  return seen;
}

// ---- where the time goes ----

// The game's tick path in two halves, at one period: the timer's lateness
// against its grid when it posts (from the message loop's wait), and the
// time from the post to the handler.
struct Split {
  static constexpr int kMax = 4096;
  double posted[kMax] = {};
  std::atomic<int> count{0};
  double start = 0;
  platform::HWND window = 0;
  static void Post(std::uint32_t, std::uintptr_t self) {
    Split& s = *reinterpret_cast<Split*>(self);
    const int i = s.count.fetch_add(1);
    if (i < kMax) s.posted[i] = NowMs();
    platform::PostMessage(s.window, platform::WM_USER, static_cast<std::uintptr_t>(i), 0);
  }
};

void ReportSplit(int interval, int ticks, const std::string& load) {
  auto split = std::make_unique<Split>();
  std::vector<double> late, delivery;
  split->window = platform::AllocateHWnd([&](std::uint32_t, std::uintptr_t i, std::intptr_t) {
    if (i >= Split::kMax) return;
    late.push_back(split->posted[i] - (split->start + interval * (i + 1.0)));
    delivery.push_back(NowMs() - split->posted[i]);
  });
  split->start = NowMs();
  const std::uint32_t id = platform::timeSetEvent(static_cast<std::uint32_t>(interval), 1, Split::Post,
                                                  reinterpret_cast<std::uintptr_t>(split.get()), platform::TIME_PERIODIC);
  platform::ProcessMessagesUntil([&] { return static_cast<int>(delivery.size()) >= std::min(ticks, Split::kMax); });
  platform::timeKillEvent(id);
  platform::ProcessMessages();
  platform::DeallocateHWnd(split->window);
  const std::string what = "tick " + std::to_string(interval) + " ms" + load;
  bench::Detail(what + " timer, lateness at the post", bench::Summarise(late), "ms");
  bench::Detail(what + " from the post to the handler", bench::Summarise(delivery), "ms");
}

// ---- figures ----

struct Accuracy {
  bench::Stats error;    // |period - asked|
  bench::Stats periods;
  double drift = 0;      // |time of the last tick - where the asked periods put it|
};

Accuracy Measure(const Ticks& t) {
  std::vector<double> errors, periods;
  double asked = 0;
  for (std::size_t i = 1; i < t.at.size(); ++i) {
    const double period = t.at[i] - t.at[i - 1];
    periods.push_back(period);
    errors.push_back(std::fabs(period - t.asked[i]));
    asked += t.asked[i];
  }
  Accuracy a;
  a.error = bench::Summarise(errors);
  a.periods = bench::Summarise(periods);
  a.drift = std::fabs((t.at.back() - t.at.front()) - asked);
  return a;
}

void Report(const std::string& what, const std::string& load, const Ticks& ours, const Ticks& plain,
            bool withDrift) {
  const Accuracy o = Measure(ours), p = Measure(plain);
  bench::Detail(what + load + " ours periods", o.periods, "ms");
  bench::Detail(what + load + " plain SDL periods", p.periods, "ms");
  char waited[160];
  std::snprintf(waited, sizeof waited, "%s%s: waiting for a CPU, ours %.1f ms, plain SDL %.1f ms", what.c_str(),
                load.c_str(), ours.waitedMs, plain.waitedMs);
  bench::Detail(waited);
  bench::Figure(what + ": median error" + load, o.error.median, p.error.median, "ms", "<0.3,<base");
  bench::Figure(what + ": p99 error" + load, o.error.p99, p.error.p99, "ms", "<2,<base");
  if (withDrift) bench::Figure(what + ": drift" + load, o.drift, p.drift, "ms", "<1,<base");
}

}  // namespace

int main(int argc, char** argv) {
  bool busy = false;
  int ticks = 300;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--busy") == 0)
      busy = true;
    else
      ticks = std::max(10, std::atoi(argv[i]));
  }
  // The other core is kept busy by a process of its own, so that its time
  // is not counted as ours.
#ifndef _WIN32
  pid_t spinner = 0;
  if (busy && (spinner = fork()) == 0)
    for (;;) {
    }
#endif
  std::string error;
  if (!platform::Init(error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  SDL_InitSubSystem(SDL_INIT_TIMER);  // for the baseline
  const char* driver = SDL_GetCurrentVideoDriver();
  if (std::strcmp(driver, "x11") != 0 && std::strcmp(driver, "windows") != 0)
    bench::Detail("note: no X display: the message loop polls once a millisecond");
  // The game's window is up while its timers run, and SDL waits on it.
  platform::WindowEvents none;
  platform::Window window({"timer_bench", 64, 64, false, nullptr, false}, &none);
  window.Show();
  platform::ProcessMessages();

  const std::string load = busy ? " (other core busy)" : "";
  for (int interval : {5, 7, 33, 70}) {
    // The short periods run for three seconds at least, so that their p99
    // is the 99th percentile of several hundred ticks, not one stray tick of
    // a hundred.
    const int n = std::max(ticks, 3000 / interval);
    const Ticks ours = OursSteady(interval, n);
    const Ticks plain = PlainSteady(interval, n);
    Report("tick " + std::to_string(interval) + " ms", load, ours, plain, true);
  }
  ReportSplit(5, ticks, load);
  const Ticks ours = OursFalls(ticks);
  const Ticks plain = PlainFalls(ticks);
  Report("ticks of a fall 33..5 ms", load, ours, plain, false);
#ifndef _WIN32
  if (spinner > 0) {
    kill(spinner, SIGKILL);
    waitpid(spinner, nullptr, 0);
  }
#endif
  platform::Shutdown();
  return 0;
}
