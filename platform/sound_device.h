#pragma once
// The one sound device the game's sounds go to: SDL's, or one a test hands
// in (UseSoundDevice) that plays on the tests' clock or breaks as a real
// one can. Never included by game code.

#include <SDL.h>

#include <cstdint>
#include <vector>

#include "platform/sdl_handle.h"

namespace platform {

class SoundDevice {
 public:
  virtual ~SoundDevice() = default;
  // Opens a device in a format as near `wanted` as it has, playing; false
  // when none opens.
  virtual bool Open(const SDL_AudioSpec& wanted);
  void Close() { device_.Close(); }
  bool IsOpen() const { return device_.Id() != 0; }
  // The format granted.
  const SDL_AudioSpec& Format() const { return spec_; }
  // Adds samples to what it plays; false when it cannot take them.
  virtual bool Queue(const std::vector<Uint8>& samples);
  // Drops what it has still to play.
  virtual void Clear();
  // Bytes it has still to play.
  virtual std::uint32_t Queued();
  // Unplugged, or taken away by the sound server: it plays nothing more.
  virtual bool Lost();

 protected:
  SDL_AudioDeviceID Id() const { return device_.Id(); }

 private:
  SdlAudioDevice device_;
  SDL_AudioSpec spec_{};
};

// Hands in the device the sounds go to (nullptr: SDL's); what was open is
// closed first.
void UseSoundDevice(SoundDevice* device);

}  // namespace platform
