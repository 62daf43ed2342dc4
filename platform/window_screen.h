#pragma once
// Where a window's canvas is shown. On a desktop every window is a window of
// its own (DesktopWindow); a web page has one canvas, over which each window
// after the first is drawn (platform/web/one_canvas.cpp). Each system makes
// a new window's its own way (MakeWindowScreen, platform/system.h).

#include <SDL.h>

#include <memory>

namespace platform {

struct WindowOptions;

class WindowScreen {
 public:
  virtual ~WindowScreen() = default;
  // The SDL window the canvas is shown on, and whose input is the window's.
  virtual SDL_Window* Shown() const = 0;
  // Screen pixels per canvas pixel, along each axis.
  virtual int Scale() const = 0;
  // Where the canvas starts on that window, in canvas pixels.
  virtual int OriginX() const { return 0; }
  virtual int OriginY() const { return 0; }
  // The pixel format a canvas should have, so showing it is a plain copy.
  virtual Uint32 Format() const = 0;
  virtual void Show() = 0;
  virtual void Hide() = 0;
  // Puts this rectangle of the canvas on the screen.
  virtual void Present(SDL_Surface* canvas, const SDL_Rect& rect) = 0;
};

// A window of its own on a desktop, centred on the display, with the
// options' caption, frame and icon, at the scale the screen calls for
// (platform/scale.h); on an output at scale 2 it gets twice the pixels, and
// the blocks are drawn into them rather than stretched by the desktop.
// Throws std::runtime_error when it cannot be made.
std::unique_ptr<WindowScreen> DesktopWindow(const WindowOptions& options);
// The same at this scale and with these of SDL's window flags instead.
std::unique_ptr<WindowScreen> OwnWindow(const WindowOptions& options, int scale, Uint32 flags);

}  // namespace platform
