#include "platform/presenter.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "platform/scale.h"
#include "platform/system.h"

namespace platform {
namespace {

constexpr Uint32 kRendererFormat = SDL_PIXELFORMAT_RGB888;

bool MorePixelsThanPoints(SDL_Window* window) {
  int w = 0, h = 0, pw = 0, ph = 0;
  SDL_GetWindowSize(window, &w, &h);
  SDL_GetWindowSizeInPixels(window, &pw, &ph);
  return pw != w || ph != h;
}

[[noreturn]] void CannotDraw(const char* what) {
  throw std::runtime_error(std::string("the window cannot be drawn on (") + what + ": " + SDL_GetError() +
                           "); try another video driver, e.g. SDL_VIDEODRIVER=x11");
}

}  // namespace

Presenter::Presenter(SDL_Window* window) : window_(window) {
  if (!MorePixelsThanPoints(window) && SDL_GetWindowSurface(window) != nullptr) return;
  renderer_.reset(SDL_CreateRenderer(window, -1, 0));
  if (renderer_ == nullptr) CannotDraw("no renderer");
  int pw = 0, ph = 0;
  SDL_GetWindowSizeInPixels(window, &pw, &ph);
  if (!FitTexture(pw, ph)) CannotDraw("no texture");
}

Uint32 Presenter::Format() const {
  if (renderer_ != nullptr) return kRendererFormat;
  const SDL_Surface* screen = SDL_GetWindowSurface(window_);
  return screen != nullptr ? screen->format->format : kRendererFormat;
}

bool Presenter::FitTexture(int pixelWidth, int pixelHeight) {
  if (pixels_ != nullptr && pixels_->w == pixelWidth && pixels_->h == pixelHeight) return true;
  // The old pair goes before the new is made: never both at once.
  texture_.reset();
  pixels_.reset();
  texture_.reset(SDL_CreateTexture(renderer_.get(), kRendererFormat, SDL_TEXTUREACCESS_STREAMING, pixelWidth, pixelHeight));
  pixels_.reset(SDL_CreateRGBSurfaceWithFormat(0, pixelWidth, pixelHeight, 32, kRendererFormat));
  return texture_ != nullptr && pixels_ != nullptr;
}

void Presenter::Show(SDL_Surface* canvas, int x, int y, int w, int h) {
  if (renderer_ == nullptr) {
    SDL_Surface* screen = SDL_GetWindowSurface(window_);
    if (screen == nullptr) CannotDraw("its surface is gone");
    const int scale = std::max(1, screen->w / canvas->w);
    SDL_Rect rect{x * scale, y * scale, w * scale, h * scale};
    if (screen->format->format == canvas->format->format) {
      BlitBlocks(canvas, x, y, w, h, screen, scale);
    } else {  // a screen that changed its format since: let SDL convert
      SDL_Rect from{x, y, w, h};
      SDL_BlitScaled(canvas, &from, screen, &rect);
    }
    UpdateSurfaceRect(window_, rect);
    return;
  }
  int pw = 0, ph = 0;
  SDL_GetWindowSizeInPixels(window_, &pw, &ph);
  if (pixels_->w != pw || pixels_->h != ph) {
    if (!FitTexture(pw, ph)) CannotDraw("no texture for the new size");
    x = y = 0, w = canvas->w, h = canvas->h;
  }
  // Blocks of the output's pixels: scale 2 on an output at scale 2 is 4.
  const int block = std::max(1, pw / canvas->w);
  BlitBlocks(canvas, x, y, w, h, pixels_.get(), block);
  SDL_Rect rect{x * block, y * block, w * block, h * block};
  SDL_IntersectRect(&rect, &pixels_->clip_rect, &rect);
  SDL_UpdateTexture(texture_.get(), &rect, static_cast<Uint8*>(pixels_->pixels) + rect.y * pixels_->pitch + rect.x * 4,
                    pixels_->pitch);
  SDL_RenderCopy(renderer_.get(), texture_.get(), nullptr, nullptr);
  SDL_RenderPresent(renderer_.get());
}

}  // namespace platform
