#pragma once
// The tests' hooks into the platform, built only into the test programs and
// the benchmarks that need them (never into the game): each hands the
// platform a seam of its own (platform/clock.h, seams.h, sound_device.h) in
// place of the system's.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/sound.h"

namespace platform {

class Window;

// Time is the tests': the clock stands still but for the platform's own
// waits, each of which moves it on at once by what it would have slept (a
// wait for messages that finds none ends at its end, one that finds one at
// once); the timers' ticks come only when a test fires them; the sound
// device takes no samples but counts them as played as the clock moves on.
void UseTestTimeForTest();
// The tick count answers with this count instead (empty: the tests' clock
// again); the waits still move the tests' clock on, unseen.
void SetTickCountForTest(std::function<std::uint32_t()> ticks);
// The time of day that seeds the game's random numbers (empty: the real one).
void SetClockForTest(std::function<std::uint32_t()> clock);

// Fires an event's next tick as its deadline would: a timer posts its tick
// message from there. False when the event is not alive (killed, or a
// one-shot that has fired). Safe from another thread while the
// user-interface thread does not touch the timers.
bool FireTimerEventForTest(std::uint32_t timerId);
// Fires the event due first (false when none runs).
bool FireEarliestTimerEventForTest();

// Every PlaySoundImage is noted here while set.
struct PlayedSound {
  const std::uint8_t* image;
  PlayMode mode;
};
void RecordSoundsForTest(std::vector<PlayedSound>* log);
// The sound device stops taking samples, as a suspended or stuck one does
// (Stalls), or as one unplugged does (Lost: it cannot be opened again
// either). Holds for devices opened later too, until None.
enum class SoundDeviceFault { None, Stalls, Lost };
void BreakSoundDeviceForTest(SoundDeviceFault fault);

// While set, command lines are noted here and not run (the result says they
// were started); null runs them.
void RecordCommandLinesForTest(std::vector<std::string>* log);

// Every pointer move is noted here while set (the headless drivers have no
// pointer to show it on), in screen pixels.
struct PointerMove {
  int x, y;
  bool operator==(const PointerMove&) const = default;
};
void RecordPointerMovesForTest(std::vector<PointerMove>* log);
// The pointer cannot be moved, as on a web page (the headless drivers
// always move it), so the game's moves are assumed.
void KeepPointerStillForTest(bool still);

// Under the headless drivers no window ever gets the focus: the window
// named here counts as active (nullptr: none) until the override is
// cleared, which restores the real focus.
void SetActiveWindowForTest(const Window* window);
void ClearActiveWindowOverride();

}  // namespace platform
