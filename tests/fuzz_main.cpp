// The random driver for long runs, built with the sanitizers by
// tools/fuzz.sh:
//   fuzz_driver SEED EVENTS [EVENTS_PER_SEED]   runs seeds SEED, SEED+1, ...
//                                               until EVENTS events in all
//   fuzz_driver --replay SEED EVENTS            one seed, as a failure named it
// Prints each seed's figures; on a fault, the seed and how to replay it, and
// exits with status 1.

#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/app.h"
#include "tests/random_driver.h"
#include "tests/test_support.h"

int main(int argc, char** argv) {
  const bool replay = argc == 4 && std::strcmp(argv[1], "--replay") == 0;
  if (!replay && argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: fuzz_driver SEED EVENTS [EVENTS_PER_SEED] | fuzz_driver --replay SEED EVENTS\n");
    return 2;
  }
  const int first = replay ? 2 : 1;
  const auto seed = static_cast<std::uint32_t>(std::strtoul(argv[first], nullptr, 10));
  const long events = std::strtol(argv[first + 1], nullptr, 10);
  const long perSeed = replay ? events : (argc == 4 ? std::strtol(argv[3], nullptr, 10) : 100000);

  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  std::string error;
  if (!platform::Init(error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  platform::SetApplicationTitle("Quillamor 2000");
  platform::UseTestTimeForTest();
  platform::RecordCommandLinesForTest(&IgnoredCommandLines());

  const auto start = std::chrono::steady_clock::now();
  long done = 0;
  for (std::uint32_t s = seed; done < events; ++s) {
    const long run = std::min(perSeed, events - done);
    const DriveResult r = DriveRandomly(s, run);
    done += r.events;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("seed %u: %ld events (%ld ticks, %ld presses, %ld bar moves, %ld deals, %ld exits, %ld dialogs); "
                "%ld in all, %.0f s\n",
                s, r.events, r.ticks, r.presses, r.barMoves, r.deals, r.exits, r.dialogs, done, seconds);
    std::fflush(stdout);
    if (!r.fault.empty()) {
      std::printf("FAILED seed %u: %s\nreplay: tools/fuzz.sh --replay %u %ld\n", s, r.fault.c_str(), s, run);
      return 1;
    }
  }
  platform::Shutdown();
  return 0;
}
