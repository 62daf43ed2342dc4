#pragma once
// On a large screen the game's 550 x 440 pixels would be a stamp in a corner,
// so each window may be shown at a whole-number scale: every pixel of its
// canvas becomes a square block of screen pixels. The game keeps drawing and
// thinking in its own pixels; only the platform layer knows about blocks.

#include <SDL.h>

namespace platform {

constexpr int kMaxScale = 3;

// The scale for a window of this client size on a screen of this size:
// `setting` (QUILLAMOR_SCALE) when it is exactly "1", "2" or "3"; otherwise 2
// from a screen 2160 pixels high, 3 from 3240, and never so large that the
// window would not fit on the screen.
int ChooseScale(const char* setting, int screenWidth, int screenHeight, int clientWidth, int clientHeight);

// The scale for a new window, from QUILLAMOR_SCALE and the first display.
int ScaleForNewWindow(int clientWidth, int clientHeight);

// A pointer coordinate on the scaled window as a canvas coordinate. Rounds
// down, not towards zero: a pointer just left of or above the window (a drag
// that left it) must stay outside the canvas, not land on its first pixel.
constexpr int ToCanvas(int screen, int scale) {
  return screen >= 0 ? screen / scale : -((-screen + scale - 1) / scale);
}

// A point the game worked out as a window's corner on the screen (its Left
// or Top, which count the frame in blocks) plus a distance in canvas pixels,
// as a screen position.
constexpr int ScalePastCorner(int point, int corner, int scale) { return corner + (point - corner) * scale; }

// Copies the w x h rectangle at (x, y) of `canvas` onto `screen`, each pixel
// as a scale x scale block. Both surfaces share one pixel format; the part of
// the rectangle outside either surface is left out.
void BlitBlocks(SDL_Surface* canvas, int x, int y, int w, int h, SDL_Surface* screen, int scale);

}  // namespace platform
