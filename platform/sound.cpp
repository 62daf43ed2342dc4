#include "platform/sound.h"

#include <SDL.h>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "platform/app.h"
#include "platform/clock.h"
#include "platform/internal.h"
#include "platform/messages.h"
#include "platform/mmtimer.h"
#include "platform/sdl_handle.h"
#include "platform/seams.h"
#include "platform/sound_device.h"

namespace platform {
namespace {

constexpr int kRate = 22050;
constexpr Uint16 kBufferFrames = 512;
// A device quiet this long after its last sound is let go. SDL's audio
// thread takes a buffer every 23 ms while a device is open, paused or not,
// and ALSA's device watcher wakes ten times a second while audio is up: an
// open device would keep an idle game waking 50 times a second.
constexpr std::uint32_t kQuietMs = 2000;
// A sound played to its end waits no longer than its own length and this
// much more: a device that stops taking samples must not freeze the window.
constexpr std::uint32_t kSyncGraceMs = 500;

bool g_audioStarted = false;
SoundDevice g_sdlDevice;
SoundDevice* g_device = &g_sdlDevice;
SoundPlayer g_player = PlayOnSoundDevice;
// The one-shot timer that looks whether the device has gone quiet, and the
// hidden window its tick is posted to.
std::uint32_t g_quietTimer = 0;
HWND g_soundWindow = 0;
// What was still queued when the quiet timer last looked: a queue that has
// not moved since belongs to a device that stopped playing.
std::uint32_t g_queuedAtLastLook = 0;

void StopAudio() {
  g_device->Close();
  if (g_audioStarted) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  g_audioStarted = false;
}

// The audio subsystem starts on its own, apart from video: a sound system
// that cannot start leaves a silent game, never a game without a window.
bool OpenDevice() {
  if (g_device->IsOpen()) return true;
  if (!g_audioStarted) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    g_audioStarted = true;
  }
  SDL_AudioSpec wanted{};
  wanted.freq = kRate;
  wanted.format = AUDIO_S16SYS;
  wanted.channels = 2;
  wanted.samples = kBufferFrames;
  if (!g_device->Open(wanted)) {
    // What the failed probe started (ALSA's device watcher among it) goes.
    StopAudio();
    return false;
  }
  return true;
}

std::uint32_t BufferMs() { return 1000U * g_device->Format().samples / std::max(1, g_device->Format().freq) + 1; }

// How long the device takes to play this many bytes.
std::uint32_t PlayingMs(std::uint64_t bytes) {
  const SDL_AudioSpec& format = g_device->Format();
  const std::uint64_t rate = std::uint64_t(format.freq) * format.channels * SDL_AUDIO_BITSIZE(format.format) / 8;
  return rate == 0 ? 0 : static_cast<std::uint32_t>(bytes * 1000 / rate);
}

// Milliseconds of sound still queued.
std::uint32_t QueuedMs() { return PlayingMs(g_device->Queued()); }

void PostQuietCheck(std::uint32_t, std::uintptr_t window) {
  PostMessage(static_cast<HWND>(window), WM_USER, 0, 0);
}

// Looks again once what is queued has played, the device's last buffer
// with it, and the quiet time has passed.
void ArmQuietTimer() {
  if (g_soundWindow == 0) g_soundWindow = AllocateHWnd([](std::uint32_t, std::uintptr_t, std::intptr_t) { LetGoOfQuietSound(); });
  if (g_quietTimer != 0) timeKillEvent(g_quietTimer);
  g_quietTimer = timeSetEvent(QueuedMs() + BufferMs() + kQuietMs, 1, PostQuietCheck, g_soundWindow, TIME_ONESHOT);
}

// The image converted to the device's format. SDL_AudioCVT converts a whole
// sound exactly (a stream loses the tail of short sounds when resampling).
std::vector<Uint8> Convert(std::span<const std::uint8_t> image) {
  SDL_AudioSpec source{};
  Uint8* loaded = nullptr;
  Uint32 length = 0;
  SDL_RWops* stream = SDL_RWFromConstMem(image.data(), static_cast<int>(image.size()));
  if (SDL_LoadWAV_RW(stream, 1, &source, &loaded, &length) == nullptr)
    throw std::runtime_error(std::string("cannot play sound: ") + SDL_GetError());
  const SdlHandle<Uint8> samples(loaded);
  SDL_AudioCVT cvt;
  const SDL_AudioSpec& format = g_device->Format();
  if (SDL_BuildAudioCVT(&cvt, source.format, source.channels, source.freq, format.format, format.channels, format.freq) < 0)
    throw std::runtime_error(std::string("cannot convert sound: ") + SDL_GetError());
  std::vector<Uint8> buffer(std::size_t(length) * std::max(1, cvt.len_mult));
  std::copy(samples.get(), samples.get() + length, buffer.begin());
  cvt.buf = buffer.data();
  cvt.len = static_cast<int>(length);
  if (cvt.needed && SDL_ConvertAudio(&cvt) != 0)
    throw std::runtime_error(std::string("cannot convert sound: ") + SDL_GetError());
  buffer.resize(cvt.needed ? static_cast<std::size_t>(cvt.len_cvt) : length);
  return buffer;
}

// Waits until the device has played the sound just queued, and the buffer
// that holds the last of it. False when the device was lost or stopped
// playing; a request to end the program cuts the sound short.
bool Drain(std::uint32_t soundMs) {
  const std::uint32_t start = GetTickCount();
  const std::uint32_t limit = soundMs + kSyncGraceMs;
  while (g_device->Queued() > 0) {
    if (g_device->Lost() || GetTickCount() - start >= limit) return false;
    if (QuitRequestWaiting()) {
      g_device->Clear();
      return true;
    }
    PauseFor(2);
  }
  const std::uint32_t spent = GetTickCount() - start;
  PauseFor(spent < limit ? std::min(BufferMs(), limit - spent) : 0);
  return true;
}

}  // namespace

bool SoundDevice::Open(const SDL_AudioSpec& wanted) {
  device_ = SdlAudioDevice(SDL_OpenAudioDevice(nullptr, 0, &wanted, &spec_, 0));
  if (device_.Id() == 0) return false;
  SDL_PauseAudioDevice(device_.Id(), 0);
  return true;
}

bool SoundDevice::Queue(const std::vector<Uint8>& samples) {
  return SDL_QueueAudio(device_.Id(), samples.data(), static_cast<Uint32>(samples.size())) == 0;
}

void SoundDevice::Clear() { SDL_ClearQueuedAudio(device_.Id()); }

std::uint32_t SoundDevice::Queued() { return SDL_GetQueuedAudioSize(device_.Id()); }

bool SoundDevice::Lost() { return SDL_GetAudioDeviceStatus(device_.Id()) == SDL_AUDIO_STOPPED; }

void UseSoundDevice(SoundDevice* device) {
  CloseSound();
  g_device = device != nullptr ? device : &g_sdlDevice;
}

bool PlaySoundImage(std::span<const std::uint8_t> image, PlayMode mode) { return g_player(image, mode); }

void UseSoundPlayer(SoundPlayer player) { g_player = player ? std::move(player) : PlayOnSoundDevice; }

bool PlayOnSoundDevice(std::span<const std::uint8_t> image, PlayMode mode) {
  if (!OpenDevice()) return false;
  if (g_device->Lost()) {
    CloseSound();
    return false;
  }
  const std::vector<Uint8> samples = Convert(image);
  // A newer sound replaces one still playing.
  g_device->Clear();
  if (!g_device->Queue(samples)) {
    CloseSound();
    return false;
  }
  if (mode == PlayMode::Sync && !Drain(PlayingMs(samples.size()))) {
    CloseSound();
    return false;
  }
  g_queuedAtLastLook = 0;
  ArmQuietTimer();
  return true;
}

void LetGoOfQuietSound() {
  if (!g_device->IsOpen()) return;
  const std::uint32_t queued = g_device->Queued();
  if (queued > 0 && queued != g_queuedAtLastLook && !g_device->Lost()) {
    g_queuedAtLastLook = queued;
    ArmQuietTimer();
    return;
  }
  CloseSound();
}

bool SoundDeviceOpen() { return g_device->IsOpen(); }

std::uint32_t QueuedSoundBytes() { return g_device->IsOpen() ? g_device->Queued() : 0; }

SoundDeviceFormat CurrentSoundDevice() {
  if (!g_device->IsOpen()) return {};
  return {g_device->Format().freq, g_device->Format().samples};
}

void CloseSound() {
  if (g_quietTimer != 0) timeKillEvent(g_quietTimer);
  g_quietTimer = 0;
  StopAudio();
}

}  // namespace platform
