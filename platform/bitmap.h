#pragma once
// A picture loaded from the built-in resources, drawn opaque at its natural
// size (or blended, when it carries an alpha channel).

#include <cstdint>
#include <string_view>

#include "platform/sdl_handle.h"

namespace platform {

class Bitmap {
 public:
  // Loads the named bitmap resource; false when there is none or it cannot
  // be read.
  bool LoadFromResource(std::string_view name);
  // The same, for pictures the program cannot do without: throws
  // std::runtime_error when the resource is missing.
  void Load(std::string_view name);

  int Width() const;
  int Height() const;
  bool Empty() const { return surface_ == nullptr; }
  // The colour at (x, y) as 0xRRGGBB, and its alpha (255 when opaque).
  std::uint32_t Pixel(int x, int y) const;
  std::uint8_t Alpha(int x, int y) const;

  SDL_Surface* Surface() const { return surface_.get(); }

 private:
  SdlHandle<SDL_Surface> surface_;
};

}  // namespace platform
