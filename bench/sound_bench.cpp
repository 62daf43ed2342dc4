// How soon a sound starts: from the play call to the moment the device takes
// the first of its samples (the queue shrinks), on SDL's dummy driver, whose
// thread takes a buffer every buffer period as a sound card would. Each play
// comes at a random point of the device's period. The baseline is that
// period: a sound can never start sooner than the device's next buffer.
//
//   sound_bench [plays]          (default 300)
//   sound_bench failed [plays]   (default 300)
//
// Two figures: with the device open (a sound in play replaced by the next),
// and with the device let go before each play, as after a quiet spell.
// With "failed": what a play costs the game when no device can be had (the
// device lost for good, or, on ALSA, no card): each play tries to open it
// once.

#include <chrono>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "bench/report.h"
#include "bench/headless.h"
#include "platform/app.h"
#include "platform/resources.h"
#include "platform/sound.h"
#include "tests/test_seams.h"

namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds from the play call until the device has taken samples.
double Latency(std::span<const std::uint8_t> sound, std::uint32_t fullBytes) {
  const auto start = Clock::now();
  if (!platform::PlaySoundImage(sound, platform::PlayMode::Async)) return bench::kNone;
  while (platform::QueuedSoundBytes() >= fullBytes) {
    if (Clock::now() - start > std::chrono::seconds(1)) return bench::kNone;
    std::this_thread::sleep_for(std::chrono::microseconds(20));
  }
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Milliseconds each of these plays took to fail.
int FailedPlays(std::span<const std::uint8_t> sound, int plays) {
  platform::BreakSoundDeviceForTest(platform::SoundDeviceFault::Lost);
  std::vector<double> took;
  for (int i = 0; i < plays; ++i) {
    const auto start = Clock::now();
    if (platform::PlaySoundImage(sound, platform::PlayMode::Async)) return 1;
    took.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  const char* driver = std::getenv("SDL_AUDIODRIVER");
  const std::string what = std::string("failed sound play, ") + (driver != nullptr ? driver : "SDL's choice") + " driver";
  const bench::Stats stats = bench::Summarise(took);
  bench::Detail(what, stats, "ms");
  for (std::size_t i = 0; i < took.size(); ++i)
    if (took[i] > 10) bench::Detail(what + ": play " + std::to_string(i + 1) + " took " + std::to_string(took[i]) + " ms");
  bench::Figure(what + ": median", stats.median, bench::kNone, "ms", "<10");
  // The slowest, not the p99: about one failed try in a hundred on ALSA
  // waits out the device watcher's 100 ms nap (see docs/performance.md), so
  // a p99 of a few hundred tries falls either side of it from run to run.
  bench::Figure(what + ": slowest of " + std::to_string(plays), stats.max, bench::kNone, "ms", "<33");
  platform::Shutdown();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const bool failed = argc > 1 && std::string(argv[1]) == "failed";
  const int given = failed ? 2 : 1;
  const int plays = argc > given ? std::max(10, std::atoi(argv[given])) : 300;
  if (!bench::StartHeadless()) return 1;
  const auto sound = platform::FindResource(platform::ResourceKind::Wave, "Move");
  if (failed) return FailedPlays(sound, plays);
  // The queue holds the whole sound right after a play, unless the device
  // took some at once: the largest of a few plays is the whole.
  std::uint32_t fullBytes = 0;
  for (int i = 0; i < 5; ++i) {
    if (!platform::PlaySoundImage(sound, platform::PlayMode::Async)) {
      std::fprintf(stderr, "sound_bench: no sound device\n");
      return 1;
    }
    fullBytes = std::max(fullBytes, platform::QueuedSoundBytes());
  }
  const platform::SoundDeviceFormat device = platform::CurrentSoundDevice();
  const double period = 1000.0 * device.bufferFrames / device.rate;
  bench::Detail("sound device: " + std::to_string(device.rate) + " Hz, buffer " +
                std::to_string(device.bufferFrames) + " frames, period " + std::to_string(period) + " ms");

  std::mt19937 phase(2000);
  std::uniform_real_distribution<double> within(0, period);
  const auto pause = [&] { std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(within(phase))); };
  std::vector<double> open, reopened;
  for (int i = 0; i < plays; ++i) {
    pause();
    open.push_back(Latency(sound, fullBytes));
  }
  for (int i = 0; i < plays / 3; ++i) {
    platform::CloseSound();
    pause();
    reopened.push_back(Latency(sound, fullBytes));
  }
  const bench::Stats a = bench::Summarise(open), b = bench::Summarise(reopened);
  bench::Detail("sound latency, device open", a, "ms");
  bench::Detail("sound latency, device opened by the play", b, "ms");
  bench::Figure("sound latency, device open: p99", a.p99, period, "ms", "<=base");
  bench::Figure("sound latency, device opened by the play: p99", b.p99, period, "ms", "<=base");
  platform::Shutdown();
  return 0;
}
