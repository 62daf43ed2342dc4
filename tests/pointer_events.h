#pragma once
// Pointer and key events put on the queue as SDL delivers them to a window:
// pointer positions in the window's screen pixels.

#include <SDL.h>

#include <cstdint>

inline void PushPointer(std::uint32_t type, std::uint32_t windowId, int x, int y) {
  SDL_Event event{};
  event.type = type;
  if (type == SDL_MOUSEMOTION) {
    event.motion.windowID = windowId, event.motion.x = x, event.motion.y = y;
  } else {
    event.button.windowID = windowId, event.button.x = x, event.button.y = y, event.button.button = SDL_BUTTON_LEFT;
  }
  SDL_PushEvent(&event);
}

inline void PushKey(std::uint32_t windowId, SDL_Keycode key) {
  SDL_Event event{};
  event.type = SDL_KEYDOWN;
  event.key.windowID = windowId, event.key.keysym.sym = key;
  SDL_PushEvent(&event);
}
