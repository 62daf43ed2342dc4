#pragma once
// The pointer on a Wayland desktop, which lets no program warp it: the only
// way to place it is a pointer lock with a position hint, where the
// compositor offers pointer constraints. Linux only.

#include <SDL.h>

namespace platform {

// Whether the compositor named by WAYLAND_DISPLAY answers and offers what
// placing the pointer needs (a seat and pointer constraints).
bool WaylandCarriesPointer();

// Whether the window is on a native Wayland display.
bool OnWayland(SDL_Window* window);

// Puts the pointer at (x, y) of the window, in its points: locks it there
// for a moment with that position as the hint, and lets go, so the
// compositor leaves the pointer on the hint. Only the window with the
// keyboard focus is granted a lock. False when the pointer stayed where it
// was. Either way SDL hears nothing of it.
bool MoveWaylandPointer(SDL_Window* window, int x, int y);

// Lets go of the display's objects before SDL closes the display.
void CloseWaylandPointer();

}  // namespace platform
