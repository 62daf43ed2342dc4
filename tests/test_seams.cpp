#include "tests/test_seams.h"

#include <SDL.h>

#include <algorithm>

#include "platform/app.h"
#include "platform/clock.h"
#include "platform/internal.h"
#include "platform/seams.h"
#include "platform/sound_device.h"
#include "platform/window.h"

namespace platform {
namespace {

class TestClock : public SystemClock {
 public:
  std::int64_t NowNs() override { return ticks ? std::int64_t{ticks()} * 1'000'000 : now; }
  std::uint32_t UtcMillisecondsOfDay() override {
    return timeOfDay ? timeOfDay() : SystemClock::UtcMillisecondsOfDay();
  }
  void Sleep(std::uint32_t ms) override { now += std::int64_t{ms} * 1'000'000; }
  bool WaitForEvent(SDL_Event* event, std::int64_t endNs) override {
    const SDL_eventaction take = event != nullptr ? SDL_GETEVENT : SDL_PEEKEVENT;
    for (;;) {
      SDL_PumpEvents();
      if (SDL_PeepEvents(event, 1, take, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1) return true;
      if (endNs != kNoDeadline) {
        now = std::max(now, endNs);
        return false;
      }
      SDL_WaitEvent(nullptr);  // no end: as long as nothing comes, as the system's wait
    }
  }

  std::function<std::uint32_t()> ticks;
  std::function<std::uint32_t()> timeOfDay;
  std::int64_t now = 0;
};

// SDL's device, kept paused: what it would have played is worked out from
// the tick count, so a sound lasts its length on the tests' clock and no
// test waits for it.
class TestSoundDevice : public SoundDevice {
 public:
  bool Open(const SDL_AudioSpec& wanted) override {
    if (fault_ == SoundDeviceFault::Lost || !SoundDevice::Open(wanted)) return false;
    SDL_PauseAudioDevice(Id(), 1);
    CountFromNow(0);
    return true;
  }
  bool Queue(const std::vector<Uint8>& samples) override {
    if (!SoundDevice::Queue(samples)) return false;
    // One reading of the clock (tests count them); a broken device's count stays.
    const std::uint32_t now = fault_ == SoundDeviceFault::None ? GetTickCount() : queuedAt_;
    CountFrom(QueuedAt(now) + static_cast<std::uint32_t>(samples.size()), now);
    return true;
  }
  void Clear() override {
    SoundDevice::Clear();
    CountFromNow(0);
  }
  std::uint32_t Queued() override { return fault_ == SoundDeviceFault::None ? QueuedAt(GetTickCount()) : queued_; }
  bool Lost() override { return fault_ == SoundDeviceFault::Lost || SoundDevice::Lost(); }

  void Break(SoundDeviceFault fault) {
    const std::uint32_t left = Queued();  // what has played so far stays played
    fault_ = fault;
    CountFromNow(left);
  }

 private:
  // What is still to play at this tick count; a broken device plays nothing.
  std::uint32_t QueuedAt(std::uint32_t now) const {
    if (fault_ != SoundDeviceFault::None) return queued_;
    const SDL_AudioSpec& format = Format();
    const std::uint64_t bytesPerSecond = std::uint64_t(format.freq) * format.channels * SDL_AUDIO_BITSIZE(format.format) / 8;
    const std::uint64_t played = std::uint64_t(now - queuedAt_) * bytesPerSecond / 1000;
    return played >= queued_ ? 0 : queued_ - static_cast<std::uint32_t>(played);
  }
  // Starts the account afresh from what is queued now.
  void CountFrom(std::uint32_t bytes, std::uint32_t now) {
    queued_ = bytes;
    queuedAt_ = now;
  }
  void CountFromNow(std::uint32_t bytes) {
    queued_ = bytes;
    if (fault_ == SoundDeviceFault::None) queuedAt_ = GetTickCount();
  }

  SoundDeviceFault fault_ = SoundDeviceFault::None;
  std::uint32_t queued_ = 0;
  std::uint32_t queuedAt_ = 0;
};

TestClock g_clock;
TestSoundDevice g_soundDevice;
bool g_soundDeviceInUse = false;
std::vector<PlayedSound>* g_sounds = nullptr;
std::vector<std::string>* g_commandLines = nullptr;
std::vector<PointerMove>* g_pointerMoves = nullptr;
bool g_pointerStill = false;

void UseTestSoundDevice() {
  if (g_soundDeviceInUse) return;
  UseSoundDevice(&g_soundDevice);
  g_soundDeviceInUse = true;
}

void UseTestPointer() {
  UsePointerMover([](SDL_Window* window, int x, int y) {
    if (g_pointerMoves != nullptr) g_pointerMoves->push_back({x, y});
    return !(g_pointerStill && window != nullptr) && MoveSystemPointer(window, x, y);
  });
}

}  // namespace

void UseTestTimeForTest() {
  UseClock(&g_clock);
  UseTestSoundDevice();
}

void SetTickCountForTest(std::function<std::uint32_t()> ticks) {
  g_clock.ticks = std::move(ticks);
  UseClock(&g_clock);  // a frame starts afresh on the new count
}

void SetClockForTest(std::function<std::uint32_t()> clock) { g_clock.timeOfDay = std::move(clock); }

bool FireTimerEventForTest(std::uint32_t timerId) { return FireTimerEvent(timerId, MonotonicNs()); }

bool FireEarliestTimerEventForTest() {
  const std::int64_t due = NextTimerDeadline();
  if (due == kNoDeadline) return false;
  FireDueTimers(due);
  return true;
}

void RecordSoundsForTest(std::vector<PlayedSound>* log) {
  g_sounds = log;
  if (log == nullptr) {
    UseSoundPlayer(nullptr);
    return;
  }
  UseSoundPlayer([](std::span<const std::uint8_t> image, PlayMode mode) {
    g_sounds->push_back({image.data(), mode});
    return PlayOnSoundDevice(image, mode);
  });
}

void BreakSoundDeviceForTest(SoundDeviceFault fault) {
  UseTestSoundDevice();
  g_soundDevice.Break(fault);
}

void RecordCommandLinesForTest(std::vector<std::string>* log) {
  g_commandLines = log;
  if (log == nullptr) {
    UseLauncher(nullptr);
    return;
  }
  UseLauncher([](const std::string& commandLine) {
    g_commandLines->push_back(commandLine);
    return 33u;
  });
}

void RecordPointerMovesForTest(std::vector<PointerMove>* log) {
  g_pointerMoves = log;
  UseTestPointer();
}

void KeepPointerStillForTest(bool still) {
  g_pointerStill = still;
  UseTestPointer();
}

void SetActiveWindowForTest(const Window* window) {
  // By id, which SDL never gives again: a window destroyed meanwhile is
  // never taken for a new one made at its address.
  UseFocusCheck([id = window != nullptr ? window->Id() : 0u](const Window& w) { return id != 0 && w.Id() == id; });
}

void ClearActiveWindowOverride() { UseFocusCheck(nullptr); }

}  // namespace platform
