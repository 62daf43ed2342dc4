#include "platform/bitmap.h"

#include <SDL.h>

#include <stdexcept>
#include <string>
#include <utility>

#include "platform/resources.h"

namespace platform {

bool Bitmap::LoadFromResource(std::string_view name) {
  const auto bytes = FindResource(ResourceKind::Bitmap, name);
  if (bytes.empty()) return false;
  SDL_RWops* stream = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
  const SdlHandle<SDL_Surface> loaded(SDL_LoadBMP_RW(stream, 1));
  if (loaded == nullptr) return false;
  // One pixel format for every picture, so that drawing is a plain copy;
  // pictures with an alpha channel keep it and blend.
  const bool hasAlpha = loaded->format->Amask != 0;
  SdlHandle<SDL_Surface> converted(
      SDL_ConvertSurfaceFormat(loaded.get(), hasAlpha ? SDL_PIXELFORMAT_ARGB8888 : SDL_PIXELFORMAT_RGB888, 0));
  if (converted == nullptr) return false;
  SDL_SetSurfaceBlendMode(converted.get(), hasAlpha ? SDL_BLENDMODE_BLEND : SDL_BLENDMODE_NONE);
  surface_ = std::move(converted);
  return true;
}

void Bitmap::Load(std::string_view name) {
  if (!LoadFromResource(name)) throw std::runtime_error("missing picture " + std::string(name));
}

int Bitmap::Width() const { return surface_ ? surface_->w : 0; }
int Bitmap::Height() const { return surface_ ? surface_->h : 0; }

namespace {
Uint32 RawPixel(const SDL_Surface* surface, int x, int y) {
  const auto* row = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch;
  return reinterpret_cast<const Uint32*>(row)[x];
}
}  // namespace

std::uint32_t Bitmap::Pixel(int x, int y) const {
  if (!surface_ || x < 0 || y < 0 || x >= surface_->w || y >= surface_->h) return 0;
  Uint8 r, g, b;
  SDL_GetRGB(RawPixel(surface_.get(), x, y), surface_->format, &r, &g, &b);
  return (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | b;
}

std::uint8_t Bitmap::Alpha(int x, int y) const {
  if (!surface_ || x < 0 || y < 0 || x >= surface_->w || y >= surface_->h) return 0;
  Uint8 r, g, b, a;
  SDL_GetRGBA(RawPixel(surface_.get(), x, y), surface_->format, &r, &g, &b, &a);
  return a;
}

}  // namespace platform
