#pragma once
// What a test or a benchmark may hand in where the platform would go to
// the desktop itself: where the pointer goes, what starts a command line,
// which window has the focus, what plays a sound and the device it plays on
// (platform/sound_device.h); the clock is platform/clock.h. Each is the
// system's own until something else is handed in (an empty one restores
// it). Never included by game code.

#include <SDL.h>

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "platform/sound.h"

namespace platform {

class Window;

// Puts the pointer at (x, y) on the screen, over `window` (null: no main
// window yet). True when SDL sees the pointer go there; false when the
// platform is to take it as there (platform/cursor.h).
using PointerMover = std::function<bool(SDL_Window* window, int x, int y)>;
void UsePointerMover(PointerMover mover);
bool MoveSystemPointer(SDL_Window* window, int x, int y);

// Starts a command line (never an empty one); a value above 31 when started.
using Launcher = std::function<std::uint32_t(const std::string& commandLine)>;
void UseLauncher(Launcher launcher);

// Whether the window holds the activation (input focus).
using FocusCheck = std::function<bool(const Window& window)>;
void UseFocusCheck(FocusCheck check);

// Plays a sound image (platform/sound.h says how); the platform's own
// player plays it on the sound device.
using SoundPlayer = std::function<bool(std::span<const std::uint8_t> image, PlayMode mode)>;
void UseSoundPlayer(SoundPlayer player);
bool PlayOnSoundDevice(std::span<const std::uint8_t> image, PlayMode mode);

}  // namespace platform
