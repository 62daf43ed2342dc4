#pragma once
// Playing RIFF WAVE images from memory on one sound device.

#include <cstdint>
#include <span>

namespace platform {

enum class PlayMode { Async, Sync };

// Async returns at once and replaces whatever is playing; Sync returns when
// the sound has finished, or half a second after it should have, or at once
// when the program is asked to end. False when no sound device can be used:
// none opens, or the open one was lost or stopped taking samples (it is then
// let go). Throws std::runtime_error for an image that is not a sound it can
// play.
bool PlaySoundImage(std::span<const std::uint8_t> image, PlayMode mode);

// Closes the sound device and stops the audio system (both start again on
// the next play).
void CloseSound();

// A device that has played everything and stayed quiet for two seconds is
// closed: an open device wakes the game fifty times a second. A one-shot
// timer, set at every play, runs this check; it closes the device, or looks
// again later while sound is still queued and playing. A device that was
// lost, or whose queue has not moved since the last look, goes too.
void LetGoOfQuietSound();
bool SoundDeviceOpen();

// Bytes of sound still waiting for the device (for tests and benchmarks).
std::uint32_t QueuedSoundBytes();

// The open device's sample rate and buffer length (zeros when none is open).
struct SoundDeviceFormat {
  int rate = 0;
  int bufferFrames = 0;
};
SoundDeviceFormat CurrentSoundDevice();

}  // namespace platform
