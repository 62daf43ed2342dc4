#include "platform/clock.h"

#include <chrono>

#include "platform/app.h"
#include "platform/internal.h"

namespace platform {
namespace {

Clock* g_clock = nullptr;  // the system's

}  // namespace

std::int64_t SystemClock::SteadyNs() {
  using namespace std::chrono;
  return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

std::uint32_t SystemClock::UtcMillisecondsOfDay() {
  using namespace std::chrono;
  const auto sinceEpoch = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
  return static_cast<std::uint32_t>(sinceEpoch % (24LL * 60 * 60 * 1000));
}

void SystemClock::Sleep(std::uint32_t ms) { SDL_Delay(ms); }

Clock& TheClock() {
  static SystemClock system;
  return g_clock != nullptr ? *g_clock : system;
}

void UseClock(Clock* clock) {
  g_clock = clock;
  StartFrame();  // a frame of the old clock means nothing on the new one
}

std::int64_t MonotonicNs() { return TheClock().NowNs(); }

std::uint32_t GetTickCount() { return static_cast<std::uint32_t>(TheClock().NowNs() / 1'000'000); }

std::uint32_t UtcMillisecondsOfDay() { return TheClock().UtcMillisecondsOfDay(); }

void PauseFor(std::uint32_t ms) { TheClock().Sleep(ms); }

}  // namespace platform
