// How long dealing a level takes at each difficulty, with the real clock
// seeding every attempt as it does in play. Two measures per difficulty:
//   deal        levels dealt back to back. A deal that starts in the same
//               millisecond as the last one re-seeds to the seed that just
//               worked, so most of these succeed at the first attempt.
//   deal_spaced each level dealt on a clock that has moved on since the last
//               one, at a random point of its millisecond, as when a player
//               asks for the next level: failed attempts wait out the rest
//               of the millisecond, since they repeat until the seed changes.
// Each prints: <measure> difficulty=D levels=N median_ms=.. p99_ms=.. max_ms=..
// Usage: deal_bench [levels per difficulty, default 1000]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "platform/app.h"
#include "ui/main_form.h"

namespace {

using Clock = std::chrono::steady_clock;

void Report(const char* measure, int difficulty, std::vector<double>& ms) {
  std::sort(ms.begin(), ms.end());
  const auto at = [&](double q) { return ms[static_cast<std::size_t>(q * (ms.size() - 1) + 0.5)]; };
  std::printf("%s difficulty=%d levels=%zu median_ms=%.3f p99_ms=%.3f max_ms=%.3f\n", measure, difficulty, ms.size(),
              at(0.5), at(0.99), ms.back());
  std::fflush(stdout);
}

// Waits, untimed, until the seed clock has left the millisecond it showed
// when the last deal ended, then for a random part of the next one.
void MoveClockOn(std::mt19937& phase) {
  const std::uint32_t last = platform::UtcMillisecondsOfDay();
  while (platform::UtcMillisecondsOfDay() == last) {
  }
  const auto until = Clock::now() + std::chrono::microseconds(std::uniform_int_distribution<int>(0, 999)(phase));
  while (Clock::now() < until) {
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int levels = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  std::string error;
  if (!platform::Init(error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  {
    TMainForm form;
    std::mt19937 phase(12345);  // our own, so the game's generator is left alone
    std::vector<double> ms(levels);
    const auto timeDeal = [&] {
      const auto start = Clock::now();
      form.GenerateLevel();
      return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    };
    for (int difficulty = 1; difficulty <= 3; ++difficulty) {
      form.Difficulty = difficulty;
      for (double& m : ms) m = timeDeal();
      Report("deal", difficulty, ms);
      for (double& m : ms) {
        MoveClockOn(phase);
        m = timeDeal();
      }
      Report("deal_spaced", difficulty, ms);
    }
  }
  platform::Shutdown();
  return 0;
}
