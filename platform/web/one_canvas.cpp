// A web page has one canvas for all of the game's windows (SDL 2.26 has one
// per page): the first window made is drawn on it at the game's own pixels
// (the page shows them in whole blocks), and every later one over it,
// centred, as an overlay.

#include "platform/internal.h"
#include "platform/system.h"
#include "platform/window.h"
#include "platform/window_screen.h"

namespace platform {
namespace {

// What shows on the canvas where no window is drawn, as before anything is:
// the page around the canvas has the same colour.
constexpr std::uint32_t kPageRgb = 0x000000;

class Overlay final : public WindowScreen {
 public:
  Overlay(const Window& first, int width, int height)
      : window_(SDL_GetWindowFromID(first.Id())),
        scale_(first.Scale()),
        originX_((first.ClientWidth() - width) / 2),
        originY_((first.ClientHeight() - height) / 2),
        width_(width),
        height_(height) {}

  SDL_Window* Shown() const override { return window_; }
  int Scale() const override { return scale_; }
  int OriginX() const override { return originX_; }
  int OriginY() const override { return originY_; }
  Uint32 Format() const override {
    const SDL_Surface* screen = SDL_GetWindowSurface(window_);
    return screen != nullptr ? screen->format->format : SDL_PIXELFORMAT_RGB888;
  }

  // Drawn at its first present.
  void Show() override {}

  // The overlays come up while the first window is hidden (the difficulty
  // question and the no-sound notice come before the title), so an overlay
  // gone leaves the page's colour, or the first window's picture, and
  // nothing is ever drawn over a visible overlay.
  void Hide() override {
    if (Window* first = FirstWindow(); first != nullptr && first->Visible()) {
      first->AddDirty(originX_, originY_, width_, height_);
      first->Present();
      return;
    }
    SDL_Surface* screen = SDL_GetWindowSurface(window_);
    if (screen == nullptr) return;
    SDL_Rect rect{originX_, originY_, width_, height_};
    SDL_FillRect(screen, &rect,
                 SDL_MapRGB(screen->format, (kPageRgb >> 16) & 0xFF, (kPageRgb >> 8) & 0xFF, kPageRgb & 0xFF));
    UpdateSurfaceRect(window_, rect);
  }

  // Straight onto the page's window surface, which is never scaled.
  void Present(SDL_Surface* canvas, const SDL_Rect& rect) override {
    SDL_Surface* screen = SDL_GetWindowSurface(window_);
    if (screen == nullptr) return;
    SDL_Rect from = rect;
    SDL_Rect to{originX_ + rect.x, originY_ + rect.y, rect.w, rect.h};
    SDL_BlitSurface(canvas, &from, screen, &to);
    UpdateSurfaceRect(window_, to);
  }

 private:
  SDL_Window* window_;  // the first window's
  int scale_;
  int originX_, originY_;
  int width_, height_;
};

}  // namespace

std::unique_ptr<WindowScreen> MakeWindowScreen(const WindowOptions& options) {
  if (const Window* first = FirstWindow())
    return std::make_unique<Overlay>(*first, options.clientWidth, options.clientHeight);
  // The page shows the canvas in blocks itself: one pixel of the game is one
  // of the canvas, whatever the screen.
  return OwnWindow(options, 1, 0);
}

}  // namespace platform
