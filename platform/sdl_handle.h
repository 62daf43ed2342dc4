#pragma once
// One owner for each SDL object: a unique pointer that frees it with SDL's
// own function (platform/sdl_handle.cpp), so nothing is freed twice or
// forgotten, and nothing outside this file and its .cpp frees one by hand.
// Declared against SDL's names alone, so that a header whose users must not
// see SDL (platform/bitmap.h, window.h) can hold one.

#include <cstdint>
#include <memory>

struct SDL_Cursor;
struct SDL_Renderer;
struct SDL_Surface;
struct SDL_Texture;
struct SDL_Window;

namespace platform {

template <typename T>
struct SdlFree {
  void operator()(T* object) const;
};
template <>
void SdlFree<SDL_Cursor>::operator()(SDL_Cursor* cursor) const;
template <>
void SdlFree<SDL_Renderer>::operator()(SDL_Renderer* renderer) const;
template <>
void SdlFree<SDL_Surface>::operator()(SDL_Surface* surface) const;
template <>
void SdlFree<SDL_Texture>::operator()(SDL_Texture* texture) const;
template <>
void SdlFree<SDL_Window>::operator()(SDL_Window* window) const;
// The samples SDL_LoadWAV_RW hands out.
template <>
void SdlFree<std::uint8_t>::operator()(std::uint8_t* samples) const;

template <typename T>
using SdlHandle = std::unique_ptr<T, SdlFree<T>>;

// The open sound device, by SDL's number for it (0: none), closed by its
// owner.
class SdlAudioDevice {
 public:
  SdlAudioDevice() = default;
  explicit SdlAudioDevice(std::uint32_t id) : id_(id) {}
  SdlAudioDevice(const SdlAudioDevice&) = delete;
  SdlAudioDevice& operator=(const SdlAudioDevice&) = delete;
  SdlAudioDevice& operator=(SdlAudioDevice&& other) noexcept;
  ~SdlAudioDevice() { Close(); }
  void Close();
  std::uint32_t Id() const { return id_; }

 private:
  std::uint32_t id_ = 0;
};

}  // namespace platform
