#pragma once
// Playing RIFF WAVE images from memory on one sound device.

#include <cstdint>
#include <span>
#include <vector>

namespace platform {

enum class PlayMode { Async, Sync };

// Async returns at once and replaces whatever is playing; Sync returns when
// the sound has finished. False when no sound device can be used. Throws
// std::runtime_error for an image that is not a sound it can play.
bool PlaySoundImage(std::span<const std::uint8_t> image, PlayMode mode);

// Test seam: every call of PlaySoundImage is noted here while set.
struct PlayedSound {
  const std::uint8_t* image;
  PlayMode mode;
};
void RecordSoundsForTest(std::vector<PlayedSound>* log);

// Closes the sound device (it opens again on the next play).
void CloseSound();

// Bytes of sound still waiting for the device (for tests and benchmarks).
std::uint32_t QueuedSoundBytes();

// The open device's sample rate and buffer length (zeros when none is open).
struct SoundDeviceFormat {
  int rate = 0;
  int bufferFrames = 0;
};
SoundDeviceFormat CurrentSoundDevice();

}  // namespace platform
