#pragma once
// Puts a window's canvas on the screen, every canvas pixel a square block.
// Where the display lets a program draw straight into the window (X, and
// the headless drivers) the window's own surface takes the blocks: under X
// that is a plain copy to the server and much cheaper than a texture.
// Elsewhere (Wayland), or where the window has more pixels than points (an
// output at scale 2 or 3), a renderer that SDL chooses shows a texture at
// the window's full pixel size, so the blocks stay sharp instead of being
// stretched by the compositor.

#include <SDL.h>

#include "platform/sdl_handle.h"

namespace platform {

class Presenter {
 public:
  // Throws std::runtime_error when the window offers nothing to draw on.
  explicit Presenter(SDL_Window* window);
  Presenter(const Presenter&) = delete;
  Presenter& operator=(const Presenter&) = delete;

  // The pixel format a canvas should have, so presenting is a plain copy.
  Uint32 Format() const;
  // Shows the w x h rectangle at (x, y) of the canvas, in blocks as wide as
  // the window has pixels per canvas pixel. A window whose pixel size
  // changed since (it moved to an output of another scale) is redrawn whole.
  void Show(SDL_Surface* canvas, int x, int y, int w, int h);

 private:
  bool FitTexture(int pixelWidth, int pixelHeight);

  SDL_Window* window_;
  SdlHandle<SDL_Renderer> renderer_;  // none: the window's own surface
  SdlHandle<SDL_Texture> texture_;
  // The texture's pixels as a surface, so the blocks are copied as on the
  // window surface and only the part that changed is uploaded.
  SdlHandle<SDL_Surface> pixels_;
};

}  // namespace platform
