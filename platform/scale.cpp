#include "platform/scale.h"

#include <algorithm>
#include <cstdio>
#include <cstring>


namespace platform {
namespace {

// A desktop of this height or a multiple of it is where 550 x 440 was at
// home; twice as high gets twice the blocks.
constexpr int kHomeScreenHeight = 1080;

// Said once per run, not once per window.
bool g_badSettingReported = false;

bool ValidSetting(const char* setting) {
  return setting != nullptr && setting[0] >= '1' && setting[0] <= '0' + kMaxScale && setting[1] == '\0';
}

}  // namespace

int ChooseScale(const char* setting, int screenWidth, int screenHeight, int clientWidth, int clientHeight) {
  if (ValidSetting(setting)) return setting[0] - '0';
  int scale = std::clamp(screenHeight / kHomeScreenHeight, 1, kMaxScale);
  while (scale > 1 && (clientWidth * scale > screenWidth || clientHeight * scale > screenHeight)) --scale;
  return scale;
}

int ScaleForNewWindow(int clientWidth, int clientHeight) {
  const char* setting = SDL_getenv("QUILLAMOR_SCALE");
  SDL_DisplayMode mode{};
  if (SDL_GetDesktopDisplayMode(0, &mode) != 0) mode.w = mode.h = 0;
  const int scale = ChooseScale(setting, mode.w, mode.h, clientWidth, clientHeight);
  // Set but empty is taken as not set, as shells write it.
  if (setting != nullptr && setting[0] != '\0' && !ValidSetting(setting) && !g_badSettingReported) {
    g_badSettingReported = true;
    std::fprintf(stderr, "Quillamor 2000: QUILLAMOR_SCALE=%s is not 1, 2 or 3; the window opens at %dx\n", setting,
                 scale);
  }
  return scale;
}

void BlitBlocks(SDL_Surface* canvas, int x, int y, int w, int h, SDL_Surface* screen, int scale) {
  const int left = std::max(x, 0), top = std::max(y, 0);
  const int right = std::min({x + w, canvas->w, screen->w / scale});
  const int bottom = std::min({y + h, canvas->h, screen->h / scale});
  if (left >= right || top >= bottom) return;
  const int bytes = canvas->format->BytesPerPixel;
  const int rowBytes = (right - left) * bytes * scale;
  if (SDL_LockSurface(canvas) != 0) return;
  if (SDL_LockSurface(screen) != 0) {
    SDL_UnlockSurface(canvas);
    return;
  }
  for (int row = top; row < bottom; ++row) {
    const auto* from = static_cast<const Uint8*>(canvas->pixels) + row * canvas->pitch + left * bytes;
    auto* to = static_cast<Uint8*>(screen->pixels) + row * scale * screen->pitch + left * scale * bytes;
    if (scale == 1) {
      std::memcpy(to, from, rowBytes);
      continue;
    }
    for (int col = 0; col < right - left; ++col)
      for (int k = 0; k < scale; ++k) std::memcpy(to + (col * scale + k) * bytes, from + col * bytes, bytes);
    for (int k = 1; k < scale; ++k) std::memcpy(to + k * screen->pitch, to, rowBytes);
  }
  SDL_UnlockSurface(screen);
  SDL_UnlockSurface(canvas);
}

}  // namespace platform
