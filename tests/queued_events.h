#pragma once
// Events put on the queue as SDL delivers them: pointer and key events for a
// window (pointer positions in the window's screen pixels), window events
// from the desktop, and the quit a signal becomes.

#include <SDL.h>

#include <cstdint>

// `which` is the mouse: SDL_TOUCH_MOUSEID for a finger.
inline void PushPointer(std::uint32_t type, std::uint32_t windowId, int x, int y, Uint8 button = SDL_BUTTON_LEFT,
                        std::uint32_t which = 0) {
  SDL_Event event{};
  event.type = type;
  if (type == SDL_MOUSEMOTION) {
    event.motion.windowID = windowId, event.motion.x = x, event.motion.y = y, event.motion.which = which;
  } else {
    event.button.windowID = windowId, event.button.x = x, event.button.y = y, event.button.button = button;
    event.button.which = which;
  }
  SDL_PushEvent(&event);
}

inline void PushWindowEvent(std::uint32_t windowId, SDL_WindowEventID what) {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.windowID = windowId, event.window.event = what;
  SDL_PushEvent(&event);
}

inline void PushQuit() {
  SDL_Event event{};
  event.type = SDL_QUIT;
  SDL_PushEvent(&event);
}

inline void PushKey(std::uint32_t windowId, SDL_Keycode key) {
  SDL_Event event{};
  event.type = SDL_KEYDOWN;
  event.key.windowID = windowId, event.key.keysym.sym = key;
  SDL_PushEvent(&event);
}
