#include "platform/sdl_handle.h"

#include <SDL.h>

#include <utility>

namespace platform {

template <>
void SdlFree<SDL_Cursor>::operator()(SDL_Cursor* cursor) const { SDL_FreeCursor(cursor); }
template <>
void SdlFree<SDL_Renderer>::operator()(SDL_Renderer* renderer) const { SDL_DestroyRenderer(renderer); }
template <>
void SdlFree<SDL_Surface>::operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
template <>
void SdlFree<SDL_Texture>::operator()(SDL_Texture* texture) const { SDL_DestroyTexture(texture); }
template <>
void SdlFree<SDL_Window>::operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }
template <>
void SdlFree<std::uint8_t>::operator()(std::uint8_t* samples) const { SDL_FreeWAV(samples); }

SdlAudioDevice& SdlAudioDevice::operator=(SdlAudioDevice&& other) noexcept {
  if (this != &other) {
    Close();
    id_ = std::exchange(other.id_, 0);
  }
  return *this;
}

void SdlAudioDevice::Close() {
  if (id_ != 0) SDL_CloseAudioDevice(id_);
  id_ = 0;
}

}  // namespace platform
