// How long dealing a level takes at each difficulty, with the real clock
// seeding every attempt as it does in play. Two measures per difficulty:
//   deal        levels dealt back to back. A deal that starts in the same
//               millisecond as the last one re-seeds to the seed that just
//               worked, so most of these succeed at the first attempt.
//   deal_spaced each level dealt on a clock that has moved on since the last
//               one, at a random point of its millisecond, as when a player
//               asks for the next level: failed attempts wait out the rest
//               of the millisecond, since they repeat until the seed changes.
// Spaced dealing is the figure, back to back its baseline; both go to the log.
// Usage: deal_bench [levels per difficulty, default 1000]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "bench/report.h"
#include "bench/headless.h"
#include "platform/app.h"
#include "ui/main_form.h"

namespace {

using Clock = std::chrono::steady_clock;

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
  if (!bench::StartHeadless()) return 1;
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
      const bench::Stats backToBack = bench::Summarise(ms);
      for (double& m : ms) {
        MoveClockOn(phase);
        m = timeDeal();
      }
      const bench::Stats spaced = bench::Summarise(ms);
      const std::string what = "deal a level, difficulty " + std::to_string(difficulty);
      bench::Detail(what + " back to back", backToBack, "ms");
      bench::Detail(what + " spaced as in play", spaced, "ms");
      bench::Figure(what + ": p99", spaced.p99, backToBack.p99, "ms", difficulty == 3 ? "<15" : "-");
    }
  }
  platform::Shutdown();
  return 0;
}
